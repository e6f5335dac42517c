#pragma once

#include "platform/ado/Provider.h"

#include <QStringView>

#include <string>

namespace langdb {

// A JSON string for text, kept exact: UTF-8 for every character, \uXXXX for an unpaired surrogate
// so that such a value still shows as stored.
void AppendJsonString(std::string& out, QStringView text);

// One cell as the query command prints it: text a string, NULL null, an integer or a floating-point
// number a number (a NaN or an infinity, which JSON numbers cannot be, a string), bytes
// {"size": N, "sha256": "hex"}.
void AppendJsonValue(std::string& out, const ado::FieldValue& value);

// {"columns": [...], "rows": [[...], ...]} with a row to a line, so that large results stay readable.
std::string RecordsetJson(const ado::Recordset& recordset);

} // namespace langdb
