#pragma once

// Reading keys and values out of a .reg file, for FileRegistry. The file is streamed line by line for
// each lookup; nothing of it is kept but what the caller asks for.

#include "platform/registry/Registry.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace registry {

// The roots a file holds: the machine file HKEY_LOCAL_MACHINE (with HKEY_CLASSES_ROOT standing for
// its SOFTWARE\Classes), the user file HKEY_CURRENT_USER. Sections of other roots are ignored.
enum class HiveKind : std::uint8_t { Machine, User };

struct RegFileFormat {
    bool Valid = false;    // starts with a header this reader knows
    bool Utf16 = false;    // UTF-16LE, else 8-bit: UTF-8 where a line is valid UTF-8, Latin-1 otherwise
    bool Unicode = false;  // "Windows Registry Editor Version 5.00": hex texts are UTF-16LE
    std::int64_t Body = 0; // offset of the line after the header
};

// Reads the byte-order mark and the header line of the open file.
RegFileFormat ReadRegFileFormat(int fd);

// Where a key's sections lie: the first and the last that still count once the file's deletions
// are applied. A key exists also when only keys below it are named (First is then -1).
struct KeyLocation {
    bool Exists = false;
    std::int64_t First = -1;
    std::int64_t Last = -1;
};

// path: the key's parts below the hive's root.
KeyLocation LocateKey(int fd, const RegFileFormat& format, HiveKind hive, const QStringList& path);

// The value as the file leaves it: its last assignment in the key's sections, nullopt when it is
// missing or deleted. name: the value's name, empty for the default value.
std::optional<Value> ReadKeyValue(int fd, const RegFileFormat& format, HiveKind hive, const QStringList& path,
                                  const KeyLocation& location, const QString& name);

// A physical line may be this long and a value's data this large; a longer line is malformed and
// skipped whole. Both keep memory bounded whatever the file holds.
constexpr std::size_t MaxLineBytes = std::size_t{4} << 20;
constexpr qsizetype MaxValueBytes = qsizetype{4} << 20;

// Key names as the registry limits them; longer names are no keys.
constexpr qsizetype MaxKeyNameLength = 255;
constexpr qsizetype MaxKeyDepth = 512;

} // namespace registry
