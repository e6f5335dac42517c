// The registry kept in .reg files: the format in its encodings and value types, what a file's own
// lines do to each other, the merged classes, the 32-bit view, and files that are missing, damaged,
// huge or changed while the program runs.
#include "platform/registry/Registry.h"

#include "platform/registry/RegFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace registry {
void PrintTo(const Value& value, std::ostream* out) {
    *out << "type " << std::uint32_t(value.Type) << " data " << value.Data.toHex(' ').toStdString();
}
} // namespace registry

namespace {

using registry::FileRegistry;
using registry::KeyView;
using registry::RootKey;
using registry::Value;
using registry::ValueType;

enum class Encoding { Utf16, Utf8Bom, Utf8, Latin1 };

const char* Name(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf16:
        return "UTF-16LE with BOM, CRLF";
    case Encoding::Utf8Bom:
        return "UTF-8 with BOM";
    case Encoding::Utf8:
        return "UTF-8";
    case Encoding::Latin1:
        return "Latin-1";
    }
    return "";
}

QByteArray Utf16Le(QStringView text) {
    QByteArray bytes(text.size() * 2, '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian(text[i].unicode(), bytes.data() + 2 * i);
    return bytes;
}

// The file as regedit writes it in UTF-16 (with CRLF), or as a hand-made file in 8 bits (with LF).
QByteArray Encode(const QString& text, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf16:
        return QByteArray("\xFF\xFE", 2) + Utf16Le(QString(text).replace(u'\n', QStringLiteral("\r\n")));
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Latin1:
        return text.toLatin1();
    }
    return {};
}

const QString V5 = QStringLiteral("Windows Registry Editor Version 5.00\n\n");
const QString V4 = QStringLiteral("REGEDIT4\n\n");

Value Text(QStringView text, ValueType type = ValueType::String) {
    return {type, Utf16Le(text) + QByteArray(2, '\0')};
}

Value Bytes(ValueType type, std::initializer_list<int> bytes) {
    QByteArray data;
    for (const int b : bytes)
        data.append(char(b));
    return {type, data};
}

