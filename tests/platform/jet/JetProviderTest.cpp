// The Access providers through the data-access layer: files by other writers read cell for cell,
// the checks made on opening, and the statements' errors.
#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseError.h"
#include "platform/jet/DatabaseWriter.h"
#include "Select.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using ado::FieldValue;

namespace {

QString ConnectionString(const fs::path& file, const QString& password = QStringLiteral("wxqv_5831"),
                         const QString& provider = QStringLiteral("Microsoft.Jet.OLEDB.4.0")) {
    return QStringLiteral("Provider=%1;Data Source=%2;Persist Security Info=False;Jet OLEDB:Database Password=%3")
        .arg(provider, QString::fromStdString(file.string()), password);
}

// The error a statement ends in, or "" when it succeeds.
QString ErrorOf(const fs::path& file, const QString& sql, const QString& password = QStringLiteral("wxqv_5831"),
                const QString& provider = QStringLiteral("Microsoft.Jet.OLEDB.4.0")) {
    try {
        ado::Connection c;
        c.ConnectionString = ConnectionString(file, password, provider);
        Select(c, sql);
    } catch (const ado::DatabaseError& e) {
        return e.Message();
    }
    return {};
}

QString Sha256(const QByteArray& data) {
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

// Empty when the value is what the manifest lists: a plain JSON value, bytes as {bytes, sha256},
// or a long text as {chars_utf16, sha256_utf8}.
QString Mismatch(const FieldValue& got, const QJsonValue& listed) {
    auto describe = [&] {
        if (std::holds_alternative<std::monostate>(got)) return QStringLiteral("NULL");
        if (const auto* s = std::get_if<QString>(&got)) return QStringLiteral("text(%1) \"%2\"").arg(s->size()).arg(s->left(40));
        if (const auto* b = std::get_if<QByteArray>(&got)) return QStringLiteral("bytes(%1)").arg(b->size());
        if (const auto* i = std::get_if<std::int64_t>(&got)) return QString::number(*i);
        return QString::number(std::get<double>(got));
    };
    const QJsonObject digest = listed.toObject();
    bool same = false;
    if (digest.contains("sha256")) {
        const auto* b = std::get_if<QByteArray>(&got);
        same = b && b->size() == digest["bytes"].toInteger() && Sha256(*b) == digest["sha256"].toString();
    } else if (digest.contains("sha256_utf8")) {
        const auto* s = std::get_if<QString>(&got);
        same = s && s->size() == digest["chars_utf16"].toInteger() && Sha256(s->toUtf8()) == digest["sha256_utf8"].toString();
    } else if (listed.isString()) {
        const auto* s = std::get_if<QString>(&got);
        same = s && *s == listed.toString();
    } else if (listed.isDouble()) {
        const auto* i = std::get_if<std::int64_t>(&got);
        same = i && *i == listed.toInteger();
    } else if (listed.isNull()) {
        same = std::holds_alternative<std::monostate>(got);
    }
    return same ? QString() : QStringLiteral("got %1, want %2").arg(describe(), QString::fromUtf8(QJsonDocument(QJsonArray{listed}).toJson(QJsonDocument::Compact)).left(120));
}

class SharedFixtureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testsupport::SharedFixtures();
        if (dir.empty()) GTEST_SKIP() << "the folder of shared fixtures (../shared/fixtures) is missing";
        QFile file(dir / "MANIFEST.json");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        files = QJsonDocument::fromJson(file.readAll()).object()["files"].toObject();
    }
    fs::path dir;
    QJsonObject files;
};

TEST_F(SharedFixtureFiles, EveryTableReadsAsListed) {
    for (const char* name : {"sample.mdb", "edge.mdb"}) {
        SCOPED_TRACE(name);
        ado::Connection c;
        c.ConnectionString = ConnectionString(dir / name);
        const QJsonObject tables = files[name].toObject()["tables"].toObject();
        for (const QString& t : tables.keys()) {
            SCOPED_TRACE(t.toStdString());
            QStringList columns;
            for (const QJsonValue& col : tables[t]["columns"].toArray()) columns << col["name"].toString();
            const auto result = Select(c, QStringLiteral("select %1 from %2").arg(columns.join(", "), t));
            EXPECT_EQ(result.columns, columns);
            const QJsonArray rows = tables[t]["rows_in_table_order"].toArray();
            ASSERT_EQ(result.rows.size(), static_cast<std::size_t>(rows.size()));
            for (qsizetype r = 0; r < rows.size(); ++r)
                for (qsizetype k = 0; k < columns.size(); ++k)
                    EXPECT_EQ(Mismatch(result.rows[r][k], rows[r][columns[k]]).toStdString(), "")
                        << "row " << r << " column " << columns[k].toStdString();
        }
    }
}

