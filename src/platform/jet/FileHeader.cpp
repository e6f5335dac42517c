#include "platform/jet/FileHeader.h"

#include "platform/jet/DatabaseWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace jet {
namespace {

constexpr std::size_t MaskedStart = 0x18;
constexpr std::size_t MaskedLengthJet4 = 128;
constexpr std::size_t MaskedLengthJet3 = 126;
constexpr std::array<std::uint8_t, 4> HeaderMaskKey{0xC7, 0xDA, 0x39, 0x6B};

constexpr std::size_t VersionOffset = 0x14;
constexpr std::size_t CodePageOffset = 0x3C;
constexpr std::size_t PageKeyOffset = 0x3E;
constexpr std::size_t PasswordOffset = 0x42;
constexpr std::size_t SortOrderOffset = 0x6E;
constexpr std::size_t CreationDateOffset = 0x72;
constexpr std::size_t Jet4PasswordBytes = 40;
constexpr std::size_t Jet3PasswordBytes = 20;

// Jet 4 additionally masks the password with the integer part of the creation date.
std::array<std::uint8_t, 4> DateMask(double creationDate) {
    // A damaged header may hold any double; only a representable day count masks anything.
    const double floored = std::floor(creationDate);
    const auto days = floored >= -2147483648.0 && floored <= 2147483647.0 ? static_cast<std::int32_t>(floored) : 0;
    const auto u = static_cast<std::uint32_t>(days);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 24)};
}

} // namespace

void Rc4(std::span<const std::uint8_t> key, std::span<std::uint8_t> data) {
    std::array<std::uint8_t, 256> s;
    for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
    std::uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = static_cast<std::uint8_t>(j + s[i] + key[i % key.size()]);
        std::swap(s[i], s[j]);
    }
    std::uint8_t a = 0, b = 0;
    for (auto& byte : data) {
        a = static_cast<std::uint8_t>(a + 1);
        b = static_cast<std::uint8_t>(b + s[a]);
        std::swap(s[a], s[b]);
        byte ^= s[static_cast<std::uint8_t>(s[a] + s[b])];
    }
}

std::array<std::uint8_t, PageSize> MakeHeaderPage(const std::u16string& password, double creationDate) {
    if (password.size() > Jet4PasswordBytes / 2)
        throw WriteError("database password longer than 20 characters");
    if (password.find(u'\0') != std::u16string::npos)
        throw WriteError("database password holds a NUL character");

    std::array<std::uint8_t, PageSize> page{};
    static constexpr std::uint8_t Signature[] = {0x00, 0x01, 0x00, 0x00, 'S', 't', 'a', 'n', 'd', 'a',
                                                 'r',  'd',  ' ',  'J',  'e', 't', ' ', 'D', 'B', 0x00};
    std::memcpy(page.data(), Signature, sizeof Signature);
    page[VersionOffset] = static_cast<std::uint8_t>(FileVersion::Jet4);

    page[CodePageOffset] = 0xE4; // 1252
    page[CodePageOffset + 1] = 0x04;
    // Page encoding key stays zero: pages are stored plain.
    const auto mask = DateMask(creationDate);
    for (std::size_t i = 0; i < Jet4PasswordBytes; ++i) {
        std::uint8_t plain = 0;
        if (i / 2 < password.size()) {
            const char16_t unit = password[i / 2];
            plain = static_cast<std::uint8_t>(i % 2 == 0 ? unit & 0xFF : unit >> 8);
        }
        page[PasswordOffset + i] = plain ^ mask[i % 4];
    }
    page[SortOrderOffset] = 0x09; // general sort order, 1033
    page[SortOrderOffset + 1] = 0x04;
    std::memcpy(page.data() + CreationDateOffset, &creationDate, sizeof creationDate);

    Rc4(HeaderMaskKey, std::span(page).subspan(MaskedStart, MaskedLengthJet4));
    return page;
}

HeaderFields ReadHeaderFields(std::span<const std::uint8_t> page0) {
    HeaderFields f;
    if (page0.size() < MaskedStart + MaskedLengthJet4) return f;
    f.version = page0[VersionOffset];
    const std::size_t maskedLength = f.version == 0 ? MaskedLengthJet3 : MaskedLengthJet4;
    std::array<std::uint8_t, MaskedStart + MaskedLengthJet4> plain{};
    std::copy_n(page0.begin(), plain.size(), plain.begin());
    Rc4(HeaderMaskKey, std::span(plain).subspan(MaskedStart, maskedLength));

    f.codePage = static_cast<std::uint16_t>(plain[CodePageOffset] | plain[CodePageOffset + 1] << 8);
    std::memcpy(&f.pageEncodingKey, plain.data() + PageKeyOffset, 4);
    if (f.version == 0) {
        std::copy_n(plain.begin() + PasswordOffset, Jet3PasswordBytes, f.password.begin());
    } else {
        std::memcpy(&f.creationDate, plain.data() + CreationDateOffset, sizeof f.creationDate);
        const auto mask = DateMask(f.creationDate);
        for (std::size_t i = 0; i < Jet4PasswordBytes; ++i)
            f.password[i] = plain[PasswordOffset + i] ^ mask[i % 4];
    }
    return f;
}

} // namespace jet

namespace jet {

FileFormat DetectFormat(std::span<const std::uint8_t> start) {
    constexpr std::size_t SignatureOffset = 4;
    if (start.size() < MaskedStart + MaskedLengthJet4 || start[0] != 0x00) return FileFormat::NotAccess;
    auto signature = [&](const char* text) {
        const std::size_t n = std::strlen(text);
        return std::memcmp(start.data() + SignatureOffset, text, n + 1) == 0;
    };
    const bool jet = signature("Standard Jet DB");
    const bool ace = signature("Standard ACE DB");
    if (!jet && !ace) return FileFormat::NotAccess;
    const std::uint8_t version = start[VersionOffset];
    if (version == 0) return jet ? FileFormat::Jet3 : FileFormat::NotAccess;
    if (version == 1) return jet ? FileFormat::Jet4 : FileFormat::NotAccess;
    // Access 2007 and later encrypt the whole file when it has a password; the header then holds a
    // page key, and Jet's own page encoding does not exist for these versions.
    return ReadHeaderFields(start).pageEncodingKey != 0 ? FileFormat::AceEncrypted : FileFormat::Ace;
}

bool PasswordMatches(const HeaderFields& header, std::u16string_view password) {
    if (std::all_of(header.password.begin(), header.password.end(), [](std::uint8_t b) { return b == 0; }))
        return true;
    std::array<std::uint8_t, Jet4PasswordBytes> candidate{};
    if (header.version == 0) {
        if (password.size() > Jet3PasswordBytes) return false;
        for (std::size_t i = 0; i < password.size(); ++i) {
            if (password[i] > 0xFF) return false;
            candidate[i] = static_cast<std::uint8_t>(password[i]);
        }
    } else {
        if (password.size() > Jet4PasswordBytes / 2) return false;
        for (std::size_t i = 0; i < password.size(); ++i) {
            candidate[2 * i] = static_cast<std::uint8_t>(password[i] & 0xFF);
            candidate[2 * i + 1] = static_cast<std::uint8_t>(password[i] >> 8);
        }
    }
    return candidate == header.password;
}

} // namespace jet