class RegistryFiles : public ::testing::Test {
protected:
    // A new file each time, so that no two versions of a file can look alike to the registry.
    QString Write(const QByteArray& bytes) {
        const QString path = Dir.filePath(QStringLiteral("hive%1.reg").arg(++Files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    void Overwrite(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    static std::optional<Value> Read(const registry::Registry& registry, RootKey root, const QString& path,
                                     const QString& name, KeyView view = KeyView::Default) {
        const auto key = registry.OpenKey(root, path, view);
        if (!key) return std::nullopt;
        return key->ReadValue(name);
    }

    static bool Opens(const registry::Registry& registry, RootKey root, const QString& path,
                      KeyView view = KeyView::Default) {
        return registry.OpenKey(root, path, view) != nullptr;
    }

    QTemporaryDir Dir;
    QString Missing = Dir.filePath(QStringLiteral("missing.reg"));
    int Files = 0;
};

TEST(ValueText, GivesStringTypesUpToTheFirstNul) {
    EXPECT_EQ(registry::ValueText(Text(u"abc")), QStringLiteral("abc"));
    EXPECT_EQ(registry::ValueText(Text(u"%TEMP%\\x", ValueType::ExpandString)), QStringLiteral("%TEMP%\\x"));
    EXPECT_EQ(registry::ValueText({ValueType::String, Utf16Le(u"ab") + QByteArray(2, '\0') + Utf16Le(u"cd")}),
              QStringLiteral("ab"));
    EXPECT_EQ(registry::ValueText({ValueType::String, Utf16Le(u"ab")}),
              QStringLiteral("ab")); // no NUL at all
    EXPECT_EQ(registry::ValueText({ValueType::String, Utf16Le(u"ab") + "c"}), QStringLiteral("ab"));
    EXPECT_EQ(registry::ValueText({ValueType::String, {}}), QString());
    EXPECT_EQ(registry::ValueText(Text(u"x", ValueType::MultiString)), std::nullopt);
    EXPECT_EQ(registry::ValueText(Bytes(ValueType::DWord, {0x31, 0, 0, 0})), std::nullopt);
    EXPECT_EQ(registry::ValueText(Text(u"x", ValueType::Binary)), std::nullopt);
}

TEST_F(RegistryFiles, ReadsEveryValueTypeInEveryUnicodeEncoding) {
    const struct {
        QString line;
        QString name;
        Value value;
    } cases[] = {
        {R"(@="default")", "", Text(u"default")},
        {R"("s"="")", "s", Text(u"")},
        {R"("s"="a \"quoted\" \\ back\slash")", "s", Text(u"a \"quoted\" \\ back\\slash")},
        {R"("s"="C:\\Program Files\\x\n")", "s", Text(u"C:\\Program Files\\x\\n")},
        {R"("s"="semi;colon" ; a comment)", "s", Text(u"semi;colon")},
        // 0x0A bytes that are halves of UTF-16 units, and a pair of surrogates
        {QStringLiteral("\"s\"=\"\u00FCn\u00EFc\u00F8d\u00E9 \u0A0A\u4E00\u010A \U0001F600\""), "s",
         Text(u"\u00FCn\u00EFc\u00F8d\u00E9 \u0A0A\u4E00\u010A \U0001F600")},
        {R"("Quoted \"name\" \\ too"="x")", "quoted \"NAME\" \\ too", Text(u"x")},
        {"\t\"s\" = \"spaced\"  ", "s", Text(u"spaced")},
        {R"("d"=dword:0000002a)", "d", Bytes(ValueType::DWord, {0x2a, 0, 0, 0})},
        {R"("d"=DWORD:FFFFfffe)", "d", Bytes(ValueType::DWord, {0xfe, 0xff, 0xff, 0xff})},
        {R"("d"=dword:1)", "d", Bytes(ValueType::DWord, {1, 0, 0, 0})},
        {R"("q"=hex(b):01,00,00,00,00,00,00,80)", "q", Bytes(ValueType::QWord, {1, 0, 0, 0, 0, 0, 0, 0x80})},
        {R"("b"=hex:00,ff,1A)", "b", Bytes(ValueType::Binary, {0, 0xff, 0x1a})},
        {R"("b"=hex:)", "b", Bytes(ValueType::Binary, {})},
        {R"("b"=hex: 0 , f ,)", "b", Bytes(ValueType::Binary, {0, 0xf})},
        {R"("n"=hex(0):)", "n", Bytes(ValueType::None, {})},
        {R"("n"=hex(0):01,02)", "n", Bytes(ValueType::None, {1, 2})},
        {R"("r"=hex(1):41,00,00,00,42,00,00,00)", "r",
         Bytes(ValueType::String, {0x41, 0, 0, 0, 0x42, 0, 0, 0})},
        {R"("e"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00)", "e", Text(u"%TMP%", ValueType::ExpandString)},
        {R"("m"=hex(7):61,00,00,00,62,00,00,00,00,00)", "m",
         Bytes(ValueType::MultiString, {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0})},
        {R"("x"=hex(4d2):01)", "x", Bytes(ValueType(0x4d2), {1})},
        {R"("x"=HEX(A):0a)", "x", Bytes(ValueType::ResourceRequirementsList, {0x0a})},
        {R"("x"=hex(ffffffff):)", "x", Bytes(ValueType(0xffffffff), {})},
        {"\"c\"=hex:01,02,\\\n  03,04,\\\n  05", "c", Bytes(ValueType::Binary, {1, 2, 3, 4, 5})},
        {"\"c\"=hex(2):41,00,\\\n\t42,00, \\  \n00,00", "c", Text(u"AB", ValueType::ExpandString)},
    };
    for (const Encoding encoding : {Encoding::Utf16, Encoding::Utf8Bom, Encoding::Utf8}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(Name(encoding)) + ": " + c.line.toStdString());
            const QString text =
                V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n" + c.line + "\n\"after\"=\"after\"\n";
            const FileRegistry registry(Write(Encode(text, encoding)), Missing);
            EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", c.name), c.value);
            EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "after"), Text(u"after"));
        }
    }
}

