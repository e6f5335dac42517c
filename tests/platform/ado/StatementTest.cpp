#include "platform/ado/Statement.h"
#include "platform/ado/DatabaseError.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

using namespace ado;
using namespace Qt::StringLiterals;

namespace ado {

bool operator==(const Statement::Condition& a, const Statement::Condition& b) {
    return a.column == b.column && a.value == b.value;
}

bool operator==(const Statement& a, const Statement& b) {
    return a.kind == b.kind && a.columns == b.columns && a.countAlias == b.countAlias && a.table == b.table &&
           a.where == b.where;
}

void PrintTo(const Statement& s, std::ostream* os) {
    *os << (s.kind == Statement::Kind::Count ? "count as [" + s.countAlias.toStdString() + "]" : "select");
    for (const auto& c : s.columns)
        *os << " [" << c.toStdString() << "]";
    *os << " from [" << s.table.toStdString() << "]";
    for (std::size_t i = 0; i < s.where.size(); ++i) {
        *os << (i == 0 ? " where [" : " and [") << s.where[i].column.toStdString() << "]=";
        if (const auto* n = std::get_if<std::int64_t>(&s.where[i].value))
            *os << *n;
        else
            *os << "'" << std::get<QString>(s.where[i].value).toStdString() << "'";
    }
}

} // namespace ado

namespace {

Statement Select(std::vector<QString> columns, const QString& table) {
    Statement s;
    s.columns = std::move(columns);
    s.table = table;
    return s;
}

Statement Select(std::vector<QString> columns, const QString& table, const QString& column, Literal value) {
    Statement s = Select(std::move(columns), table);
    s.where.push_back(Statement::Condition{column, std::move(value)});
    return s;
}

Statement Count(const QString& alias, const QString& table) {
    Statement s;
    s.kind = Statement::Kind::Count;
    s.countAlias = alias;
    s.table = table;
    return s;
}

using Int = std::int64_t;

} // namespace

