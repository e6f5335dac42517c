#include "langdb/DatabaseAccess.h"

#include <QFile>

#include <algorithm>

namespace langdb {

namespace {

QString ConnectionValue(const QString& value) {
    const bool plain = !value.contains(u';') && !value.startsWith(u'"') && !value.startsWith(u'\'') &&
                       value.trimmed() == value;
    if (plain) return value;
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString Bracketed(const QString& name) {
    return u'[' + name + u']';
}

} // namespace

QString ConnectionStringFor(const std::filesystem::path& file, const DatabaseOptions& options) {
    return QStringLiteral(
               "Provider=%1;Data Source=%2;Persist Security Info=False;Jet OLEDB:Database Password=%3")
        .arg(ConnectionValue(options.provider), ConnectionValue(QFile::decodeName(file.c_str())),
             ConnectionValue(options.password));
}

void OpenDatabase(ado::Connection& connection, const std::filesystem::path& file,
                  const DatabaseOptions& options) {
    connection.ConnectionString = ConnectionStringFor(file, options);
    connection.LoginPrompt = false;
    connection.Mode = ado::ConnectMode::Read;
    connection.Open();
}

const ado::TableSchema* FindTable(const std::vector<ado::TableSchema>& tables, QStringView name) {
    for (const auto& t : tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

const ado::ColumnSchema* FindColumn(const ado::TableSchema& table, QStringView name) {
    for (const auto& c : table.columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

bool TableMatch::HasAllKeys() const {
    return std::find(keys.begin(), keys.end(), nullptr) == keys.end();
}

bool TableMatch::HasLanguage(const QString& name) const {
    return std::any_of(languages.begin(), languages.end(), [&](const ado::ColumnSchema* c) {
        return c->name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

TableMatch MatchTable(const std::vector<ado::TableSchema>& tables, const LanguageTable& layout) {
    TableMatch match;
    match.layout = &layout;
    match.table = FindTable(tables, QStringView(layout.table));
    if (!match.table) return match;
    for (const KeyColumn& key : layout.keys)
        match.keys.push_back(FindColumn(*match.table, QString::fromLatin1(key.name)));
    for (const auto& c : match.table->columns)
        if (std::find(match.keys.begin(), match.keys.end(), &c) == match.keys.end())
            match.languages.push_back(&c);
    return match;
}

bool Holds(ado::DataType stored, jet::ColumnType source) {
    using ado::DataType;
    switch (source) {
    case jet::ColumnType::Integer:
    case jet::ColumnType::LongInteger:
        return stored == DataType::Byte || stored == DataType::Integer || stored == DataType::LongInteger;
    case jet::ColumnType::Text:
    case jet::ColumnType::LongText:
        return stored == DataType::Text || stored == DataType::LongText;
    case jet::ColumnType::LongBinary:
        return stored == DataType::Binary || stored == DataType::LongBinary;
    case jet::ColumnType::DateTime:
        return stored == DataType::DateTime;
    }
    return false;
}

QString DataTypeName(ado::DataType type) {
    using ado::DataType;
    switch (type) {
    case DataType::Boolean:
        return QStringLiteral("Yes/No");
    case DataType::Byte:
        return QStringLiteral("Byte");
    case DataType::Integer:
        return QStringLiteral("Integer");
    case DataType::LongInteger:
        return QStringLiteral("Long Integer");
    case DataType::Currency:
        return QStringLiteral("Currency");
    case DataType::Single:
        return QStringLiteral("Single");
    case DataType::Double:
        return QStringLiteral("Double");
    case DataType::DateTime:
        return QStringLiteral("Date/Time");
    case DataType::Binary:
        return QStringLiteral("Binary");
    case DataType::Text:
        return QStringLiteral("Text");
    case DataType::LongBinary:
        return QStringLiteral("OLE Object");
    case DataType::LongText:
        return QStringLiteral("Memo");
    case DataType::Guid:
        return QStringLiteral("Replication ID");
    case DataType::Numeric:
        return QStringLiteral("Decimal");
    case DataType::Other:
        break;
    }
    return QStringLiteral("an unknown type");
}

ado::Recordset SelectColumns(ado::Connection& connection, const QString& table, const QStringList& columns) {
    QStringList names;
    for (const QString& c : columns)
        names << Bracketed(c);
    ado::Query query;
    query.SetConnection(&connection);
    query.SQL << QStringLiteral("select %1 from %2").arg(names.join(QStringLiteral(", ")), Bracketed(table));
    query.Open();
    return query.Result();
}

std::optional<std::string> ExactUtf8(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return std::nullopt;
        }
    }
    return text.toUtf8().toStdString();
}

} // namespace langdb
