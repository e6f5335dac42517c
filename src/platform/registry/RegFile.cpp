#include "platform/registry/RegFile.h"

#include <QStringDecoder>
#include <QtEndian>

#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace registry {
namespace {

constexpr qsizetype MaxValueNameLength = 16383;
constexpr std::size_t FirstBufferSize = std::size_t{64} << 10;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

QStringView TrimBlanks(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first].unicode()))
        ++first;
    while (last > first && IsBlank(text[last - 1].unicode()))
        --last;
    return text.sliced(first, last - first);
}

QString DecodeUtf16(const char* data, std::size_t size) {
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(static_cast<void*>(text.data()), data, size / 2 * 2);
    if constexpr (std::endian::native == std::endian::big) {
        for (QChar& c : text)
            c = QChar(qFromLittleEndian(c.unicode()));
    }
    return text;
}

// Old files carry no mark of their code page: a line that is valid UTF-8 is taken as UTF-8, any
// other as Latin-1, so that both kinds of hand-made file read as their author meant.
QString DecodeEightBit(const char* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// Registry texts are UTF-16LE; strings given in quotes get their closing NUL as the registry stores it.
QByteArray Utf16LeData(QStringView text, bool closingNul) {
    QByteArray data((text.size() + (closingNul ? 1 : 0)) * 2, '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian(text[i].unicode(), data.data() + 2 * i);
    return data;
}

// Physical lines from an offset on, read with pread so that passes over one descriptor do not
// disturb each other. A line longer than MaxLineBytes is reported as overlong, with its first
// character only, and the rest of it is skipped without being kept.
class LineReader {
public:
    LineReader(int fd, bool utf16, std::int64_t offset)
        : Fd(fd), Utf16(utf16), Start(offset), BufferOffset(offset) {}

    bool Next() {
        const std::size_t unit = Utf16 ? 2 : 1;
        for (;;) {
            if (const auto newline = FindNewline()) {
                SetLine(Begin, *newline);
                Begin = Search = *newline + unit;
                return true;
            }
            if (Eof) {
                if (End - Begin < unit) {
                    Begin = Search = End;
                    return false;
                }
                SetLine(Begin,
                        End - (End - Begin) % unit); // a lone byte at the end of UTF-16 is no character
                Begin = Search = End;
                return true;
            }
            if (!Fill()) {
                SkipOverlong();
                return true;
            }
        }
    }

    std::int64_t Offset() const { return LineOffset; }
    // Where the line after this one starts.
    std::int64_t NextOffset() const { return BufferOffset + std::int64_t(Begin); }
    bool Overlong() const { return LineOverlong; }
    // The first character that is not a space or a tab; 0 for a blank line.
    char16_t Lead() const { return LineLead; }

    QString Text() const {
        if (LineOverlong) return {};
        const char* data = Buffer.data() + LineBegin;
        const std::size_t size = LineEnd - LineBegin;
        return Utf16 ? DecodeUtf16(data, size) : DecodeEightBit(data, size);
    }

private:
    char16_t UnitAt(std::size_t i) const {
        const auto low = static_cast<unsigned char>(Buffer[i]);
        if (!Utf16) return low;
        return char16_t(low | static_cast<unsigned char>(Buffer[i + 1]) << 8);
    }

    char16_t FirstNonBlank(std::size_t begin, std::size_t end) const {
        const std::size_t unit = Utf16 ? 2 : 1;
        for (std::size_t i = begin; i + unit <= end; i += unit) {
            const char16_t c = UnitAt(i);
            if (!IsBlank(c)) return c;
        }
        return 0;
    }

    void SetLine(std::size_t begin, std::size_t end) {
        const std::size_t unit = Utf16 ? 2 : 1;
        if (end - begin >= unit && UnitAt(end - unit) == u'\r') end -= unit;
        LineBegin = begin;
        LineEnd = end;
        LineOffset = BufferOffset + std::int64_t(begin);
        LineOverlong = false;
        LineLead = FirstNonBlank(begin, end);
    }

    std::optional<std::size_t> FindNewline() {
        while (Search < End) {
            const void* hit = std::memchr(Buffer.data() + Search, '\n', End - Search);
            if (!hit) {
                Search = End;
                break;
            }
            const std::size_t at = std::size_t(static_cast<const char*>(hit) - Buffer.data());
            if (!Utf16) return at;
            // In UTF-16 only a whole unit 0x000A ends a line; 0x0A also occurs as half of others.
            if (((BufferOffset + std::int64_t(at) - Start) & 1) == 0) {
                if (at + 1 >= End) {
                    Search = at;
                    break;
                }
                if (Buffer[at + 1] == 0) return at;
            }
            Search = at + 1;
        }
        return std::nullopt;
    }

    // Reads more of the file after what is buffered; false when the buffer is full of one line.
    bool Fill() {
        if (Begin > 0) {
            std::memmove(Buffer.data(), Buffer.data() + Begin, End - Begin);
            BufferOffset += std::int64_t(Begin);
            End -= Begin;
            Search -= Begin;
            Begin = 0;
        }
        if (End == Buffer.size()) {
            if (Buffer.size() >= MaxLineBytes) return false;
            Buffer.resize(Buffer.empty() ? FirstBufferSize : std::min(Buffer.size() * 2, MaxLineBytes));
        }
        for (;;) {
            const ssize_t n =
                ::pread(Fd, Buffer.data() + End, Buffer.size() - End, BufferOffset + std::int64_t(End));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0)
                Eof = true; // a read error ends the file where it happened
            else
                End += std::size_t(n);
            return true;
        }
    }

    void SkipOverlong() {
        LineOffset = BufferOffset + std::int64_t(Begin);
        LineOverlong = true;
        LineLead = FirstNonBlank(Begin, End);
        LineBegin = LineEnd = 0;
        for (;;) {
            Begin = End; // what is read of the line is dropped at once
            if (const auto newline = FindNewline()) {
                Begin = Search = *newline + (Utf16 ? 2 : 1);
                return;
            }
            if (Eof) return;
            Fill();
        }
    }

    int Fd;
    bool Utf16;
    std::int64_t Start; // a line start, so that UTF-16 units are counted from it
    std::vector<char> Buffer;
    std::int64_t BufferOffset; // file offset of Buffer[0]
    std::size_t Begin = 0;     // start of the unread part
    std::size_t End = 0;       // end of the buffered part
    std::size_t Search = 0;    // where the search for a line end goes on
    bool Eof = false;
    std::size_t LineBegin = 0;
    std::size_t LineEnd = 0;
    std::int64_t LineOffset = 0;
    bool LineOverlong = false;
    char16_t LineLead = 0;
};

const QString SoftwareKeyName = QStringLiteral("SOFTWARE");
const QString ClassesKeyName = QStringLiteral("Classes");

struct SectionHeader {
    bool Deletion = false;
    std::vector<QStringView> Parts; // below the hive's root; views into the line and the names above
};

bool IsRootName(QStringView name, QStringView full, QStringView shortName) {
    return name.compare(full, Qt::CaseInsensitive) == 0 || name.compare(shortName, Qt::CaseInsensitive) == 0;
}

// "[ROOT\key\...]" or "[-ROOT\key\...]". False for a malformed line and for a root this file does not
// hold; the lines after such a header then belong to no key.
bool ParseSection(QStringView line, HiveKind hive, SectionHeader& header) {
    header.Parts.clear();
    line = TrimBlanks(line);
    if (line.size() < 2 || line.front() != u'[' || line.back() != u']') return false;
    QStringView path = line.sliced(1, line.size() - 2);
    header.Deletion = path.startsWith(u'-');
    if (header.Deletion) path = path.sliced(1);
    if (path.endsWith(u'\\')) path.chop(1);

    const qsizetype separator = path.indexOf(u'\\');
    const QStringView root = separator < 0 ? path : path.first(separator);
    const QStringView rest = separator < 0 ? QStringView() : path.sliced(separator + 1);
    if (hive == HiveKind::Machine && IsRootName(root, u"HKEY_CLASSES_ROOT", u"HKCR")) {
        header.Parts.push_back(SoftwareKeyName);
        header.Parts.push_back(ClassesKeyName);
    } else if (!(hive == HiveKind::Machine && IsRootName(root, u"HKEY_LOCAL_MACHINE", u"HKLM")) &&
               !(hive == HiveKind::User && IsRootName(root, u"HKEY_CURRENT_USER", u"HKCU"))) {
        return false;
    }
    if (separator < 0) return !header.Deletion; // a root is never deleted

    for (const QStringView part : rest.tokenize(u'\\')) {
        if (part.isEmpty() || part.size() > MaxKeyNameLength) return false;
        header.Parts.push_back(part);
    }
    return !header.Parts.empty() && qsizetype(header.Parts.size()) <= MaxKeyDepth;
}

enum class Relation { Unrelated, Same, Above, Below };

// How a section's key stands to the key looked for: the same, one of its parents, or below it.
Relation Relate(const std::vector<QStringView>& section, const QStringList& key) {
    const qsizetype common = std::min(qsizetype(section.size()), key.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (section[std::size_t(i)].compare(key[i], Qt::CaseInsensitive) != 0) return Relation::Unrelated;
    }
    if (qsizetype(section.size()) == key.size()) return Relation::Same;
    return qsizetype(section.size()) < key.size() ? Relation::Above : Relation::Below;
}

// A text between double quotes starting at pos, with \\ and \" as escapes; any other backslash is
// kept as it stands. Returns the position after the closing quote, or -1 when there is none.
qsizetype ReadQuoted(QStringView line, qsizetype pos, QString& text) {
    text.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'\\' && i + 1 < line.size() && (line[i + 1] == u'\\' || line[i + 1] == u'"')) {
            text += line[++i];
        } else if (c == u'"') {
            return i + 1;
        } else {
            text += c;
        }
    }
    return -1;
}

