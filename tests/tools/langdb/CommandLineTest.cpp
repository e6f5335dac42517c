#include "langdb/CommandLine.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace langdb {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Langdb(const std::vector<std::string>& args, bool errIsTerminal = false) {
    std::ostringstream out, err;
    const int status = RunCommandLine(args, out, err, errIsTerminal);
    return {status, out.str(), err.str()};
}

std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A source folder, an empty output folder and the output path in it.
struct BuildFixture {
    TempDir dir;
    fs::path source = dir / "src";
    fs::path outDir = dir / "out";
    fs::path output = outDir / "languages.mdb";

    BuildFixture() {
        test::WriteValidSource(source);
        fs::create_directory(outDir);
    }
};

TEST(CommandLine, UsageAndArguments) {
    const std::string long21(21, 'p');
    const struct {
        std::vector<std::string> args; // "SRC" and "OUT" stand for a valid source folder and the output
        int status;
        const char* outHas; // nullptr: out stays empty
        const char* errHas; // nullptr: err stays empty
        bool writes = false;
    } cases[] = {
        {{}, ExitUsage, nullptr, "Usage: orvane-langdb <command>"},
        {{"--help"}, ExitOk, "build SOURCE_DIR OUTPUT.mdb", nullptr},
        {{"-h"}, ExitOk, "Usage:", nullptr},
        {{"--version"}, ExitOk, "orvane-langdb ", nullptr},
        {{"frobnicate"}, ExitUsage, nullptr, "unknown command 'frobnicate'"},
        {{"build", "--help"}, ExitOk, "--password P", nullptr},
        {{"build"}, ExitUsage, nullptr, "build needs SOURCE_DIR and OUTPUT.mdb"},
        {{"build", "SRC"}, ExitUsage, nullptr, "Usage: orvane-langdb build"},
        {{"build", "SRC", "OUT", "extra"}, ExitUsage, nullptr, "build needs"},
        {{"build", "--bogus", "SRC", "OUT"}, ExitUsage, nullptr, "unknown option '--bogus'"},
        {{"build", "SRC", "OUT", "--password"}, ExitUsage, nullptr, "--password needs a value"},
        {{"build", "SRC", "OUT", "--password", long21}, ExitUsage, nullptr, "at most 20 characters"},
        {{"build", "SRC", "OUT", "--password", "\xFF"}, ExitUsage, nullptr, "not valid UTF-8"},
        {{"build", "SRC", "OUT", "--password", ""}, ExitOk, nullptr, "wrote ", true},
        {{"build", "--password=" + std::string(20, 'p'), "SRC", "OUT"}, ExitOk, nullptr, "wrote ", true},
        {{"build", "--", "SRC", "OUT"}, ExitOk, nullptr, "wrote ", true},
    };
    for (const auto& c : cases) {
        BuildFixture f;
        std::vector<std::string> args;
        std::string shown;
        for (const auto& a : c.args) {
            args.push_back(a == "SRC" ? f.source.string() : a == "OUT" ? f.output.string() : a);
            shown += a + " ";
        }
        SCOPED_TRACE(shown);
        const Outcome r = Langdb(args);
        EXPECT_EQ(r.status, c.status);
        if (c.outHas)
            EXPECT_NE(r.out.find(c.outHas), std::string::npos) << r.out;
        else
            EXPECT_EQ(r.out, "");
        if (c.errHas)
            EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        else
            EXPECT_EQ(r.err, "");
        EXPECT_EQ(fs::exists(f.output), c.writes);
    }
}

