// Arbitrary bytes as the start of a database file: reading the header fields, telling the format and
// checking a password must cope with anything. The same bytes also choose a password and creation
// date for a header page of our own, which must read back as written and open with that password only.
#include "platform/jet/FileHeader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>

namespace {

// Escaping fuzz inputs crash the fuzzer and fail the corpus replay with the reason.
void Require(bool condition, const char* what) {
    if (!condition) throw std::logic_error(what);
}

char16_t UnitAt(std::span<const std::uint8_t> bytes, std::size_t i) {
    return static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
}

bool HasNoPassword(const jet::HeaderFields& fields) {
    return std::all_of(fields.password.begin(), fields.password.end(), [](std::uint8_t b) { return b == 0; });
}

void CheckAnyStart(std::span<const std::uint8_t> bytes) {
    const auto fields = jet::ReadHeaderFields(bytes);
    static_cast<void>(jet::DetectFormat(bytes));
    // A candidate from the input's last 40 bytes, so that it sometimes equals the stored one.
    std::u16string candidate;
    for (std::size_t i = bytes.size() - std::min<std::size_t>(bytes.size(), 40); i + 1 < bytes.size(); i += 2)
        candidate.push_back(UnitAt(bytes, i));
    const bool candidateOpens = jet::PasswordMatches(fields, candidate);
    const bool emptyOpens = jet::PasswordMatches(fields, u"");
    if (fields.version <= static_cast<std::uint8_t>(jet::FileVersion::Jet4) && HasNoPassword(fields))
        Require(candidateOpens && emptyOpens, "a file without a password refused one");
}

void CheckOwnHeader(std::span<const std::uint8_t> bytes) {
    double date = 0;
    if (bytes.size() < 1 + sizeof date) return;
    const std::size_t length = bytes[0] % 21;
    std::memcpy(&date, bytes.data() + 1, sizeof date);
    std::u16string password;
    for (std::size_t i = 1 + sizeof date; i + 1 < bytes.size() && password.size() < length; i += 2) {
        const char16_t unit = UnitAt(bytes, i);
        password.push_back(unit == 0 ? u'?' : unit); // no stored password holds NUL
    }

    const auto page = jet::MakeHeaderPage(password, date);
    Require(jet::DetectFormat(page) == jet::FileFormat::Jet4, "own header page not taken for Jet 4");
    const auto fields = jet::ReadHeaderFields(page);
    Require(fields.version == static_cast<std::uint8_t>(jet::FileVersion::Jet4) &&
                fields.pageEncodingKey == 0,
            "own header page read back wrong");
    Require(std::memcmp(&fields.creationDate, &date, sizeof date) == 0, "creation date changed");
    Require(jet::PasswordMatches(fields, password), "own password refused");
    if (password.empty()) {
        Require(jet::PasswordMatches(fields, u"x"), "a file without a password refused one");
    } else {
        Require(!jet::PasswordMatches(fields, password + u'x'), "a longer password opened");
        Require(!jet::PasswordMatches(fields, password.substr(0, password.size() - 1)),
                "a shorter password opened");
        std::u16string other = password;
        other.back() = other.back() == u'a' ? u'b' : u'a';
        Require(!jet::PasswordMatches(fields, other), "another password opened");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    CheckAnyStart(bytes);
    CheckOwnHeader(bytes);
    return 0;
}