TEST_F(RegistryFiles, OldFilesGiveTextsInEightBitsUtf8OrLatin1) {
    // REGEDIT4 holds the data of text types in 8 bits; the registry holds them in UTF-16.
    const struct {
        QString line;
        Encoding encoding;
        Value value;
    } cases[] = {
        {QStringLiteral("\"v\"=\"caf\u00E9\""), Encoding::Latin1, Text(u"caf\u00E9")},
        {QStringLiteral("\"v\"=\"caf\u00E9 \u4E2D\""), Encoding::Utf8, Text(u"caf\u00E9 \u4E2D")},
        {QStringLiteral("\"v\"=\"caf\u00E9\""), Encoding::Utf8Bom, Text(u"caf\u00E9")},
        {"\"v\"=hex(2):25,54,4d,50,25,00", Encoding::Latin1, Text(u"%TMP%", ValueType::ExpandString)},
        {"\"v\"=hex(2):63,61,66,e9,00", Encoding::Latin1, Text(u"caf\u00E9", ValueType::ExpandString)},
        {"\"v\"=hex(2):e4,b8,ad,00", Encoding::Utf8, Text(u"\u4E2D", ValueType::ExpandString)},
        {"\"v\"=hex(7):61,00,62,00,00", Encoding::Latin1,
         Bytes(ValueType::MultiString, {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0})},
        {"\"v\"=hex(1):41,00,42", Encoding::Latin1, Bytes(ValueType::String, {0x41, 0, 0, 0, 0x42, 0})},
        {"\"v\"=hex:e9,00", Encoding::Latin1, Bytes(ValueType::Binary, {0xe9, 0})}, // bytes stay bytes
        {"\"v\"=dword:00000010", Encoding::Latin1, Bytes(ValueType::DWord, {0x10, 0, 0, 0})},
        // the header decides, not the encoding: UTF-16 with REGEDIT4 still has 8-bit hex texts
        {"\"v\"=hex(2):41,00", Encoding::Utf16, Text(u"A", ValueType::ExpandString)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(Name(c.encoding)) + ": " + c.line.toStdString());
        const QString text = V4 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n" + c.line + "\n";
        const FileRegistry registry(Write(Encode(text, c.encoding)), Missing);
        EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "v"), c.value);
    }
}

TEST_F(RegistryFiles, CommentsBlankLinesCaseAndLaterLines) {
    const FileRegistry registry(Write(Encode(V5 + R"(; a comment, and a value before any key belongs to none
"orphan"="x"

   ; indented comment
[HKEY_LOCAL_MACHINE\SOFTWARE\Vendor\App]
@="default"
"Name"="first"
"Kept"="kept"
	
  [hkey_local_machine\software\VENDOR\app]
  "NAME"="second"
"Added"=dword:00000001
[HKLM\SOFTWARE\Vendor\App]
"name"="third"
)",
                                             Encoding::Utf8)),
                                Missing);
    const QString key = "SOFTWARE\\Vendor\\App";
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, key, ""), Text(u"default"));
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, key, "@"), Text(u"default"));
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, "software\\vendor\\APP", "nAmE"), Text(u"third"));
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, key, "Kept"), Text(u"kept"));
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, key, "Added"), Bytes(ValueType::DWord, {1, 0, 0, 0}));
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, key, "orphan"), std::nullopt);
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, key, "Missing"), std::nullopt);
    EXPECT_TRUE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\Vendor")); // a parent exists with its child
    EXPECT_TRUE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\Vendor\\App\\")); // one trailing backslash
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "\\SOFTWARE\\Vendor"));
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\\\Vendor"));
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\Vendor\\App\\Sub"));
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\Vend"));
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\" + QString(256, u'x')));
    EXPECT_FALSE(Opens(registry, RootKey::CurrentUser, "SOFTWARE\\Vendor")); // the user file is missing
}

TEST_F(RegistryFiles, MalformedValueLinesAreSkipped) {
    const QString bad[] = {
        R"("v"="unterminated)",
        R"("v"="two" "strings")",
        R"("v"=dword:123456789)",
        R"("v"=dword:)",
        R"("v"=dword:xyz)",
        R"("v"=dword: 1)",
        R"("v"=hex:0g)",
        R"("v"=hex:001)",
        R"("v"=hex:01,,02)",
        R"("v"=hex:,01)",
        R"("v"=hex(zz):01)",
        R"("v"=hex():01)",
        R"("v"=hex(123456789):01)",
        R"("v"=hex(1:01)",
        R"("v"=hex(1) :01)",
        R"("v"=hexa:01)",
        R"("v"=str(2):"x")",
        R"("v"=)",
        R"("v")",
        R"("v"=-x)",
        R"("v"=bogus)",
        R"(v="unquoted name")",
        R"(@x="x")",
        R"("v=")",
        "\"v\"=hex:01,\\",          // the data goes on, but the next line is no hex data
        "\"v\"=hex:01,\\\n",        // ...or blank
        "\"v\"=hex:01,\\\n  zz,02", // ...or no hex data after all
        "\"v\"=hex:01,0\\\n  1",    // a byte never spans two lines
        QStringLiteral("\x01\x02 garbage"),
        "= \"no name\"",
    };
    for (const QString& line : bad) {
        SCOPED_TRACE(line.toStdString());
        const QString text = V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"before\"\n" + line +
                             "\n\"after\"=\"after\"\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Next]\n\"n\"=\"next\"\n";
        const FileRegistry registry(Write(Encode(text, Encoding::Utf8)), Missing);
        EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "v"), Text(u"before"));
        EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "after"), Text(u"after"));
        EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Next", "n"), Text(u"next"));
    }
}

