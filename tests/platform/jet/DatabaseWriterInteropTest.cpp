// Files from our writer, read back by two readers no one here wrote: the npm package mdb-reader and
// Debian's mdbtools. Every cell must come back exactly from mdb-reader, and from mdbtools except
// where mdbtools is known to differ (characters outside the BMP, empty long text).
#include "platform/jet/DatabaseWriter.h"
#include "platform/jet/Unicode.h"
#include "support/ExternalReaders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace jet;
using testsupport::Cell;
namespace fs = std::filesystem;

namespace {

struct TempFile {
    fs::path path = fs::temp_directory_path() / ("orvane-interop-" + std::to_string(::getpid()) + "-" +
                                                 std::to_string(counter++) + ".mdb");
    ~TempFile() { fs::remove(path); }
    static inline int counter = 0;
};

std::vector<std::uint8_t> Bytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(random());
    return b;
}

std::u16string Repeat(std::u16string_view unit, std::size_t times) {
    std::u16string s;
    for (std::size_t i = 0; i < times; ++i) s += unit;
    return s;
}

// What a reader should give for a written value.
Cell Expected(const Value& v) {
    Cell c;
    if (std::holds_alternative<Null>(v)) {
        c.kind = Cell::Null;
    } else if (const auto* i = std::get_if<std::int32_t>(&v)) {
        c.kind = Cell::Number, c.number = *i;
    } else if (const auto* d = std::get_if<double>(&v)) {
        c.kind = Cell::Number, c.number = *d;
    } else if (const auto* t = std::get_if<std::u16string>(&v)) {
        c.kind = Cell::Text, c.text = *t;
    } else {
        c.kind = Cell::Bytes, c.bytes = std::get<std::vector<std::uint8_t>>(v);
    }
    return c;
}

const std::vector<ColumnDef> CellColumns{
    {u"ID", ColumnType::LongInteger}, {u"Small", ColumnType::Integer}, {u"Created", ColumnType::DateTime},
    {u"Short", ColumnType::Text},     {u"Memo", ColumnType::LongText}, {u"Blob", ColumnType::LongBinary},
};

// Every kind of cell the system stores, with the sizes where the file layout changes: compressed
// and plain text, values in the row, in one long-value row, and in chains of them.
std::vector<std::vector<Value>> CellRows() {
    using S = std::u16string;
    std::vector<std::vector<Value>> rows{
        {1, Null{}, Null{}, Null{}, Null{}, Null{}},
        {2, 0, 0.0, S(), S(), std::vector<std::uint8_t>{}},
        {std::numeric_limits<std::int32_t>::min(), -32768, -1.5, S(u"ASCII only, compressed"), S(u"x"),
         Bytes(1, 1)},
        {std::numeric_limits<std::int32_t>::max(), 32767, 45000.75, S(u"Ünïcödé façade"), S(u"中文字体 и кириллица"),
         Bytes(64, 2)},
        {-1, 7, 36526.0, S(u"abc字def, mixed runs"), S(u"עברית עם ASCII 123"), Bytes(4076, 3)},
        {5, 8, 1.0, S(u"emoji 👍🏽 and 𠀋"), S(u"quotes \" ' , commas\r\nCR LF\ttab"), Bytes(4077, 4)},
        {6, 9, 2.0, S(u"\uFEFFstarts like compressed text"), S(u"\uFEFF"), Bytes(8152, 5)},
        {7, 10, 3.0, S(u"Ā U+0100 cannot be compressed"), Repeat(u"a", 1024), Bytes(8153, 6)},
        {8, 11, 4.0, Repeat(u"é", 255), Repeat(u"a", 1025), Bytes(100000, 7)},
        {9, 12, 5.0, Repeat(u"字", 255), Repeat(u"Line ✓ шрифт 字体\r\n", 6000), Bytes(3 * 1024 * 1024, 8)},
        {10, 13, 6.0, S(u"lone surrogate \xD800 kept"), S(u"\xDC00 lone low surrogate first"), Null{}},
        {11, 14, 7.0, S(u"\uFFFD replacement"), Repeat(u"ab€", 1500), Bytes(2037, 9)},
        // Together too big for the row: the larger value leaves it, the smaller stays.
        {12, 15, 8.0, S(u"two long values"), Repeat(u"ab€", 250), Bytes(3000, 10)},
    };
    return rows;
}

