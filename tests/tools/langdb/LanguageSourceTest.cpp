#include "langdb/LanguageSource.h"
#include "langdb/Csv.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

namespace langdb {
namespace {

using jet::ColumnType;
using V = jet::Value;
using test::TempDir;

std::vector<std::pair<std::u16string, ColumnType>> Columns(const Table& t) {
    std::vector<std::pair<std::u16string, ColumnType>> out;
    for (const auto& c : t.columns)
        out.emplace_back(c.name, c.type);
    return out;
}

TEST(LoadLanguageSource, ReadsTablesInOrderWithTypesAndValues) {
    TempDir dir;
    test::WriteValidSource(dir.Path());
    const LanguageSource s = LoadLanguageSource(dir.Path());
    ASSERT_EQ(s.tables.size(), 4u);
    const Table& languages = s.tables[0];
    const Table& messages = s.tables[1];
    const Table& forms = s.tables[2];
    const Table& resources = s.tables[3];

    EXPECT_EQ(languages.name, u"Languages");
    EXPECT_EQ(Columns(languages), (decltype(Columns(languages)){{u"LanguageID", ColumnType::LongInteger},
                                                                {u"LanguageName", ColumnType::Text}}));
    EXPECT_EQ(languages.cells, (std::vector<V>{1, u"ENG", 2, u"FRA"}));

    EXPECT_EQ(messages.name, u"MessageStrings");
    EXPECT_EQ(Columns(messages), (decltype(Columns(messages)){{u"StringID", ColumnType::LongInteger},
                                                              {u"ENGLISH_US", ColumnType::LongText},
                                                              {u"FRENCH", ColumnType::LongText}}));
    // An unquoted empty cell is NULL, a quoted one is empty text.
    EXPECT_EQ(messages.cells, (std::vector<V>{207, u"No match.", jet::Null{}, -208, u"", u"Aucune entrée"}));

    EXPECT_EQ(forms.name, u"FormStrings");
    EXPECT_EQ(Columns(forms), (decltype(Columns(forms)){{u"FormName", ColumnType::Text},
                                                        {u"ControlName", ColumnType::Text},
                                                        {u"PropertyName", ColumnType::Text},
                                                        {u"ENGLISH_US", ColumnType::LongText},
                                                        {u"FRENCH", ColumnType::LongText}}));
    ASSERT_EQ(forms.RowCount(), 2u);
    EXPECT_EQ(std::vector<V>(forms.Row(1).begin(), forms.Row(1).end()),
              (std::vector<V>{u"frmMain", u"btClose", u"Hint", u"Two\r\nlines", u"Deux lignes"}));

    EXPECT_EQ(resources.name, u"ResourceFiles");
    EXPECT_EQ(Columns(resources), (decltype(Columns(resources)){{u"ResourceName", ColumnType::Text},
                                                                {u"ENGLISH_US", ColumnType::LongBinary},
                                                                {u"FRENCH", ColumnType::LongBinary}}));
    EXPECT_EQ(resources.cells,
              (std::vector<V>{u"Readme.txt", std::vector<std::uint8_t>{'a', '\r', '\n', 'b', 0, 'c'},
                              jet::Null{}}));
}

TEST(LoadLanguageSource, TextKeyLimitCountsUtf16Units) {
    auto repeat = [](std::string_view s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += s;
        return out;
    };
    const std::string emoji = "\xF0\x9F\x98\x80"; // two UTF-16 units
    const struct {
        std::string key;
        bool accepted;
    } cases[] = {
        {repeat("a", 255), true},         {repeat("a", 256), false},   {repeat("é", 255), true}, // 510 bytes
        {repeat(emoji, 127) + "a", true}, {repeat(emoji, 128), false}, // only 128 code points
    };
    for (const auto& c : cases) {
        TempDir dir;
        test::WriteValidSource(dir.Path());
        test::WriteFile(dir / "FormStrings.csv",
                        "FormName,ControlName,PropertyName,ENGLISH_US\nf,c," + c.key + ",x\n");
        SCOPED_TRACE(c.key);
        if (c.accepted) {
            EXPECT_NO_THROW(LoadLanguageSource(dir.Path()));
        } else {
            try {
                LoadLanguageSource(dir.Path());
                ADD_FAILURE() << "accepted";
            } catch (const SourceError& e) {
                EXPECT_NE(std::string(e.what()).find(
                              "FormStrings.csv:2:3: text longer than 255 characters in column PropertyName"),
                          std::string::npos)
                    << e.what();
            }
        }
    }
}

} // namespace
} // namespace langdb