TEST_F(RegistryFiles, ValuesAfterAMalformedOrForeignSectionBelongToNoKey) {
    const QString sections[] = {
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test",
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\\\Test]",
        "[\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]",
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test] trailing",
        "[ HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]",
        "[HKEY_BOGUS\\SOFTWARE\\Test]",
        "[HKEY_CURRENT_USER\\SOFTWARE\\Test]", // the machine file holds no user keys
        "[HKEY_USERS\\.DEFAULT\\SOFTWARE\\Test]",
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\" + QString(256, u'x') + "]",
        "[-HKEY_LOCAL_MACHINE]", // a root is never deleted
        "[]",
        "[-]",
        "\"v\"=hex:01,\\\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]", // a section cuts hex data short
    };
    for (const QString& section : sections) {
        SCOPED_TRACE(section.toStdString());
        const QString text =
            V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"before\"\n" + section + "\n\"v\"=\"wrong\"\n";
        const FileRegistry registry(Write(Encode(text, Encoding::Utf16)), Missing);
        EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "v"), Text(u"before"));
        EXPECT_TRUE(Opens(registry, RootKey::LocalMachine, "SOFTWARE"));
    }
}

TEST_F(RegistryFiles, DeletionsUndoWhatCameBeforeThemInTheFile) {
    const FileRegistry registry(Write(Encode(V5 + R"([HKEY_LOCAL_MACHINE\SOFTWARE\A]
"x"="1"
"y"="1"
[HKEY_LOCAL_MACHINE\SOFTWARE\A\B]
"z"="1"
[-HKEY_LOCAL_MACHINE\SOFTWARE\a]
"ignored"="1"
[HKEY_LOCAL_MACHINE\SOFTWARE\A]
"y"="2"
[HKEY_LOCAL_MACHINE\SOFTWARE\C\D\E]
[-HKEY_LOCAL_MACHINE\SOFTWARE\C\D]
[HKEY_LOCAL_MACHINE\SOFTWARE\F]
"gone"="1"
"GONE"=-
"back"="1"
"back"=-
"back"="2"
@="default"
@=-
[-HKEY_LOCAL_MACHINE\SOFTWARE\Never]
[HKEY_LOCAL_MACHINE\SOFTWARE\G\H]
"h"="1"
[-HKEY_LOCAL_MACHINE\SOFTWARE\G]
[HKEY_LOCAL_MACHINE\SOFTWARE\G\H\I]
)",
                                             Encoding::Utf16)),
                                Missing);
    const auto read = [&](const QString& key, const QString& name) {
        return Read(registry, RootKey::LocalMachine, key, name);
    };
    EXPECT_EQ(read("SOFTWARE\\A", "x"), std::nullopt);
    EXPECT_EQ(read("SOFTWARE\\A", "y"), Text(u"2"));
    EXPECT_EQ(read("SOFTWARE\\A", "ignored"), std::nullopt);
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\A\\B"));
    EXPECT_TRUE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\C")); // made as the parent of C\D\E
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\C\\D"));
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\C\\D\\E"));
    EXPECT_EQ(read("SOFTWARE\\F", "gone"), std::nullopt);
    EXPECT_EQ(read("SOFTWARE\\F", "back"), Text(u"2"));
    EXPECT_EQ(read("SOFTWARE\\F", ""), std::nullopt);
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\Never"));
    EXPECT_TRUE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\G\\H")); // made again as the parent of I
    EXPECT_EQ(read("SOFTWARE\\G\\H", "h"), std::nullopt);
}

