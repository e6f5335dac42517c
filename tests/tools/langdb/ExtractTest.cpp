// orvane-langdb extract: the program's own resource extraction, with an exit status and a message
// saying what it did.
#include "DatabaseFiles.h"

#include <gtest/gtest.h>

#include <optional>

namespace langdb {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::TempDir;

TEST(Extract, WritesTheStoredFileOrSaysWhyNot) {
    using enum jet::ColumnType;
    using Bytes = std::vector<std::uint8_t>;
    const TempDir dir;
    auto tables = test::MinimalTables();
    test::TableNamed(tables, u"ResourceFiles") = {
        u"ResourceFiles",
        {{u"ResourceName", Text}, {u"ENGLISH_US", LongBinary}, {u"FRENCH", LongBinary}},
        {{u"Readme.txt", Bytes{'a', '\r', '\n', 0, 0xFF}, jet::Null{}},
         {u"O'Brien", Bytes{'e'}, Bytes{'f'}},
         {u"empty", Bytes{}, Bytes{}}}};
    const fs::path file = dir / "languages.mdb";
    test::WriteDatabase(file, tables);
    const fs::path destination = dir / "out" / "resource";

    struct Case {
        const char* what;
        std::vector<std::string> args; // after "extract FILE"; "DEST" stands for the destination
        std::optional<std::string> before;
        int status;
        std::optional<std::string> after; // nullopt: no file at the destination
        const char* err;
    };
    const Case cases[] = {
        {"written",
         {"Readme.txt", "DEST"},
         std::nullopt,
         ExitOk,
         std::string("a\r\n\0\xFF", 5),
         "wrote DEST: 5 bytes\n"},
        {"name with a quote, other language",
         {"O'Brien", "DEST", "--language", "FRENCH"},
         "old",
         ExitOk,
         "f",
         "wrote DEST: 1 bytes\n"},
        {"empty file", {"empty", "DEST"}, std::nullopt, ExitOk, "", "wrote DEST: 0 bytes\n"},
        {"written again, same bytes", {"O'Brien", "DEST"}, "e", ExitOk, "e", "wrote DEST: 1 bytes\n"},
        {"no row",
         {"Nothing", "DEST"},
         "old",
         ExitFailure,
         "old",
         "orvane-langdb: no resource 'Nothing' in FILE\n"},
        {"NULL",
         {"Readme.txt", "DEST", "--language=FRENCH"},
         std::nullopt,
         ExitFailure,
         std::nullopt,
         "orvane-langdb: resource 'Readme.txt' has no file in column FRENCH (NULL)\n"},
        {"no such column",
         {"Readme.txt", "DEST", "--language", "GERMAN"},
         std::nullopt,
         ExitFailure,
         std::nullopt,
         "orvane-langdb: no column GERMAN in table ResourceFiles\n"},
        {"missing folder",
         {"Readme.txt", "DEST/inside"},
         std::nullopt,
         ExitFailure,
         std::nullopt,
         "orvane-langdb: cannot write DEST/inside\n"},
    };
    const auto expand = [&](std::string text) {
        for (const auto& [from, to] :
             {std::pair<std::string, std::string>{"DEST", destination.string()}, {"FILE", file.string()}})
            if (const auto at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir / "out");
        fs::create_directory(dir / "out");
        if (c.before) test::WriteFile(destination, *c.before);
        std::vector<std::string> args = {"extract", file.string()};
        for (const std::string& a : c.args)
            args.push_back(expand(a));
        const Outcome r = test::Run(args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, expand(c.err));
        EXPECT_EQ(fs::exists(destination), c.after.has_value());
        if (c.after) {
            EXPECT_EQ(test::ReadFile(destination), *c.after);
        }
    }
}

TEST(Extract, WrongArgumentsShowTheUsage) {
    const std::vector<std::string> cases[] = {
        {"extract", "languages.mdb", "Readme.txt"},
        {"extract", "languages.mdb", "Readme.txt", "out", "--lang", "FRENCH"},
        {"extract", "languages.mdb", "Readme.txt", "out", "--language"},
    };
    for (const auto& args : cases) {
        const Outcome r = test::Run(args);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_NE(r.err.find("Usage: orvane-langdb extract FILE NAME DEST"), std::string::npos) << r.err;
    }
}

} // namespace
} // namespace langdb
