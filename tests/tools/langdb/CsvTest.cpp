#include "langdb/Csv.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace langdb {
namespace {

using Cell = std::optional<std::string>; // nullopt: NULL
using Rows = std::vector<std::vector<Cell>>;
const Cell Null = std::nullopt;

struct ParseCase {
    const char* name;
    std::string input;
    Rows rows;
    std::vector<std::size_t> lines; // where each record starts
};
void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class CsvParse : public testing::TestWithParam<ParseCase> {};

TEST_P(CsvParse, YieldsFieldsAndLines) {
    const ParseCase& c = GetParam();
    const auto records = ParseCsv("t.csv", c.input);
    Rows rows;
    std::vector<std::size_t> lines;
    for (const auto& r : records) {
        lines.push_back(r.line);
        auto& row = rows.emplace_back();
        for (const auto& f : r.fields) {
            if (f.isNull) {
                EXPECT_TRUE(f.text.empty());
            }
            row.push_back(f.isNull ? Null : Cell(f.text));
        }
    }
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvParse,
    testing::Values(ParseCase{"LfRecords", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}, {1, 2}},
                    ParseCase{"CrLfRecords", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}, {1, 2}},
                    ParseCase{"NoFinalLineBreak", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 2}},
                    ParseCase{"BlankLastLineIsNoRecord", "a\n\n", {{"a"}}, {1}},
                    ParseCase{"BlankLinesAtEndAreNoRecords", "a\r\n\r\n\n", {{"a"}}, {1}},
                    ParseCase{"BlankLineInsideIsOneNullField", "a\n\nb", {{"a"}, {Null}, {"b"}}, {1, 2, 3}},
                    ParseCase{
                        "UnquotedEmptyIsNullQuotedEmptyIsText", ",\"\",x,\n", {{Null, "", "x", Null}}, {1}},
                    ParseCase{"QuotedCommaAndDoubledQuotes",
                              "\"x,y\",\"say \"\"hi\"\"\",\"\"\"\"\n",
                              {{"x,y", "say \"hi\"", "\""}},
                              {1}},
                    ParseCase{"LineBreaksInQuotesKeptByteForByte",
                              "\"l1\r\nl2\",\"m1\nm2\",\"c\rr\"\nnext,x\n",
                              {{"l1\r\nl2", "m1\nm2", "c\rr"}, {"next", "x"}},
                              {1, 4}},
                    ParseCase{"QuotedFieldAtEndOfFile", "a,\"b\"", {{"a", "b"}}, {1}},
                    ParseCase{"LeadingBomSkipped",
                              "\xEF\xBB\xBF"
                              "a,b\n",
                              {{"a", "b"}},
                              {1}},
                    ParseCase{"BomElsewhereIsText",
                              "a,\xEF\xBB\xBF"
                              "b\n",
                              {{"a", "\xEF\xBB\xBF"
                                     "b"}},
                              {1}},
                    ParseCase{"MultiByteText",
                              "Größe,\"日本語\",\xF0\x9F\x98\x80\n",
                              {{"Größe", "日本語", "\xF0\x9F\x98\x80"}},
                              {1}},
                    ParseCase{"EmptyInput", "", {}, {}}, ParseCase{"OnlyBom", "\xEF\xBB\xBF", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    std::string input;
    std::size_t line;
    std::size_t column;
    const char* message;
};
void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class CsvError : public testing::TestWithParam<ErrorCase> {};