// The commands that read a database share their options; none of these cases reaches the file.
TEST(CommandLine, ReadingCommandsUsage) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* outHas; // nullptr: out stays empty
        const char* errHas; // nullptr: err stays empty
    } cases[] = {
        {{"--help"}, ExitOk, "dump FILE OUTPUT_DIR", nullptr},
        {{"query", "--help"}, ExitOk, "{\"size\": N, \"sha256\"", nullptr},
        {{"dump", "-h"}, ExitOk, "must not exist or be empty", nullptr},
        {{"check", "F", "--help"}, ExitOk, "--json", nullptr},
        {{"query", "F"}, ExitUsage, nullptr, "query needs FILE and STATEMENT"},
        {{"dump", "F"}, ExitUsage, nullptr, "dump needs FILE and OUTPUT_DIR"},
        {{"check"}, ExitUsage, nullptr, "check needs FILE"},
        {{"check", "F", "G"}, ExitUsage, nullptr, "Usage: orvane-langdb check FILE"},
        {{"check", "F", "--bogus"}, ExitUsage, nullptr, "unknown option '--bogus' for check"},
        {{"query", "F", "S", "--json"}, ExitUsage, nullptr, "unknown option '--json' for query"},
        {{"dump", "F", "D", "--progress"}, ExitUsage, nullptr, "unknown option '--progress' for dump"},
        {{"build", "S", "O", "--provider", "P"}, ExitUsage, nullptr, "unknown option '--provider' for build"},
        {{"check", "F", "--password"}, ExitUsage, nullptr, "--password needs a value"},
        {{"query", "F", "S", "--provider"}, ExitUsage, nullptr, "--provider needs a value"},
        {{"query", "F", "select \xFF from T"}, ExitUsage, nullptr, "STATEMENT is not valid UTF-8"},
        {{"dump", "F", "D", "--password=\xFF"}, ExitUsage, nullptr, "--password is not valid UTF-8"},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.args)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const Outcome r = Langdb(c.args);
        EXPECT_EQ(r.status, c.status);
        if (c.outHas)
            EXPECT_NE(r.out.find(c.outHas), std::string::npos) << r.out;
        else
            EXPECT_EQ(r.out, "");
        if (c.errHas)
            EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        else
            EXPECT_EQ(r.err, "");
    }
}

struct BadSource {
    const char* name;
    const char* file;
    const char* content; // nullptr: the file is missing
    const char* error;   // the start of the message after the folder
};
void PrintTo(const BadSource& c, std::ostream* os) {
    *os << c.name;
}

class BuildRejects : public testing::TestWithParam<BadSource> {};

