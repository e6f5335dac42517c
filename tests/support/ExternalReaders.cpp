#include "support/ExternalReaders.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringDecoder>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>
#include <stdexcept>

namespace testsupport {
namespace {

namespace fs = std::filesystem;

// Generous: the slowest read here (a 4 MB file with a 3 MB value) takes well under a second.
constexpr int ProcessTimeoutMs = 120'000;

// QString::fromUtf8 drops a leading U+FEFF, which is a character of the text here.
QString FromUtf8(const QByteArray& utf8) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(utf8);
}

QString PathArgument(const fs::path& file) {
    return QString::fromStdString(file.string());
}

[[noreturn]] void Fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

QByteArray Run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const QString command = program + ' ' + arguments.join(' ');
    if (!process.waitForStarted()) Fail(command + ": cannot start: " + process.errorString());
    if (!process.waitForFinished(ProcessTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        Fail(command + ": no answer in " + QString::number(ProcessTimeoutMs / 1000) + " s");
    }
    const QString errors = QString::fromUtf8(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit) Fail(command + ": crashed: " + errors);
    if (process.exitCode() != 0)
        Fail(command + ": exit status " + QString::number(process.exitCode()) + ": " + errors);
    return process.readAllStandardOutput();
}

Cell NumberCell(double n) {
    Cell c;
    c.kind = Cell::Number;
    c.number = n;
    return c;
}

Cell TextCell(std::u16string text) {
    Cell c;
    c.kind = Cell::Text;
    c.text = std::move(text);
    return c;
}

Cell BytesCell(const QByteArray& bytes) {
    Cell c;
    c.kind = Cell::Bytes;
    c.bytes.assign(bytes.begin(), bytes.end());
    return c;
}

Cell FromDumpJson(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::Null:
        return Cell{};
    case QJsonValue::Bool:
        return NumberCell(v.toBool() ? 1 : 0);
    case QJsonValue::Double:
        return NumberCell(v.toDouble());
    case QJsonValue::Object: {
        const QJsonObject o = v.toObject();
        if (o.contains("base64")) {
            const auto decoded = QByteArray::fromBase64Encoding(o["base64"].toString().toLatin1(),
                                                                QByteArray::AbortOnBase64DecodingErrors);
            if (decoded) return BytesCell(*decoded);
        } else if (o.contains("utf16le")) {
            const QByteArray raw = QByteArray::fromHex(o["utf16le"].toString().toLatin1());
            std::u16string text;
            for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
                text += static_cast<char16_t>(static_cast<std::uint8_t>(raw[i]) |
                                              static_cast<std::uint8_t>(raw[i + 1]) << 8);
            if (raw.size() % 2 == 0) return TextCell(std::move(text));
        } else if (o.contains("number")) {
            const QString n = o["number"].toString();
            if (n == "NaN") return NumberCell(std::numeric_limits<double>::quiet_NaN());
            if (n == "Infinity") return NumberCell(std::numeric_limits<double>::infinity());
            if (n == "-Infinity") return NumberCell(-std::numeric_limits<double>::infinity());
            if (n == "-0") return NumberCell(-0.0);
        }
        break;
    }
    default:
        break;
    }
    Fail("mdb-reader-dump.mjs gave a cell of an unknown form: " +
         QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact)));
}

QProcessEnvironment MdbToolsEnvironment() {
    auto environment = QProcessEnvironment::systemEnvironment();
    // Each of these changes what libmdb reads or prints; MDBPATH even makes it search other folders.
    for (const char* name : {"MDBOPTS", "MDBICONV", "MDB_JET3_CHARSET", "MDBPATH"})
        environment.remove(name);
    environment.insert("LC_ALL", "C.UTF-8");
    return environment;
}

std::vector<std::string> Lines(const QByteArray& text) {
    std::vector<std::string> lines;
    for (const QByteArray& line : text.split('\n'))
        if (!line.isEmpty()) lines.push_back(line.toStdString());
    return lines;
}

// mdb-schema prints, for each table:
//   CREATE TABLE [name]
//    (
//   \t[column]\t\t\tType (size),
//   );
// Access forbids ']' in names, so the first ']' ends a name.
void ReadSchema(const QByteArray& schema, ReadDatabase& db) {
    ReadTable* table = nullptr;
    for (const std::string& line : Lines(schema)) {
        const std::string create = "CREATE TABLE [";
        if (line.starts_with(create) && line.ends_with("]")) {
            table = &db.tables[line.substr(create.size(), line.size() - create.size() - 1)];
        } else if (table && line.starts_with("\t[")) {
            const auto close = line.find(']');
            if (close == std::string::npos) Fail("mdb-schema: cannot read " + QString::fromStdString(line));
            table->columns.push_back(line.substr(2, close - 2));
            std::string type = line.substr(close + 1);
            type.erase(0, type.find_first_not_of('\t'));
            while (!type.empty() && (type.back() == ' ' || type.back() == ','))
                type.pop_back();
            table->types.push_back(type);
        } else if (line == ");") {
            table = nullptr;
        }
    }
}

