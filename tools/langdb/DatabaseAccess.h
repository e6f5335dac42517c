#pragma once

#include "langdb/LanguageSource.h"
#include "platform/ado/Connection.h"
#include "platform/jet/JetProvider.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace langdb {

// How to open an existing language database.
struct DatabaseOptions {
    QString password = QString::fromUtf16(jet::DefaultDatabasePassword);
    QString provider = QString::fromLatin1(jet::JetProviderName);
};

// The connection string the program itself would use for file, with each value quoted where the
// connection-string syntax would otherwise misread it (a ';' in a path, a quote in a password).
QString ConnectionStringFor(const std::filesystem::path& file, const DatabaseOptions& options);

// Points connection at file and opens it. Throws ado::DatabaseError.
void OpenDatabase(ado::Connection& connection, const std::filesystem::path& file,
                  const DatabaseOptions& options);

// Lookups by name without regard to letter case, as Access resolves names; nullptr when absent.
const ado::TableSchema* FindTable(const std::vector<ado::TableSchema>& tables, QStringView name);
const ado::ColumnSchema* FindColumn(const ado::TableSchema& table, QStringView name);

// How a table of a database lines up with a table of the sources.
struct TableMatch {
    const LanguageTable* layout = nullptr;
    const ado::TableSchema* table = nullptr;         // nullptr when the database lacks the table
    std::vector<const ado::ColumnSchema*> keys;      // one per layout key; nullptr when missing
    std::vector<const ado::ColumnSchema*> languages; // every other column, in table order

    bool HasAllKeys() const;
    bool HasLanguage(const QString& name) const;
};
TableMatch MatchTable(const std::vector<ado::TableSchema>& tables, const LanguageTable& layout);

// Whether a column of that type holds every value a source column of the given type holds, and
// nothing else: integers for an integer key, text for text, bytes for resources.
bool Holds(ado::DataType stored, jet::ColumnType source);

// "Long Integer", "Memo", ... as Access names the types, for messages.
QString DataTypeName(ado::DataType type);

// Every row of the named columns in table order. Throws ado::DatabaseError.
ado::Recordset SelectColumns(ado::Connection& connection, const QString& table, const QStringList& columns);

// Exact UTF-8, or nullopt when the text holds an unpaired surrogate, which UTF-8 cannot carry.
std::optional<std::string> ExactUtf8(QStringView text);

} // namespace langdb