TEST_F(RegistryFiles, ClassesRootReadsTheUsersClassesBeforeTheMachines) {
    const QString machine = Write(Encode(V5 + R"([HKEY_CLASSES_ROOT\CLSID\{1}]
@="machine one"
"Only"="machine"
[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{2}]
@="machine two"
[HKEY_CURRENT_USER\Software\Classes\CLSID\{4}]
@="a user key in the machine file"
)",
                                         Encoding::Utf16));
    const QString user = Write(Encode(V5 + R"([HKEY_CURRENT_USER\Software\Classes\CLSID\{1}]
@="user one"
"Only"=-
[HKCU\Software\Classes\CLSID\{3}]
@="user three"
[HKEY_CLASSES_ROOT\CLSID\{5}]
@="a classes key in the user file"
[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{5}]
@="a machine key in the user file"
)",
                                      Encoding::Utf8));
    const FileRegistry registry(machine, user);
    const struct {
        RootKey root;
        QString key;
        QString name;
        std::optional<Value> value;
    } cases[] = {
        {RootKey::ClassesRoot, "CLSID\\{1}", "", Text(u"user one")},
        {RootKey::ClassesRoot, "clsid\\{1}", "Only", Text(u"machine")}, // deleted only in the user's own key
        {RootKey::ClassesRoot, "CLSID\\{2}", "", Text(u"machine two")},
        {RootKey::ClassesRoot, "CLSID\\{3}", "", Text(u"user three")},
        {RootKey::ClassesRoot, "CLSID\\{4}", "", std::nullopt},
        {RootKey::ClassesRoot, "CLSID\\{5}", "", std::nullopt},
        {RootKey::LocalMachine, "Software\\Classes\\CLSID\\{1}", "", Text(u"machine one")},
        {RootKey::LocalMachine, "SOFTWARE\\Classes\\CLSID\\{2}", "", Text(u"machine two")},
        {RootKey::CurrentUser, "Software\\Classes\\CLSID\\{1}", "", Text(u"user one")},
        {RootKey::CurrentUser, "Software\\Classes\\CLSID\\{1}", "Only", std::nullopt},
        {RootKey::CurrentUser, "Software\\Classes\\CLSID\\{2}", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.toStdString() + " " + c.name.toStdString());
        EXPECT_EQ(Read(registry, c.root, c.key, c.name), c.value);
    }
    EXPECT_TRUE(Opens(registry, RootKey::ClassesRoot, "CLSID\\{3}"));
    EXPECT_FALSE(Opens(registry, RootKey::ClassesRoot, "CLSID\\{4}"));
    EXPECT_FALSE(Opens(registry, RootKey::ClassesRoot, "CLSID\\{5}"));
    EXPECT_TRUE(Opens(registry, RootKey::ClassesRoot, ""));
}

TEST_F(RegistryFiles, TheThirtyTwoBitViewSeesWow6432Node) {
    const QString machine = Write(Encode(V5 + R"([HKEY_LOCAL_MACHINE\SOFTWARE\Vendor]
"Bits"="64"
[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Vendor]
"Bits"="32"
[HKEY_LOCAL_MACHINE\SOFTWARE\Only64]
"Bits"="64"
[HKEY_CLASSES_ROOT\CLSID\{1}]
"Bits"="64"
[HKEY_CLASSES_ROOT\WOW6432Node\CLSID\{1}]
"Bits"="32"
[HKEY_CLASSES_ROOT\.txt]
"Bits"="shared"
[HKEY_LOCAL_MACHINE\SYSTEM\Setup]
"Bits"="shared"
)",
                                         Encoding::Utf16));
    const QString user = Write(Encode(V5 + R"([HKEY_CURRENT_USER\Software\Vendor]
"Bits"="shared"
[HKEY_CURRENT_USER\Software\Classes\CLSID\{2}]
"Bits"="64"
[HKEY_CURRENT_USER\Software\Classes\WOW6432Node\CLSID\{2}]
"Bits"="32"
)",
                                      Encoding::Utf8));
    const FileRegistry registry(machine, user);
    const struct {
        RootKey root;
        QString key;
        KeyView view;
        std::optional<QString> bits; // nullopt: the key does not open
    } cases[] = {
        {RootKey::LocalMachine, "SOFTWARE\\Vendor", KeyView::Default, "64"},
        {RootKey::LocalMachine, "SOFTWARE\\Vendor", KeyView::Registry64, "64"},
        {RootKey::LocalMachine, "software\\vendor", KeyView::Registry32, "32"},
        {RootKey::LocalMachine, "SOFTWARE\\WOW6432Node\\Vendor", KeyView::Registry32, "32"},
        {RootKey::LocalMachine, "SOFTWARE\\Only64", KeyView::Registry32, std::nullopt}, // no falling back
        {RootKey::LocalMachine, "SOFTWARE\\Only64", KeyView::Default, "64"},
        {RootKey::LocalMachine, "SYSTEM\\Setup", KeyView::Registry32, "shared"},
        {RootKey::CurrentUser, "Software\\Vendor", KeyView::Registry32, "shared"},
        {RootKey::ClassesRoot, "CLSID\\{1}", KeyView::Default, "64"},
        {RootKey::ClassesRoot, "CLSID\\{1}", KeyView::Registry32, "32"},
        {RootKey::LocalMachine, "SOFTWARE\\Classes\\CLSID\\{1}", KeyView::Registry32, "32"},
        {RootKey::ClassesRoot, ".txt", KeyView::Registry32, "shared"},
        {RootKey::ClassesRoot, "CLSID\\{2}", KeyView::Registry32, "32"},
        {RootKey::CurrentUser, "Software\\Classes\\CLSID\\{2}", KeyView::Registry32, "32"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.toStdString() + " view " + std::to_string(int(c.view)));
        const auto key = registry.OpenKey(c.root, c.key, c.view);
        ASSERT_EQ(key != nullptr, c.bits.has_value());
        if (!key) continue;
        const auto value = key->ReadValue("Bits");
        ASSERT_TRUE(value);
        EXPECT_EQ(registry::ValueText(*value), *c.bits);
    }
    EXPECT_TRUE(Opens(registry, RootKey::LocalMachine, "SOFTWARE", KeyView::Registry32));
}

