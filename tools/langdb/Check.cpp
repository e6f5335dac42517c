#include "langdb/Check.h"

#include "langdb/Json.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <unordered_map>

namespace langdb {

namespace {

std::string Utf8(const QString& s) {
    return s.toStdString();
}

QString TableName(const LanguageTable& layout) {
    return QString::fromUtf16(layout.table.data(), static_cast<qsizetype>(layout.table.size()));
}

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

QString ExpectedType(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Integer:
    case jet::ColumnType::LongInteger:
        return QStringLiteral("Long Integer");
    case jet::ColumnType::Text:
        return QStringLiteral("Text");
    case jet::ColumnType::LongText:
        return QStringLiteral("Memo");
    case jet::ColumnType::LongBinary:
        return QStringLiteral("OLE Object");
    case jet::ColumnType::DateTime:
        return QStringLiteral("Date/Time");
    }
    return {};
}

// The key as Access compares it: text without regard to case. Pieces are length-prefixed so that
// keys holding the separator cannot collide.
QString ComparableKey(const std::vector<ado::FieldValue>& key, bool foldCase) {
    QString joined;
    for (const ado::FieldValue& v : key) {
        QString piece;
        if (const auto* n = std::get_if<std::int64_t>(&v))
            piece = QString::number(*n);
        else if (const auto* s = std::get_if<QString>(&v))
            piece = foldCase ? s->toCaseFolded() : *s;
        joined += QString::number(piece.size()) + u':' + piece;
    }
    return joined;
}

class TableChecker {
public:
    TableChecker(ado::Connection& connection, const std::vector<ado::TableSchema>& schema,
                 const LanguageTable& layout)
        : connection_(connection), layout_(layout), match_(MatchTable(schema, layout)) {}

    TableCheck Run() {
        check_.name = match_.table ? match_.table->name : TableName(layout_);
        check_.found = match_.table != nullptr;
        if (!check_.found) {
            Error("there is no table " + Utf8(check_.name));
            return std::move(check_);
        }
        const bool keysUsable = CheckKeyColumns();
        CheckLanguageColumns();

        QStringList columns;
        std::vector<std::size_t> identity; // positions in the selection
        for (std::size_t k = 0; k < layout_.identity; ++k) {
            if (!match_.keys[k]) continue;
            identity.push_back(static_cast<std::size_t>(columns.size()));
            columns << match_.keys[k]->name;
            check_.keyColumns.push_back(match_.keys[k]->name);
        }
        for (const ado::ColumnSchema* c : match_.languages)
            columns << c->name;
        // A table with no column worth reading still has rows to count.
        const ado::Recordset records =
            columns.isEmpty() ? CountOnly() : SelectColumns(connection_, match_.table->name, columns);
        check_.rows = records.rows.size();

        if (keysUsable) {
            FindRepeatedKeys(records, identity);
            check_.keysChecked = true;
        }
        if (layout_.languageType) Cover(records, identity.size());
        return std::move(check_);
    }

private:
    void Error(std::string message) { check_.errors.push_back(std::move(message)); }
    void Warning(std::string message) { check_.warnings.push_back(std::move(message)); }

    bool CheckKeyColumns() {
        bool usable = true;
        for (std::size_t k = 0; k < layout_.keys.size(); ++k) {
            const KeyColumn& key = layout_.keys[k];
            const ado::ColumnSchema* c = match_.keys[k];
            if (!c) {
                Error("no key column " + std::string(key.name));
                usable = false;
            } else if (!Holds(c->type, key.type)) {
                Error("key column " + Utf8(c->name) + " is " + Utf8(DataTypeName(c->type)) + ", expected " +
                      Utf8(ExpectedType(key.type)));
                usable = false;
            }
        }
        return usable;
    }