// What may follow a value's data: blanks and a comment.
bool EndsAfterData(QStringView rest) {
    rest = TrimBlanks(rest);
    return rest.isEmpty() || rest.front() == u';';
}

// `"name"=` or `@=`: the name, and the position after the equals sign; -1 when the line is no value.
qsizetype ReadValueName(QStringView line, QString& name) {
    qsizetype i = 0;
    while (i < line.size() && IsBlank(line[i].unicode()))
        ++i;
    if (i < line.size() && line[i] == u'@') {
        name.clear();
        ++i;
    } else {
        i = i < line.size() ? ReadQuoted(line, i, name) : -1;
        if (i < 0 || name.size() > MaxValueNameLength) return -1;
    }
    while (i < line.size() && IsBlank(line[i].unicode()))
        ++i;
    if (i >= line.size() || line[i] != u'=') return -1;
    return i + 1;
}

// Comma-separated bytes of one or two hex digits; a comma may end the list.
std::optional<QByteArray> ParseHexBytes(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size() / 3 + 1);
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i].unicode()))
            ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        int byte = 0;
        int digits = 0;
        for (; digits < 2 && i < text.size() && HexDigit(text[i].unicode()) >= 0; ++digits, ++i)
            byte = byte * 16 + HexDigit(text[i].unicode());
        if (digits == 0) return std::nullopt;
        bytes.append(char(byte));
        skipBlanks();
        if (i == text.size()) break;
        if (text[i] != u',') return std::nullopt;
        ++i;
        skipBlanks();
    }
    return bytes;
}