// mdb-export's CSV: fields split by ',', rows ended by '\n'; text-like fields (text, dates, bytes)
// are quoted with '"', a '"' inside doubled, everything else (CR, LF, tabs) kept as it is; numbers
// and NULL are unquoted, NULL being empty.
struct CsvField {
    bool quoted = false;
    QByteArray value;
};

std::vector<std::vector<CsvField>> ParseCsv(const QByteArray& csv) {
    std::vector<std::vector<CsvField>> rows;
    std::vector<CsvField> row;
    qsizetype i = 0;
    const qsizetype n = csv.size();
    while (i < n) {
        CsvField field;
        if (csv[i] == '"') {
            field.quoted = true;
            for (++i;;) {
                const qsizetype quote = csv.indexOf('"', i);
                if (quote < 0) Fail("mdb-export: unterminated quoted field");
                field.value += csv.mid(i, quote - i);
                i = quote + 1;
                if (i >= n || csv[i] != '"') break;
                field.value += '"';
                ++i;
            }
        } else {
            const qsizetype start = i;
            while (i < n && csv[i] != ',' && csv[i] != '\n')
                ++i;
            field.value = csv.mid(start, i - start);
        }
        row.push_back(std::move(field));
        if (i >= n || csv[i] == '\n') {
            rows.push_back(std::move(row));
            row.clear();
        } else if (csv[i] != ',') {
            Fail("mdb-export: unexpected character after a quoted field");
        }
        ++i;
    }
    return rows;
}

// "YYYY-MM-DD hh:mm:ss" to days since 1899-12-30, in one division so that whole seconds give the
// double nearest to the stored value. mdbtools rounds to the second and may print 24:00:00.
std::optional<double> AccessDays(const QByteArray& text) {
    int y, mo, d, h, mi, s;
    char end;
    if (std::sscanf(text.constData(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &end) != 6 || h < 0 ||
        h > 24 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return std::nullopt;
    using namespace std::chrono;
    const year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!date.ok()) return std::nullopt;
    const auto days = (sys_days{date} - sys_days{1899y / December / 30}).count();
    return static_cast<double>(days * 86400LL + h * 3600LL + mi * 60LL + s) / 86400.0;
}

Cell FromMdbExport(const CsvField& field, const std::string& type) {
    if (!field.quoted) {
        if (field.value.isEmpty()) return Cell{};
        double n = 0;
        const char* begin = field.value.constData();
        const char* end = begin + field.value.size();
        if (const auto r = std::from_chars(begin, end, n); r.ec == std::errc{} && r.ptr == end)
            return NumberCell(n);
    } else if (type.starts_with("OLE") || type.starts_with("Binary")) {
        const auto decoded = QByteArray::fromHex(field.value);
        if (decoded.toHex().compare(field.value, Qt::CaseInsensitive) == 0) return BytesCell(decoded);
    } else if (type == "DateTime") {
        if (const auto days = AccessDays(field.value)) return NumberCell(*days);
    }
    // Text, and anything unexpected kept as printed, so that it shows in a failure message.
    return TextCell(FromUtf8(field.value).toStdU16String());
}

std::string Escaped(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                          text[i + 1] <= 0xDFFF;
        char buffer[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\r' || c == '\n' || c == '\t') {
            out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (pair) {
            out += QString(reinterpret_cast<const QChar*>(&text[i]), 2).toStdString();
            ++i;
        } else if (c < 0x20 || (c >= 0x7F && c <= 0xA0) || (c >= 0xD800 && c <= 0xDFFF) || c == 0x2028 ||
                   c == 0x2029 || c == 0xFEFF || c == 0xFFFD) {
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        } else {
            out += QString(QChar(c)).toStdString();
        }
    }
    return out;
}

std::string Digest(const QByteArray& data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex().left(12).toStdString();
}

} // namespace

ReadDatabase ReadWithMdbReader(const fs::path& file, const std::u16string& password,
                               const std::vector<std::string>& onlyColumns) {
    const QString npmDir = QStringLiteral(ORVANE_NPM_DIR);
    if (!fs::exists(fs::path(ORVANE_NPM_DIR) / "node_modules" / "mdb-reader" / "package.json"))
        Fail("mdb-reader is not installed in " + npmDir + "/node_modules: run scripts/readers.sh");
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORVANE_NPM_DIR", npmDir);
    QStringList arguments{ORVANE_MDB_READER_DUMP, PathArgument(file), QString::fromStdU16String(password)};
    if (!onlyColumns.empty()) {
        QStringList names;
        for (const auto& c : onlyColumns) names << QString::fromStdString(c);
        arguments << names.join(',');
    }
    const QByteArray out = Run("node", arguments, environment);

    QJsonParseError error;
    const QJsonObject dump = QJsonDocument::fromJson(out, &error).object();
    if (error.error != QJsonParseError::NoError)
        Fail("mdb-reader-dump.mjs printed no valid JSON: " + error.errorString());
    ReadDatabase db;
    if (dump["password"].isString()) db.password = dump["password"].toString().toStdU16String();
    const QJsonObject tables = dump["tables"].toObject();
    for (const QJsonValue& name : dump["table_order"].toArray()) {
        const QJsonObject t = tables[name.toString()].toObject();
        ReadTable table;
        for (const QJsonValue& c : t["columns"].toArray()) {
            table.columns.push_back(c["name"].toString().toStdString());
            table.types.push_back(c["type"].toString().toStdString());
        }
        for (const QJsonValue& r : t["rows"].toArray()) {
            std::vector<Cell> row;
            for (const QJsonValue& v : r.toArray())
                row.push_back(FromDumpJson(v));
            table.rows.push_back(std::move(row));
        }
        db.tableOrder.push_back(name.toString().toStdString());
        db.tables[db.tableOrder.back()] = std::move(table);
    }
    return db;
}

