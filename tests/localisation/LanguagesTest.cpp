// The shared language database: created on demand, opened by the first statement, kept between
// reads, thrown away after a failed read and created again from the settings of that moment.
#include "frame/PublicUnit.h"
#include "localisation/Languages.h"
#include "platform/jet/DatabaseWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;
using jet::ColumnType;
using jet::Value;

namespace {

const QString Jet = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
const QString Ace = QStringLiteral("Microsoft.ACE.OLEDB.12.0");

void WriteDatabase(const fs::path& file) {
    jet::DatabaseWriter w(file);
    w.BeginTable(u"Languages", {{u"LanguageID", ColumnType::LongInteger}, {u"LanguageName", ColumnType::Text}});
    w.BeginTable(u"FormStrings", {{u"FormName", ColumnType::Text},
                                  {u"ControlName", ColumnType::Text},
                                  {u"PropertyName", ColumnType::Text},
                                  {u"ENGLISH_US", ColumnType::LongText}});
    w.AddRow(std::vector<Value>{std::u16string(u"frmMain"), std::u16string(u"btClose"), std::u16string(u"Caption"),
                                std::u16string(u"&Close")});
    w.AddRow(std::vector<Value>{std::u16string(u"O'Brien"), std::u16string(u"btOk"), std::u16string(u"Caption"),
                                std::u16string(u"O'Brien's button")});
    w.Commit();
}

class LanguageDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvane-app-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        AppSettings.AppFolder = QString::fromStdString(folder.string()) + '/';
        AppSettings.ProviderName = Jet;
        DropLanguageDatabase();
    }
    void TearDown() override {
        DropLanguageDatabase();
        fs::remove_all(folder);
    }

    // The caption of a control of a form, the way every reader reads: "" when nothing is found.
    QString Caption(const QString& form) {
        QString caption;
        ReadLanguageDatabase("select ENGLISH_US from FormStrings where FormName=" + TextLiteral(form),
                             [&](ado::Query& q) {
                                 if (q.RecordCount() > 0) caption = q.FieldByName("ENGLISH_US").AsString();
                             });
        return caption;
    }

    fs::path folder;
};

TEST_F(LanguageDatabaseTest, FirstReadCreatesAndOpensLaterReadsReuse) {
    WriteDatabase(folder / "languages.mdb");
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Absent);
    EnsureLanguageDatabase();
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Ready); // not opened yet
    EXPECT_EQ(Caption("frmMain"), "&Close");
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Open);
    const auto* connection = LanguageConnection();
    const auto* query = LanguageQuery();
    EXPECT_FALSE(query->Active()); // closed between reads
    EXPECT_EQ(Caption("FRMMAIN"), "&Close");
    EXPECT_EQ(LanguageConnection(), connection);
    EXPECT_EQ(LanguageQuery(), query);
    EXPECT_EQ(connection->ConnectionString,
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + AppSettings.AppFolder +
                  "languages.mdb;Persist Security Info=False;Jet OLEDB:Database Password=wxqv_5831");
}

TEST_F(LanguageDatabaseTest, MissingDatabaseFailsEachReadUntilItArrives) {
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Caption("frmMain"), "");
        EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Absent);
    }
    WriteDatabase(folder / "languages.mdb"); // copied in while the program runs
    EXPECT_EQ(Caption("frmMain"), "&Close");
    fs::remove(folder / "languages.mdb");
    EXPECT_EQ(Caption("frmMain"), "");
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Absent);
}

TEST_F(LanguageDatabaseTest, FailedStatementDropsTheSharedObjects) {
    WriteDatabase(folder / "languages.mdb");
    EXPECT_EQ(Caption("frmMain"), "&Close");
    QString text = "default";
    EXPECT_FALSE(ReadLanguageDatabase("select FRENCH from FormStrings", [&](ado::Query& q) {
        text = q.FieldByName("FRENCH").AsString();
    }));
    EXPECT_EQ(text, "default");
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Absent);
    EXPECT_EQ(Caption("frmMain"), "&Close");
}

// A key holding a quote finds its row: keys are written into statements with quotes doubled.
TEST_F(LanguageDatabaseTest, KeyWithAQuoteFindsItsRow) {
    WriteDatabase(folder / "languages.mdb");
    EXPECT_EQ(TextLiteral("O'Brien"), "'O''Brien'");
    EXPECT_EQ(Caption("O'Brien"), "O'Brien's button");
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Open);
}

TEST_F(LanguageDatabaseTest, ProviderNameIsTakenWhenTheObjectsAreCreated) {
    WriteDatabase(folder / "languages.mdb");
    EXPECT_EQ(Caption("frmMain"), "&Close");
    AppSettings.ProviderName = QStringLiteral("No.Such.Provider");
    EXPECT_EQ(Caption("frmMain"), "&Close"); // no failure in between: the first name stays
    EXPECT_TRUE(LanguageConnection()->ConnectionString.startsWith("Provider=Microsoft.Jet.OLEDB.4.0;"));

    fs::remove(folder / "languages.mdb");
    EXPECT_EQ(Caption("frmMain"), "");
    WriteDatabase(folder / "languages.mdb");
    EXPECT_EQ(Caption("frmMain"), ""); // created again with the provider now named, not installed
    AppSettings.ProviderName = Ace;
    EXPECT_EQ(Caption("frmMain"), "&Close");
    EXPECT_TRUE(LanguageConnection()->ConnectionString.startsWith("Provider=Microsoft.ACE.OLEDB.12.0;"));
}

} // namespace