// The value data of one line, as far as it goes.
struct ValueData {
    enum class Kind { Malformed, Set, Delete, Continued } Result = Kind::Malformed;
    Value Data;
    QString Hex; // the hex text so far, while it goes on in the next line
};

// Adds one line's part of hex data; a backslash at its end continues the data in the next line.
ValueData::Kind AddHexText(QStringView text, QString& hex) {
    if (const qsizetype comment = text.indexOf(u';'); comment >= 0) text = text.first(comment);
    text = TrimBlanks(text);
    const bool continued = text.endsWith(u'\\');
    if (continued) text.chop(1);
    hex += u' '; // so that digits either side of a line break never join into one byte
    hex += text;
    if (hex.size() > 3 * MaxValueBytes) return ValueData::Kind::Malformed;
    return continued ? ValueData::Kind::Continued : ValueData::Kind::Set;
}

// The value once its hex text is complete.
std::optional<Value> HexValue(ValueType type, QStringView hex, bool unicodeFile) {
    auto bytes = ParseHexBytes(hex);
    if (!bytes || bytes->size() > MaxValueBytes) return std::nullopt;
    // Old files give the texts of these types in 8 bits; the registry holds them in UTF-16.
    if (!unicodeFile &&
        (type == ValueType::String || type == ValueType::ExpandString || type == ValueType::MultiString))
        return Value{type,
                     Utf16LeData(DecodeEightBit(bytes->constData(), std::size_t(bytes->size())), false)};
    return Value{type, *std::move(bytes)};
}