void ExpectSameTable(const testsupport::ReadTable& table, const std::vector<ColumnDef>& columns,
                     const std::vector<std::vector<Value>>& rows, bool mdbtools) {
    ASSERT_EQ(table.columns.size(), columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c)
        EXPECT_EQ(table.columns[c], jet::Utf16ToUtf8(columns[c].name));
    ASSERT_EQ(table.rows.size(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            Cell want = Expected(rows[r][c]);
            const Cell& got = table.rows[r][c];
            if (mdbtools) {
                // mdbtools prints dates to the second, and only from 1899-12-30 on.
                if (columns[c].type == ColumnType::DateTime && want.kind == Cell::Number) {
                    if (want.number < 0) continue;
                    want.number = std::round(want.number * 86400) / 86400;
                    EXPECT_EQ(got.kind, Cell::Number) << "row " << r << ": " << testsupport::Describe(got);
                    EXPECT_NEAR(got.number, want.number, 1e-9) << "row " << r;
                    continue;
                }
                want = testsupport::MdbToolsView(want);
            }
            EXPECT_TRUE(testsupport::SameCell(got, want))
                << "row " << r << " column " << table.columns[c] << ": got " << testsupport::Describe(got)
                << ", want " << testsupport::Describe(want);
        }
    }
}

} // namespace

TEST(DatabaseWriterInterop, EveryCellComesBackFromBothReaders) {
    TempFile file;
    const auto rows = CellRows();
    std::vector<std::vector<Value>> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back({i, std::u16string(u"row ") + std::u16string(1, static_cast<char16_t>(u'a' + i % 26))});
    const std::vector<ColumnDef> manyColumns{{u"N", ColumnType::LongInteger}, {u"Label", ColumnType::Text}};
    {
        DatabaseWriter w(file.path);
        w.BeginTable(u"Cells", CellColumns);
        for (const auto& r : rows) w.AddRow(r);
        w.BeginTable(u"Many", manyColumns);
        for (const auto& r : many) w.AddRow(r);
        w.BeginTable(u"Empty", {{u"Nothing", ColumnType::Text}});
        w.Commit();
    }

    const auto viaNpm = testsupport::ReadWithMdbReader(file.path, DefaultDatabasePassword);
    EXPECT_EQ(viaNpm.password, std::optional<std::u16string>(DefaultDatabasePassword));
    EXPECT_EQ(viaNpm.tableOrder, (std::vector<std::string>{"Cells", "Many", "Empty"}));
    ExpectSameTable(viaNpm.tables.at("Cells"), CellColumns, rows, false);
    ExpectSameTable(viaNpm.tables.at("Many"), manyColumns, many, false);
    EXPECT_TRUE(viaNpm.tables.at("Empty").rows.empty());

    const auto viaMdbtools = testsupport::ReadWithMdbTools(file.path);
    EXPECT_EQ(viaMdbtools.tableOrder, (std::vector<std::string>{"Cells", "Many", "Empty"}));
    ExpectSameTable(viaMdbtools.tables.at("Cells"), CellColumns, rows, true);
    ExpectSameTable(viaMdbtools.tables.at("Many"), manyColumns, many, true);
    EXPECT_TRUE(viaMdbtools.tables.at("Empty").rows.empty());
}

TEST(DatabaseWriterInterop, PasswordIsWhatWasAsked) {
    const std::optional<std::u16string> cases[] = {u"Пароль字", u"12345678901234567890", std::nullopt};
    for (const auto& password : cases) {
        TempFile file;
        WriterOptions options;
        options.password = password.value_or(u"");
        DatabaseWriter w(file.path, options);
        w.BeginTable(u"T", {{u"A", ColumnType::Text}});
        w.Commit();
        EXPECT_EQ(testsupport::ReadWithMdbReader(file.path, options.password).password, password);
    }
}

// A table whose pages lie further apart than one usage-map row can span (about 32,000 pages, 130
// MB) gets a map of bitmap pages; so does the file's own free-page map.
TEST(DatabaseWriterInterop, TablesSpreadOverMoreThanOneMapRowCanBeScanned) {
    TempFile file;
    // Two rows of about 2 KB fill a data page; the long value between them pushes the next data
    // page 34,000 pages further.
    const std::u16string pad(990, u'字');
    std::vector<std::vector<Value>> rows;
    for (int i = 0; i < 6; ++i) rows.push_back({i, pad + std::u16string(1, static_cast<char16_t>(u'a' + i))});
    {
        DatabaseWriter w(file.path);
        w.BeginTable(u"Spread", {{u"ID", ColumnType::LongInteger},
                                 {u"Pad", ColumnType::LongText},
                                 {u"Blob", ColumnType::LongBinary}});
        for (int i = 0; i < 6; ++i) {
            std::vector<Value> row = rows[i];
            row.push_back(i == 2 ? Value(std::vector<std::uint8_t>(34000 * 4076, 0x5A)) : Value(Null{}));
            w.AddRow(row);
        }
        const auto stats = w.Commit();
        ASSERT_GT(stats.pages, 34000u);
    }
    const auto viaNpm = testsupport::ReadWithMdbReader(file.path, DefaultDatabasePassword, {"ID", "Pad"});
    ExpectSameTable(viaNpm.tables.at("Spread"), {{u"ID", ColumnType::LongInteger}, {u"Pad", ColumnType::LongText}},
                    rows, false);
    EXPECT_EQ(testsupport::CountRowsWithMdbTools(file.path, "Spread"), rows.size());
}
