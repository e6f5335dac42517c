#include "frame/CommandLine.h"

#include "localisation/Languages.h"

#include <array>
#include <cstdint>
#include <limits>

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Characters 0 to 32 are removed from both ends, as the platform's Trim does.
QString TrimControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

struct LanguageCode {
    const char16_t* Upper;
    const char16_t* Lower;
    std::int32_t Number;
};

// Upper and lower forms are spelled out: a case-insensitive compare would also take mixed case.
constexpr std::array<LanguageCode, 16> LanguageCodes{{
    {u"CHS", u"chs", 1},
    {u"CHT", u"cht", 2},
    {u"ENG", u"eng", 3},
    {u"FRE", u"fre", 4},
    {u"GRE", u"gre", 5},
    {u"HEB", u"heb", 6},
    {u"HUN", u"hun", 7},
    {u"ITA", u"ita", 8},
    {u"NOB", u"nob", 9},
    {u"RUS", u"rus", 10},
    {u"SPA", u"spa", 11},
    {u"TUR", u"tur", 12},
    {u"POR", u"por", 13},
    {u"POL", u"pol", 14},
    {u"SEL", u"sel", 15},
    {u"LAT", u"lat", 16},
}};

constexpr std::int32_t English = 3;

std::int32_t LanguageFromValue(const QString& switchValue) {
    QString value = TrimControls(switchValue);
    if (value.startsWith(u':')) value = TrimControls(value.mid(1)); // one colon only: /L::eng is no code
    std::int32_t number = 0;
    if (TryStrToInt(value, number)) return number;
    for (const auto& code : LanguageCodes) {
        if (value == QStringView(code.Upper) || value == QStringView(code.Lower)) return code.Number;
    }
    return English;
}

} // namespace

bool TryStrToInt(const QString& text, std::int32_t& value) {
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    bool hex = false;
    if (i < size && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < size && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == size) return false; // no digits at all

    // Stops as soon as the bound is passed, so no length of digits can overflow the accumulator.
    const std::uint64_t limit =
        hex ? 0xFFFFFFFFu : (negative ? std::uint64_t{1} << 31 : std::uint64_t{0x7FFFFFFF});
    const int base = hex ? 16 : 10;
    std::uint64_t magnitude = 0;
    for (; i < size; ++i) {
        const int digit = HexDigit(text[i].unicode());
        if (digit < 0 || digit >= base) return false;
        magnitude = magnitude * base + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) return false;
    }

    // Unsigned arithmetic wraps, giving the 32-bit pattern for hex and -2147483648 without overflow.
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<std::int32_t>(bits);
    return true;
}

void ParseCommandLine(const QStringList& parameters) {
    for (const QString& parameter : parameters) {
        if (parameter.isEmpty()) continue; // the Windows splitter never yields an empty parameter
        if (parameter.size() < 2 || parameter[0] != u'/') return;
        const char16_t letter = parameter[1].unicode();
        if (letter == u'L' || letter == u'l') {
            LanguageSettings.LanguageIndex = LanguageFromValue(parameter.mid(2));
        } else if (letter != u'O' && letter != u'o' && letter != u'P' && letter != u'p') {
            return;
        }
        // /O and /P are accepted so that they do not end the reading; their values are not used.
    }
}