ValueData ParseValueData(QStringView data, bool unicodeFile) {
    ValueData result;
    data = TrimBlanks(data);
    if (data.startsWith(u'"')) {
        QString text;
        const qsizetype end = ReadQuoted(data, 0, text);
        if (end < 0 || !EndsAfterData(data.sliced(end))) return result;
        result.Data = {ValueType::String, Utf16LeData(text, true)};
        result.Result = ValueData::Kind::Set;
    } else if (data.startsWith(u'-')) {
        if (EndsAfterData(data.sliced(1))) result.Result = ValueData::Kind::Delete;
    } else if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
        std::uint32_t number = 0;
        qsizetype i = 6;
        for (; i < data.size() && HexDigit(data[i].unicode()) >= 0; ++i)
            number = number << 4 | std::uint32_t(HexDigit(data[i].unicode()));
        if (i == 6 || i > 6 + 8 || !EndsAfterData(data.sliced(i))) return result;
        QByteArray bytes(4, '\0');
        qToLittleEndian(number, bytes.data());
        result.Data = {ValueType::DWord, bytes};
        result.Result = ValueData::Kind::Set;
    } else if (data.startsWith(u"hex", Qt::CaseInsensitive)) {
        qsizetype i = 3;
        std::uint32_t type = std::uint32_t(ValueType::Binary);
        if (i < data.size() && data[i] == u'(') {
            type = 0;
            const qsizetype first = ++i;
            for (; i < data.size() && HexDigit(data[i].unicode()) >= 0; ++i)
                type = type << 4 | std::uint32_t(HexDigit(data[i].unicode()));
            if (i == first || i > first + 8 || i >= data.size() || data[i] != u')') return result;
            ++i;
        }
        if (i >= data.size() || data[i] != u':') return result;
        result.Data.Type = ValueType(type);
        result.Result = AddHexText(data.sliced(i + 1), result.Hex);
        if (result.Result == ValueData::Kind::Set) {
            const auto value = HexValue(result.Data.Type, result.Hex, unicodeFile);
            if (!value)
                result.Result = ValueData::Kind::Malformed;
            else
                result.Data = *value;
        }
    }
    return result;
}

bool StartsHexData(char16_t lead) {
    return lead == u',' || HexDigit(lead) >= 0;
}

} // namespace

