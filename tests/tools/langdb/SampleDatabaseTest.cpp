// The sample languages.mdb beside the program, as the build made it from data/languages, read back
// by two readers that no one here wrote.
#include "langdb/LanguageSource.h"
#include "platform/jet/Unicode.h"
#include "support/ExternalReaders.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Cell;

Cell Expected(const jet::Value& v) {
    Cell c;
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        c.kind = Cell::Number, c.number = *i;
    } else if (const auto* t = std::get_if<std::u16string>(&v)) {
        c.kind = Cell::Text, c.text = *t;
    } else if (const auto* b = std::get_if<std::vector<std::uint8_t>>(&v)) {
        c.kind = Cell::Bytes, c.bytes = *b;
    }
    return c;
}

TEST(SampleDatabase, HoldsEverySourceCellForBothReaders) {
    const std::filesystem::path file = ORVANE_SAMPLE_LANGUAGE_DB;
    ASSERT_TRUE(std::filesystem::exists(file)) << file << " was not built";
    const auto source = langdb::LoadLanguageSource(ORVANE_SAMPLE_LANGUAGES_DIR);

    const auto viaNpm = testsupport::ReadWithMdbReader(file, jet::DefaultDatabasePassword);
    EXPECT_EQ(viaNpm.password, std::optional<std::u16string>(jet::DefaultDatabasePassword));
    const auto viaMdbtools = testsupport::ReadWithMdbTools(file);
    for (const auto* db : {&viaNpm, &viaMdbtools}) {
        const bool mdbtools = db == &viaMdbtools;
        SCOPED_TRACE(mdbtools ? "mdbtools" : "mdb-reader");
        EXPECT_EQ(db->tableOrder,
                  (std::vector<std::string>{"Languages", "MessageStrings", "FormStrings", "ResourceFiles"}));
        for (const auto& table : source.tables) {
            const auto& read = db->tables.at(jet::Utf16ToUtf8(table.name));
            ASSERT_EQ(read.columns.size(), table.columns.size());
            ASSERT_EQ(read.rows.size(), table.RowCount());
            for (std::size_t r = 0; r < table.RowCount(); ++r)
                for (std::size_t c = 0; c < table.columns.size(); ++c) {
                    Cell want = Expected(table.Row(r)[c]);
                    if (mdbtools) want = testsupport::MdbToolsView(want);
                    EXPECT_TRUE(testsupport::SameCell(read.rows[r][c], want))
                        << read.columns[c] << " row " << r << ": " << testsupport::Describe(read.rows[r][c]);
                }
        }
    }
}

} // namespace