TEST_F(SharedFixtureFiles, StatementsGiveTheListedRows) {
    const QJsonArray queries = files["edge.mdb"].toObject()["expected_queries"].toArray();
    ASSERT_FALSE(queries.isEmpty());
    ado::Connection c;
    c.ConnectionString = ConnectionString(dir / "edge.mdb");
    for (const QJsonValue& q : queries) {
        const QString sql = q["sql"].toString();
        SCOPED_TRACE(sql.toStdString());
        const auto result = Select(c, sql);
        QStringList columns;
        for (const QJsonValue& col : q["columns"].toArray()) columns << col.toString();
        EXPECT_EQ(result.columns, columns);
        const QJsonArray rows = q["rows_in_table_order"].toArray();
        ASSERT_EQ(result.rows.size(), static_cast<std::size_t>(rows.size()));
        for (qsizetype r = 0; r < rows.size(); ++r)
            for (qsizetype k = 0; k < columns.size(); ++k)
                EXPECT_EQ(Mismatch(result.rows[r][k], rows[r][k]["value"]).toStdString(), "") << "row " << r;
    }
}

TEST_F(SharedFixtureFiles, AccessMadeFilesOpenWithTheRightProviderAndPassword) {
    const fs::path made = dir / "access-made";
    const QString Jet = QStringLiteral("Microsoft.Jet.OLEDB.4.0"), Ace = QStringLiteral("Microsoft.ACE.OLEDB.12.0");
    const struct {
        const char* file;
        QString provider;
        QString password;
        const char* error; // "" when it opens
    } cases[] = {
        {"V1997-test.mdb", Jet, "", ""},
        {"V2000-test.mdb", Jet, "anything", ""},
        {"V2010-test.accdb", Jet, "", "does not support the format"},
        {"V2010-test.accdb", Ace, "", ""},
        {"V2000-test.mdb", Ace, "", ""},
        {"password-V2000_with-password.mdb", Jet, "password", ""},
        {"password-V2003_with-password.mdb", Jet, "password", ""},
        {"password-V2000_with-password.mdb", Jet, "Password", "not a valid password"},
        {"password-V2003_with-password.mdb", Jet, "", "not a valid password"},
        {"password-V2000_no-password.mdb", Jet, "whatever", ""},
        {"password-V2010_with-password.accdb", Ace, "password", "encrypted"},
        {"V2000-test.mdb", "Microsoft.Jet.OLEDB.3.51", "", "provider Microsoft.Jet.OLEDB.3.51 is not installed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.provider.toStdString() + " '" + c.password.toStdString() + "'");
        const QString error = ErrorOf(made / c.file, "select count(*) from Table1", c.password, c.provider);
        if (*c.error)
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
        else
            EXPECT_EQ(error.toStdString(), "");
    }
}

using testsupport::TempDir;

void WriteSmallDatabase(const fs::path& file) {
    using jet::ColumnType;
    using jet::Value;
    jet::DatabaseWriter w(file);
    w.BeginTable(u"Languages", {{u"LanguageID", ColumnType::LongInteger}, {u"LanguageName", ColumnType::Text}});
    w.AddRow(std::vector<Value>{3, std::u16string(u"ENG")});
    w.BeginTable(u"MessageStrings", {{u"StringID", ColumnType::LongInteger}, {u"ENGLISH_US", ColumnType::LongText}});
    w.AddRow(std::vector<Value>{207, std::u16string(u"emoji 👍 and 𠀋 outside the BMP")});
    w.AddRow(std::vector<Value>{208, std::u16string()});
    w.AddRow(std::vector<Value>{209, jet::Null{}});
    w.AddRow(std::vector<Value>{207, std::u16string(u"second 207")});
    w.BeginTable(u"FormStrings", {{u"FormName", ColumnType::Text},
                                  {u"ControlName", ColumnType::Text},
                                  {u"PropertyName", ColumnType::Text},
                                  {u"ENGLISH_US", ColumnType::LongText}});
    w.AddRow(std::vector<Value>{std::u16string(u"frmMain"), std::u16string(u"btClose"), std::u16string(u"Caption"), std::u16string(u"&Close")});
    w.AddRow(std::vector<Value>{std::u16string(u"O'Brien: Ärger"), std::u16string(u"x"), std::u16string(u"Caption"), std::u16string(u"quoted")});
    w.AddRow(std::vector<Value>{std::u16string(u"ÄRGER"), std::u16string(u"Σ"), std::u16string(u"Caption"), std::u16string(u"sigma")});
    w.BeginTable(u"ResourceFiles", {{u"ResourceName", ColumnType::Text}, {u"ENGLISH_US", ColumnType::LongBinary}});
    std::vector<std::uint8_t> big(100000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 31);
    w.AddRow(std::vector<Value>{std::u16string(u"Readme.txt"), big});
    w.AddRow(std::vector<Value>{std::u16string(u"Empty.txt"), std::vector<std::uint8_t>{}});
    w.AddRow(std::vector<Value>{std::u16string(u"None.txt"), jet::Null{}});
    w.Commit();
}

TEST(JetProvider, ReadsExactlyWhatWasWritten) {
    TempDir dir;
    WriteSmallDatabase(dir / "languages.mdb");
    ado::Connection c;
    c.ConnectionString = ConnectionString(dir / "languages.mdb");

    auto texts = Select(c, "select ENGLISH_US, ENGLISH_US from MessageStrings where StringID=207");
    ASSERT_EQ(texts.rows.size(), 2u); // every match, in table order
    EXPECT_EQ(std::get<QString>(texts.rows[0][0]), QString::fromUtf8("emoji 👍 and 𠀋 outside the BMP"));
    EXPECT_EQ(std::get<QString>(texts.rows[0][1]), std::get<QString>(texts.rows[0][0]));
    EXPECT_EQ(std::get<QString>(texts.rows[1][0]), "second 207");
    const auto empty = Select(c, "select ENGLISH_US from MessageStrings where StringID=208");
    EXPECT_EQ(std::get<QString>(empty.rows.at(0).at(0)), ""); // empty, not NULL
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Select(c, "select ENGLISH_US from MessageStrings where StringID=209").rows.at(0).at(0)));
    EXPECT_TRUE(Select(c, "select ENGLISH_US from MessageStrings where StringID=210").rows.empty());

    // Text comparison ignores letter case for all of Unicode; a quote is written twice.
    EXPECT_EQ(Select(c, "SELECT controlname FROM formstrings WHERE formname='o''brien: ärger'").rows.size(), 1u);
    const auto folded = Select(c, "select ControlName from FormStrings where FormName='ärger'");
    ASSERT_EQ(folded.rows.size(), 1u);
    EXPECT_EQ(std::get<QString>(folded.rows[0][0]), QString::fromUtf8("Σ"));
    EXPECT_EQ(Select(c, "select ControlName from FormStrings where ControlName='σ'").rows.size(), 1u);

    const auto blob = Select(c, "select ENGLISH_US from ResourceFiles where ResourceName='readme.txt'");
    const QByteArray bytes = std::get<QByteArray>(blob.rows.at(0).at(0));
    ASSERT_EQ(bytes.size(), 100000);
    for (int i = 0; i < bytes.size(); i += 997) ASSERT_EQ(static_cast<std::uint8_t>(bytes[i]), static_cast<std::uint8_t>(i * 31));
    EXPECT_EQ(std::get<QByteArray>(Select(c, "select ENGLISH_US from ResourceFiles where ResourceName='Empty.txt'").rows.at(0).at(0)), QByteArray());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Select(c, "select ENGLISH_US from ResourceFiles where ResourceName='None.txt'").rows.at(0).at(0)));

    const auto count = Select(c, "select count(*) as aa from Languages");
    EXPECT_EQ(count.columns, QStringList{"aa"});
    EXPECT_EQ(std::get<std::int64_t>(count.rows.at(0).at(0)), 1);
}