TEST(Statement, ParsesWhatTheProgramIssuesAndCarefulVariants) {
    const struct {
        QString text;
        Statement expected;
    } cases[] = {
        // As the program issues them.
        {u"select ENGLISH_US from MessageStrings where StringID=207"_s,
         Select({u"ENGLISH_US"_s}, u"MessageStrings"_s, u"StringID"_s, Int{207})},
        {u"select ControlName, PropertyName, ENGLISH_US, ENGLISH_US from FormStrings where FormName='frmMain'"_s,
         Select({u"ControlName"_s, u"PropertyName"_s, u"ENGLISH_US"_s, u"ENGLISH_US"_s}, u"FormStrings"_s,
                u"FormName"_s, u"frmMain"_s)},
        {u"select ENGLISH_US from ResourceFiles where ResourceName='O''Brien.txt'"_s,
         Select({u"ENGLISH_US"_s}, u"ResourceFiles"_s, u"ResourceName"_s, u"O'Brien.txt"_s)},
        {u"select count(*) as aa from Languages"_s, Count(u"aa"_s, u"Languages"_s)},
        {u"select ENGLISH_US\r\nfrom MessageStrings\r\nwhere StringID=207\r\n"_s,
         Select({u"ENGLISH_US"_s}, u"MessageStrings"_s, u"StringID"_s, Int{207})},
        // Letter case: keywords in any case, names kept as written.
        {u"SeLeCt english_us FROM messagestrings WhErE stringid = 207;"_s,
         Select({u"english_us"_s}, u"messagestrings"_s, u"stringid"_s, Int{207})},
        {u"SELECT COUNT ( * ) As Total FrOm Languages"_s, Count(u"Total"_s, u"Languages"_s)},
        {u"select count(*) from Languages"_s, Count(u"Expr1000"_s, u"Languages"_s)},
        // Whitespace of every allowed kind between every pair of tokens, none where it may be left out.
        {u"\t select\ta\n,b\r,\r\nc\rfrom\r\nt\twhere\nx\n=\n-5\t;\r\n "_s,
         Select({u"a"_s, u"b"_s, u"c"_s}, u"t"_s, u"x"_s, Int{-5})},
        {u"select a,b from t where x='y';"_s, Select({u"a"_s, u"b"_s}, u"t"_s, u"x"_s, u"y"_s)},
        // Brackets: spaces, reserved words, anything but ']'.
        {u"select [Text With Spaces], [select], [1st:col] from [Form Strings] where [Form Name]='x'"_s,
         Select({u"Text With Spaces"_s, u"select"_s, u"1st:col"_s}, u"Form Strings"_s, u"Form Name"_s,
                u"x"_s)},
        {u"select count(*) as [Number of rows] from [from]"_s, Count(u"Number of rows"_s, u"from"_s)},
        // A column called count, as long as no '(' follows.
        {u"select count, Count2 from t"_s, Select({u"count"_s, u"Count2"_s}, u"t"_s)},
        // Names in any script, with marks and digits after the first letter.
        {u"select Übersetzung, 名前, _x1, हिन्दी, 𝐀b from Ταβλε where Имя='ж'"_s,
         Select({u"Übersetzung"_s, u"名前"_s, u"_x1"_s, u"हिन्दी"_s, u"𝐀b"_s}, u"Ταβλε"_s, u"Имя"_s, u"ж"_s)},
        // Integers: sign, leading zeros, both ends of the range.
        {u"select a from t where n=-42"_s, Select({u"a"_s}, u"t"_s, u"n"_s, Int{-42})},
        {u"select a from t where n=007"_s, Select({u"a"_s}, u"t"_s, u"n"_s, Int{7})},
        {u"select a from t where n=-0"_s, Select({u"a"_s}, u"t"_s, u"n"_s, Int{0})},
        {u"select a from t where n=9223372036854775807"_s,
         Select({u"a"_s}, u"t"_s, u"n"_s, std::numeric_limits<Int>::max())},
        {u"select a from t where n=-9223372036854775808"_s,
         Select({u"a"_s}, u"t"_s, u"n"_s, std::numeric_limits<Int>::min())},
        // Text: a colon is text, not a parameter; quotes, line breaks and other punctuation are kept.
        {u"select a from t where FormName=':frmMain'"_s,
         Select({u"a"_s}, u"t"_s, u"FormName"_s, u":frmMain"_s)},
        {u"select a from t where x='it''s ''quoted'''"_s,
         Select({u"a"_s}, u"t"_s, u"x"_s, u"it's 'quoted'"_s)},
        {u"select a from t where x='l1\r\nl2 \"q\"; [b] -- /* :p ?'"_s,
         Select({u"a"_s}, u"t"_s, u"x"_s, u"l1\r\nl2 \"q\"; [b] -- /* :p ?"_s)},
        {u"select a from t where x=''"_s, Select({u"a"_s}, u"t"_s, u"x"_s, u""_s)},
        {u"select a from t where x=''''"_s, Select({u"a"_s}, u"t"_s, u"x"_s, u"'"_s)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        try {
            EXPECT_EQ(ParseStatement(c.text), c.expected);
        } catch (const DatabaseError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(Statement, ConditionsJoinedByAndAllApply) {
    const auto s = ParseStatement(u"select a from t where F='x' AND [and]=2 and c='y'"_s);
    ASSERT_EQ(s.where.size(), 3u);
    EXPECT_EQ(s.where[1].column, u"and"_s);
    EXPECT_EQ(std::get<std::int64_t>(s.where[1].value), 2);
    EXPECT_EQ(std::get<QString>(s.where[2].value), u"y"_s);
}

TEST(Statement, TextLiteralsKeepEveryCharacter) {
    const QString text = u"a\0b\u0085\u2028\U0001F44D"_s;
    const auto s = ParseStatement(u"select a from t where x='"_s + text + u"'"_s);
    ASSERT_EQ(s.where.size(), 1u);
    EXPECT_EQ(std::get<QString>(s.where[0].value), text);
}

TEST(Statement, RefusesWhatItDoesNotSupportSayingWhatAndWhere) {
    const struct {
        QString text;
        QString message; // a fragment of it
    } cases[] = {
        {u""_s, u"empty statement"_s},
        {u" \t\r\n "_s, u"empty statement"_s},
        {u" ; "_s, u"empty statement"_s},
        {u"select ENGLISH_US frm MessageStrings"_s,
         u"syntax error at position 18: expected FROM, found 'frm'"_s},
        {u"update t set a=1"_s, u"position 0: expected SELECT, found 'update'"_s},
        {u"ſelect a from t"_s, u"position 0: expected SELECT, found 'ſelect'"_s},
        {u"select * from t"_s, u"position 7: expected column name, found '*'"_s},
        {u"select from t"_s, u"position 7: expected column name, found 'from'"_s},
        {u"select a, from t"_s, u"position 10: expected column name, found 'from'"_s},
        {u"select a,, b from t"_s, u"position 9: expected column name, found ','"_s},
        {u"select a"_s, u"position 8: expected FROM, found end of statement"_s},
        {u"select a from"_s, u"position 13: expected table name, found end of statement"_s},
        {u"select a from where"_s, u"position 14: expected table name, found 'where'"_s},
        {u"select a from t where"_s, u"position 21: expected column name, found end of statement"_s},
        {u"select distinct a from t"_s, u"position 16: expected FROM, found 'a'"_s},
        {u"select a as b from t"_s, u"position 9: expected FROM, found 'as'"_s},
        {u"select a.b from t"_s, u"position 8: unexpected character '.'"_s},
        {u"select [] from t"_s, u"position 7: empty name in brackets"_s},
        {u"select a from [t"_s, u"unterminated bracketed name starting at position 14"_s},
        // Functions other than count(*), and count of anything but *.
        {u"select max(a) from t"_s, u"position 7: function 'max' is not supported"_s},
        {u"select count(a) from t"_s, u"position 13: expected '*', found 'a'"_s},
        {u"select count(*"_s, u"position 14: expected ')', found end of statement"_s},
        {u"select count(*), a from t"_s, u"position 15: expected FROM, found ','"_s},
        {u"select count(*) as from t"_s, u"position 19: expected alias, found 'from'"_s},
        {u"select count(*) from t where a=1"_s, u"position 23: WHERE is not supported with COUNT(*)"_s},
        // Anything beyond one condition.
        {u"select a from t where b=1 and"_s, u"position 29: expected column name, found end of statement"_s},
        {u"select a from t where b=1 or c=2"_s, u"position 26: expected end of statement, found 'or'"_s},
        {u"select a from t order by a"_s, u"position 16: expected end of statement, found 'order'"_s},
        {u"select a from t join u on a=b"_s, u"position 16: expected end of statement, found 'join'"_s},
        {u"select a from t, u"_s, u"position 15: expected end of statement, found ','"_s},
        {u"select a from t where b='x' 'y'"_s,
         u"position 28: expected end of statement, found text literal 'y'"_s},
        {u"select a from t where b<1"_s, u"position 23: unexpected character '<'"_s},
        {u"select a from t where b 1"_s, u"position 24: expected '=', found '1'"_s},
        {u"select a from t where b=c"_s, u"position 24: expected integer or text literal, found 'c'"_s},
        {u"select a from t where b==1"_s, u"position 24: expected integer or text literal, found '='"_s},
        // No parameter markers, comments or other quoting.
        {u"select a from t where b=:p"_s, u"position 24: unexpected character ':'"_s},
        {u"select a from t where b=?"_s, u"position 24: unexpected character '?'"_s},
        {u"select a from t where b=\"x\""_s, u"position 24: unexpected character '\"'"_s},
        {u"select a from t where b=1 -- c"_s, u"position 26: unexpected character '-'"_s},
        {u"select a\u00A0from t"_s, u"position 8: unexpected character U+00A0"_s},
        {u"select a from t\u0001"_s, u"position 15: unexpected character U+0001"_s},
        // Positions count UTF-16 code units: the letter before 'b' takes two.
        {u"select 𝐀b frm t"_s, u"position 11: expected FROM, found 'frm'"_s},
        // Integers.
        {u"select a from t where b=9223372036854775808"_s, u"integer literal out of range at position 24"_s},
        {u"select a from t where b=-9223372036854775809"_s, u"integer literal out of range at position 24"_s},
        {u"select a from t where b=99999999999999999999999"_s,
         u"integer literal out of range at position 24"_s},
        {u"select a from t where b=- 1"_s, u"position 24: unexpected character '-'"_s},
        {u"select a from t where b=+1"_s, u"position 24: unexpected character '+'"_s},
        {u"select a from t where b=1.5"_s, u"position 24: malformed number '1.5'"_s},
        {u"select a from t where b=12abc"_s, u"position 24: malformed number '12abc'"_s},
        {u"select 1a from t"_s, u"position 7: malformed number '1a'"_s},
        // Text literals.
        {u"select a from t where b='x"_s, u"unterminated text literal starting at position 24"_s},
        {u"select a from t where b='x''"_s, u"unterminated text literal starting at position 24"_s},
        {u"select a from t where b='"_s, u"unterminated text literal starting at position 24"_s},
        // One trailing ';' and nothing after it.
        {u"select a from t;;"_s, u"position 16: expected end of statement, found ';'"_s},
        {u"select a from t; select b from u"_s, u"position 17: expected end of statement, found 'select'"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        try {
            ParseStatement(c.text);
            ADD_FAILURE() << "parsed";
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(e.Message().contains(c.message)) << e.what();
        }
    }
}

TEST(Statement, MessagesQuoteAShortSingleLineExcerpt) {
    const QString longName(200, u'x');
    try {
        ParseStatement(u"select a "_s + longName);
        FAIL() << "parsed";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.Message().endsWith(u"found '"_s + QString(40, u'x') + u"...'"_s)) << e.what();
    }
    try {
        ParseStatement(u"select a from t where b='x' 'first\r\nsecond'"_s);
        FAIL() << "parsed";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.Message().endsWith(u"found text literal 'first...")) << e.what();
    }
}