    void CheckLanguageColumns() {
        if (!layout_.languageType) {
            for (const ado::ColumnSchema* c : match_.languages)
                Warning("column " + Utf8(c->name) + " is not part of a language database");
            return;
        }
        if (!match_.HasLanguage(QString::fromLatin1(RequiredLanguage)))
            Error("no " + std::string(RequiredLanguage) +
                  " column (the language every lookup falls back to)");
        for (const ado::ColumnSchema* c : match_.languages)
            if (!Holds(c->type, *layout_.languageType))
                Warning("column " + Utf8(c->name) + " is " + Utf8(DataTypeName(c->type)) + ", expected " +
                        Utf8(ExpectedType(*layout_.languageType)));
    }

    ado::Recordset CountOnly() {
        ado::Query query;
        query.SetConnection(&connection_);
        query.SQL << QStringLiteral("select count(*) as n from [%1]").arg(match_.table->name);
        query.Open();
        ado::Recordset records;
        const auto& v = query.Result().rows.at(0).at(0);
        records.rows.resize(static_cast<std::size_t>(std::get<std::int64_t>(v)));
        return records;
    }

    void FindRepeatedKeys(const ado::Recordset& records, const std::vector<std::size_t>& identity) {
        std::unordered_map<QString, std::size_t> first; // folded key -> row index
        for (std::size_t r = 0; r < records.rows.size(); ++r) {
            std::vector<ado::FieldValue> key;
            bool hasNull = false;
            for (std::size_t i : identity) {
                key.push_back(records.rows[r][i]);
                hasNull = hasNull || std::holds_alternative<std::monostate>(key.back());
            }
            if (hasNull) {
                // No comparison matches NULL, so no lookup ever finds the row.
                Warning("row " + std::to_string(r + 1) + " has a NULL key and is never read");
                continue;
            }
            const auto [it, added] = first.try_emplace(ComparableKey(key, true), r);
            if (added) continue;
            RepeatedKey repeated;
            repeated.row = r + 1;
            repeated.firstRow = it->second + 1;
            for (std::size_t i : identity)
                repeated.firstKey.push_back(records.rows[it->second][i]);
            repeated.caseOnly = ComparableKey(key, false) != ComparableKey(repeated.firstKey, false);
            repeated.key = std::move(key);
            check_.repeated.push_back(std::move(repeated));
        }
    }

    void Cover(const ado::Recordset& records, std::size_t firstLanguage) {
        for (std::size_t l = 0; l < match_.languages.size(); ++l) {
            LanguageCoverage coverage;
            coverage.column = match_.languages[l]->name;
            for (const auto& row : records.rows) {
                const ado::FieldValue& v = row[firstLanguage + l];
                if (std::holds_alternative<std::monostate>(v))
                    ++coverage.null;
                else if (const auto* s = std::get_if<QString>(&v); s && s->isEmpty())
                    ++coverage.empty;
                else
                    ++coverage.present;
            }
            check_.coverage.push_back(std::move(coverage));
        }
    }

