#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace jet {

// Column types, numbered as Jet numbers them in table definitions.
enum class ColumnType : std::uint8_t {
    Integer = 0x03,     // 16-bit
    LongInteger = 0x04, // 32-bit
    DateTime = 0x08,    // days since 1899-12-30, as a double
    Text = 0x0A,        // up to 255 UTF-16 code units
    LongBinary = 0x0B,  // "OLE object": any number of bytes
    LongText = 0x0C,    // "memo": any number of UTF-16 code units
};

struct ColumnDef {
    std::u16string name;
    ColumnType type;
};

struct Null {
    bool operator==(const Null&) const = default;
};

// One cell: NULL, an integer (Integer, LongInteger), a date (DateTime), text (Text, LongText)
// or bytes (LongBinary). Empty text and NULL are different values.
using Value = std::variant<Null, std::int32_t, double, std::u16string, std::vector<std::uint8_t>>;

class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The password every language database of the suite is created with.
inline constexpr char16_t DefaultDatabasePassword[] = u"wxqv_5831";

struct WriterOptions {
    // Written into the file header; empty means no password. At most 20 UTF-16 code units.
    std::u16string password = DefaultDatabasePassword;
    // Creation date stored in the header (days since 1899-12-30). Unset: SOURCE_DATE_EPOCH when
    // set, so that builds are reproducible, else the current time.
    std::optional<double> creationDate;
};

struct WriterStats {
    std::uint64_t rows = 0;
    std::uint32_t pages = 0;
    std::uint64_t bytes = 0;
};

// Writes a new Access 2000 (Jet 4) database file: tables with the column types above, any number
// of rows, long values over as many pages as they need, no indexes.
//
// The file is built under a temporary name in the target's folder and renamed over the target by
// Commit(), so a reader never sees a half-written database. Destroying the writer without a
// successful Commit() removes the temporary file and leaves the target as it was.
//
// Usage: BeginTable, then AddRow for each row; BeginTable again for the next table; Commit.
class DatabaseWriter {
public:
    explicit DatabaseWriter(const std::filesystem::path& target, WriterOptions options = {});
    ~DatabaseWriter();
    DatabaseWriter(const DatabaseWriter&) = delete;
    DatabaseWriter& operator=(const DatabaseWriter&) = delete;

    void BeginTable(const std::u16string& name, std::vector<ColumnDef> columns);
    // One value per column, in column order; each must suit its column's type.
    void AddRow(std::span<const Value> row);
    WriterStats Commit();

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace jet