RegFileFormat ReadRegFileFormat(int fd) {
    RegFileFormat format;
    unsigned char head[5] = {};
    ssize_t size = 0;
    do
        size = ::pread(fd, head, sizeof head, 0);
    while (size < 0 && errno == EINTR);
    if (size < 2) return format;

    // The byte-order mark is skipped whatever it claims; the header's own bytes tell UTF-16LE (every
    // other byte zero) from 8-bit text, so that a file whose mark is missing or wrong still reads.
    if (size >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
        format.Body = 3;
    else if ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF))
        format.Body = 2;
    if (size < format.Body + 2) return format;
    format.Utf16 = head[format.Body] != 0 && head[format.Body + 1] == 0;

    LineReader reader(fd, format.Utf16, format.Body);
    if (!reader.Next() || reader.Overlong()) return format;
    const QString header = reader.Text().trimmed();
    if (header == u"Windows Registry Editor Version 5.00")
        format.Unicode = true;
    else if (header != u"REGEDIT4")
        return format;
    format.Valid = true;
    format.Body = reader.NextOffset();
    return format;
}

KeyLocation LocateKey(int fd, const RegFileFormat& format, HiveKind hive, const QStringList& path) {
    KeyLocation location;
    if (!format.Valid) return location;
    LineReader reader(fd, format.Utf16, format.Body);
    SectionHeader header;
    // Only section lines matter here: a line starting with '[' is always one, since no value or
    // continuation line can start so.
    while (reader.Next()) {
        if (reader.Lead() != u'[' || reader.Overlong()) continue;
        const QString line = reader.Text();
        if (!ParseSection(line, hive, header)) continue;
        const Relation relation = Relate(header.Parts, path);
        if (header.Deletion) {
            // Deleting the key or a parent drops all that came before, sections and values alike.
            if (relation == Relation::Same || relation == Relation::Above) location = {};
        } else if (relation == Relation::Same) {
            location.Exists = true;
            if (location.First < 0) location.First = reader.Offset();
            location.Last = reader.Offset();
        } else if (relation == Relation::Below) {
            location.Exists = true; // creating a key creates its parents
        }
    }
    return location;
}

std::optional<Value> ReadKeyValue(int fd, const RegFileFormat& format, HiveKind hive, const QStringList& path,
                                  const KeyLocation& location, const QString& name) {
    if (!format.Valid || location.First < 0) return std::nullopt;
    LineReader reader(fd, format.Utf16, location.First);
    SectionHeader header;
    bool inKey = false;
    std::optional<Value> value;
    std::optional<ValueData> pending; // the value looked for, while its hex data goes on
    QString valueName;

    while (reader.Next()) {
        const char16_t lead = reader.Lead();
        if (pending) {
            const bool continuation = StartsHexData(lead) && !reader.Overlong();
            if (continuation) {
                pending->Result = AddHexText(reader.Text(), pending->Hex);
                if (pending->Result == ValueData::Kind::Continued) continue;
                if (pending->Result == ValueData::Kind::Set) {
                    if (const auto hex = HexValue(pending->Data.Type, pending->Hex, format.Unicode))
                        value = hex;
                }
            }
            pending.reset();
            // A line that does not go on with the data leaves the value malformed, and is read as itself.
            if (continuation || StartsHexData(lead)) continue;
        }
        if (lead == u'[') {
            if (reader.Offset() > location.Last) break;
            const QString line = reader.Text();
            inKey = !reader.Overlong() && ParseSection(line, hive, header) && !header.Deletion &&
                    Relate(header.Parts, path) == Relation::Same;
            continue;
        }
        if (!inKey || reader.Overlong() || (lead != u'"' && lead != u'@')) continue;

        const QString line = reader.Text();
        const qsizetype data = ReadValueName(line, valueName);
        if (data < 0 || valueName.compare(name, Qt::CaseInsensitive) != 0) continue;
        ValueData parsed = ParseValueData(QStringView(line).sliced(data), format.Unicode);
        switch (parsed.Result) {
        case ValueData::Kind::Set:
            value = std::move(parsed.Data);
            break;
        case ValueData::Kind::Delete:
            value.reset();
            break;
        case ValueData::Kind::Continued:
            pending = std::move(parsed);
            break;
        case ValueData::Kind::Malformed:
            break;
        }
    }
    // Data that a backslash continues past the end of the file is cut short: malformed.
    return value;
}

} // namespace registry
