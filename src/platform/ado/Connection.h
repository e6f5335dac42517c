#pragma once

#include "platform/ado/Provider.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace ado {

enum class ConnectMode { Unknown, Read, ReadWrite };
enum class LockType { Unspecified, ReadOnly, Optimistic };

// A connection to one database through the provider its connection string names. It opens on
// Open(), or when the first query on it opens.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString;
    bool LoginPrompt = true;
    ConnectMode Mode = ConnectMode::Unknown;

    void Open();  // throws DatabaseError
    void Close(); // no effect when closed
    bool Connected() const { return session_ != nullptr; }

    // Opens the connection when it is closed, then runs the statement. Throws DatabaseError.
    Recordset Execute(const Statement& statement);
    // Opens the connection when it is closed; the database's user tables and their columns.
    std::vector<TableSchema> OpenSchema();

private:
    std::unique_ptr<Session> session_;
};

// One field of the current row of an open query.
class Field {
public:
    Field(QString name, const FieldValue* value) : name_(std::move(name)), value_(value) {}
    const QString& FieldName() const { return name_; }
    bool IsNull() const;
    // Text of the value; NULL reads as the empty text, a number as its decimal text.
    QString AsString() const;
    // The whole value of a binary column (empty for NULL). Throws DatabaseError for other types.
    QByteArray AsBytes() const;
    const FieldValue& Value() const { return *value_; }

private:
    QString name_;
    const FieldValue* value_;
};

// A query with one statement at a time, read-only, positioned on its first row after Open().
class Query {
public:
    Query() = default;
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    void SetConnection(Connection* connection) { connection_ = connection; }
    Connection* GetConnection() const { return connection_; }
    bool ParamCheck = true; // parameter markers are never recognised, whatever this says
    LockType Lock = LockType::Unspecified;

    QStringList SQL;

    void Open();  // runs SQL (its lines joined); throws DatabaseError
    void Close(); // no effect when closed
    bool Active() const { return active_; }

    int RecordCount() const;
    bool Eof() const;
    void First();
    void Next();
    // A field of the current row, by name without regard to letter case. Throws DatabaseError for
    // an unknown name, a closed query, or no current row.
    Field FieldByName(const QString& name) const;
    const Recordset& Result() const { return result_; }

private:
    Connection* connection_ = nullptr;
    bool active_ = false;
    Recordset result_;
    std::size_t row_ = 0;
};

} // namespace ado
