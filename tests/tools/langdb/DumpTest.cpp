// orvane-langdb dump: sources built then dumped come back byte for byte, and a dumped database
// rebuilt holds what it held.
#include "langdb/Dump.h"

#include "DatabaseFiles.h"
#include "support/ExternalReaders.h"

#include <gtest/gtest.h>

namespace langdb {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::TempDir;

Outcome Build(const fs::path& source, const fs::path& file) {
    return test::Run({"build", source.string(), file.string()});
}

Outcome Dump(const fs::path& file, const fs::path& output) {
    return test::Run({"dump", file.string(), output.string()});
}

// Both databases hold the same tables with the same columns and values, row for row. Tables and
// columns are looked up as the program looks them up, so their order and letter case may differ.
void ExpectSameContent(const fs::path& expected, const fs::path& actual) {
    const auto actualSchema = test::Schema(actual);
    const auto expectedSchema = test::Schema(expected);
    ASSERT_EQ(actualSchema.size(), expectedSchema.size());
    for (const auto& table : actualSchema) {
        SCOPED_TRACE(table.name.toStdString());
        const ado::TableSchema* original = FindTable(expectedSchema, table.name);
        ASSERT_NE(original, nullptr);
        EXPECT_EQ(original->columns.size(), table.columns.size());
        const QStringList columns = test::ColumnNames(table);
        EXPECT_EQ(test::Difference(test::ReadColumns(expected, original->name, columns),
                                   test::ReadColumns(actual, table.name, columns)),
                  "");
    }
}

// Dumps file, builds the dump and dumps that again: the second dump must be the first byte for
// byte, and the rebuilt database must hold what file holds. Returns the first dump's files.
std::map<std::string, std::string> ExpectStableRoundTrip(const fs::path& file, const TempDir& dir) {
    const Outcome first = Dump(file, dir / "first");
    EXPECT_EQ(first.status, ExitOk) << first.err;
    EXPECT_EQ(first.out, "");
    const Outcome built = Build(dir / "first", dir / "rebuilt.mdb");
    EXPECT_EQ(built.status, ExitOk) << built.err;
    const Outcome second = Dump(dir / "rebuilt.mdb", dir / "second");
    EXPECT_EQ(second.status, ExitOk) << second.err;
    if (first.status != ExitOk || built.status != ExitOk || second.status != ExitOk) return {};

    const auto files = test::FilesUnder(dir / "first");
    EXPECT_EQ(test::Differences(files, test::FilesUnder(dir / "second")), std::vector<std::string>{});
    ExpectSameContent(file, dir / "rebuilt.mdb");
    return files;
}

TEST(Dump, GivesBackTheSampleSourcesByteForByte) {
    TempDir dir;
    ASSERT_EQ(Build(ORVANE_SAMPLE_LANGUAGES_DIR, dir / "languages.mdb").status, ExitOk);
    const Outcome r = Dump(dir / "languages.mdb", dir / "sources");
    ASSERT_EQ(r.status, ExitOk) << r.err;
    EXPECT_EQ(r.err, "wrote " + (dir / "sources").string() + ": 4 tables, 225 rows, 6 resource files\n");
    EXPECT_EQ(test::Differences(test::FilesUnder(ORVANE_SAMPLE_LANGUAGES_DIR, {".gitattributes"}),
                                test::FilesUnder(dir / "sources")),
              std::vector<std::string>{});
}

// Sources in the form dump writes, with every kind of cell that is easy to get wrong.
void WriteTrickySource(const fs::path& dir) {
    using test::WriteFile;
    WriteFile(dir / "Languages.csv", "LanguageID,LanguageName\n"
                                     "-2147483648,MIN\n"
                                     "0,\"Zero, none\"\n"
                                     "2147483647,\"Say \"\"hi\"\"\"\n");
    WriteFile(dir / "MessageStrings.csv",
              "StringID,ENGLISH_US,FRENCH,GERMAN\n"
              "1,,\"\",x\n"
              "2,\"a,b\",\"say \"\"x\"\"\",\"line1\r\nline2\"\n"
              "3,\"lf\nonly\",\"cr\ronly\",emoji \xF0\x9F\x8E\x89 and \xF0\xA0\x80\x8B\n"
              "4, lead and trail ,back\\slash,tab\there\n"
              "1,repeated key,,\n"
              "5,\"\",\"\",\"\"\n");
    WriteFile(dir / "FormStrings.csv", "FormName,ControlName,PropertyName,ENGLISH_US,FRENCH\n"
                                       "frmMain,btOk,Caption,&OK,&OK\n"
                                       "frmMain,BTOK,caption,repeated in other letter case,\n"
                                       "fr\xC3\xB6m,\xD0\xBA\xD0\xBD\xD0\xBE\xD0\xBF\xD0\xBA\xD0\xB0,Hint,"
                                       "\"Two\r\nlines\",\"\"\n");
    WriteFile(dir / "ResourceFiles.csv",
              "ResourceName,ENGLISH_US,FRENCH\n"
              "Readme.txt,resources/ENGLISH_US/Readme.txt,resources/FRENCH/Readme.txt\n"
              ".hidden/a\\b%c.txt,resources/ENGLISH_US/%2Ehidden%2Fa%5Cb%25c.txt,\n"
              "\"a,b \"\"q\"\".bin\",\"resources/ENGLISH_US/a,b \"\"q\"\".bin\",\n"
              "tab\tname,resources/ENGLISH_US/tab%09name,\n"
              "empty.bin,resources/ENGLISH_US/empty.bin,resources/FRENCH/empty.bin\n"
              "Readme.txt,resources/ENGLISH_US/Readme.txt~2,\n");
    WriteFile(dir / "resources/ENGLISH_US/Readme.txt", std::string_view("a\r\nb\0c", 6));
    WriteFile(dir / "resources/FRENCH/Readme.txt", "Lisez-moi\n");
    WriteFile(dir / "resources/ENGLISH_US/%2Ehidden%2Fa%5Cb%25c.txt", "hidden");
    WriteFile(dir / "resources/ENGLISH_US/a,b \"q\".bin", "\xFF\xFE");
    WriteFile(dir / "resources/ENGLISH_US/tab%09name", "tab");
    WriteFile(dir / "resources/ENGLISH_US/empty.bin", "");
    WriteFile(dir / "resources/FRENCH/empty.bin", "");
    WriteFile(dir / "resources/ENGLISH_US/Readme.txt~2", "second");
}

TEST(Dump, GivesBackTrickySourcesByteForByteAndStaysStable) {
    TempDir dir;
    WriteTrickySource(dir / "source");
    const Outcome built = Build(dir / "source", dir / "tricky.mdb");
    ASSERT_EQ(built.status, ExitOk) << built.err;
    const auto files = ExpectStableRoundTrip(dir / "tricky.mdb", dir);
    EXPECT_EQ(test::Differences(test::FilesUnder(dir / "source"), files), std::vector<std::string>{});
}

// A database another program made need not look like one build makes: tables and key columns in
// other places and letter case, Text language columns, 16-bit keys. Its dump is in the one form
// build reads, and builds into the same content.
TEST(Dump, TakesApartDatabasesBuildWouldNotHaveWritten) {
    using enum jet::ColumnType;
    TempDir dir;
    test::WriteDatabase(
        dir / "other.mdb",
        {
            {u"resourcefiles",
             {{u"ENGLISH_US", LongBinary}, {u"resourcename", Text}},
             {{std::vector<std::uint8_t>{1, 2}, u"a"}, {jet::Null{}, u"b"}}},
            {u"Languages", {{u"LanguageName", Text}, {u"LanguageID", Integer}}, {{u"ENG", 3}}},
            {u"FormStrings",
             {{u"ENGLISH_US", Text},
              {u"PropertyName", Text},
              {u"FormName", Text},
              {u"FRENCH", LongText},
              {u"ControlName", Text}},
             {{u"OK", u"Caption", u"frmMain", u"D'accord", u"btOk"}}},
            {u"MessageStrings", {{u"StringID", LongInteger}, {u"ENGLISH_US", LongText}}, {{7, u"seven"}}},
        });
    auto files = ExpectStableRoundTrip(dir / "other.mdb", dir);
    EXPECT_EQ(files["FormStrings.csv"], "FormName,ControlName,PropertyName,ENGLISH_US,FRENCH\n"
                                        "frmMain,btOk,Caption,OK,D'accord\n");
    EXPECT_EQ(files["ResourceFiles.csv"], "ResourceName,ENGLISH_US\na,resources/ENGLISH_US/a\nb,\n");
}

TEST(Dump, RebuildsAFileAnIndependentWriterMade) {
    const fs::path fixtures = testsupport::SharedFixtures();
    if (fixtures.empty() || !fs::exists(fixtures / "edge.mdb"))
        GTEST_SKIP() << "shared fixtures (edge.mdb) not found beside the checkout";
    TempDir dir;
    const auto files = ExpectStableRoundTrip(fixtures / "edge.mdb", dir);
    // Repeated resource names keep both files.
    EXPECT_TRUE(files.contains("resources/ENGLISH_US/dup_res"));
    EXPECT_TRUE(files.contains("resources/ENGLISH_US/dup_res~2"));
}

TEST(SafeFileName, EncodesWhatAFileNameCannotHoldOrWouldHide) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Readme.txt", "Readme.txt"},
        {".profile", "%2Eprofile"},
        {"..", "%2E."},
        {"a/b\\c", "a%2Fb%5Cc"},
        {"100%", "100%25"},
        {"%2F", "%252F"}, // an encoded-looking name stays apart from the name it looks like
        {std::string_view("nul\0tab\tdel\x7F", 12), "nul%00tab%09del%7F"},
        {"c1\xC2\x85x\xC2\xA0", "c1%C2%85x\xC2\xA0"}, // NEL is a control character, NBSP is not
        {"\xD0\x9F\xD1\x80\xD0\xB8 \xF0\x9F\x8E\x89", "\xD0\x9F\xD1\x80\xD0\xB8 \xF0\x9F\x8E\x89"},
        {"a,b \"q\" 'x' ", "a,b \"q\" 'x' "},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(SafeFileName(name), expected) << name;
}

