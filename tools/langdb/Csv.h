#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace langdb {

// An error in a source file. what() reads "FILE:LINE:COLUMN: message", or "FILE: message" when the
// problem concerns the file as a whole (line 0). Lines and columns count from 1; a column is the
// number of the field within its record.
class SourceError : public std::runtime_error {
public:
    SourceError(std::string file, std::size_t line, std::size_t column, const std::string& message);
    SourceError(std::string file, const std::string& message) : SourceError(std::move(file), 0, 0, message) {}

    const std::string& File() const { return file_; }
    std::size_t Line() const { return line_; }
    std::size_t Column() const { return column_; }

private:
    std::string file_;
    std::size_t line_;
    std::size_t column_;
};

struct CsvField {
    std::string text; // UTF-8, quotes removed
    // Unquoted and empty. A quoted empty field ("") is empty text, not NULL.
    bool isNull = false;
    std::size_t line = 0; // where the field starts
};

struct CsvRecord {
    std::size_t line = 0; // where the record starts
    std::vector<CsvField> fields;
};

// Reads RFC 4180 records from UTF-8 text held in memory: fields separated by commas, records ended
// by LF or CR LF; quoted fields may hold commas, doubled quotes and line breaks, kept byte for byte.
// A leading BOM is skipped, the last line break is optional and blank lines at the end are not
// records. Invalid UTF-8 and malformed quoting throw SourceError.
class CsvReader {
public:
    CsvReader(std::string fileName, std::string data);

    // Fills record with the next record, reusing its storage; false at the end of the data.
    bool Next(CsvRecord& record);

    // Header names, used only to name the column in error messages.
    void SetColumnNames(std::vector<std::string> names) { columnNames_ = std::move(names); }
    const std::string& FileName() const { return fileName_; }

    [[noreturn]] void Fail(std::size_t line, std::size_t column, const std::string& message) const;

private:
    void ReadField(CsvField& field, std::size_t column);
    std::size_t CheckUtf8At(std::size_t column) const;
    bool OnlyLineBreaksRemain() const;

    std::string fileName_;
    std::string data_;
    std::vector<std::string> columnNames_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::size_t lineStart_ = 0;
};

// Writes records in the one form every source is kept in, so that a source written here and read
// back with CsvReader gives the same fields, and equal tables give equal bytes: fields quoted only
// when they must be (empty text, or a comma, quote, CR or LF inside), LF after every record, no BOM.
class CsvWriter {
public:
    void Field(std::string_view text);
    void Null() { Separate(); } // an unquoted empty field
    void EndRecord();

    const std::string& Text() const { return text_; }

private:
    void Separate();

    std::string text_;
    bool recordStarted_ = false;
};

// The whole file as bytes. Throws SourceError naming the file when it is missing or unreadable.
std::string ReadWholeFile(const std::filesystem::path& path);

// Convenience for small inputs: every record at once.
std::vector<CsvRecord> ParseCsv(std::string fileName, std::string data);

} // namespace langdb
