#include "langdb/LanguageSource.h"

#include "langdb/Csv.h"
#include "platform/jet/Unicode.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace langdb {

namespace fs = std::filesystem;

namespace {

// Jet's limits on a Text value and on a column name, in UTF-16 code units.
constexpr std::size_t MaxTextLength = 255;
constexpr std::size_t MaxColumnNameLength = 64;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string Quoted(std::string_view s) {
    constexpr std::size_t shown = 40;
    if (s.size() <= shown) return "'" + std::string(s) + "'";
    // Cut on a character boundary so the message stays valid UTF-8.
    std::size_t cut = shown;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
        --cut;
    return "'" + std::string(s.substr(0, cut)) + "...'";
}

std::string Rows(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " row" : " rows");
}

std::u16string ToUtf16(const CsvReader& reader, const CsvField& field, std::size_t column) {
    auto text = jet::Utf8ToUtf16(field.text);
    if (!text) reader.Fail(field.line, column, "invalid UTF-8"); // the reader has already checked
    return std::move(*text);
}

// Access's own rules for field names, so that the writer never meets a name it must refuse.
std::optional<std::string> ColumnNameProblem(std::string_view utf8, std::u16string_view name) {
    if (name.size() > MaxColumnNameLength)
        return "column name longer than " + std::to_string(MaxColumnNameLength) + " characters";
    if (name.front() == u' ') return "column name starts with a space";
    for (char16_t c : name) {
        if (c < 0x20) return "column name holds a control character";
        if (c == u'.' || c == u'!' || c == u'`' || c == u'[' || c == u']')
            return "column name " + Quoted(utf8) + " holds one of . ! ` [ ]";
    }
    return std::nullopt;
}

class TableLoader {
public:
    TableLoader(const fs::path& folder, const LanguageTable& schema)
        : folder_(folder), schema_(schema),
          reader_((folder / schema.file).string(), ReadWholeFile(folder / schema.file)) {}

    const std::vector<std::string>& Warnings() const { return warnings_; }

    Table Load() {
        CsvRecord record;
        if (!reader_.Next(record)) reader_.Fail(1, 1, "empty file: the first line must name the columns");
        ReadHeader(record);
        while (reader_.Next(record))
            ReadRow(record);
        return std::move(table_);
    }

private:
    void ReadHeader(const CsvRecord& header) {
        const std::size_t line = header.line;
        std::vector<std::string> names;
        for (std::size_t i = 0; i < header.fields.size(); ++i) {
            const CsvField& f = header.fields[i];
            if (f.text.empty()) reader_.Fail(line, i + 1, "empty column name");
            names.push_back(f.text);
        }

        const auto& keys = schema_.keys;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const std::string expected(keys[k].name);
            if (k >= names.size()) reader_.Fail(line, k + 1, "missing key column " + expected);
            if (names[k] == expected) continue;
            std::string message = "expected key column " + expected + ", found " + Quoted(names[k]);
            if (EqualsIgnoringCase(names[k], expected)) message += " (letter case matters)";
            reader_.Fail(line, k + 1, message);
        }

        if (!schema_.languageType && names.size() > keys.size()) {
            reader_.Fail(line, keys.size() + 1,
                         "unexpected column " + Quoted(names[keys.size()]) + ": " +
                             std::string(schema_.file) + " has only the columns " + KeyList());
        }

        for (std::size_t i = 0; i < names.size(); ++i) {
            auto name16 = ToUtf16(reader_, header.fields[i], i + 1);
            if (auto problem = ColumnNameProblem(names[i], name16)) reader_.Fail(line, i + 1, *problem);
            for (std::size_t j = 0; j < i; ++j) {
                if (EqualsIgnoringCase(names[j], names[i]))
                    reader_.Fail(line, i + 1,
                                 "column " + Quoted(names[i]) + " repeats column " + std::to_string(j + 1));
            }
            const jet::ColumnType type = i < keys.size() ? keys[i].type : *schema_.languageType;
            table_.columns.push_back({std::move(name16), type});
        }

        if (schema_.languageType && std::find(names.begin() + static_cast<std::ptrdiff_t>(keys.size()),
                                              names.end(), RequiredLanguage) == names.end()) {
            reader_.Fail(line, keys.size() + 1,
                         "no " + std::string(RequiredLanguage) + " column among the language columns");
        }

