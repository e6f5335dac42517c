// orvane-langdb check: the report a translation team reads, and its exit status.
#include "DatabaseFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace langdb {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::TempDir;
using V = jet::Value;
using Bytes = std::vector<std::uint8_t>;

// Repeated keys, keys that differ only in letter case (in Cyrillic too), a NULL key, and texts
// missing, empty or present in various languages. Written directly: build would warn about all of it.
std::vector<test::TestTable> UntidyTables() {
    using enum jet::ColumnType;
    const V null = jet::Null{};
    return {
        {u"Languages",
         {{u"LanguageID", LongInteger}, {u"LanguageName", Text}},
         {{1, u"ENG"}, {2, u"FRA"}, {1, u"Dup"}}},
        {u"MessageStrings",
         {{u"StringID", LongInteger}, {u"ENGLISH_US", LongText}, {u"FRENCH", LongText}},
         {{1, u"One", u"Un"}, {2, u"", null}, {1, u"Again", u"Encore"}, {3, u"Three", u""}}},
        {u"FormStrings",
         {{u"FormName", Text},
          {u"ControlName", Text},
          {u"PropertyName", Text},
          {u"ENGLISH_US", LongText},
          {u"CHINESE_SIMPLIFIED", LongText}},
         {{u"frmMain", u"btOk", u"Caption", u"OK", u"确定"},
          {u"frmMain", u"BTOK", u"caption", u"ok", null},
          {u"Форма", u"Кнопка", u"Caption", u"Button", null},
          {u"ФОРМА", u"кнопка", u"Caption", u"BUTTON", null},
          {u"frmMain", u"btOk", u"Caption", u"OK again", null},
          {u"frmMain", u"btOk", u"Hint", u"Press OK", u""},
          {u"frm Main", u"btOk", u"Caption", u"Not a repeat", u"不同"}}},
        {u"ResourceFiles",
         {{u"ResourceName", Text}, {u"ENGLISH_US", LongBinary}, {u"FRENCH", LongBinary}},
         {{u"Readme.txt", Bytes{1}, null}, {u"README.TXT", Bytes{}, null}, {null, Bytes{2}, Bytes{3}}}},
    };
}

TEST(Check, ReportsRepeatedKeysAndCoverage) {
    TempDir dir;
    const fs::path file = dir / "untidy.mdb";
    test::WriteDatabase(file, UntidyTables());
    const Outcome r = test::Run({"check", file.string()});
    EXPECT_EQ(r.status, ExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Check of " + file.string() +
                         "\n"
                         "\n"
                         "Languages: 3 rows\n"
                         "  repeated keys (1); the first row is the one read, these rows never are:\n"
                         "    row 3  1  same key as row 1\n"
                         "\n"
                         "MessageStrings: 4 rows, 2 languages\n"
                         "  repeated keys (1); the first row is the one read, these rows never are:\n"
                         "    row 3  1  same key as row 1\n"
                         "  coverage:\n"
                         "    language    present  empty  NULL  coverage\n"
                         "    ENGLISH_US        3      1     0     75.0%\n"
                         "    FRENCH            2      1     1     50.0%\n"
                         "\n"
                         "FormStrings: 7 rows, 2 languages\n"
                         "  repeated keys (3); the first row is the one read, these rows never are:\n"
                         "    row 2  'frmMain' / 'BTOK' / 'caption'  differs only in letter case from row 1: "
                         "'frmMain' / 'btOk' / 'Caption'\n"
                         "    row 4  'ФОРМА' / 'кнопка' / 'Caption'  differs only in letter case from row 3: "
                         "'Форма' / 'Кнопка' / 'Caption'\n"
                         "    row 5  'frmMain' / 'btOk' / 'Caption'  same key as row 1\n"
                         "  coverage:\n"
                         "    language            present  empty  NULL  coverage\n"
                         "    ENGLISH_US                7      0     0    100.0%\n"
                         "    CHINESE_SIMPLIFIED        2      1     4     28.6%\n"
                         "\n"
                         "ResourceFiles: 3 rows, 2 languages\n"
                         "  warning: row 3 has a NULL key and is never read\n"
                         "  repeated keys (1); the first row is the one read, these rows never are:\n"
                         "    row 2  'README.TXT'  differs only in letter case from row 1: 'Readme.txt'\n"
                         "  coverage:\n"
                         "    language    present  empty  NULL  coverage\n"
                         "    ENGLISH_US        3      0     0    100.0%\n"
                         "    FRENCH            1      0     2     33.3%\n"
                         "\n"
                         "usable: 0 errors, 7 warnings\n");
}

