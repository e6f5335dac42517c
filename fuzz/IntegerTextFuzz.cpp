// Arbitrary text as integer text, against a reading of the rule built on the standard library's own
// conversion: optional leading spaces, a sign, a hex prefix ($, x, X, 0x, 0X) or none, then only
// ASCII digits of that base; decimal within the 32-bit range, hex as a 32-bit pattern that a minus
// negates. A refused text leaves the value as it was.
#include "frame/CommandLine.h"

#include <QString>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

using namespace Qt::StringLiterals;

namespace {

// Escaping fuzz inputs crash the fuzzer and fail the corpus replay with the reason.
void Require(bool condition, const char* what) {
    if (!condition) throw std::logic_error(what);
}

std::optional<std::int32_t> Expected(const QString& text) {
    std::string s;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) return std::nullopt; // only ASCII can be digits, signs or prefixes
        s += static_cast<char>(c.unicode());
    }
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos) return std::nullopt;
    const bool negative = s[i] == '-';
    if (s[i] == '-' || s[i] == '+') ++i;
    int base = 10;
    if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    } else if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        i += 1;
    }
    if (i >= s.size()) return std::nullopt;
    std::uint64_t magnitude = 0;
    const char* end = s.data() + s.size();
    const auto [stop, error] = std::from_chars(s.data() + i, end, magnitude, base);
    // from_chars takes no sign for an unsigned type; whatever it stops at is foreign, and a value past
    // 64 bits is past 32 as well.
    if (stop != end || error != std::errc()) return std::nullopt;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFu) return std::nullopt;
        const auto bits = static_cast<std::uint32_t>(negative ? 0u - magnitude : magnitude);
        return static_cast<std::int32_t>(bits);
    }
    if (magnitude > (negative ? std::uint64_t{1} << 31 : std::uint64_t{0x7FFFFFFF})) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}

void Check(const QString& text) {
    constexpr std::int32_t Untouched = 0x5EED;
    std::int32_t value = Untouched;
    const bool read = TryStrToInt(text, value);
    const auto expected = Expected(text);
    Require(read == expected.has_value(),
            read ? "accepted text the rule refuses" : "refused text the rule accepts");
    Require(read ? value == *expected : value == Untouched,
            read ? "read another value" : "a refusal changed the value");
}

// Every number reads back from its decimal text and its hex pattern.
void CheckNumber(std::int32_t n) {
    std::int32_t value = 0;
    Require(TryStrToInt(QString::number(n), value) && value == n,
            "decimal text of a number refused or changed");
    const QString hex = QString::number(static_cast<std::uint32_t>(n), 16);
    for (const QString& text : {u"$"_s + hex, u"0x"_s + hex.toUpper(), u"x"_s + hex, u"-$"_s + hex}) {
        value = 0;
        const std::int32_t want =
            text.startsWith(u'-') ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(n)) : n;
        Require(TryStrToInt(text, value) && value == want, "hex text of a number refused or changed");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Check(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (size >= 2 && size % 2 == 0) {
        // Copied: the input need not be aligned for char16_t.
        std::u16string units(size / 2, u'\0');
        std::memcpy(units.data(), data, size);
        Check(QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())));
    }
    if (size >= 4) {
        std::int32_t n = 0;
        std::memcpy(&n, data, sizeof n);
        CheckNumber(n);
    }
    return 0;
}
