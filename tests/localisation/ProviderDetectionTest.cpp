// Which provider the program settles on, for each way the machine can be set up.
#include "frame/PublicUnit.h"
#include "localisation/ProviderDetection.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <map>

namespace {

const QString Other = QStringLiteral("Vendor.Provider.1");

TEST(DetectOleDbProvider, TriesTheRegisteredProviderThenTheOtherName) {
    const struct {
        const char* name;
        std::map<QString, QString> classKeys; // key → default value
        QStringList working;                  // provider names whose probe passes
        QStringList probes;                   // names probed, in order
        QString result;
        bool warned;
    } cases[] = {
        {"Jet key, its provider works", {{JetClassKey, Other}}, {Other}, {Other}, Other, false},
        {"Jet key fails, ACE works", {{JetClassKey, Other}}, {AceProviderName}, {Other, AceProviderName}, AceProviderName, false},
        {"Jet key, both fail", {{JetClassKey, Other}}, {}, {Other, AceProviderName}, JetProviderName, false},
        {"Jet key without default value", {{JetClassKey, ""}}, {AceProviderName}, {"", AceProviderName}, AceProviderName, false},
        {"both keys: the ACE key is not looked at", {{JetClassKey, JetProviderName}, {AceClassKey, Other}}, {Other},
         {JetProviderName, AceProviderName}, JetProviderName, false},
        {"only the ACE key, working", {{AceClassKey, Other}}, {Other}, {Other}, Other, false},
        {"only the ACE key fails, Jet works", {{AceClassKey, Other}}, {JetProviderName}, {Other, JetProviderName}, JetProviderName, false},
        {"no key, Jet works", {}, {JetProviderName}, {JetProviderName}, JetProviderName, false},
        {"no key, ACE works", {}, {AceProviderName}, {JetProviderName, AceProviderName}, AceProviderName, false},
        {"no key, nothing works", {}, {}, {JetProviderName, AceProviderName}, JetProviderName, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList probes;
        QString warning;
        int terminated = 0;
        auto& p = ProviderDetection();
        const auto saved = p;
        AppSettings.AppTitle = QStringLiteral("Orvane");
        p.ReadClassKeyDefault = [&](const QString& key) -> std::optional<QString> {
            const auto it = c.classKeys.find(key);
            return it == c.classKeys.end() ? std::nullopt : std::optional(it->second);
        };
        p.Probe = [&](const QString& name) {
            probes << name;
            return c.working.contains(name);
        };
        p.ShowWarning = [&](const QString& caption, const QString& text) { warning = caption + "|" + text; };
        p.Terminate = [&] { ++terminated; };
        const QString result = DetectOleDbProvider();
        p = saved;
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(probes, c.probes);
        EXPECT_EQ(warning, c.warned ? QStringLiteral("Orvane|Please Install AccessDatabaseEngine.") : QString());
        EXPECT_EQ(terminated, c.warned ? 1 : 0);
    }
}

} // namespace

#include "platform/jet/DatabaseWriter.h"

#include <unistd.h>

namespace {

TEST(TestOleDbProvider, PassesWhenTheDatabaseAnswersTheCount) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "orvane-probe-XXXXXX").string();
    const fs::path folder = ::mkdtemp(pattern.data());
    AppSettings.AppFolder = QString::fromStdString(folder.string()) + '/';
    EXPECT_FALSE(TestOleDbProvider(JetProviderName)); // no database yet
    {
        jet::DatabaseWriter w(folder / "languages.mdb");
        w.BeginTable(u"Languages", {{u"LanguageID", jet::ColumnType::LongInteger}}); // empty passes
        w.Commit();
    }
    EXPECT_TRUE(TestOleDbProvider(JetProviderName));
    EXPECT_TRUE(TestOleDbProvider(AceProviderName));
    EXPECT_FALSE(TestOleDbProvider(QStringLiteral("Microsoft.Jet.OLEDB.3.51")));
    EXPECT_FALSE(TestOleDbProvider(QString()));
    {
        jet::DatabaseWriter w(folder / "languages.mdb");
        w.BeginTable(u"Other", {{u"A", jet::ColumnType::LongInteger}});
        w.Commit();
    }
    EXPECT_FALSE(TestOleDbProvider(JetProviderName)); // no Languages table
    fs::remove_all(folder);
}

} // namespace

#include <fstream>

namespace {

// A class key whose default value is not text names no provider: its probe fails and the other
// well-known name is tried, instead of an error ending the start-up.
TEST(DetectOleDbProvider, ClassKeyWithANumberForItsDefaultValueNamesNoProvider) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "orvane-classkey-XXXXXX").string();
    const fs::path folder = ::mkdtemp(pattern.data());
    AppSettings.AppFolder = QString::fromStdString(folder.string()) + '/';
    {
        jet::DatabaseWriter w(folder / "languages.mdb");
        w.BeginTable(u"Languages", {{u"LanguageID", jet::ColumnType::LongInteger}});
        w.Commit();
    }
    std::ofstream(folder / "machine.reg") << "Windows Registry Editor Version 5.00\r\n\r\n"
                                             "[HKEY_CLASSES_ROOT\\CLSID\\{dee35070-506b-11cf-b1aa-00aa00b8de95}]\r\n"
                                             "@=dword:00000001\r\n";
    ::setenv("ORVANE_MACHINE_REG", (folder / "machine.reg").c_str(), 1);
    ::setenv("ORVANE_USER_REG", (folder / "user.reg").c_str(), 1);
    QStringList probes;
    auto& p = ProviderDetection();
    const auto saved = p;
    p.Probe = [&](const QString& name) {
        probes << name;
        return TestOleDbProvider(name);
    };
    p.ShowWarning = [](const QString&, const QString&) { ADD_FAILURE() << "warning shown"; };
    const QString result = DetectOleDbProvider();
    p = saved;
    ::unsetenv("ORVANE_MACHINE_REG");
    ::unsetenv("ORVANE_USER_REG");
    EXPECT_EQ(probes, (QStringList{QString(), AceProviderName}));
    EXPECT_EQ(result, AceProviderName);
    fs::remove_all(folder);
}

} // namespace
