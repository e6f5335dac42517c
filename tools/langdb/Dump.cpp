#include "langdb/Dump.h"

#include "langdb/Csv.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace langdb {

namespace fs = std::filesystem;

namespace {

// File names may have 255 bytes; a shortened name leaves room for a "~N" that keeps it distinct.
constexpr std::size_t ShortenedNameBytes = 240;

std::string Utf8(const QString& s) {
    return s.toStdString();
}

std::string InFile(const fs::path& file, const std::string& message) {
    return file.string() + ": " + message;
}

[[noreturn]] void Fail(const fs::path& file, const std::string& message) {
    throw DumpError(InFile(file, message));
}

std::string SystemError(int error) {
    return std::strerror(error);
}

void WriteNewFile(const fs::path& path, std::string_view bytes) {
    // "x": never replace a file, so two resources that map to one name cannot overwrite each other.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wbx"), &std::fclose);
    if (!f) Fail(path, "cannot create: " + SystemError(errno));
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        Fail(path, "cannot write: " + SystemError(errno));
    if (std::fclose(f.release()) != 0) Fail(path, "cannot write: " + SystemError(errno));
}

std::string Shortened(const std::string& name) {
    if (name.size() <= ShortenedNameBytes) return name;
    std::size_t cut = ShortenedNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    // Never keep half of a %XX escape.
    if (name[cut - 1] == '%')
        cut -= 1;
    else if (name[cut - 2] == '%')
        cut -= 2;
    return name.substr(0, cut);
}

// One file name per row, the same in every language folder: the safe form of the resource name,
// and for a name that an earlier row has already taken (a repeated key) the first free "name~N".
std::vector<std::string> ResourceFileNames(const std::vector<std::string>& names) {
    std::vector<std::string> result(names.size());
    std::set<std::string> used;
    for (std::size_t r = 0; r < names.size(); ++r) {
        std::string base = Shortened(SafeFileName(names[r]));
        if (!base.empty() && used.insert(base).second) result[r] = std::move(base);
    }
    for (std::size_t r = 0; r < names.size(); ++r) {
        if (!result[r].empty()) continue;
        const std::string base = Shortened(SafeFileName(names[r]));
        for (int n = 2;; ++n) {
            std::string candidate = base + "~" + std::to_string(n);
            if (used.insert(candidate).second) {
                result[r] = std::move(candidate);
                break;
            }
        }
    }
    return result;
}

std::string Holdings(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Integer:
    case jet::ColumnType::LongInteger:
        return "integers";
    case jet::ColumnType::LongBinary:
        return "resource files";
    default:
        return "text";
    }
}

// Refuses, before anything is written, a database whose tables the sources could not hold as
// they are: build would then give back another database.
void CheckTable(const fs::path& file, const TableMatch& match) {
    const LanguageTable& layout = *match.layout;
    const std::string table = Utf8(QString::fromUtf16(layout.table.data(), layout.table.size()));
    if (!match.table) Fail(file, "no table " + table + " (a language database has " + table + ")");
    for (std::size_t k = 0; k < layout.keys.size(); ++k) {
        const ado::ColumnSchema* c = match.keys[k];
        if (!c) Fail(file, "table " + table + " has no column " + std::string(layout.keys[k].name));
        if (!Holds(c->type, layout.keys[k].type))
            Fail(file, table + "." + Utf8(c->name) + " is a " + Utf8(DataTypeName(c->type)) +
                           " column, but " + std::string(layout.file) + " holds " +
                           Holdings(layout.keys[k].type) + " there");
    }
    for (const ado::ColumnSchema* c : match.languages) {
        if (!layout.languageType) {
            Fail(file, table + "." + Utf8(c->name) + " cannot be kept: " + std::string(layout.file) +
                           " has only the key columns");
        }
        if (!Holds(c->type, *layout.languageType))
            Fail(file, table + "." + Utf8(c->name) + " is a " + Utf8(DataTypeName(c->type)) +
                           " column, but " + std::string(layout.file) + " holds " +
                           Holdings(*layout.languageType) + " in language columns");
        if (!ExactUtf8(c->name)) Fail(file, table + " has a column name that is not valid Unicode");
    }
}

