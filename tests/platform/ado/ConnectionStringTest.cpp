#include "platform/ado/ConnectionString.h"
#include "platform/ado/DatabaseError.h"

#include <gtest/gtest.h>

using namespace ado;
using namespace Qt::StringLiterals;

TEST(ConnectionString, ReadsTheProgramsTemplate) {
    const auto c =
        ConnectionString::Parse(u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/orvane/languages.mdb;"
                                "Persist Security Info=False;Jet OLEDB:Database Password=wxqv_5831"_s);
    EXPECT_EQ(c.Provider(), u"Microsoft.Jet.OLEDB.4.0"_s);
    EXPECT_EQ(c.DataSource(), u"/opt/orvane/languages.mdb"_s);
    EXPECT_EQ(c.DatabasePassword(), u"wxqv_5831"_s);
    EXPECT_EQ(c.Value(u"persist security info"_s), u"False"_s);
    EXPECT_EQ(c.Value(u"PERSIST SECURITY INFO"_s), u"False"_s);
    EXPECT_EQ(c.Value(u"jet oledb:database password"_s), u"wxqv_5831"_s);
    EXPECT_TRUE(c.Has(u"JET OLEDB:DATABASE PASSWORD"_s));
    EXPECT_FALSE(c.Has(u"User ID"_s));
    EXPECT_EQ(c.Value(u"User ID"_s), QString());
}

TEST(ConnectionString, ValuesAsWritten) {
    const struct {
        QString text;
        QString key;
        QString value;
    } cases[] = {
        // Quoting lets a value hold ';', the other quote, and its own quote doubled.
        {uR"(Data Source="/tmp/a;b.mdb")"_s, u"data source"_s, u"/tmp/a;b.mdb"_s},
        {uR"(Jet OLEDB:Database Password='pa;ss''word')"_s, u"Jet OLEDB:Database Password"_s,
         u"pa;ss'word"_s},
        {uR"(Password="say ""hi""";Provider=x)"_s, u"Password"_s, uR"(say "hi")"_s},
        {uR"(Password="it's")"_s, u"Password"_s, u"it's"_s},
        {uR"(Password="")"_s, u"Password"_s, u""_s},
        // Spaces around keys and values go, inside quotes they stay.
        {u"  Data Source  =  /tmp/x y.mdb  ;"_s, u"Data Source"_s, u"/tmp/x y.mdb"_s},
        {u"Provider=x\r\n;\tData Source =\t\"  padded \" \t;"_s, u"data source"_s, u"  padded "_s},
        // Unquoted values take '=' and quotes literally.
        {u"Password=a=b"_s, u"Password"_s, u"a=b"_s},
        {uR"(Password=ab"c')"_s, u"Password"_s, uR"(ab"c')"_s},
        // Empty segments anywhere; a later key replaces an earlier one.
        {u";;Provider=x;;;"_s, u"Provider"_s, u"x"_s},
        {u"PROVIDER=x;provider=y"_s, u"Provider"_s, u"y"_s},
        {u"Provider=x;Provider="_s, u"Provider"_s, u""_s},
        {u"DATA SOURCE=/tmp/ä.mdb"_s, u"data source"_s, u"/tmp/ä.mdb"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        try {
            const auto parsed = ConnectionString::Parse(c.text);
            EXPECT_TRUE(parsed.Has(c.key));
            EXPECT_EQ(parsed.Value(c.key), c.value);
        } catch (const DatabaseError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(ConnectionString, EmptyStringHoldsNothing) {
    for (const auto& text : {u""_s, u" ; ;"_s}) {
        const auto c = ConnectionString::Parse(text);
        EXPECT_FALSE(c.Has(u"Provider"_s));
        EXPECT_EQ(c.Provider(), QString());
    }
}

TEST(ConnectionString, RefusesMalformedStringsWithoutEchoingThem) {
    const struct {
        QString text;
        QString message; // a fragment of it
    } cases[] = {
        {u"Provider"_s, u"segment without '=' at position 0"_s},
        {u"Provider=x;  wxqv_5831 ;Data Source=y"_s, u"segment without '=' at position 13"_s},
        {u"=wxqv_5831"_s, u"'=' without a key at position 0"_s},
        {u"Provider=x;  =wxqv_5831"_s, u"'=' without a key at position 13"_s},
        {uR"(Jet OLEDB:Database Password="wxqv_5831)"_s, u"unterminated quoted value at position 28"_s},
        {uR"(Password='wxqv_5831'')"_s, u"unterminated quoted value at position 9"_s},
        {uR"(Password="wxqv"_5831;Provider=x)"_s, u"text after a quoted value at position 15"_s},
        {uR"(Password='wxqv' '_5831')"_s, u"text after a quoted value at position 16"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        try {
            ConnectionString::Parse(c.text);
            ADD_FAILURE() << "parsed";
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(e.Message().startsWith(u"malformed connection string: "_s)) << e.what();
            EXPECT_TRUE(e.Message().contains(c.message)) << e.what();
            // The string holds the database password; messages end up in logs.
            EXPECT_FALSE(e.Message().contains(u"wxqv"_s)) << e.what();
        }
    }
}