TEST_F(RegistryFiles, MissingUnreadableAndHeaderlessFilesAreEmptyHives) {
    ASSERT_TRUE(QDir(Dir.path()).mkdir("folder.reg"));
    const QString fifo = Dir.filePath("fifo.reg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString sections = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"x\"\n";
    const QString files[] = {
        Missing,
        QString(),
        Dir.filePath("folder.reg"),
        fifo, // must not wait for a writer
        Write({}),
        Write(Encode(sections, Encoding::Utf8)),
        Write(Encode("\n" + V5 + sections, Encoding::Utf8)),
        Write(Encode("Windows Registry Editor Version 4.00\n" + sections, Encoding::Utf8)),
        Write(Encode("regedit4\n" + sections, Encoding::Utf8)),
        Write(Encode(QString(5'000'000, u'x'), Encoding::Utf8)),
    };
    const QStringList before =
        QDir(Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const FileRegistry registry(file, file);
        for (const RootKey root : {RootKey::LocalMachine, RootKey::CurrentUser, RootKey::ClassesRoot}) {
            EXPECT_FALSE(Opens(registry, root, "SOFTWARE\\Test"));
            EXPECT_FALSE(Opens(registry, root, "SOFTWARE"));
            const auto rootKey = registry.OpenKey(root, ""); // a root always opens
            ASSERT_TRUE(rootKey);
            EXPECT_EQ(rootKey->ReadValue(""), std::nullopt);
        }
    }
    // Nothing is created, not even the missing file.
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), before);
}

TEST_F(RegistryFiles, ByteOrderMarksThatAreMissingOrWrong) {
    // What a damaged mark leaves behind: the header's own bytes tell UTF-16LE from 8 bits.
    const QString text = V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"ok\"\n";
    const QByteArray utf16 = Utf16Le(text);
    const QByteArray utf8 = text.toUtf8();
    const struct {
        const char* what;
        QByteArray bytes;
        bool reads;
    } cases[] = {
        {"UTF-16LE with its mark", "\xFF\xFE" + utf16, true},
        {"UTF-16LE without a mark", utf16, true},
        {"UTF-16LE behind a big-endian mark", "\xFE\xFF" + utf16, true},
        {"UTF-16LE behind a UTF-8 mark", "\xEF\xBB\xBF" + utf16, true},
        {"UTF-8 behind a UTF-16 mark", "\xFF\xFE" + utf8, true},
        {"UTF-16LE with an odd byte at the end", "\xFF\xFE" + utf16 + "\x41", true},
        {"UTF-16LE behind half a mark", "\xFF" + utf16, false},
        {"UTF-16LE behind a doubled mark", "\xFF\xFE\xFF\xFE" + utf16, false},
        {"UTF-16BE", "\xFE\xFF" + QByteArray(utf16).insert(0, '\0').chopped(1), false},
        {"only a mark", "\xFF\xFE", false},
        {"half a mark", "\xFF", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FileRegistry registry(Write(c.bytes), Missing);
        EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "v"),
                  c.reads ? std::optional(Text(u"ok")) : std::nullopt);
    }

    // A UTF-16 file cut in the middle of a character keeps what came before.
    const QByteArray cut = "\xFF\xFE" + Utf16Le(text + "\"w\"=\"lost\"");
    const FileRegistry registry(Write(cut.chopped(3)), Missing);
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "v"), Text(u"ok"));
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "w"), std::nullopt);
}

long PeakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(RegistryFiles, HugeFileIsStreamedInBoundedMemory) {
    // About 50 MB of UTF-16, as regedit exports a large hive: the key looked for at both ends, a
    // value of 1 MiB, and a line too long to be anything but malformed.
    const QString path = Dir.filePath("huge.reg");
    const long peakBefore = PeakMemoryKiB();
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xFF\xFE");
        QString chunk;
        // Written a little at a time, so that the test's own memory stays small next to a copy of the file.
        const auto put = [&](const QString& text) {
            chunk += text;
            if (chunk.size() > (1 << 18)) {
                file.write(Utf16Le(chunk.replace(u'\n', QStringLiteral("\r\n"))));
                chunk.clear();
            }
        };
        QString bytes[256];
        for (int b = 0; b < 256; ++b)
            bytes[b] = QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
        QString hex;
        for (int b = 0; b < 27; ++b)
            hex += bytes[b] + ',';

        put(V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Target]\n\"v\"=\"first\"\n\"w\"=\"from the start\"\n");
        for (int i = 0; file.pos() < 50'000'000; ++i) {
            put(QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Bulk\\Key%1]\n"
                               "\"Name\"=\"Some text for key %1\"\n"
                               "\"Data\"=hex:%2\\\n  1b,1c\n"
                               "@=dword:%3\n\n")
                    .arg(i)
                    .arg(hex)
                    .arg(i, 8, 16, QLatin1Char('0')));
            if (i == 1000) {
                // Too long a line is skipped whole: what lies beyond the buffer is not a line of its own.
                const QString head = "\"long\"=\"";
                put("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Target]\n" + head);
                put(QString(qsizetype(registry::MaxLineBytes / 2) - head.size(), u'x'));
                put("\"tail\"=\"wrong\"\n\"after long\"=\"read\"\n\"blob\"=hex:");
                for (int b = 0; b < (1 << 20); ++b)
                    put(bytes[b & 0xff] + (b + 1 == (1 << 20) ? "\n" : b % 25 == 24 ? ",\\\n  " : ","));
            }
        }
        put("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Target]\n\"v\"=\"last\"\n");
        file.write(Utf16Le(chunk.replace(u'\n', QStringLiteral("\r\n"))));
    }
    ASSERT_GE(QFileInfo(path).size(), 50'000'000);

    const long peakWritten = PeakMemoryKiB();
    const auto start = std::chrono::steady_clock::now();
    const FileRegistry registry(path, Missing);
    const auto key = registry.OpenKey(RootKey::LocalMachine, "SOFTWARE\\Target");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadValue("v"), Text(u"last"));
    EXPECT_EQ(key->ReadValue("w"), Text(u"from the start"));
    EXPECT_EQ(key->ReadValue("long"), std::nullopt);
    EXPECT_EQ(key->ReadValue("tail"), std::nullopt);
    EXPECT_EQ(key->ReadValue("after long"), Text(u"read"));
    const auto blob = key->ReadValue("blob");
    ASSERT_TRUE(blob);
    ASSERT_EQ(blob->Data.size(), 1 << 20);
    for (int b = 0; b < (1 << 20); b += 4099)
        ASSERT_EQ(std::uint8_t(blob->Data[b]), std::uint8_t(b & 0xff)) << b;
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Bulk\\Key123", "Name"),
              Text(u"Some text for key 123"));
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Bulk\\Key123", ""),
              Bytes(ValueType::DWord, {123, 0, 0, 0}));
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\Bulk\\Key999999999"));
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf(
        "%d ms for the reads; peak memory %ld MiB before writing, %ld MiB after, %ld MiB after reading\n",
        int(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()), peakBefore / 1024,
        peakWritten / 1024, PeakMemoryKiB() / 1024);
    // Reading a 50 MB file takes a handful of line buffers, not a copy of it. AddressSanitizer holds
    // freed buffers back in quarantine, so there the figure is its and not the reader's.