// Every source error must fail before the database is written: no output file appears, an older
// one is left byte for byte, and no temporary file is left beside it.
TEST_P(BuildRejects, NamesThePlaceAndLeavesOutputAlone) {
    const BadSource& c = GetParam();
    BuildFixture f;
    if (c.content)
        test::WriteFile(f.source / c.file, c.content);
    else
        fs::remove(f.source / c.file);
    const std::string expected = (f.source / c.error).string();

    for (const bool outputExists : {false, true}) {
        SCOPED_TRACE(outputExists ? "output exists" : "no output");
        const std::string old = "an older database";
        if (outputExists) test::WriteFile(f.output, old);
        const Outcome r = Langdb({"build", f.source.string(), f.output.string()});
        EXPECT_EQ(r.status, ExitFailure);
        EXPECT_TRUE(r.err.starts_with(expected)) << r.err << "\nexpected: " << expected;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        if (outputExists) {
            EXPECT_EQ(FilesIn(f.outDir), std::vector<std::string>{"languages.mdb"});
            EXPECT_EQ(test::ReadFile(f.output), old);
        } else {
            EXPECT_TRUE(FilesIn(f.outDir).empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildRejects,
    testing::Values(
        BadSource{"MissingCsvFile", "ResourceFiles.csv", nullptr, "ResourceFiles.csv: file not found"},
        BadSource{"EmptyFile", "Languages.csv", "", "Languages.csv:1:1: empty file"},
        BadSource{"NoEnglishColumn", "FormStrings.csv", "FormName,ControlName,PropertyName,FRENCH\n",
                  "FormStrings.csv:1:4: no ENGLISH_US column"},
        BadSource{"NoLanguageColumns", "MessageStrings.csv", "StringID\n1\n",
                  "MessageStrings.csv:1:2: no ENGLISH_US"},
        BadSource{"MisnamedKey", "FormStrings.csv", "FormName,Control,PropertyName,ENGLISH_US\n",
                  "FormStrings.csv:1:2: expected key column ControlName, found 'Control'"},
        BadSource{
            "KeyInWrongCase", "ResourceFiles.csv", "resourcename,ENGLISH_US\n",
            "ResourceFiles.csv:1:1: expected key column ResourceName, found 'resourcename' (letter case"},
        BadSource{"KeysOutOfOrder", "FormStrings.csv", "ControlName,FormName,PropertyName,ENGLISH_US\n",
                  "FormStrings.csv:1:1: expected key column FormName"},
        BadSource{"MissingKey", "Languages.csv", "LanguageID\n1\n",
                  "Languages.csv:1:2: missing key column LanguageName"},
        BadSource{"ExtraLanguagesColumn", "Languages.csv", "LanguageID,LanguageName,Code\n1,ENG,en\n",
                  "Languages.csv:1:3: unexpected column 'Code'"},
        BadSource{"RepeatedLanguageColumn", "MessageStrings.csv", "StringID,ENGLISH_US,French,FRENCH\n",
                  "MessageStrings.csv:1:4: column 'FRENCH' repeats column 3"},
        BadSource{"ColumnNameAccessRefuses", "MessageStrings.csv", "StringID,ENGLISH_US,FR.CA\n",
                  "MessageStrings.csv:1:3: column name 'FR.CA' holds one of"},
        BadSource{"EmptyColumnName", "MessageStrings.csv", "StringID,ENGLISH_US,\n",
                  "MessageStrings.csv:1:3: empty column name"},
        BadSource{"NonIntegerStringID", "MessageStrings.csv", "StringID,ENGLISH_US\n207,a\n20x,b\n",
                  "MessageStrings.csv:3:1: '20x' is not an integer in column StringID"},
        BadSource{"SpaceInStringID", "MessageStrings.csv", "StringID,ENGLISH_US\n 207,a\n",
                  "MessageStrings.csv:2:1: ' 207' is not an integer"},
        BadSource{"StringIDOutOfRange", "MessageStrings.csv", "StringID,ENGLISH_US\n2147483648,a\n",
                  "MessageStrings.csv:2:1: '2147483648' is out of range"},
        BadSource{"LanguageIDOutOfRange", "Languages.csv", "LanguageID,LanguageName\n-2147483649,X\n",
                  "Languages.csv:2:1: '-2147483649' is out of range"},
        BadSource{"NullKey", "FormStrings.csv",
                  "FormName,ControlName,PropertyName,ENGLISH_US\nf,,Caption,x\n",
                  "FormStrings.csv:2:2: empty key in column ControlName"},
        BadSource{"QuotedEmptyKey", "Languages.csv", "LanguageID,LanguageName\n1,\"\"\n",
                  "Languages.csv:2:2: empty key in column LanguageName"},
        BadSource{"NullIntegerKey", "MessageStrings.csv", "StringID,ENGLISH_US\n,a\n",
                  "MessageStrings.csv:2:1: empty key in column StringID"},
        BadSource{"MissingResourceFile", "ResourceFiles.csv",
                  "ResourceName,ENGLISH_US\nReadme.txt,res/none.txt\n",
                  "ResourceFiles.csv:2:2: resource file 'res/none.txt' not found in column ENGLISH_US"},
        BadSource{"ResourceIsFolder", "ResourceFiles.csv", "ResourceName,ENGLISH_US\nReadme.txt,res\n",
                  "ResourceFiles.csv:2:2: resource 'res' is not an ordinary file"},
        BadSource{"AbsoluteResourcePath", "ResourceFiles.csv",
                  "ResourceName,ENGLISH_US\nReadme.txt,/etc/hostname\n",
                  "ResourceFiles.csv:2:2: resource path '/etc/hostname' must be relative"},
        BadSource{"QuotedEmptyResourcePath", "ResourceFiles.csv",
                  "ResourceName,ENGLISH_US\nReadme.txt,\"\"\n", "ResourceFiles.csv:2:2: empty file name"},
        BadSource{"UnbalancedQuote", "FormStrings.csv",
                  "FormName,ControlName,PropertyName,ENGLISH_US\nf,c,p,\"x\nf,c,q,y\n",
                  "FormStrings.csv:2:4: quoted field has no closing quote in column ENGLISH_US"},
        BadSource{"QuoteInUnquotedField", "FormStrings.csv",
                  "FormName,ControlName,PropertyName,ENGLISH_US\nf,c,p,say \"x\"\n",
                  "FormStrings.csv:2:4: quote inside an unquoted field"},
        BadSource{"TooManyFields", "FormStrings.csv",
                  "FormName,ControlName,PropertyName,ENGLISH_US\nf,c,p,x,y\n",
                  "FormStrings.csv:2:5: expected 4 fields as in the header, found 5"},
        BadSource{"TooFewFields", "FormStrings.csv", "FormName,ControlName,PropertyName,ENGLISH_US\nf,c,p\n",
                  "FormStrings.csv:2:4: expected 4 fields as in the header, found 3"},
        BadSource{"BlankLineInside", "Languages.csv", "LanguageID,LanguageName\n1,ENG\n\n2,FRA\n",
                  "Languages.csv:3:1: blank line"},
        BadSource{"InvalidUtf8", "MessageStrings.csv",
                  "StringID,ENGLISH_US,FRENCH\n207,a,\"Entr\xE9"
                  "e\"\n",
                  "MessageStrings.csv:2:3: invalid UTF-8 at byte 12 of the line (0xE9) in column FRENCH"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BuildRejects, MissingSourceFolder) {
    BuildFixture f;
    const Outcome r = Langdb({"build", (f.dir / "nowhere").string(), f.output.string()});
    EXPECT_EQ(r.status, ExitFailure);
    EXPECT_EQ(r.err, (f.dir / "nowhere").string() + ": source folder not found\n");
    EXPECT_TRUE(FilesIn(f.outDir).empty());
}

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
            out.append(buffer, n);
        pclose(p);
    }
    return out;
}

TEST(Build, WritesDatabaseAndReportsIt) {
    const struct {
        bool progressFlag;
        bool errIsTerminal;
        bool progressShown;
    } cases[] = {{false, false, false}, {true, false, true}, {false, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flag " << c.progressFlag << " terminal " << c.errIsTerminal);
        BuildFixture f;
        test::WriteFile(f.output, "an older database"); // replaced on success
        std::vector<std::string> args = {"build", f.source.string(), f.output.string()};
        if (c.progressFlag) args.push_back("--progress");
        const Outcome r = Langdb(args, c.errIsTerminal);
        ASSERT_EQ(r.status, ExitOk) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(FilesIn(f.outDir), std::vector<std::string>{"languages.mdb"});

        const std::string summary = "wrote " + f.output.string() + ": 4 tables, 7 rows, " +
                                    std::to_string(fs::file_size(f.output)) + " bytes\n";
        EXPECT_TRUE(r.err.ends_with(summary)) << r.err;
        EXPECT_EQ(r.err.find("FormStrings: 2 rows") != std::string::npos, c.progressShown) << r.err;
        EXPECT_EQ(r.err == summary, !c.progressShown) << r.err;
    }
}

// Repeated keys are legal in a language database (the first row is the one read), so they are
// built as they stand and reported.
TEST(Build, RepeatedKeysAreBuiltAndReported) {
    const struct {
        const char* file;
        const char* content;
        const char* warning; // nullptr: no warning
    } cases[] = {
        {"FormStrings.csv",
         "FormName,ControlName,PropertyName,ENGLISH_US\nf,c,Caption,x\nf,c,Hint,y\nf,c,Caption,z\n",
         "FormStrings.csv:4:1: warning: duplicate key 'f / c / Caption', first at line 2"},
        {"MessageStrings.csv", "StringID,ENGLISH_US\n7,a\n007,b\n", "MessageStrings.csv:3:1: warning: duplicate key '7'"},
        // Keys that only look alike when joined are different keys.
        {"FormStrings.csv", "FormName,ControlName,PropertyName,ENGLISH_US\na / b,c,p,x\na,b / c,p,y\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        BuildFixture f;
        test::WriteFile(f.source / c.file, c.content);
        const Outcome r = Langdb({"build", f.source.string(), f.output.string()});
        ASSERT_EQ(r.status, ExitOk) << r.err;
        EXPECT_TRUE(fs::exists(f.output));
        if (c.warning)
            EXPECT_TRUE(r.err.starts_with((f.source / c.warning).string())) << r.err;
        else
            EXPECT_EQ(r.err.find("warning"), std::string::npos) << r.err;
    }
}

// A light read-back with mdbtools; full interoperability is checked with the writer's own tests.
TEST(Build, MdbtoolsSeesTablesAndRows) {
    if (std::system("command -v mdb-tables >/dev/null && command -v mdb-count >/dev/null") != 0)
        GTEST_SKIP() << "mdbtools not installed";
    BuildFixture f;
    ASSERT_EQ(Langdb({"build", f.source.string(), f.output.string()}).status, ExitOk);
    const std::string file = "'" + f.output.string() + "'";
    EXPECT_EQ(Capture("mdb-tables -1 " + file), "Languages\nMessageStrings\nFormStrings\nResourceFiles\n");
    const std::pair<const char*, const char*> counts[] = {
        {"Languages", "2\n"}, {"MessageStrings", "2\n"}, {"FormStrings", "2\n"}, {"ResourceFiles", "1\n"}};
    for (const auto& [table, count] : counts)
        EXPECT_EQ(Capture("mdb-count " + file + " " + table), count) << table;
    // Line breaks inside a text and bytes of a resource come back as they were written.
    EXPECT_EQ(
        Capture("mdb-json " + file + " FormStrings"),
        R"({"FormName":"frmMain","ControlName":"btClose","PropertyName":"Caption","ENGLISH_US":"&Close","FRENCH":"&Fermer"})"
        "\n"
        R"({"FormName":"frmMain","ControlName":"btClose","PropertyName":"Hint","ENGLISH_US":"Two\u000d\u000alines","FRENCH":"Deux lignes"})"
        "\n");
    EXPECT_EQ(Capture("mdb-json " + file + " ResourceFiles"),
              R"({"ResourceName":"Readme.txt","ENGLISH_US":{"$binary": "YQ0KYgBj", "$type": "00"}})"
              "\n");
}

} // namespace
} // namespace langdb