// The folder everything is written into, renamed over the target at the end; removed with all in
// it unless that rename happened.
class StagingFolder {
public:
    explicit StagingFolder(const fs::path& target) : target_(target) {
        const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
        for (unsigned attempt = 0;; ++attempt) {
            path_ = parent / ("." + target.filename().string() + ".partial-" + std::to_string(::getpid()) +
                              "-" + std::to_string(attempt));
            // mkdir rather than mkdtemp, so that the folder gets the permissions the umask gives.
            if (::mkdir(path_.c_str(), 0777) == 0) return;
            if (errno != EEXIST || attempt == 1000) {
                const int error = errno;
                path_.clear();
                Fail(target, "cannot create a folder beside it: " + SystemError(error));
            }
        }
    }
    ~StagingFolder() {
        if (path_.empty()) return;
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const fs::path& Path() const { return path_; }

    void Commit() {
        // rename() replaces an empty folder and refuses one that has filled up meanwhile.
        if (std::rename(path_.c_str(), target_.c_str()) != 0) {
            const int error = errno;
            Fail(target_, error == ENOTEMPTY || error == EEXIST
                              ? "folder is no longer empty"
                              : "cannot move the sources into place: " + SystemError(error));
        }
        path_.clear();
    }

private:
    fs::path target_;
    fs::path path_;
};

class TableDumper {
public:
    TableDumper(const fs::path& file, const TableMatch& match, const fs::path& folder, DumpResult& result)
        : file_(file), match_(match), layout_(*match.layout), folder_(folder), result_(result),
          tableName_(Utf8(match.table->name)) {}

    void Dump(ado::Connection& connection) {
        QStringList columns;
        for (const ado::ColumnSchema* c : match_.keys)
            columns << c->name;
        for (const ado::ColumnSchema* c : match_.languages)
            columns << c->name;
        const ado::Recordset records = SelectColumns(connection, match_.table->name, columns);

        CsvWriter csv;
        for (const KeyColumn& key : layout_.keys)
            csv.Field(key.name);
        for (const ado::ColumnSchema* c : match_.languages)
            csv.Field(*ExactUtf8(c->name));
        csv.EndRecord();

        const bool resources = layout_.languageType == jet::ColumnType::LongBinary;
        std::vector<std::string> fileNames;
        if (resources) fileNames = ResourceFileNames(FirstColumnTexts(records));
        std::vector<std::string> languageFolders;
        for (const ado::ColumnSchema* c : match_.languages)
            languageFolders.push_back(SafeFileName(*ExactUtf8(c->name)));

        const std::size_t keyCount = layout_.keys.size();
        for (std::size_t r = 0; r < records.rows.size(); ++r) {
            const auto& row = records.rows[r];
            for (std::size_t i = 0; i < row.size(); ++i) {
                const QString& column = columns[static_cast<qsizetype>(i)];
                if (i < keyCount) {
                    KeyCell(csv, row[i], r, column);
                } else if (resources) {
                    ResourceCell(csv, row[i], r, column, languageFolders[i - keyCount], fileNames[r]);
                } else {
                    TextCell(csv, row[i], r, column);
                }
            }
            csv.EndRecord();
        }
        WriteNewFile(folder_ / layout_.file, csv.Text());
        result_.rows += records.rows.size();
    }

private:
    std::string Place(std::size_t row, const QString& column) const {
        return tableName_ + " row " + std::to_string(row + 1) + ", column " + Utf8(column);
    }

    [[noreturn]] void Unexpected(std::size_t row, const QString& column) const {
        Fail(file_, Place(row, column) + ": the value does not have the column's type");
    }

    std::string Text(const ado::FieldValue& value, std::size_t row, const QString& column) const {
        const auto* s = std::get_if<QString>(&value);
        if (!s) Unexpected(row, column);
        auto utf8 = ExactUtf8(*s);
        if (!utf8)
            Fail(file_,
                 Place(row, column) + ": the text holds an unpaired surrogate, which UTF-8 cannot hold");
        return std::move(*utf8);
    }

