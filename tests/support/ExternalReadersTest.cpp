// The two readers against files that neither we nor they wrote: an independent writer's files, whose
// every cell MANIFEST.json lists, and files made by Access itself.
#include "support/ExternalReaders.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <unistd.h>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

const char* const ListedFiles[] = {"sample.mdb", "edge.mdb"};
const std::u16string ListedPassword = u"wxqv_5831";

enum class Reader { MdbReader, MdbTools };

ReadDatabase Read(Reader reader, const fs::path& file) {
    return reader == Reader::MdbReader ? ReadWithMdbReader(file, ListedPassword) : ReadWithMdbTools(file);
}

QString Sha256(const QByteArray& data) {
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

// The type name each reader gives for a column type the manifest names.
std::string TypeName(Reader reader, const QJsonObject& column) {
    const QString type = column["type"].toString();
    const bool npm = reader == Reader::MdbReader;
    if (type == "LONG") return npm ? "long" : "Long Integer";
    if (type == "TEXT") return npm ? "text" : "Text (" + std::to_string(column["max_chars"].toInt()) + ")";
    if (type == "MEMO") return npm ? "memo" : "Memo/Hyperlink (255)";
    if (type == "OLE") return npm ? "ole" : "OLE (255)";
    return "unknown manifest type " + type.toStdString();
}

// Empty when `got` is the cell the manifest lists, else what differs. A listed cell is a plain JSON
// value, bytes as {bytes, sha256, hex?}, or text too long to list as {chars_utf16, sha256_utf8,
// head, tail}.
std::string Mismatch(const Cell& got, const QJsonValue& listed, Reader reader) {
    const QJsonObject digest = listed.toObject();
    if (digest.contains("sha256")) {
        const QByteArray data(reinterpret_cast<const char*>(got.bytes.data()),
                              static_cast<qsizetype>(got.bytes.size()));
        if (got.kind == Cell::Bytes && data.size() == digest["bytes"].toInteger() &&
            Sha256(data) == digest["sha256"].toString())
            return {};
        return "got " + Describe(got) + ", want bytes(" + std::to_string(digest["bytes"].toInteger()) +
               ", sha256 " + digest["sha256"].toString().toStdString() + ")";
    }
    if (digest.contains("sha256_utf8")) {
        // Outside the limits of mdbtools (all within the BMP), so both readers must give it exactly.
        const QString text = QString::fromStdU16String(got.text);
        if (got.kind == Cell::Text && text.size() == digest["chars_utf16"].toInteger() &&
            Sha256(text.toUtf8()) == digest["sha256_utf8"].toString() &&
            text.startsWith(digest["head"].toString()) && text.endsWith(digest["tail"].toString()))
            return {};
        return "got " + Describe(got) + ", want text(" + std::to_string(digest["chars_utf16"].toInteger()) +
               ") \"" + digest["head"].toString().toStdString() + "…\"";
    }
    Cell want;
    if (listed.isString()) {
        want.kind = Cell::Text;
        want.text = listed.toString().toStdU16String();
    } else if (listed.isDouble()) {
        want.kind = Cell::Number;
        want.number = listed.toDouble();
    } else if (!listed.isNull()) {
        return "the manifest lists no value of a known form";
    }
    if (reader == Reader::MdbTools) want = MdbToolsView(want);
    return SameCell(got, want) ? std::string() : "got " + Describe(got) + ", want " + Describe(want);
}

class SharedFixtureFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = SharedFixtures();
        if (dir.empty())
            GTEST_SKIP() << "the folder of shared fixtures (../shared/fixtures beside the repository, CMake "
                            "cache ORVANE_SHARED_FIXTURES) is missing";
        QFile file(dir / "MANIFEST.json");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "cannot open " << (dir / "MANIFEST.json");
        files = QJsonDocument::fromJson(file.readAll()).object()["files"].toObject();
        ASSERT_FALSE(files.isEmpty()) << "MANIFEST.json lists no files";
    }

    void ExpectEveryListedCell(Reader reader) {
        for (const char* name : ListedFiles) {
            SCOPED_TRACE(name);
            const ReadDatabase db = Read(reader, dir / name);
            if (reader == Reader::MdbReader) {
                EXPECT_EQ(db.password, ListedPassword);
            }
            const QJsonObject tables = files[name].toObject()["tables"].toObject();
            std::vector<std::string> listed;
            for (const QString& t : tables.keys())
                listed.push_back(t.toStdString());
            std::vector<std::string> read = db.tableOrder;
            std::sort(read.begin(), read.end());
            EXPECT_EQ(read, listed); // both sorted: JSON objects keep no order

            for (const QString& t : tables.keys()) {
                SCOPED_TRACE(t.toStdString());
                ASSERT_TRUE(db.tables.contains(t.toStdString()));
                const ReadTable& table = db.tables.at(t.toStdString());
                const QJsonArray columns = tables[t]["columns"].toArray();
                const QJsonArray rows = tables[t]["rows_in_table_order"].toArray();
                ASSERT_EQ(table.columns.size(), static_cast<std::size_t>(columns.size()));
                ASSERT_EQ(table.rows.size(), static_cast<std::size_t>(rows.size()));
                for (qsizetype c = 0; c < columns.size(); ++c) {
                    EXPECT_EQ(table.columns[c], columns[c]["name"].toString().toStdString());
                    EXPECT_EQ(table.types[c], TypeName(reader, columns[c].toObject())) << table.columns[c];
                }
                for (qsizetype r = 0; r < rows.size(); ++r) {
                    ASSERT_EQ(table.rows[r].size(), table.columns.size());
                    for (std::size_t c = 0; c < table.columns.size(); ++c)
                        EXPECT_EQ(Mismatch(table.rows[r][c],
                                           rows[r][QString::fromStdString(table.columns[c])], reader),
                                  "")
                            << "row " << r << " column " << table.columns[c];
                }
            }
        }
    }

    fs::path dir;
    QJsonObject files;
};