        table_.name = schema_.table;
        reader_.SetColumnNames(std::move(names));
    }

    void ReadRow(const CsvRecord& record) {
        const std::size_t width = table_.columns.size();
        const std::size_t count = record.fields.size();
        if (count != width) {
            const std::string expected = "expected " + std::to_string(width) + " fields as in the header";
            if (count == 1 && record.fields[0].isNull)
                throw SourceError(reader_.FileName(), record.line, 1, "blank line: " + expected);
            throw SourceError(reader_.FileName(), record.line, std::min(count, width) + 1,
                              expected + ", found " + std::to_string(count));
        }

        // Key values are length-prefixed so that keys holding the separator cannot collide.
        std::string identity, shown;
        for (std::size_t i = 0; i < width; ++i) {
            const CsvField& field = record.fields[i];
            const std::size_t column = i + 1;
            if (i < schema_.keys.size()) {
                if (field.text.empty()) reader_.Fail(field.line, column, "empty key");
                table_.cells.push_back(KeyValue(field, column));
                if (i < schema_.identity) {
                    const std::string piece =
                        table_.columns[i].type == jet::ColumnType::LongInteger
                            ? std::to_string(std::get<std::int32_t>(table_.cells.back()))
                            : field.text;
                    identity += std::to_string(piece.size()) + ':' + piece;
                    shown += (i > 0 ? " / " : "") + piece;
                }
            } else if (field.isNull) {
                table_.cells.emplace_back(jet::Null{});
            } else if (*schema_.languageType == jet::ColumnType::LongBinary) {
                table_.cells.emplace_back(ResourceBytes(field, column));
            } else {
                table_.cells.emplace_back(ToUtf16(reader_, field, column));
            }
        }

        // The database allows repeated keys and the program reads the first row, so a repeat is
        // kept (a database taken apart and rebuilt must come out the same) but reported.
        const auto [it, added] = firstLine_.try_emplace(std::move(identity), record.line);
        if (!added) {
            warnings_.push_back(SourceError(reader_.FileName(), record.line, 1,
                                            "warning: duplicate key " + Quoted(shown) + ", first at line " +
                                                std::to_string(it->second) + ", which is the row read")
                                    .what());
        }
    }

    jet::Value KeyValue(const CsvField& field, std::size_t column) {
        if (table_.columns[column - 1].type == jet::ColumnType::LongInteger) {
            const char* begin = field.text.data();
            const char* end = begin + field.text.size();
            std::int32_t value = 0;
            const auto [stop, ec] = std::from_chars(begin, end, value);
            if (ec == std::errc::result_out_of_range)
                reader_.Fail(field.line, column,
                             Quoted(field.text) +
                                 " is out of range for a long integer (-2147483648 to 2147483647)");
            if (ec != std::errc() || stop != end)
                reader_.Fail(field.line, column, Quoted(field.text) + " is not an integer");
            return value;
        }
        std::u16string text = ToUtf16(reader_, field, column);
        if (text.size() > MaxTextLength)
            reader_.Fail(field.line, column,
                         "text longer than " + std::to_string(MaxTextLength) + " characters");
        return text;
    }

    std::vector<std::uint8_t> ResourceBytes(const CsvField& field, std::size_t column) {
        if (field.text.empty())
            reader_.Fail(field.line, column, "empty file name (leave the field unquoted and empty for none)");
        const fs::path relative(field.text);
        if (relative.is_absolute())
            reader_.Fail(field.line, column,
                         "resource path " + Quoted(field.text) + " must be relative to the source folder");
        const fs::path path = folder_ / relative;
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (!fs::exists(status))
            reader_.Fail(field.line, column, "resource file " + Quoted(field.text) + " not found");
        if (!fs::is_regular_file(status))
            reader_.Fail(field.line, column, "resource " + Quoted(field.text) + " is not an ordinary file");
        std::string bytes;
        try {
            bytes = ReadWholeFile(path);
        } catch (const SourceError& e) {
            reader_.Fail(field.line, column, std::string("cannot read resource file: ") + e.what());
        }
        return {bytes.begin(), bytes.end()};
    }

    std::string KeyList() const {
        std::string list;
        for (const auto& key : schema_.keys)
            list += (list.empty() ? "" : ", ") + std::string(key.name);
        return list;
    }

    fs::path folder_;
    const LanguageTable& schema_;
    CsvReader reader_;
    Table table_;
    std::unordered_map<std::string, std::size_t> firstLine_;
    std::vector<std::string> warnings_;
};

} // namespace

const std::vector<LanguageTable>& LanguageTables() {
    using enum jet::ColumnType;
    static const std::vector<LanguageTable> tables = {
        {"Languages.csv",
         u"Languages",
         {{"LanguageID", LongInteger}, {"LanguageName", Text}},
         1,
         std::nullopt},
        {"MessageStrings.csv", u"MessageStrings", {{"StringID", LongInteger}}, 1, LongText},
        {"FormStrings.csv",
         u"FormStrings",
         {{"FormName", Text}, {"ControlName", Text}, {"PropertyName", Text}},
         3,
         LongText},
        {"ResourceFiles.csv", u"ResourceFiles", {{"ResourceName", Text}}, 1, LongBinary},
    };
    return tables;
}

LanguageSource LoadLanguageSource(const fs::path& folder, const Progress& progress) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) throw SourceError(folder.string(), "source folder not found");
    LanguageSource source;
    for (const LanguageTable& schema : LanguageTables()) {
        TableLoader loader(folder, schema);
        source.tables.push_back(loader.Load());
        source.warnings.insert(source.warnings.end(), loader.Warnings().begin(), loader.Warnings().end());
        if (progress)
            progress(std::string(schema.file) + ": " + Rows(source.tables.back().RowCount()) + " read");
    }
    return source;
}

jet::WriterStats WriteLanguageDatabase(const LanguageSource& source, const fs::path& output,
                                       const BuildOptions& options) {
    jet::WriterOptions writerOptions;
    writerOptions.password = options.password;
    jet::DatabaseWriter writer(output, writerOptions);
    for (const Table& table : source.tables) {
        writer.BeginTable(table.name, table.columns);
        const std::size_t rows = table.RowCount();
        for (std::size_t i = 0; i < rows; ++i)
            writer.AddRow(table.Row(i));
        if (options.progress) options.progress(jet::Utf16ToUtf8(table.name) + ": " + Rows(rows) + " written");
    }
    return writer.Commit();
}

BuildResult BuildLanguageDatabase(const fs::path& folder, const fs::path& output,
                                  const BuildOptions& options) {
    // Cheap checks on the target first, so a mistyped output path fails before a long read.
    std::error_code ec;
    if (fs::is_directory(output, ec)) throw SourceError(output.string(), "is a folder");
    const fs::path parent = output.parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec))
        throw SourceError(output.string(), "folder " + parent.string() + " does not exist");
    const LanguageSource source = LoadLanguageSource(folder, options.progress);
    return {source.tables.size(), WriteLanguageDatabase(source, output, options), source.warnings};
}

} // namespace langdb