TEST(Check, ReportsTheSameAsJson) {
    TempDir dir;
    const fs::path file = dir / "untidy.mdb";
    test::WriteDatabase(file, UntidyTables());
    const Outcome r = test::Run({"check", file.string(), "--json"});
    EXPECT_EQ(r.status, ExitOk) << r.err;
    QJsonParseError error;
    const QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << r.out;
    EXPECT_EQ(report["usable"], true);
    EXPECT_EQ(report["errors"], 0);
    EXPECT_EQ(report["warnings"], 7);

    const QJsonArray tables = report["tables"].toArray();
    ASSERT_EQ(tables.size(), 4);
    const QJsonObject forms = tables[2].toObject();
    EXPECT_EQ(forms["table"], "FormStrings");
    EXPECT_EQ(forms["rows"], 7);
    EXPECT_EQ(forms["keyColumns"], QJsonArray({"FormName", "ControlName", "PropertyName"}));
    const QJsonArray repeated = forms["repeatedKeys"].toArray();
    ASSERT_EQ(repeated.size(), 3);
    EXPECT_EQ(repeated[1].toObject(), QJsonObject({{"row", 4},
                                                   {"key", QJsonArray({"ФОРМА", "кнопка", "Caption"})},
                                                   {"firstRow", 3},
                                                   {"firstKey", QJsonArray({"Форма", "Кнопка", "Caption"})},
                                                   {"caseOnly", true}}));
    EXPECT_EQ(repeated[2].toObject()["caseOnly"], false);
    EXPECT_EQ(forms["coverage"].toArray()[1].toObject(),
              QJsonObject({{"column", "CHINESE_SIMPLIFIED"}, {"present", 2}, {"empty", 1}, {"null", 4}}));
    EXPECT_EQ(tables[1].toObject()["repeatedKeys"].toArray()[0].toObject()["key"], QJsonArray({1}));
}

TEST(Check, ExitsWithOneWhenTheProgramCouldNotUseTheDatabase) {
    using enum jet::ColumnType;
    const struct {
        const char* name;
        void (*change)(std::vector<test::TestTable>&);
        const char* error;
    } cases[] = {
        {"missing table", [](auto& t) { t.erase(t.begin() + 2); },
         "FormStrings: missing\n  error: there is no table FormStrings\n"},
        {"no ENGLISH_US",
         [](auto& t) { test::TableNamed(t, u"ResourceFiles").columns[1].name = u"ENGLISH_UK"; },
         "  error: no ENGLISH_US column (the language every lookup falls back to)\n"},
        {"missing key column",
         [](auto& t) { test::TableNamed(t, u"FormStrings").columns[2].name = u"Property"; },
         "  error: no key column PropertyName\n"},
        {"key of another type",
         [](auto& t) {
             auto& messages = test::TableNamed(t, u"MessageStrings");
             messages.columns[0].type = Text;
             messages.rows[0][0] = u"207";
         },
         "  error: key column StringID is Text, expected Long Integer\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        auto tables = test::MinimalTables();
        c.change(tables);
        test::WriteDatabase(dir / "bad.mdb", tables);
        const Outcome r = test::Run({"check", (dir / "bad.mdb").string()});
        EXPECT_EQ(r.status, ExitFailure);
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find(c.error), std::string::npos) << r.out;
        EXPECT_TRUE(r.out.ends_with("\nUNUSABLE: 1 error, 0 warnings\n")) << r.out;
        const Outcome json = test::Run({"check", (dir / "bad.mdb").string(), "--json"});
        EXPECT_EQ(json.status, ExitFailure);
        EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object()["usable"], false);
    }

    TempDir dir;
    test::WriteDatabase(dir / "ok.mdb", test::MinimalTables());
    EXPECT_EQ(test::Run({"check", (dir / "ok.mdb").string()}).status, ExitOk);
    const Outcome missing = test::Run({"check", (dir / "missing.mdb").string()});
    EXPECT_EQ(missing.status, ExitFailure);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "orvane-langdb: database file not found: " + (dir / "missing.mdb").string() + "\n");
}

} // namespace
} // namespace langdb