std::string ErrorOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST_F(SharedFixtureFiles, MdbReaderGivesEveryCellAsListed) {
    ExpectEveryListedCell(Reader::MdbReader);
}

TEST_F(SharedFixtureFiles, MdbToolsGivesEveryCellAsListedBarItsKnownLimits) {
    ExpectEveryListedCell(Reader::MdbTools);
}

TEST_F(SharedFixtureFiles, BothReadersListTablesInTheSameOrder) {
    const auto file = dir / "sample.mdb";
    const auto order = ReadWithMdbReader(file, ListedPassword).tableOrder;
    EXPECT_EQ(order.size(), 4u);
    EXPECT_EQ(ReadWithMdbTools(file).tableOrder, order);
}

TEST_F(SharedFixtureFiles, MdbReaderReportsThePasswordStoredWhateverItIsGiven) {
    // Jet 4 files are not encrypted, so mdb-reader opens them with any password: refusing a
    // wrong one is left to the program.
    const struct {
        const char* file;
        std::u16string given;
        std::optional<std::u16string> stored;
    } cases[] = {
        {"sample.mdb", u"wrong", ListedPassword},
        {"sample.mdb", u"", ListedPassword},
        {"access-made/password-V2000_with-password.mdb", u"Password", u"password"},
        {"access-made/password-V2003_with-password.mdb", u"password", u"password"},
        {"access-made/password-V2000_no-password.mdb", u"", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto db = ReadWithMdbReader(dir / c.file, c.given);
        EXPECT_EQ(db.password, c.stored) << c.file;
        EXPECT_FALSE(db.tableOrder.empty()) << c.file;
    }
}

TEST_F(SharedFixtureFiles, EncryptedFileIsRefusedWithTheReadersMessage) {
    const auto file = dir / "access-made/password-V2010_with-password.accdb";
    EXPECT_NE(ErrorOf([&] { ReadWithMdbReader(file, u"Password"); }).find("Wrong password"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] { ReadWithMdbTools(file); }), "");
}

TEST_F(SharedFixtureFiles, DatesNumbersAndYesNoOfAnAccessMadeFile) {
    // Table1 of Access's own file: text, byte, integer, long, double, date/time, currency, yes/no.
    // Currency is left out: mdb-reader gives it as text, mdbtools as a number, and the system
    // stores none.
    const std::vector<std::string> columns{"A", "B", "C", "D", "E", "F", "G", "I"};
    auto text = [](std::u16string t) { return Cell{Cell::Text, 0, std::move(t), {}}; };
    auto number = [](double n) { return Cell{Cell::Number, n, {}, {}}; };
    const double sep21st1974 = 27293, dec12th1981 = 29932;
    const std::vector<std::vector<Cell>> rows{
        {text(u"abcdefg"), text(u"hijklmnop"), number(2), number(222), number(333333333), number(444.555),
         number(sep21st1974), number(1)},
        {text(u"a"), text(u"b"), number(0), number(0), number(0), number(0), number(dec12th1981), number(0)},
    };
    for (Reader reader : {Reader::MdbReader, Reader::MdbTools}) {
        SCOPED_TRACE(reader == Reader::MdbReader ? "mdb-reader" : "mdbtools");
        const auto db = Read(reader, dir / "access-made/V2000-test.mdb");
        const ReadTable& table = db.tables.at("Table1");
        ASSERT_EQ(table.rows.size(), rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const auto at = std::find(table.columns.begin(), table.columns.end(), columns[c]);
                ASSERT_NE(at, table.columns.end()) << columns[c];
                EXPECT_PRED2(SameCell, table.rows[r][at - table.columns.begin()], rows[r][c])
                    << "row " << r << " column " << columns[c];
            }
        }
    }
}

TEST(ExternalReaders, WhatIsNotADatabaseIsAnError) {
    const fs::path junk = fs::temp_directory_path() / ("orvane-not-a-database-" + std::to_string(::getpid()));
    std::ofstream(junk) << std::string(8192, 'x');
    for (const fs::path& file : {junk, junk.parent_path() / "no-such-file.mdb"}) {
        EXPECT_NE(ErrorOf([&] { ReadWithMdbReader(file); }), "") << file;
        EXPECT_NE(ErrorOf([&] { ReadWithMdbTools(file); }), "") << file;
    }
    fs::remove(junk);
}
