#pragma once

#include "platform/jet/DatabaseWriter.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace langdb {

// Every table with language columns must have this one; the program falls back to it.
inline constexpr std::string_view RequiredLanguage = "ENGLISH_US";

struct KeyColumn {
    std::string_view name;
    jet::ColumnType type;
};

// One table of a language database as the sources describe it.
struct LanguageTable {
    std::string_view file;
    std::u16string_view table;
    std::vector<KeyColumn> keys;
    // How many leading key columns identify a row; the program looks rows up by them.
    std::size_t identity;
    // Type of the language columns after the keys; unset when the table has none.
    std::optional<jet::ColumnType> languageType;
};

// Languages, MessageStrings, FormStrings, ResourceFiles, in the order they are built.
const std::vector<LanguageTable>& LanguageTables();

// One table ready for the writer. Rows lie one after another, columns.size() values each, so a
// large table costs one allocation per text rather than one per row as well.
struct Table {
    std::u16string name;
    std::vector<jet::ColumnDef> columns;
    std::vector<jet::Value> cells;

    std::size_t RowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
    std::span<const jet::Value> Row(std::size_t i) const {
        return {cells.data() + i * columns.size(), columns.size()};
    }
};

// The tables of a language database in the order they are written: Languages, MessageStrings,
// FormStrings, ResourceFiles.
struct LanguageSource {
    std::vector<Table> tables;
    // Things worth a look that do not stop a build, one message each ("file:line:column: warning: ...").
    std::vector<std::string> warnings;
};

// Receives one line of progress text at a time.
using Progress = std::function<void(const std::string&)>;

// Reads Languages.csv, MessageStrings.csv, FormStrings.csv and ResourceFiles.csv from folder,
// checks them against the schema and loads every resource file they name. Throws SourceError naming
// the file, line and column of the first problem.
LanguageSource LoadLanguageSource(const std::filesystem::path& folder, const Progress& progress = {});

struct BuildOptions {
    std::u16string password = jet::DefaultDatabasePassword;
    Progress progress;
};

// Writes the tables with jet::DatabaseWriter. On any error the target is left as it was.
jet::WriterStats WriteLanguageDatabase(const LanguageSource& source, const std::filesystem::path& output,
                                       const BuildOptions& options = {});

struct BuildResult {
    std::size_t tables = 0;
    jet::WriterStats stats;
    std::vector<std::string> warnings;
};

// Load, then write: no file is created unless every source is valid.
BuildResult BuildLanguageDatabase(const std::filesystem::path& folder, const std::filesystem::path& output,
                                  const BuildOptions& options = {});

} // namespace langdb
