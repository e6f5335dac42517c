// orvane-langdb query: one JSON document per statement, exact for every value.
#include "DatabaseFiles.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <gtest/gtest.h>

namespace langdb {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::TempDir;

class Query : public testing::Test {
protected:
    static void SetUpTestSuite() {
        using enum jet::ColumnType;
        dir_ = new TempDir;
        auto tables = test::MinimalTables();
        test::TableNamed(tables, u"MessageStrings") = {
            u"MessageStrings",
            {{u"StringID", LongInteger}, {u"ENGLISH_US", LongText}, {u"FRENCH", LongText}},
            {{207, u"No match.", jet::Null{}},
             {-208, u"", u"Aucune entrée"},
             {209, u"quote \" backslash \\ tab\t CR LF\r\n ctl\x01 emoji \U0001F389",
              std::u16string(u"a\xD800z")}}};
        test::TableNamed(tables, u"ResourceFiles").rows = {
            {u"Readme.txt", std::vector<std::uint8_t>{'a', '\r', '\n', 'b', 0, 'c'}},
            {u"none", jet::Null{}},
            {u"empty", std::vector<std::uint8_t>{}}};
        tables.push_back(
            {u"Stamps", {{u"ID", LongInteger}, {u"Stamp", DateTime}}, {{1, 0.5}, {2, 45000.25}}});
        test::WriteDatabase(File(), tables);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static fs::path File() { return *dir_ / "query.mdb"; }

    static Outcome Run(const std::string& statement, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"query", File().string(), statement};
        args.insert(args.end(), extra.begin(), extra.end());
        return test::Run(args);
    }

    static inline TempDir* dir_ = nullptr;
};

TEST_F(Query, PrintsEveryKindOfValueAsJson) {
    const std::pair<const char*, const char*> cases[] = {
        {"select StringID, ENGLISH_US, FRENCH from MessageStrings",
         "{\"columns\": [\"StringID\", \"ENGLISH_US\", \"FRENCH\"], \"rows\": [\n"
         "  [207, \"No match.\", null],\n"
         "  [-208, \"\", \"Aucune entrée\"],\n"
         "  [209, \"quote \\\" backslash \\\\ tab\\t CR LF\\r\\n ctl\\u0001 emoji \xF0\x9F\x8E\x89\", "
         "\"a\\uD800z\"]\n"
         "]}\n"},
        {"select count(*) as n from MessageStrings", "{\"columns\": [\"n\"], \"rows\": [\n  [3]\n]}\n"},
        {"select count(*) from Stamps", "{\"columns\": [\"Expr1000\"], \"rows\": [\n  [2]\n]}\n"},
        {"select [ENGLISH_US], ResourceName from [ResourceFiles]",
         "{\"columns\": [\"ENGLISH_US\", \"ResourceName\"], \"rows\": [\n"
         "  [{\"size\": 6, \"sha256\": "
         "\"6253d1ec42d765356e50ad56cd81bf2802afb3f7810a75a6927a97c95e3b374a\"}, "
         "\"Readme.txt\"],\n"
         "  [null, \"none\"],\n"
         "  [{\"size\": 0, \"sha256\": "
         "\"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\"}, "
         "\"empty\"]\n"
         "]}\n"},
        {"select Stamp, ID from Stamps", "{\"columns\": [\"Stamp\", \"ID\"], \"rows\": [\n"
                                         "  [0.5, 1],\n"
                                         "  [45000.25, 2]\n"
                                         "]}\n"},
        // Text compares without regard to letter case, as in Access.
        {"select ResourceName from ResourceFiles where ResourceName='README.TXT'",
         "{\"columns\": [\"ResourceName\"], \"rows\": [\n  [\"Readme.txt\"]\n]}\n"},
        {"select ENGLISH_US from MessageStrings where StringID=1",
         "{\"columns\": [\"ENGLISH_US\"], \"rows\": []}\n"},
    };
    for (const auto& [statement, expected] : cases) {
        SCOPED_TRACE(statement);
        const Outcome r = Run(statement);
        EXPECT_EQ(r.status, ExitOk) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, expected);
        QJsonParseError error;
        QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    }
}

TEST_F(Query, FailsWithTheLayersMessageOnOneLine) {
    const struct {
        std::string statement;
        std::vector<std::string> extra;
        const char* err;
    } cases[] = {
        {"select ENGLISH_US from Nowhere", {}, "no table Nowhere in "},
        {"select GERMAN from MessageStrings", {}, "no column GERMAN in table MessageStrings"},
        {"select ENGLISH_US from MessageStrings where Nothing=1",
         {},
         "no column Nothing in table MessageStrings"},
        {"select ENGLISH_US from MessageStrings where StringID='207'", {}, "type mismatch"},
        {"select * from MessageStrings", {}, "syntax error at position 7"},
        {"select ENGLISH_US\r\nfrom", {}, "syntax error"},
        {"select ENGLISH_US from MessageStrings", {"--password", "wrong"}, "not a valid password"},
        {"select ENGLISH_US from MessageStrings", {"--provider", "Nope"}, "provider Nope is not installed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        const Outcome r = Run(c.statement, c.extra);
        EXPECT_EQ(r.status, ExitFailure);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("orvane-langdb: ")) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST_F(Query, OpensFilesWhosePathOrPasswordNeedQuoting) {
    TempDir dir;
    const fs::path file = dir / "a;b 'c\" d.mdb";
    fs::copy_file(File(), file);
    const Outcome r = test::Run({"query", file.string(), "select count(*) as n from Languages"});
    EXPECT_EQ(r.status, ExitOk) << r.err;
    EXPECT_EQ(r.out, "{\"columns\": [\"n\"], \"rows\": [\n  [1]\n]}\n");

    // A password the connection-string syntax would misread is passed intact: the wrong one fails.
    for (const std::string password : {"wxqv_5831;x", " wxqv_5831", "\"wxqv_5831\""}) {
        const Outcome wrong =
            test::Run({"query", file.string(), "select count(*) from Languages", "--password", password});
        EXPECT_EQ(wrong.status, ExitFailure) << password;
        EXPECT_NE(wrong.err.find("not a valid password"), std::string::npos) << wrong.err;
    }
}

} // namespace
} // namespace langdb
