// Reading one text value from the machine hive, then the user's, and the start-up step that takes the
// language from it while the command line has chosen none.
#include "frame/RegistryLanguage.h"
#include "localisation/Languages.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

const QString MachineKey = QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnholt\\Varnholt 2000]\n");
const QString UserKey = QStringLiteral("[HKEY_CURRENT_USER\\Software\\Varnholt\\Varnholt 2000]\n");

// Points ORVANE_MACHINE_REG and ORVANE_USER_REG at files of the test's own, and puts back the
// environment and the language afterwards.
class RegistryLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto& [name, value] : SavedEnvironment) {
            if (qEnvironmentVariableIsSet(name)) value = qgetenv(name);
        }
        SavedIndex = LanguageSettings.LanguageIndex;
    }

    void TearDown() override {
        for (const auto& [name, value] : SavedEnvironment) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
        LanguageSettings.LanguageIndex = SavedIndex;
    }

    // Hives holding these sections; nullopt for a missing file. The machine file is UTF-16, as regedit
    // writes it, the user file UTF-8. Each call makes new files, so no two versions look alike.
    void UseHives(const std::optional<QString>& machine, const std::optional<QString>& user) {
        ++Version;
        qputenv("ORVANE_MACHINE_REG", QFile::encodeName(Hive("machine", machine, true)));
        qputenv("ORVANE_USER_REG", QFile::encodeName(Hive("user", user, false)));
    }

    QString Hive(const char* name, const std::optional<QString>& sections, bool utf16) {
        const QString path = Dir.filePath(QStringLiteral("%1%2.reg").arg(QLatin1String(name)).arg(Version));
        if (!sections) return path;
        const QString text = "Windows Registry Editor Version 5.00\n\n" + *sections;
        QByteArray bytes;
        if (utf16) {
            bytes = "\xFF\xFE";
            const QString crlf = QString(text).replace(u'\n', QStringLiteral("\r\n"));
            for (const QChar c : crlf) {
                char unit[2];
                qToLittleEndian(c.unicode(), unit);
                bytes.append(unit, 2);
            }
        } else {
            bytes = text.toUtf8();
        }
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir Dir;
    int Version = 0;
    std::pair<const char*, std::optional<QByteArray>> SavedEnvironment[2] = {{"ORVANE_MACHINE_REG", {}},
                                                                             {"ORVANE_USER_REG", {}}};
    std::int32_t SavedIndex = 0;
};

