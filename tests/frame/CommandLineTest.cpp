// How the command line chooses the user-interface language, and the integer text it shares with the
// registry language.
#include "frame/CommandLine.h"
#include "localisation/Languages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;

namespace {

constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();

// Views keep embedded NUL characters, which string literals turned into QString would lose.
QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

QStringList Parameters(const std::vector<std::u16string_view>& parameters) {
    QStringList list;
    for (const auto p : parameters)
        list << Text(p);
    return list;
}

// Runs the parser from a given index and gives back the index it leaves, restoring the record.
std::int32_t IndexAfter(const QStringList& parameters, std::int32_t start = 0) {
    const std::int32_t saved = LanguageSettings.LanguageIndex;
    LanguageSettings.LanguageIndex = start;
    ParseCommandLine(parameters);
    const std::int32_t result = LanguageSettings.LanguageIndex;
    LanguageSettings.LanguageIndex = saved;
    return result;
}

TEST(TryStrToInt, AcceptsDecimalAndHexWithinThirtyTwoBits) {
    const struct {
        std::u16string_view text;
        std::int32_t value;
    } cases[] = {
        {u"0", 0},
        {u"7", 7},
        {u"+7", 7},
        {u"-7", -7},
        {u"-0", 0},
        {u"   42", 42},
        {u" -42", -42},
        {u"000000000000000000000012", 12},
        {u"2147483647", Max},
        {u"-2147483648", Min},
        {u"+2147483647", Max},
        {u"$10", 16},
        {u"x10", 16},
        {u"X1f", 31},
        {u"0x10", 16},
        {u"0XaB", 171},
        {u"$abcdef", 0xABCDEF},
        {u"+$10", 16},
        {u"  -0x10", -16},
        {u"$7FFFFFFF", Max},
        {u"$80000000", Min},
        {u"$FFFFFFFF", -1},
        {u"$0000000000FFFFFFFF", -1},
        {u"-$1", -1},
        {u"-$FFFFFFFF", 1},
        {u"-$80000000", Min},
        {u"-0x7FFFFFFF", -Max},
    };
    for (const auto& c : cases) {
        const QString text = Text(c.text);
        SCOPED_TRACE(text.toStdString());
        std::int32_t value = 12345;
        EXPECT_TRUE(TryStrToInt(text, value));
        EXPECT_EQ(value, c.value);
    }
}

TEST(TryStrToInt, RejectsAnythingElseAndLeavesTheValue) {
    const std::u16string_view cases[] = {
        u"",
        u" ",
        u"+",
        u"-",
        u"$",
        u"x",
        u"0x",
        u"-0X",
        u"2147483648",
        u"-2147483649",
        u"4294967295",
        u"99999999999999999999999999999999",
        u"$100000000",
        u"-$100000000",
        u"$FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
        u"12 ",
        u"1 2",
        u"\t12",
        u"\u00A012",
        u"12\0"sv,
        u"- 5",
        u"+-5",
        u"--5",
        u"12a",
        u"1.0",
        u"1e3",
        u"0b101",
        u"00x10",
        u"0 x10",
        u"$-5",
        u"0x-5",
        u"$$1",
        u"0x0x1",
        u"$G",
        u"ff",
        u"\u0663",       // Arabic-Indic three
        u"\uFF11\uFF12", // full-width twelve
    };
    for (const auto c : cases) {
        const QString text = Text(c);
        SCOPED_TRACE(text.toStdString());
        std::int32_t value = 12345;
        EXPECT_FALSE(TryStrToInt(text, value));
        EXPECT_EQ(value, 12345);
    }
}

TEST(ParseCommandLine, EveryCodeInUpperOrLowerCaseOnly) {
    const char* const codes[] = {"CHS", "CHT", "ENG", "FRE", "GRE", "HEB", "HUN", "ITA",
                                 "NOB", "RUS", "SPA", "TUR", "POR", "POL", "SEL", "LAT"};
    std::int32_t number = 0;
    for (const char* code : codes) {
        ++number;
        const QString upper = QString::fromLatin1(code);
        const QString lower = upper.toLower();
        const QString capitalised = upper.left(1) + lower.mid(1);
        const QString lastUpper = lower.left(2) + upper.mid(2);
        SCOPED_TRACE(code);
        for (const QString& sw : {QStringLiteral("/L"), QStringLiteral("/l")}) {
            EXPECT_EQ(IndexAfter({sw + upper}), number);
            EXPECT_EQ(IndexAfter({sw + lower}), number);
            EXPECT_EQ(IndexAfter({sw + ':' + lower}), number);
            EXPECT_EQ(IndexAfter({sw + capitalised}), 3);
            EXPECT_EQ(IndexAfter({sw + lastUpper}), 3);
        }
    }
}

TEST(ParseCommandLine, SetsTheIndexFromTheSwitches) {
    const struct {
        std::vector<std::u16string_view> parameters;
        std::int32_t index;
    } cases[] = {
        // nothing chosen
        {{}, 0},
        {{u"/Orus"}, 0},
        {{u"/P:eng"}, 0},
        // numbers, stored without a range check
        {{u"/L7"}, 7},
        {{u"/L:12"}, 12},
        {{u"/L99"}, 99},
        {{u"/L-2"}, -2},
        {{u"/L+5"}, 5},
        {{u"/L0"}, 0},
        {{u"/L$10"}, 16},
        {{u"/L0x10"}, 16},
        {{u"/Lx1F"}, 31},
        {{u"/L$FFFFFFFF"}, -1},
        {{u"/L-2147483648"}, Min},
        {{u"/L2147483647"}, Max},
        {{u"/L2147483648"}, 3},
        {{u"/L$100000000"}, 3},
        {{u"/L1.5"}, 3},
        {{u"/L$"}, 3},
        {{u"/LX"}, 3},
        {{u"/LFRE"}, 4}, // hex letters but no hex mark: a code
        // values that name nothing select English
        {{u"/L"}, 3},
        {{u"/l"}, 3},
        {{u"/L:"}, 3},
        {{u"/L:-"}, 3},
        {{u"/LChs"}, 3},
        {{u"/Lenglish"}, 3},
        // the colon: one is dropped, then the rest is trimmed again
        {{u"/L:chs"}, 1},
        {{u"/l:CHS"}, 1},
        {{u"/L: chs"}, 1},
        {{u"/L : chs"}, 1},
        {{u"/L: -2"}, -2},
        {{u"/L::eng"}, 3},
        {{u"/L:: 4"}, 3},
        {{u"/L:eng:"}, 3},
        // trimming of codes 0 to 32, and of nothing else
        {{u"/L \t rus \r\n"}, 10},
        {{u"/L\x01:\x1f rus "}, 10},
        {{u"/L\0rus\0"sv}, 10},
        {{u"/L 5 "}, 5},
        {{u"/L:\u00A0rus"}, 3},
        {{u"/Lr us"}, 3},
        // the last /L wins, /L0 included
        {{u"/Leng", u"/Lrus"}, 10},
        {{u"/L7", u"/L0"}, 0},
        {{u"/L7", u"/L"}, 3},
        // /O and /P, with or without a value, do not end the reading
        {{u"/O:abc", u"/Lrus"}, 10},
        {{u"/O", u"/Lrus"}, 10},
        {{u"/o:x y", u"/Lrus"}, 10},
        {{u"/P", u"/Lrus"}, 10},
        {{u"/p123", u"/Lrus"}, 10},
        {{u"/Px", u"/O", u"/lRUS"}, 10},
        {{u"/Lrus", u"/O"}, 10},
        // the first parameter not understood ends the reading
        {{u"/X", u"/Lrus"}, 0},
        {{u"-Lrus", u"/Lrus"}, 0},
        {{u"\\Lrus", u"/Lrus"}, 0},
        {{u"//Lrus"}, 0},
        {{u"rus", u"/Lrus"}, 0},
        {{u"\uFF0FLrus"}, 0}, // full-width solidus
        {{u"/L", u"rus"}, 3},
        {{u"/Lrus", u"/X", u"/Lchs"}, 10},
        {{u"/Lrus", u"file.txt", u"/Lchs"}, 10},
        // parameters shorter than two characters
        {{u"/", u"/Lrus"}, 0},
        {{u"L"}, 0},
        {{u" ", u"/Lrus"}, 0},
        {{u"/Lrus", u"/", u"/Lchs"}, 10},
        // empty parameters are skipped
        {{u"", u"/Lrus"}, 10},
        {{u"/Leng", u"", u"/Lrus"}, 10},
        {{u"", u""}, 0},
    };
    for (const auto& c : cases) {
        const QStringList parameters = Parameters(c.parameters);
        SCOPED_TRACE(("[" + parameters.join("] [") + "]").toStdString());
        EXPECT_EQ(IndexAfter(parameters), c.index);
    }
}

TEST(ParseCommandLine, OnlyLOAndPAreSwitches) {
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        for (const QChar c : {QChar(letter), QChar(letter).toLower()}) {
            const QString first = QStringLiteral("/") + c + QStringLiteral("rus");
            SCOPED_TRACE(first.toStdString());
            const bool known = letter == u'L' || letter == u'O' || letter == u'P';
            EXPECT_EQ(IndexAfter({first, QStringLiteral("/Lchs")}), known ? 1 : 0);
        }
    }
}

TEST(ParseCommandLine, LeavesAnEarlierChoiceWithoutAnLSwitch) {
    // Setting the "not chosen" mark is the caller's step, not the parser's.
    for (const auto& parameters : {QStringList{}, QStringList{"/O:x", "/P"}, QStringList{"/X", "/Lrus"}}) {
        SCOPED_TRACE(parameters.join(' ').toStdString());
        EXPECT_EQ(IndexAfter(parameters, 7), 7);
    }
}

} // namespace