TEST(JetProvider, ErrorsNameTheProblem) {
    TempDir dir;
    WriteSmallDatabase(dir / "languages.mdb");
    std::ofstream(dir / "notes.txt") << std::string(20000, 'x');
    const fs::path db = dir / "languages.mdb";
    const struct {
        fs::path file;
        QString sql;
        const char* error;
    } cases[] = {
        {dir / "missing.mdb", "select count(*) from Languages", "database file not found"},
        {dir / "notes.txt", "select count(*) from Languages", "is not an Access database"},
        {dir.Path(), "select count(*) from Languages", "cannot open"},
        {db, "select count(*) from Nowhere", "no table Nowhere"},
        {db, "select FRENCH from MessageStrings", "no column FRENCH in table MessageStrings"},
        {db, "select ENGLISH_US from MessageStrings where FRENCH=1", "no column FRENCH"},
        {db, "select ENGLISH_US from MessageStrings where StringID='207'", "type mismatch"},
        {db, "select ENGLISH_US from FormStrings where FormName=7", "type mismatch"},
        {db, "select ENGLISH_US from ResourceFiles where ENGLISH_US='x'", "cannot be compared"},
        {db, "select ENGLISH_US from FormStrings where FormName='O'Brien'", "position"},
        {db, "select * from Languages", "position"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql.toStdString() + " on " + c.file.string());
        const QString error = ErrorOf(c.file, c.sql);
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
    }
    EXPECT_TRUE(ErrorOf(db, "select count(*) from Languages", "wrong").contains("not a valid password"));
}

TEST(JetProvider, ReadsFromReadOnlyPlacesAndNeverWrites) {
    TempDir dir;
    const fs::path db = dir / "languages.mdb";
    WriteSmallDatabase(db);
    ::chmod(db.c_str(), 0444);
    ::chmod(dir.Path().c_str(), 0555);
    struct stat before {};
    ::stat(db.c_str(), &before);
    std::ifstream in(db, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    {
        ado::Connection c;
        c.ConnectionString = ConnectionString(db);
        EXPECT_EQ(Select(c, "select ENGLISH_US from FormStrings where FormName='frmMain'").rows.size(), 1u);
        EXPECT_EQ(Select(c, "select ENGLISH_US from ResourceFiles").rows.size(), 3u);
    }
    struct stat after {};
    ::stat(db.c_str(), &after);
    std::ifstream again(db, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), bytes);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(dir.Path()), {}).size(), 1u);
}

} // namespace