    ado::Connection& connection_;
    const LanguageTable& layout_;
    TableMatch match_;
    TableCheck check_;
};

// Terminal columns a text takes: two for East Asian wide characters, none for combining marks.
std::size_t DisplayWidth(const QString& text) {
    std::size_t width = 0;
    for (const char32_t c : text.toUcs4()) {
        if (QChar::category(c) == QChar::Mark_NonSpacing || QChar::category(c) == QChar::Mark_Enclosing)
            continue;
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
                          (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

// Text keys in quotes with control characters spelled out, so that ' x' and 'x' or a line break
// inside a key stay visible; integers as they are.
QString ShowKey(const std::vector<ado::FieldValue>& key) {
    QStringList pieces;
    for (const ado::FieldValue& v : key) {
        if (const auto* n = std::get_if<std::int64_t>(&v)) {
            pieces << QString::number(*n);
            continue;
        }
        const auto* s = std::get_if<QString>(&v);
        if (!s) {
            pieces << QStringLiteral("NULL");
            continue;
        }
        QString shown = QStringLiteral("'");
        for (const QChar c : *s) {
            if (c == u'\'' || c == u'\\')
                shown += u'\\' + QString(c);
            else if (c == u'\r')
                shown += QStringLiteral("\\r");
            else if (c == u'\n')
                shown += QStringLiteral("\\n");
            else if (c == u'\t')
                shown += QStringLiteral("\\t");
            else if (c.unicode() < 0x20 || c.unicode() == 0x7F || (c.unicode() >= 0x80 && c.unicode() < 0xA0))
                shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
            else
                shown += c;
        }
        pieces << shown + u'\'';
    }
    return pieces.join(QStringLiteral(" / "));
}

// Rows of cells laid out in columns; the columns flagged in rightAligned are numbers.
class TextTable {
public:
    explicit TextTable(std::vector<bool> rightAligned) : right_(std::move(rightAligned)) {}
    void Add(std::vector<QString> cells) { rows_.push_back(std::move(cells)); }

    void Print(std::string& out, const std::string& indent) const {
        std::vector<std::size_t> widths(right_.size(), 0);
        for (const auto& row : rows_)
            for (std::size_t c = 0; c < row.size(); ++c)
                widths[c] = std::max(widths[c], DisplayWidth(row[c]));
        for (const auto& row : rows_) {
            std::string line = indent;
            for (std::size_t c = 0; c < row.size(); ++c) {
                const std::string pad(widths[c] - DisplayWidth(row[c]), ' ');
                if (c > 0) line += "  ";
                line += right_[c] ? pad + Utf8(row[c]) : Utf8(row[c]) + (c + 1 < row.size() ? pad : "");
            }
            out += line + '\n';
        }
    }

private:
    std::vector<bool> right_;
    std::vector<std::vector<QString>> rows_;
};

QString Percent(std::size_t part, std::size_t whole) {
    if (whole == 0) return QStringLiteral("-");
    return QString::number(100.0 * static_cast<double>(part) / static_cast<double>(whole), 'f', 1) + u'%';
}

void PrintTable(std::string& out, const TableCheck& t) {
    out += "\n" + Utf8(t.name) + ": ";
    if (!t.found) {
        out += "missing\n";
    } else {
        out += Plural(t.rows, "row", "rows");
        if (!t.coverage.empty()) out += ", " + Plural(t.coverage.size(), "language", "languages");
        out += '\n';
    }
    for (const auto& e : t.errors)
        out += "  error: " + e + '\n';
    for (const auto& w : t.warnings)
        out += "  warning: " + w + '\n';
    if (!t.found) return;

    if (!t.repeated.empty()) {
        out += "  repeated keys (" + std::to_string(t.repeated.size()) +
               "); the first row is the one read, these rows never are:\n";
        TextTable table({false, false, false});
        for (const RepeatedKey& r : t.repeated) {
            const QString why = r.caseOnly ? QStringLiteral("differs only in letter case from row %1: %2")
                                                 .arg(r.firstRow)
                                                 .arg(ShowKey(r.firstKey))
                                           : QStringLiteral("same key as row %1").arg(r.firstRow);
            table.Add({QStringLiteral("row %1").arg(r.row), ShowKey(r.key), why});
        }
        table.Print(out, "    ");
    } else if (t.keysChecked) {
        QStringList keys;
        for (const QString& k : t.keyColumns)
            keys << k;
        out += "  no repeated keys (" + Utf8(keys.join(QStringLiteral(", "))) + ")\n";
    }

    if (!t.coverage.empty()) {
        out += "  coverage:\n";
        TextTable table({false, true, true, true, true});
        table.Add({QStringLiteral("language"), QStringLiteral("present"), QStringLiteral("empty"),
                   QStringLiteral("NULL"), QStringLiteral("coverage")});
        for (const LanguageCoverage& c : t.coverage)
            table.Add({c.column, QString::number(c.present), QString::number(c.empty),
                       QString::number(c.null), Percent(c.present, t.rows)});
        table.Print(out, "    ");
    }
}

void AppendJsonKey(std::string& out, const std::vector<ado::FieldValue>& key) {
    out += '[';
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (i > 0) out += ", ";
        AppendJsonValue(out, key[i]);
    }
    out += ']';
}

void AppendJsonStrings(std::string& out, const std::vector<std::string>& list) {
    out += '[';
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) out += ", ";
        AppendJsonString(out, QString::fromStdString(list[i]));
    }
    out += ']';
}

} // namespace

