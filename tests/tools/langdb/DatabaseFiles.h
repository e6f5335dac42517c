#pragma once

// Helpers for the tests of the commands that read databases: running the command line, writing a
// database directly with the writer (so that it may hold what build would refuse or never write),
// reading tables back through the data-access layer and comparing folders file by file.

#include "langdb/CommandLine.h"
#include "langdb/DatabaseAccess.h"
#include "platform/jet/DatabaseWriter.h"

#include "TestFiles.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace langdb::test {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline Outcome Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

struct TestTable {
    std::u16string name;
    std::vector<jet::ColumnDef> columns;
    std::vector<std::vector<jet::Value>> rows;
};

inline void WriteDatabase(const std::filesystem::path& file, const std::vector<TestTable>& tables) {
    std::filesystem::create_directories(file.parent_path());
    jet::DatabaseWriter writer(file);
    for (const TestTable& t : tables) {
        writer.BeginTable(t.name, t.columns);
        for (const auto& row : t.rows)
            writer.AddRow(row);
    }
    writer.Commit();
}

// The four tables with one row each, for tests to change.
inline std::vector<TestTable> MinimalTables() {
    using enum jet::ColumnType;
    return {
        {u"Languages", {{u"LanguageID", LongInteger}, {u"LanguageName", Text}}, {{1, u"ENG"}}},
        {u"MessageStrings", {{u"StringID", LongInteger}, {u"ENGLISH_US", LongText}}, {{207, u"No match."}}},
        {u"FormStrings",
         {{u"FormName", Text}, {u"ControlName", Text}, {u"PropertyName", Text}, {u"ENGLISH_US", LongText}},
         {{u"frmMain", u"btClose", u"Caption", u"&Close"}}},
        {u"ResourceFiles",
         {{u"ResourceName", Text}, {u"ENGLISH_US", LongBinary}},
         {{u"Readme.txt", std::vector<std::uint8_t>{'h', 'i'}}}},
    };
}

inline TestTable& TableNamed(std::vector<TestTable>& tables, std::u16string_view name) {
    for (TestTable& t : tables)
        if (t.name == name) return t;
    throw std::runtime_error("no such table");
}

inline std::vector<ado::TableSchema> Schema(const std::filesystem::path& file) {
    ado::Connection connection;
    OpenDatabase(connection, file, {});
    return connection.OpenSchema();
}

// The named columns of a table, all rows, as the program would read them.
inline ado::Recordset ReadColumns(const std::filesystem::path& file, const QString& table,
                                  const QStringList& columns) {
    ado::Connection connection;
    OpenDatabase(connection, file, {});
    return SelectColumns(connection, table, columns);
}

inline QStringList ColumnNames(const ado::TableSchema& table) {
    QStringList names;
    for (const auto& c : table.columns)
        names << c.name;
    return names;
}

// Every regular file under dir by its path relative to dir, with its bytes.
inline std::map<std::string, std::string> FilesUnder(const std::filesystem::path& dir,
                                                     const std::vector<std::string>& ignored = {}) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file()) continue;
        const std::string relative = e.path().lexically_relative(dir).generic_string();
        if (std::find(ignored.begin(), ignored.end(), relative) == ignored.end())
            files[relative] = ReadFile(e.path());
    }
    return files;
}

// What differs between two sets of files, one line per path, so that a failure stays short even
// when a file is megabytes long.
inline std::vector<std::string> Differences(const std::map<std::string, std::string>& expected,
                                            const std::map<std::string, std::string>& actual) {
    std::vector<std::string> lines;
    for (const auto& [path, bytes] : expected) {
        const auto it = actual.find(path);
        if (it == actual.end())
            lines.push_back("missing: " + path);
        else if (it->second != bytes)
            lines.push_back("differs: " + path + "\n--- expected\n" + bytes.substr(0, 2000) +
                            "\n--- actual\n" + it->second.substr(0, 2000));
    }
    for (const auto& [path, bytes] : actual)
        if (!expected.contains(path)) lines.push_back("unexpected: " + path);
    return lines;
}

// Empty when both hold the same columns (names without regard to letter case, as Access compares
// them) and values; otherwise where they first differ.
inline std::string Difference(const ado::Recordset& expected, const ado::Recordset& actual) {
    if (expected.columns.join(u',').compare(actual.columns.join(u','), Qt::CaseInsensitive) != 0)
        return "columns " + expected.columns.join(u',').toStdString() + " vs " +
               actual.columns.join(u',').toStdString();
    if (expected.rows.size() != actual.rows.size())
        return std::to_string(expected.rows.size()) + " rows vs " + std::to_string(actual.rows.size());
    for (std::size_t r = 0; r < expected.rows.size(); ++r)
        for (std::size_t c = 0; c < expected.rows[r].size(); ++c)
            if (expected.rows[r][c] != actual.rows[r][c])
                return "row " + std::to_string(r + 1) + " column " +
                       expected.columns[static_cast<qsizetype>(c)].toStdString();
    return {};
}

} // namespace langdb::test