#ifndef __SANITIZE_ADDRESS__
    EXPECT_LT(PeakMemoryKiB() - peakWritten, 40 * 1024);
#endif
}

TEST_F(RegistryFiles, ChangedFilesAreReadAgain) {
    const auto hive = [](const char* value) {
        return Encode(V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"" + value + "\"\n",
                      Encoding::Utf16);
    };
    const QString path = Write(hive("one"));
    const FileRegistry registry(path, Missing);
    const auto key = registry.OpenKey(RootKey::LocalMachine, "SOFTWARE\\Test");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadValue("v"), Text(u"one"));

    // Rewritten in place with another size: an open key reads what the file holds now.
    Overwrite(path, hive("three"));
    EXPECT_EQ(key->ReadValue("v"), Text(u"three"));

    // Replaced by another file of the same size and modification time, as an editor saves.
    struct stat old {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &old), 0);
    const QString replacement = Write(hive("seven"));
    const timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(replacement).constData(), times, 0), 0);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(replacement, path));
    EXPECT_EQ(key->ReadValue("v"), Text(u"seven"));

    // The key deleted: it no longer opens, and an open handle finds nothing.
    Overwrite(path, Encode(V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n", Encoding::Utf16));
    EXPECT_EQ(key->ReadValue("v"), std::nullopt);
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\Test"));

    // The file gone, then back.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(Opens(registry, RootKey::LocalMachine, "SOFTWARE\\Other"));
    Overwrite(path, hive("back"));
    EXPECT_EQ(key->ReadValue("v"), Text(u"back"));
    EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "v"), Text(u"back"));
}

// Sets or clears environment variables for one scope.
class ScopedEnvironment {
public:
    ~ScopedEnvironment() {
        for (auto it = Saved.rbegin(); it != Saved.rend(); ++it) {
            if (it->second)
                qputenv(it->first, *it->second);
            else
                qunsetenv(it->first);
        }
    }
    void Set(const char* name, const std::optional<QByteArray>& value) {
        Saved.emplace_back(name,
                           qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> Saved;
};

TEST_F(RegistryFiles, HiveFilesComeFromTheEnvironment) {
    ScopedEnvironment environment;
    environment.Set("HOME", "/home/someone");
    const struct {
        std::optional<QByteArray> machine, user, config;
        QString machineFile, userFile;
    } cases[] = {
        {std::nullopt, std::nullopt, std::nullopt, "/etc/orvane/machine.reg",
         "/home/someone/.config/orvane/user.reg"},
        {"", "", "", "/etc/orvane/machine.reg", "/home/someone/.config/orvane/user.reg"},
        {"/m.reg", "/u.reg", "/config", "/m.reg", "/u.reg"},
        {std::nullopt, std::nullopt, "/config", "/etc/orvane/machine.reg", "/config/orvane/user.reg"},
        {std::nullopt, std::nullopt, "relative", "/etc/orvane/machine.reg",
         "/home/someone/.config/orvane/user.reg"},
    };
    for (const auto& c : cases) {
        ScopedEnvironment scope;
        scope.Set("ORVANE_MACHINE_REG", c.machine);
        scope.Set("ORVANE_USER_REG", c.user);
        scope.Set("XDG_CONFIG_HOME", c.config);
        EXPECT_EQ(registry::MachineHiveFile(), c.machineFile);
        EXPECT_EQ(registry::UserHiveFile(), c.userFile);
    }

    // The default registry looks the names up at each use.
    const FileRegistry registry;
    for (const char* value : {"first", "second"}) {
        const QString machine = Write(
            Encode(V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"v\"=\"" + value + "\"\n", Encoding::Utf8));
        const QString user = Write(
            Encode(V5 + "[HKEY_CURRENT_USER\\Software\\Test]\n\"v\"=\"" + value + "\"\n", Encoding::Utf8));
        environment.Set("ORVANE_MACHINE_REG", QFile::encodeName(machine));
        environment.Set("ORVANE_USER_REG", QFile::encodeName(user));
        EXPECT_EQ(Read(registry, RootKey::LocalMachine, "SOFTWARE\\Test", "v"),
                  Text(QString::fromLatin1(value)));
        EXPECT_EQ(Read(registry, RootKey::CurrentUser, "Software\\Test", "v"),
                  Text(QString::fromLatin1(value)));
    }
}

} // namespace