TEST(Dump, LongResourceNamesAreShortenedAndStayDistinct) {
    using enum jet::ColumnType;
    TempDir dir;
    auto tables = test::MinimalTables();
    const std::u16string longName(255, u'\u00E9'); // 510 bytes of UTF-8
    auto& resources = test::TableNamed(tables, u"ResourceFiles").rows;
    resources.push_back({longName, std::vector<std::uint8_t>{1}});
    resources.push_back({longName.substr(0, 254) + u"x", std::vector<std::uint8_t>{2}});
    test::WriteDatabase(dir / "long.mdb", tables);
    const auto files = ExpectStableRoundTrip(dir / "long.mdb", dir);
    EXPECT_EQ(files.size(), 7u); // four sources and three resources
    for (const auto& [path, bytes] : files)
        EXPECT_LE(fs::path(path).filename().string().size(), 255u) << path;
}

struct Refusal {
    const char* name;
    const char* errHas;
};

// Nothing is written, nothing is left behind beside the output, and an existing output is untouched.
void ExpectRefused(const fs::path& file, const fs::path& output, const char* errHas) {
    const fs::path parent = output.parent_path();
    const auto before = test::FilesUnder(parent);
    std::vector<fs::path> entriesBefore;
    for (const auto& e : fs::directory_iterator(parent))
        entriesBefore.push_back(e.path());
    const Outcome r = Dump(file, output);
    EXPECT_EQ(r.status, ExitFailure);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(errHas), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.starts_with("orvane-langdb: ")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    std::vector<fs::path> entriesAfter;
    for (const auto& e : fs::directory_iterator(parent))
        entriesAfter.push_back(e.path());
    std::sort(entriesBefore.begin(), entriesBefore.end());
    std::sort(entriesAfter.begin(), entriesAfter.end());
    EXPECT_EQ(entriesAfter, entriesBefore);
    EXPECT_EQ(test::Differences(before, test::FilesUnder(parent)), std::vector<std::string>{});
}