TEST_P(CsvError, NamesLineAndColumn) {
    const ErrorCase& c = GetParam();
    try {
        ParseCsv("t.csv", c.input);
        FAIL() << "no error";
    } catch (const SourceError& e) {
        EXPECT_EQ(e.Line(), c.line);
        EXPECT_EQ(e.Column(), c.column);
        const std::string prefix = "t.csv:" + std::to_string(c.line) + ":" + std::to_string(c.column) + ": ";
        EXPECT_TRUE(std::string(e.what()).starts_with(prefix)) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvError,
    testing::Values(
        // An unclosed quote is reported where it opened, not at the end of the file.
        ErrorCase{"UnbalancedQuote", "a,b\nc,\"d\ne\nf\n", 2, 2, "no closing quote"},
        ErrorCase{"QuoteInUnquotedField", "a,b\"c\n", 1, 2, "quote inside an unquoted field"},
        ErrorCase{"TextAfterClosingQuote", "\"ab\"c,d\n", 1, 1, "text after the closing quote"},
        ErrorCase{"TextAfterMultiLineField", "x,\"a\nb\" \n", 2, 2, "text after the closing quote"},
        ErrorCase{"CarriageReturnAlone", "a\rb\n", 1, 1, "carriage return"},
        ErrorCase{"InvalidByte", "ok\nx,ab\xFF\n", 2, 2, "invalid UTF-8 at byte 5 of the line (0xFF)"},
        ErrorCase{"StrayContinuationByte", "\x80", 1, 1, "invalid UTF-8"},
        ErrorCase{"TruncatedAtEnd", "x,\xC3", 1, 2, "invalid UTF-8"},
        ErrorCase{"TruncatedBeforeComma", "\xE6\x97,x", 1, 1, "invalid UTF-8"},
        ErrorCase{"Overlong2", "\xC0\xAF", 1, 1, "invalid UTF-8"},
        ErrorCase{"Overlong3", "\xE0\x80\xAF", 1, 1, "invalid UTF-8"},
        ErrorCase{"Overlong4", "\xF0\x80\x80\xAF", 1, 1, "invalid UTF-8"},
        ErrorCase{"Surrogate", "a,\xED\xA0\x80", 1, 2, "invalid UTF-8"},
        ErrorCase{"PastLastCodePoint", "\xF4\x90\x80\x80", 1, 1, "invalid UTF-8"},
        // Inside a multi-line quoted field the line is the bad byte's own.
        ErrorCase{"InvalidInQuotedSecondLine", "x,\"a\r\nb\xFE\"\n", 2, 2,
                  "invalid UTF-8 at byte 2 of the line"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvReader, ErrorsNameTheHeaderColumnOnceKnown) {
    CsvReader reader("t.csv", "Key,FRENCH\n1,\"x\" y\n");
    CsvRecord record;
    ASSERT_TRUE(reader.Next(record));
    reader.SetColumnNames({"Key", "FRENCH"});
    try {
        reader.Next(record);
        FAIL() << "no error";
    } catch (const SourceError& e) {
        EXPECT_STREQ(e.what(), "t.csv:2:2: text after the closing quote in column FRENCH");
    }
}

// Every field comes back from the reader as written, and the text is the one canonical form:
// quotes only where a field needs them, LF after each record.
TEST(CsvWriter, WritesWhatTheReaderReadsBackInOneForm) {
    const Rows rows = {
        {"plain", Null, "", " spaced ", "a,b", "say \"hi\"", "\"", "l1\r\nl2", "lf\n", "\rcr"},
        {"Größe", "\xF0\x9F\x8E\x89",
         "\xEF\xBB\xBF"
         "bom",
         "back\\slash", "tab\t", std::string("nul\0", 4), "'q'"},
        {Null, Null},
        {""},
    };
    CsvWriter writer;
    for (const auto& row : rows) {
        for (const Cell& cell : row)
            cell ? writer.Field(*cell) : writer.Null();
        writer.EndRecord();
    }
    EXPECT_EQ(writer.Text(),
              "plain,,\"\", spaced ,\"a,b\",\"say \"\"hi\"\"\",\"\"\"\",\"l1\r\nl2\",\"lf\n\",\"\rcr\"\n"
              "Größe,\xF0\x9F\x8E\x89,\xEF\xBB\xBF"
              "bom,back\\slash,tab\t," +
                  std::string("nul\0", 4) +
                  ",'q'\n"
                  ",\n"
                  "\"\"\n");
    Rows read;
    for (const auto& record : ParseCsv("t.csv", writer.Text())) {
        auto& row = read.emplace_back();
        for (const auto& f : record.fields)
            row.push_back(f.isNull ? Null : Cell(f.text));
    }
    EXPECT_EQ(read, rows);
}

} // namespace
} // namespace langdb
