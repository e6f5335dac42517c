#pragma once

#include "platform/ado/ConnectionString.h"
#include "platform/ado/Statement.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace ado {

// One cell: NULL, an integer (Yes/No as 1 or 0), a floating-point number (a date/time as days since
// 1899-12-30, as Access counts them), text, or bytes.
using FieldValue = std::variant<std::monostate, std::int64_t, double, QString, QByteArray>;

// A statement's result: column names as the statement gave them, rows in table order.
struct Recordset {
    QStringList columns;
    std::vector<std::vector<FieldValue>> rows;
};

enum class DataType { Boolean, Byte, Integer, LongInteger, Currency, Single, Double, DateTime, Binary, Text,
                      LongBinary, LongText, Guid, Numeric, Other };

struct ColumnSchema {
    QString name;
    DataType type = DataType::Other;
    int size = 0; // Text: characters; Binary: bytes; otherwise 0
};

struct TableSchema {
    QString name;
    std::vector<ColumnSchema> columns; // in table order
};

// An open database of one provider. Reads only; never writes the file.
class Session {
public:
    virtual ~Session() = default;
    // Throws DatabaseError.
    virtual Recordset Execute(const Statement& statement) = 0;
    // The user tables (no system tables) in catalog order, with their columns. Throws DatabaseError.
    virtual std::vector<TableSchema> Schema() = 0;
};

// An OLE DB provider stand-in, looked up by name.
class Provider {
public:
    virtual ~Provider() = default;
    virtual QString Name() const = 0;
    // Opens the database the connection string names. Throws DatabaseError: file missing, not an
    // Access file, wrong password, format this provider does not read.
    virtual std::unique_ptr<Session> Open(const ConnectionString& connection) = 0;
};

// The installed provider of that name (names compare without regard to letter case), or nullptr.
Provider* FindProvider(const QString& name);

// Installs a further provider (tests, later back ends). The registry keeps it for the process.
void RegisterProvider(std::unique_ptr<Provider> provider);

} // namespace ado
