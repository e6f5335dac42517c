// Checks on the sample sources in data/languages that a build alone would not catch: untranslated
// cells, and accelerator keys that are lost, added or clash within a form in some language.
#include "langdb/LanguageSource.h"

#include "TestFiles.h"
#include "platform/jet/Unicode.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

namespace langdb {
namespace {

const std::vector<std::u16string> LanguageColumns = {
    u"ENGLISH_US", u"CHINESE_SIMPLIFIED", u"CHINESE_TRADITIONAL", u"FRENCH", u"GERMAN", u"HEBREW",
    u"RUSSIAN"};

class SampleSources : public testing::Test {
protected:
    static void SetUpTestSuite() {
        source_ = new LanguageSource(LoadLanguageSource(ORVANE_SAMPLE_LANGUAGES_DIR));
    }
    static void TearDownTestSuite() {
        delete source_;
        source_ = nullptr;
    }
    const Table& Get(std::u16string_view name) const {
        for (const Table& t : source_->tables)
            if (t.name == name) return t;
        throw std::runtime_error("no such table");
    }
    static std::vector<std::u16string> LanguageNames(const Table& t, std::size_t keys) {
        std::vector<std::u16string> names;
        for (std::size_t i = keys; i < t.columns.size(); ++i)
            names.push_back(t.columns[i].name);
        return names;
    }
    static const std::u16string& Text(const jet::Value& v) { return std::get<std::u16string>(v); }

    static inline LanguageSource* source_ = nullptr;
};

TEST_F(SampleSources, ListTheSixteenLanguages) {
    const Table& t = Get(u"Languages");
    const char16_t* names[] = {u"CHS", u"CHT", u"ENG", u"FRA", u"DEU", u"HEB", u"RUS", u"ITA",
                               u"ESP", u"PTB", u"JPN", u"KOR", u"POL", u"TRK", u"NLD", u"LAT"};
    ASSERT_EQ(t.RowCount(), std::size(names));
    for (std::size_t i = 0; i < t.RowCount(); ++i) {
        EXPECT_EQ(t.Row(i)[0], jet::Value(static_cast<std::int32_t>(i + 1)));
        EXPECT_EQ(t.Row(i)[1], jet::Value(names[i]));
    }
}

TEST_F(SampleSources, TranslateEveryTextIntoEveryLanguage) {
    for (const auto& [table, keys] : {std::pair{u"MessageStrings", 1}, std::pair{u"FormStrings", 3}}) {
        const Table& t = Get(table);
        EXPECT_EQ(LanguageNames(t, keys), LanguageColumns);
        for (std::size_t r = 0; r < t.RowCount(); ++r) {
            for (std::size_t c = keys; c < t.columns.size(); ++c) {
                const auto* text = std::get_if<std::u16string>(&t.Row(r)[c]);
                EXPECT_TRUE(text && !text->empty()) << "row " << r + 1 << " column " << c + 1;
            }
        }
    }
    const Table& resources = Get(u"ResourceFiles");
    EXPECT_EQ(LanguageNames(resources, 1), LanguageColumns);
    for (std::size_t r = 0; r < resources.RowCount(); ++r)
        EXPECT_TRUE(std::holds_alternative<std::vector<std::uint8_t>>(resources.Row(r)[1]))
            << "no English file";

    for (const char* file : {"Languages.csv", "MessageStrings.csv", "FormStrings.csv", "ResourceFiles.csv"})
        EXPECT_EQ(test::ReadFile(std::filesystem::path(ORVANE_SAMPLE_LANGUAGES_DIR) / file).find('\r'),
                  std::string::npos)
            << file << " has CR LF line ends";
}

TEST_F(SampleSources, HoldTheTextsTheDialogsLookUp) {
    const Table& forms = Get(u"FormStrings");
    std::map<std::u16string, std::u16string> english;
    for (std::size_t r = 0; r < forms.RowCount(); ++r) {
        const auto row = forms.Row(r);
        english[Text(row[0]) + u"." + Text(row[1]) + u"." + Text(row[2])] = Text(row[3]);
    }
    const std::pair<std::u16string, std::u16string> expected[] = {
        {u"frmMain.btClose.Caption", u"&Close"},
        {u"wwLocateDlg.wwLocateDlg.Caption", u"Locate Field Value"},
        {u"wwLocateDlg.MatchTypeGroup.Caption", u"Match type"},
        {u"wwLocateDlg.MatchTypeGroup.Items0", u"Exact match"},
        {u"wwLocateDlg.MatchTypeGroup.Items1", u"Partial match at beginning"},
        {u"wwLocateDlg.MatchTypeGroup.Items2", u"Partial match anywhere"},
        {u"wwLocateDlg.FirstButton.Caption", u"Fi&rst"},
        {u"wwLocateDlg.NextButton.Caption", u"&Next"},
        {u"wwFilterDlg.wwFilterDlg.Caption", u"Filter"},
        {u"wwFilterDlg.tsAll.Caption", u"&All"},
        {u"wwFilterDlg.tsSearched.Caption", u"&Searched"},
        {u"wwFilterDlg.ViewButton.Caption", u"View Su&mmary"},
    };
    for (const auto& [key, text] : expected)
        EXPECT_EQ(english[key], text) << jet::Utf16ToUtf8(key);
    for (const char* key : {"frmMain.frmMain.Caption", "frmMain.frmMain.Hint", "frmMain.btClose.Hint"})
        EXPECT_TRUE(english.contains(jet::Utf8ToUtf16(key).value())) << key;

    std::set<std::int32_t> ids;
    const Table& messages = Get(u"MessageStrings");
    for (std::size_t r = 0; r < messages.RowCount(); ++r)
        ids.insert(std::get<std::int32_t>(messages.Row(r)[0]));
    EXPECT_TRUE(ids.contains(207) && ids.contains(208) && ids.contains(209));
}

// The key after a single '&' ("&&" is a literal ampersand), folded so that Alt+F and Alt+f match.
std::vector<char16_t> Accelerators(std::u16string_view text) {
    std::vector<char16_t> keys;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        char16_t c = text[++i];
        if (c == u'&') continue;
        if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
            c += 0x20;
        else if (c >= 0x400 && c <= 0x40F)
            c += 0x50;
        keys.push_back(c);
    }
    return keys;
}

TEST_F(SampleSources, KeepOneAcceleratorWhereEnglishHasOneAndNoClashWithinAForm) {
    const Table& forms = Get(u"FormStrings");
    std::map<std::pair<std::u16string, std::size_t>, std::map<char16_t, std::u16string>>
        used; // (form, column)
    for (std::size_t r = 0; r < forms.RowCount(); ++r) {
        const auto row = forms.Row(r);
        const std::size_t expected = Accelerators(Text(row[3])).size();
        EXPECT_LE(expected, 1u);
        for (std::size_t c = 3; c < forms.columns.size(); ++c) {
            const std::u16string& text = Text(row[c]);
            const auto keys = Accelerators(text);
            EXPECT_EQ(keys.size(), expected) << jet::Utf16ToUtf8(text);
            for (char16_t key : keys) {
                const auto [it, added] = used[{Text(row[0]), c}].try_emplace(key, text);
                EXPECT_TRUE(added) << jet::Utf16ToUtf8(text) << " clashes with "
                                   << jet::Utf16ToUtf8(it->second);
            }
        }
    }
}

} // namespace
} // namespace langdb
