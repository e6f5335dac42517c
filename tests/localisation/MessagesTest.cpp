// Notices by number: the language's text, the English text for every language but English itself,
// and the empty text whenever nothing can be read.
#include "localisation/Messages.h"
#include "LanguageFolder.h"

#include <QFile>

#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

namespace {

using jet::ColumnType;
using jet::Null;

const jet::ColumnDef StringId{u"StringID", ColumnType::LongInteger};
const jet::ColumnDef English{u"ENGLISH_US", ColumnType::LongText};
const jet::ColumnDef French{u"FRENCH", ColumnType::LongText};

class MessagesTest : public LanguageFolderTest {};

TEST_F(MessagesTest, LanguageTextWithEnglishFallbackForEveryIndexButThree) {
    WriteDatabase({{u"MessageStrings",
                    {StringId, English, French},
                    {{1, u"Hello", u"Bonjour"},
                     {2, u"Hello", u""},
                     {3, u"Hello", Null{}},
                     {4, u"", u""},
                     {5, Null{}, Null{}},
                     {6, u"First", u"Premier"},
                     {6, u"Second", u"Second"},
                     {100000, u"Large", u"Grand"},
                     {207, u"No criteria", u"Aucun critère"},
                     {208, u"No match", u"Aucune correspondance"},
                     {209, u"No more", u"Plus rien"}}}});
    struct Case {
        const char* what;
        QString column;
        int index;
        std::uint32_t id;
        QString text;
    };
    const Case cases[] = {
        {"text, English", "FRENCH", 3, 1, "Bonjour"},
        {"text, other", "FRENCH", 1, 1, "Bonjour"},
        {"empty text, English: no fallback", "FRENCH", 3, 2, ""},
        {"empty text, other", "FRENCH", 1, 2, "Hello"},
        {"empty text, index 0", "FRENCH", 0, 2, "Hello"},
        {"empty text, index outside the code table", "FRENCH", 40, 2, "Hello"},
        {"NULL text, English", "FRENCH", 3, 3, ""},
        {"NULL text, other", "FRENCH", 1, 3, "Hello"},
        {"both empty", "FRENCH", 1, 4, ""},
        {"both NULL", "FRENCH", 1, 5, ""},
        {"no row, English", "FRENCH", 3, 7, ""},
        {"no row, other", "FRENCH", 1, 7, ""},
        {"first of two rows", "FRENCH", 1, 6, "Premier"},
        {"number beyond 16 bits", "FRENCH", 3, 100000, "Grand"},
        {"ENGLISH_US named twice", "ENGLISH_US", 1, 1, "Hello"},
        {"ENGLISH_US named twice, empty", "ENGLISH_US", 1, 4, ""},
        {"ENGLISH_US alone", "ENGLISH_US", 3, 3, "Hello"},
        {"no searched fields", "FRENCH", 3, MessageNoSearchedFields, "Aucun critère"},
        {"no match", "FRENCH", 3, MessageNoMatch, "Aucune correspondance"},
        {"no next match", "FRENCH", 3, MessageNoNextMatch, "Plus rien"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LanguageSettings.LanguageColumn = c.column;
        LanguageSettings.LanguageIndex = c.index;
        EXPECT_EQ(GetMessageString(c.id).toStdString(), c.text.toStdString());
        EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Open);
        EXPECT_FALSE(LanguageQuery()->Active());
    }
}

// A read that fails gives the empty text and leaves the language database to be made afresh. For
// English only the language's column is named, so a table without ENGLISH_US still serves it.
TEST_F(MessagesTest, FailedReadGivesTheEmptyText) {
    struct Case {
        const char* what;
        std::optional<TestTable> table; // nullopt: no database at all
        int index;
        QString text;
    };
    const Case cases[] = {
        {"no database", std::nullopt, 3, ""},
        {"no table", TestTable{u"FormStrings", {English}, {}}, 3, ""},
        {"no language column", TestTable{u"MessageStrings", {StringId, English}, {{1, u"Hello"}}}, 3, ""},
        {"no ENGLISH_US column", TestTable{u"MessageStrings", {StringId, French}, {{1, u"Bonjour"}}}, 1, ""},
        {"no ENGLISH_US column, English", TestTable{u"MessageStrings", {StringId, French}, {{1, u"Bonjour"}}},
         3, "Bonjour"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(folder / "languages.mdb");
        if (c.table) WriteDatabase({*c.table});
        LanguageSettings.LanguageColumn = "FRENCH";
        LanguageSettings.LanguageIndex = c.index;
        EXPECT_EQ(GetMessageString(1).toStdString(), c.text.toStdString());
        EXPECT_EQ(CurrentLanguageDatabaseState(),
                  c.text.isEmpty() ? LanguageDatabaseState::Absent : LanguageDatabaseState::Open);
    }
}

// Texts are kept between notices; another version of the file is read by the first notice after
// the kept texts' time is up, and at once after a failed read has thrown the database away.
TEST_F(MessagesTest, AnotherVersionOfTheFileIsReadByALaterNotice) {
    const auto messages = [](const char16_t* text) {
        return std::vector<TestTable>{{u"MessageStrings", {StringId, English}, {{1, text}}}};
    };
    LanguageSettings.LanguageColumn = "ENGLISH_US";
    LanguageSettings.LanguageIndex = 3;
    struct Case {
        const char* what;
        std::function<void()> change;
        QString text;
    };
    const Case cases[] = {
        {"renamed into place", [&] { WriteDatabase(messages(u"Renamed")); }, "Renamed"},
        {"rewritten where it lies",
         [&] {
             const auto file = folder / "languages.mdb";
             std::filesystem::rename(file, folder / "old.mdb");
             WriteDatabase(messages(u"Rewritten"));
             std::filesystem::rename(file, folder / "new.mdb");
             std::filesystem::rename(folder / "old.mdb", file);
             std::ifstream in(folder / "new.mdb", std::ios::binary);
             std::ofstream(file, std::ios::binary | std::ios::trunc) << in.rdbuf();
         },
         "Rewritten"},
        {"deleted", [&] { std::filesystem::remove(folder / "languages.mdb"); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteDatabase(messages(u"Before"));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        ASSERT_EQ(GetMessageString(1).toStdString(), "Before");
        c.change();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(GetMessageString(1).toStdString(), c.text.toStdString());
        EXPECT_EQ(CurrentLanguageDatabaseState(),
                  c.text.isEmpty() ? LanguageDatabaseState::Absent : LanguageDatabaseState::Open);
    }

    WriteDatabase(messages(u"Before"));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(GetMessageString(1).toStdString(), "Before");
    WriteDatabase(messages(u"After"));
    EXPECT_FALSE(ReadLanguageDatabase("select ENGLISH_US from Nowhere", [](ado::Query&) {}));
    EXPECT_EQ(GetMessageString(1).toStdString(), "After");
}

} // namespace