TEST_F(RegistryLanguage, ReadsTheMachineHiveThenTheUsers) {
    const struct {
        const char* what;
        std::optional<QString> machine;
        std::optional<QString> user;
        QString key;
        QString name;
        RegistryView view;
        QString expected;
    } cases[] = {
        {"no files", std::nullopt, std::nullopt, SuiteRegistryKey, "LanguageID", 0, ""},
        {"the key in neither hive", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\"LanguageID\"=\"5\"\n",
         "[HKEY_CURRENT_USER\\Software\\Other]\n\"LanguageID\"=\"7\"\n", SuiteRegistryKey, "LanguageID", 0,
         ""},
        {"only in the user hive", std::nullopt, UserKey + "\"LanguageID\"=\"7\"\n", SuiteRegistryKey,
         "LanguageID", 0, "7"},
        {"in both hives", MachineKey + "\"LanguageID\"=\"5\"\n", UserKey + "\"LanguageID\"=\"7\"\n",
         SuiteRegistryKey, "LanguageID", 0, "5"},
        {"machine text empty", MachineKey + "\"LanguageID\"=\"\"\n", UserKey + "\"LanguageID\"=\"7\"\n",
         SuiteRegistryKey, "LanguageID", 0, "7"},
        {"machine key without the value", MachineKey + "\"Other\"=\"5\"\n",
         UserKey + "\"LanguageID\"=\"7\"\n", SuiteRegistryKey, "LanguageID", 0, "7"},
        {"machine key deleted",
         MachineKey + "\"LanguageID\"=\"5\"\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnholt]\n",
         UserKey + "\"LanguageID\"=\"7\"\n", SuiteRegistryKey, "LanguageID", 0, "7"},
        {"machine value a number", MachineKey + "\"LanguageID\"=dword:00000005\n",
         UserKey + "\"LanguageID\"=\"7\"\n", SuiteRegistryKey, "LanguageID", 0, "7"},
        {"machine value a list of texts", MachineKey + "\"LanguageID\"=hex(7):35,00,00,00,00,00\n",
         UserKey + "\"LanguageID\"=\"7\"\n", SuiteRegistryKey, "LanguageID", 0, "7"},
        {"machine value only NUL", MachineKey + "\"LanguageID\"=hex(1):00,00\n",
         UserKey + "\"LanguageID\"=\"7\"\n", SuiteRegistryKey, "LanguageID", 0, "7"},
        {"a number in both hives", MachineKey + "\"LanguageID\"=dword:00000005\n",
         UserKey + "\"LanguageID\"=hex:37,00,00,00\n", SuiteRegistryKey, "LanguageID", 0, ""},
        {"an embedded NUL", MachineKey + "\"LanguageID\"=hex(1):31,00,00,00,32,00,00,00\n", std::nullopt,
         SuiteRegistryKey, "LanguageID", 0, "1"},
        {"expandable text unexpanded",
         MachineKey + "\"Path\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\n", std::nullopt,
         SuiteRegistryKey, "Path", 0, "%TEMP%"},
        {"without the leading backslash", MachineKey + "\"LanguageID\"=\"5\"\n", std::nullopt,
         "software\\Varnholt\\Varnholt 2000", "LanguageID", 0, "5"},
        {"two leading backslashes", MachineKey + "\"LanguageID\"=\"5\"\n", std::nullopt,
         "\\\\software\\Varnholt\\Varnholt 2000", "LanguageID", 0, ""},
        {"names in another case", MachineKey + "\"LanguageID\"=\"5\"\n", std::nullopt,
         "\\SOFTWARE\\VARNHOLT\\varnholt 2000", "languageid", 0, "5"},
        {"the default value", MachineKey + "@=\"default\"\n", std::nullopt, SuiteRegistryKey, "", 0,
         "default"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UseHives(c.machine, c.user);
        EXPECT_EQ(ReadRegistryString(c.key, c.name, c.view), c.expected);
    }
}

TEST_F(RegistryLanguage, ViewOneReadsTheThirtyTwoBitViewAndTwoTheDefault) {
    UseHives(MachineKey +
                 "\"LanguageID\"=\"64\"\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Varnholt\\Varnholt "
                 "2000]\n\"LanguageID\"=\"32\"\n",
             std::nullopt);
    EXPECT_EQ(ReadRegistryString(SuiteRegistryKey, "LanguageID", 0), "64");
    EXPECT_EQ(ReadRegistryString(SuiteRegistryKey, "LanguageID", 1), "32");
    EXPECT_EQ(ReadRegistryString(SuiteRegistryKey, "LanguageID", 2), "64"); // not under WOW64
    EXPECT_EQ(ReadRegistryString(SuiteRegistryKey, "LanguageID", 3), "64");
    EXPECT_EQ(ReadRegistryString(SuiteRegistryKey, "LanguageID", 255), "64");

    // The user's Software is shared between the views, so the 32-bit view finds the user's value
    // when the machine's WOW6432Node lacks the key.
    UseHives(MachineKey + "\"LanguageID\"=\"64\"\n", UserKey + "\"LanguageID\"=\"7\"\n");
    EXPECT_EQ(ReadRegistryString(SuiteRegistryKey, "LanguageID", 1), "7");
}

TEST_F(RegistryLanguage, StartUpTakesTheLanguageFromTheRegistry) {
    const struct {
        std::optional<QString> machine; // the LanguageID line in the machine's suite key
        std::optional<QString> user;
        std::int32_t index;
    } cases[] = {
        {std::nullopt, std::nullopt, 3},
        {"\"LanguageID\"=\"5\"", std::nullopt, 5},
        {"\"LanguageID\"=\"5\"", "\"LanguageID\"=\"7\"", 5},
        {std::nullopt, "\"LanguageID\"=\"7\"", 7},
        {"\"LanguageID\"=\"\"", "\"LanguageID\"=\"7\"", 7},
        {"\"LanguageID\"=dword:00000005", "\"LanguageID\"=\"7\"", 7},
        {"\"LanguageID\"=dword:00000005", std::nullopt, 3},
        {"\"LanguageID\"=hex(2):36,00,00,00", std::nullopt, 6},
        // the machine's text wins even when it is no number
        {"\"LanguageID\"=\"fr\"", "\"LanguageID\"=\"7\"", 3},
        // integer text
        {"\"LanguageID\"=\"0\"", std::nullopt, 0},
        {"\"LanguageID\"=\"99\"", std::nullopt, 99},
        {"\"LanguageID\"=\"-2\"", std::nullopt, -2},
        {"\"LanguageID\"=\"+4\"", std::nullopt, 4},
        {"\"LanguageID\"=\"  12\"", std::nullopt, 12},
        {"\"LanguageID\"=\"$10\"", std::nullopt, 16},
        {"\"LanguageID\"=\"0x1F\"", std::nullopt, 31},
        {"\"LanguageID\"=\"-$A\"", std::nullopt, -10},
        {"\"LanguageID\"=\"$FFFFFFFF\"", std::nullopt, -1},
        {"\"LanguageID\"=\"-2147483648\"", std::nullopt, -2147483647 - 1},
        {"\"LanguageID\"=\"2147483648\"", std::nullopt, 3},
        {"\"LanguageID\"=\"12 \"", std::nullopt, 3},
        {"\"LanguageID\"=\"\t12\"", std::nullopt, 3},
        {"\"LanguageID\"=\"1.5\"", std::nullopt, 3},
        {"\"LanguageID\"=\"eng\"", std::nullopt, 3},
        {"\"LanguageID\"=\" \"", std::nullopt, 3},
        {"\"LanguageID\"=hex(1):34,00,00,00,35,00,00,00", std::nullopt, 4}, // up to the NUL
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.machine.value_or("-") + " / " + c.user.value_or("-")).toStdString());
        UseHives(c.machine ? std::optional(MachineKey + *c.machine + "\n") : std::nullopt,
                 c.user ? std::optional(UserKey + *c.user + "\n") : std::nullopt);
        LanguageSettings.LanguageIndex = 0;
        ApplyRegistryLanguage();
        EXPECT_EQ(LanguageSettings.LanguageIndex, c.index);
    }
}

TEST_F(RegistryLanguage, AChosenLanguageLeavesTheRegistryUnread) {
    UseHives(MachineKey + "\"LanguageID\"=\"5\"\n", UserKey + "\"LanguageID\"=\"7\"\n");
    for (const std::int32_t chosen : {1, 3, 16, 99, -1, -2147483647 - 1}) {
        LanguageSettings.LanguageIndex = chosen;
        ApplyRegistryLanguage();
        EXPECT_EQ(LanguageSettings.LanguageIndex, chosen);
    }
}

} // namespace