std::size_t CountRowsWithMdbTools(const fs::path& file, const std::string& table) {
    const QByteArray out =
        Run("mdb-count", {PathArgument(file), QString::fromStdString(table)}, MdbToolsEnvironment()).trimmed();
    bool ok = false;
    const auto count = out.toULongLong(&ok);
    if (!ok) Fail("mdb-count printed " + QString::fromUtf8(out));
    return static_cast<std::size_t>(count);
}

ReadDatabase ReadWithMdbTools(const fs::path& file) {
    const auto environment = MdbToolsEnvironment();
    const QString path = PathArgument(file);
    ReadDatabase db;
    db.tableOrder = Lines(Run("mdb-tables", {"-1", path}, environment));
    ReadSchema(Run("mdb-schema",
                   {"--no-drop-table", "--no-not-null", "--no-default-values", "--no-not_empty",
                    "--no-comments", "--no-indexes", "--no-relations", path, "access"},
                   environment),
               db);
    for (const std::string& name : db.tableOrder) {
        ReadTable& table = db.tables[name];
        if (table.columns.empty())
            Fail("mdb-schema gave no columns for table " + QString::fromStdString(name));
        // Comma, newline and '"' doubled are mdb-export's defaults; -H drops the header, whose
        // column names are not quoted, and names come from mdb-schema instead.
        const QByteArray csv = Run(
            "mdb-export", {"-H", "-b", "hex", "-T", "%Y-%m-%d %H:%M:%S", path, QString::fromStdString(name)},
            environment);
        for (const auto& fields : ParseCsv(csv)) {
            if (fields.size() != table.columns.size())
                Fail("mdb-export gave " + QString::number(fields.size()) + " fields for the " +
                     QString::number(table.columns.size()) + " columns of " + QString::fromStdString(name));
            std::vector<Cell> row;
            for (std::size_t c = 0; c < fields.size(); ++c)
                row.push_back(FromMdbExport(fields[c], table.types[c]));
            table.rows.push_back(std::move(row));
        }
    }
    return db;
}

fs::path SharedFixtures() {
    const fs::path dir = ORVANE_SHARED_FIXTURES;
    std::error_code error;
    return fs::is_directory(dir, error) ? fs::weakly_canonical(dir, error) : fs::path();
}

bool SameCell(const Cell& a, const Cell& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
    case Cell::Null:
        return true;
    case Cell::Number:
        return a.number == b.number || (std::isnan(a.number) && std::isnan(b.number));
    case Cell::Text:
        return a.text == b.text;
    case Cell::Bytes:
        return a.bytes == b.bytes;
    }
    return false;
}

std::string Describe(const Cell& cell) {
    constexpr std::size_t Shown = 48;
    switch (cell.kind) {
    case Cell::Null:
        return "NULL";
    case Cell::Number: {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", cell.number);
        return buffer;
    }
    case Cell::Text: {
        std::string out = "text(" + std::to_string(cell.text.size());
        if (cell.text.size() > Shown)
            out += ", sha256 " +
                   Digest(QByteArray(reinterpret_cast<const char*>(cell.text.data()),
                                     static_cast<qsizetype>(cell.text.size() * 2))) +
                   "…";
        out += ") \"" + Escaped(std::u16string_view(cell.text).substr(0, Shown)) + "\"";
        if (cell.text.size() > Shown) out += "…";
        return out;
    }
    case Cell::Bytes: {
        const QByteArray data(reinterpret_cast<const char*>(cell.bytes.data()),
                              static_cast<qsizetype>(cell.bytes.size()));
        std::string out = "bytes(" + std::to_string(cell.bytes.size());
        if (cell.bytes.size() > Shown / 2) out += ", sha256 " + Digest(data) + "…";
        out += ")";
        if (!data.isEmpty()) out += " " + data.left(Shown / 2).toHex(' ').toStdString();
        if (cell.bytes.size() > Shown / 2) out += " …";
        return out;
    }
    }
    return "?";
}

void PrintTo(const Cell& cell, std::ostream* out) {
    *out << Describe(cell);
}

Cell MdbToolsView(const Cell& stored) {
    if (stored.kind != Cell::Text) return stored;
    if (stored.text.empty()) return Cell{};
    Cell shown = stored;
    for (char16_t& c : shown.text)
        if (c >= 0xD800 && c <= 0xDFFF) c = u'?';
    return shown;
}

} // namespace testsupport