    void KeyCell(CsvWriter& csv, const ado::FieldValue& value, std::size_t row, const QString& column) {
        if (std::holds_alternative<std::monostate>(value)) {
            result_.warnings.push_back(InFile(file_, Place(row, column) + ": NULL key, which build refuses"));
            csv.Null();
        } else if (const auto* n = std::get_if<std::int64_t>(&value)) {
            csv.Field(std::to_string(*n));
        } else {
            const std::string text = Text(value, row, column);
            if (text.empty())
                result_.warnings.push_back(
                    InFile(file_, Place(row, column) + ": empty key, which build refuses"));
            csv.Field(text);
        }
    }

    void TextCell(CsvWriter& csv, const ado::FieldValue& value, std::size_t row, const QString& column) {
        if (std::holds_alternative<std::monostate>(value))
            csv.Null();
        else
            csv.Field(Text(value, row, column));
    }

    void ResourceCell(CsvWriter& csv, const ado::FieldValue& value, std::size_t row, const QString& column,
                      const std::string& languageFolder, const std::string& fileName) {
        if (std::holds_alternative<std::monostate>(value)) {
            csv.Null();
            return;
        }
        const auto* bytes = std::get_if<QByteArray>(&value);
        if (!bytes) Unexpected(row, column);
        const std::string relative = "resources/" + languageFolder + "/" + fileName;
        const fs::path path = folder_ / relative;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (ec) Fail(path.parent_path(), "cannot create: " + ec.message());
        WriteNewFile(path, std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
        ++result_.resourceFiles;
        csv.Field(relative);
    }

    // The resource names, NULL read as empty; a name that is not valid Unicode fails here.
    std::vector<std::string> FirstColumnTexts(const ado::Recordset& records) const {
        std::vector<std::string> names;
        for (std::size_t r = 0; r < records.rows.size(); ++r) {
            const ado::FieldValue& v = records.rows[r][0];
            names.push_back(std::holds_alternative<std::monostate>(v) ? std::string()
                                                                      : Text(v, r, records.columns[0]));
        }
        return names;
    }

    const fs::path& file_;
    const TableMatch& match_;
    const LanguageTable& layout_;
    fs::path folder_;
    DumpResult& result_;
    std::string tableName_;
};

void CheckOutputFolder(const fs::path& output) {
    std::error_code ec;
    const auto status = fs::status(output, ec);
    if (fs::exists(status)) {
        if (!fs::is_directory(status)) Fail(output, "exists and is not a folder");
        if (!fs::is_empty(output, ec) || ec)
            Fail(output, "folder is not empty (dump writes only into a new or empty folder)");
        return;
    }
    const fs::path parent = output.parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec))
        Fail(output, "folder " + parent.string() + " does not exist");
}

} // namespace

std::string SafeFileName(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    auto escape = [&out](unsigned char b) {
        static constexpr char Hex[] = "0123456789ABCDEF";
        out += '%';
        out += Hex[b >> 4];
        out += Hex[b & 0xF];
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const bool c1Control =
            b == 0xC2 && i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0x80;
        if (b == '/' || b == '\\' || b == '%' || b < 0x20 || b == 0x7F || (i == 0 && b == '.')) {
            escape(b);
        } else if (c1Control) {
            escape(b);
            escape(static_cast<unsigned char>(utf8[++i]));
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

DumpResult DumpLanguageDatabase(const fs::path& file, const fs::path& outputDir,
                                const DatabaseOptions& options) {
    // "out/" names the folder "out"; the staging folder is named after the last component.
    const fs::path target = outputDir.has_filename() ? outputDir : outputDir.parent_path();
    if (target.empty()) Fail(outputDir, "not a folder name");
    CheckOutputFolder(target);

    ado::Connection connection;
    OpenDatabase(connection, file, options);
    const std::vector<ado::TableSchema> schema = connection.OpenSchema();
    std::vector<TableMatch> matches;
    for (const LanguageTable& layout : LanguageTables()) {
        matches.push_back(MatchTable(schema, layout));
        CheckTable(file, matches.back());
    }

    DumpResult result;
    StagingFolder staging(target);
    for (const TableMatch& match : matches)
        TableDumper(file, match, staging.Path(), result).Dump(connection);
    staging.Commit();
    result.tables = matches.size();
    return result;
}

} // namespace langdb
