#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace jet {

inline constexpr std::size_t PageSize = 4096; // Jet 4 and later; Jet 3 pages are 2048 bytes

// Byte 0x14 of page 0.
enum class FileVersion : std::uint8_t { Jet3 = 0, Jet4 = 1 }; // 2 and up: ACE (.accdb)

// RC4 in place; Jet masks part of the header with it and may encode whole pages.
void Rc4(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

// Page 0 of a new Jet 4 file: format signature, code page 1252, general sort order, no page
// encoding, the creation date and the database password, masked as Jet masks them.
// Throws WriteError for a password longer than 20 UTF-16 code units or holding U+0000.
std::array<std::uint8_t, PageSize> MakeHeaderPage(const std::u16string& password, double creationDate);

// The fields of page 0 that matter to a reader, unmasked.
struct HeaderFields {
    std::uint8_t version = 0;
    std::uint16_t codePage = 0;
    std::uint32_t pageEncodingKey = 0; // non-zero: data pages are RC4-encoded
    double creationDate = 0;           // Jet 4 and later only
    // Password bytes with both masks removed: UTF-16LE for Jet 4 (40 bytes), code-page text for
    // Jet 3 (20 bytes, rest zero). All zero when the file has no password.
    std::array<std::uint8_t, 40> password{};
};

// Reads the first page of a file (at least 0x98 bytes of it). The caller checks page type and
// version before trusting the rest.
HeaderFields ReadHeaderFields(std::span<const std::uint8_t> page0);

enum class FileFormat { NotAccess, Jet3, Jet4, Ace, AceEncrypted };

// What the start of a file is: checks the page type, the signature and the version byte. An ACE
// file whose pages are encrypted (Office encryption, not Jet's page encoding) is AceEncrypted.
FileFormat DetectFormat(std::span<const std::uint8_t> start);

// Whether a password opens the file, as Jet checks it: a file without a password opens with any;
// otherwise the password's bytes must equal the stored ones exactly (case-sensitive). Jet 3 stores
// code-page text: a password with characters outside Latin-1 never matches there.
bool PasswordMatches(const HeaderFields& header, std::u16string_view password);

} // namespace jet
