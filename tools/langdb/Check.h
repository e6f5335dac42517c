#pragma once

#include "langdb/DatabaseAccess.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace langdb {

// A row the program never reads: an earlier row has the same key, or one that differs only in
// letter case, and Access finds the first.
struct RepeatedKey {
    std::size_t row = 0;      // counted from 1 in table order
    std::size_t firstRow = 0; // the row read instead
    bool caseOnly = false;    // the keys are not identical, only equal without regard to case
    std::vector<ado::FieldValue> key;
    std::vector<ado::FieldValue> firstKey;
};

struct LanguageCoverage {
    QString column;
    std::size_t present = 0; // non-empty text, or a resource file (even an empty one)
    std::size_t empty = 0;   // empty text
    std::size_t null = 0;
};

struct TableCheck {
    QString name; // as the database spells it
    bool found = false;
    std::size_t rows = 0;
    std::vector<QString> keyColumns;   // those that identify a row
    std::vector<std::string> errors;   // each makes the database unusable
    std::vector<std::string> warnings; // besides repeated keys
    bool keysChecked = false;          // false when a key column is missing or of the wrong type
    std::vector<RepeatedKey> repeated;
    std::vector<LanguageCoverage> coverage;
};

struct CheckReport {
    std::string file;
    std::vector<TableCheck> tables; // Languages, MessageStrings, FormStrings, ResourceFiles

    std::size_t ErrorCount() const;
    std::size_t WarningCount() const;
    bool Usable() const { return ErrorCount() == 0; }
};

// Reads every table of the language database file. Throws ado::DatabaseError when the file cannot
// be opened or read at all.
CheckReport CheckLanguageDatabase(const std::filesystem::path& file, const DatabaseOptions& options = {});

// The report for people: per table its problems, repeated keys and coverage in aligned columns.
std::string CheckReportText(const CheckReport& report);
// The same as one JSON document.
std::string CheckReportJson(const CheckReport& report);

} // namespace langdb
