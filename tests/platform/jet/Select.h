#pragma once

#include "platform/ado/Connection.h"

// The rows a statement gives on connection c; throws ado::DatabaseError.
inline ado::Recordset Select(ado::Connection& c, const QString& sql) {
    ado::Query q;
    q.SetConnection(&c);
    q.SQL << sql;
    q.Open();
    return q.Result();
}