TEST(Dump, RefusesAnOutputFolderThatIsInUse) {
    TempDir dir;
    test::WriteDatabase(dir / "db" / "ok.mdb", test::MinimalTables());
    {
        SCOPED_TRACE("not empty");
        test::WriteFile(dir / "out" / "Notes.txt", "mine");
        ExpectRefused(dir / "db" / "ok.mdb", dir / "out", "is not empty");
    }
    {
        SCOPED_TRACE("a file");
        ExpectRefused(dir / "db" / "ok.mdb", dir / "out" / "Notes.txt", "exists and is not a folder");
    }
    {
        SCOPED_TRACE("no parent");
        const Outcome r = Dump(dir / "db" / "ok.mdb", dir / "nowhere" / "out");
        EXPECT_EQ(r.status, ExitFailure);
        EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir / "nowhere"));
    }
    {
        SCOPED_TRACE("empty folder, named with a trailing slash");
        fs::create_directory(dir / "empty");
        const Outcome r = Dump(dir / "db" / "ok.mdb", (dir / "empty").string() + "/");
        EXPECT_EQ(r.status, ExitOk) << r.err;
        EXPECT_TRUE(fs::exists(dir / "empty" / "Languages.csv"));
    }
}

TEST(Dump, RefusesDatabasesTheSourcesCannotHoldAndLeavesNothing) {
    using enum jet::ColumnType;
    const struct {
        const char* name;
        void (*change)(std::vector<test::TestTable>&);
        const char* errHas;
    } cases[] = {
        {"missing table", [](auto& t) { t.pop_back(); }, "no table ResourceFiles"},
        {"missing key column",
         [](auto& t) {
             auto& forms = test::TableNamed(t, u"FormStrings");
             forms.columns.erase(forms.columns.begin() + 1);
             forms.rows[0].erase(forms.rows[0].begin() + 1);
         },
         "table FormStrings has no column ControlName"},
        {"key of another type",
         [](auto& t) {
             auto& messages = test::TableNamed(t, u"MessageStrings");
             messages.columns[0].type = Text;
             messages.rows[0][0] = u"207";
         },
         "MessageStrings.StringID is a Text column, but MessageStrings.csv holds integers there"},
        {"language column of another type",
         [](auto& t) {
             auto& messages = test::TableNamed(t, u"MessageStrings");
             messages.columns.push_back({u"FRENCH", DateTime});
             messages.rows[0].emplace_back(1.5);
         },
         "MessageStrings.FRENCH is a Date/Time column"},
        {"extra column in Languages",
         [](auto& t) {
             auto& languages = test::TableNamed(t, u"Languages");
             languages.columns.push_back({u"Code", Text});
             languages.rows[0].push_back(u"en");
         },
         "Languages.Code cannot be kept"},
        // Found only while the last table is written, after three files are in the staging folder.
        {"unpaired surrogate",
         [](auto& t) { test::TableNamed(t, u"ResourceFiles").rows[0][0] = std::u16string(u"a\xD800"); },
         "ResourceFiles row 1, column ResourceName: the text holds an unpaired surrogate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        auto tables = test::MinimalTables();
        c.change(tables);
        test::WriteDatabase(dir / "db" / "bad.mdb", tables);
        fs::create_directory(dir / "out");
        ExpectRefused(dir / "db" / "bad.mdb", dir / "out" / "sources", c.errHas);
    }
}

TEST(Dump, ReportsDatabaseErrorsOnOneLine) {
    TempDir dir;
    test::WriteDatabase(dir / "ok.mdb", test::MinimalTables());
    const struct {
        std::vector<std::string> args;
        const char* errHas;
    } cases[] = {
        {{"dump", (dir / "missing.mdb").string(), (dir / "out").string()}, "database file not found"},
        {{"dump", (dir / "ok.mdb").string(), (dir / "out").string(), "--password", "wrong"},
         "not a valid password"},
        {{"dump", (dir / "ok.mdb").string(), (dir / "out").string(), "--provider", "Nope"},
         "provider Nope is not installed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.errHas);
        const Outcome r = test::Run(c.args);
        EXPECT_EQ(r.status, ExitFailure);
        EXPECT_TRUE(r.err.starts_with("orvane-langdb: ")) << r.err;
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(fs::exists(dir / "out"));
    }
}

} // namespace
} // namespace langdb