std::size_t CheckReport::ErrorCount() const {
    return std::accumulate(tables.begin(), tables.end(), std::size_t{0},
                           [](std::size_t n, const TableCheck& t) { return n + t.errors.size(); });
}

std::size_t CheckReport::WarningCount() const {
    return std::accumulate(
        tables.begin(), tables.end(), std::size_t{0},
        [](std::size_t n, const TableCheck& t) { return n + t.warnings.size() + t.repeated.size(); });
}

CheckReport CheckLanguageDatabase(const std::filesystem::path& file, const DatabaseOptions& options) {
    ado::Connection connection;
    OpenDatabase(connection, file, options);
    const std::vector<ado::TableSchema> schema = connection.OpenSchema();
    CheckReport report;
    report.file = file.string();
    for (const LanguageTable& layout : LanguageTables())
        report.tables.push_back(TableChecker(connection, schema, layout).Run());
    return report;
}

std::string CheckReportText(const CheckReport& report) {
    std::string out = "Check of " + report.file + "\n";
    for (const TableCheck& t : report.tables)
        PrintTable(out, t);
    out += "\n" + std::string(report.Usable() ? "usable" : "UNUSABLE") + ": " +
           Plural(report.ErrorCount(), "error", "errors") + ", " +
           Plural(report.WarningCount(), "warning", "warnings") + "\n";
    return out;
}

std::string CheckReportJson(const CheckReport& report) {
    std::string out = "{\"file\": ";
    AppendJsonString(out, QString::fromStdString(report.file));
    out += ", \"usable\": " + std::string(report.Usable() ? "true" : "false");
    out += ", \"errors\": " + std::to_string(report.ErrorCount());
    out += ", \"warnings\": " + std::to_string(report.WarningCount());
    out += ", \"tables\": [";
    for (std::size_t i = 0; i < report.tables.size(); ++i) {
        const TableCheck& t = report.tables[i];
        out += i == 0 ? "\n  {" : ",\n  {";
        out += "\"table\": ";
        AppendJsonString(out, t.name);
        out += ", \"found\": " + std::string(t.found ? "true" : "false");
        out += ", \"rows\": " + std::to_string(t.rows);
        out += ", \"errors\": ";
        AppendJsonStrings(out, t.errors);
        out += ", \"warnings\": ";
        AppendJsonStrings(out, t.warnings);
        out += ", \"keyColumns\": [";
        for (std::size_t k = 0; k < t.keyColumns.size(); ++k) {
            if (k > 0) out += ", ";
            AppendJsonString(out, t.keyColumns[k]);
        }
        out += "], \"repeatedKeys\": ";
        out += t.keysChecked ? "[" : "null";
        for (std::size_t r = 0; r < t.repeated.size(); ++r) {
            const RepeatedKey& k = t.repeated[r];
            out += r == 0 ? "" : ", ";
            out += "{\"row\": " + std::to_string(k.row) + ", \"key\": ";
            AppendJsonKey(out, k.key);
            out += ", \"firstRow\": " + std::to_string(k.firstRow) + ", \"firstKey\": ";
            AppendJsonKey(out, k.firstKey);
            out += ", \"caseOnly\": " + std::string(k.caseOnly ? "true" : "false") + "}";
        }
        if (t.keysChecked) out += ']';
        out += ", \"coverage\": [";
        for (std::size_t c = 0; c < t.coverage.size(); ++c) {
            const LanguageCoverage& l = t.coverage[c];
            out += c == 0 ? "{\"column\": " : ", {\"column\": ";
            AppendJsonString(out, l.column);
            out += ", \"present\": " + std::to_string(l.present) + ", \"empty\": " + std::to_string(l.empty) +
                   ", \"null\": " + std::to_string(l.null) + "}";
        }
        out += "]}";
    }
    out += report.tables.empty() ? "]}\n" : "\n]}\n";
    return out;
}

} // namespace langdb
