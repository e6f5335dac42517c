// Large tables' row places and indexes are kept in the user's cache folder between sessions. What is
// kept must only ever save time: a damaged or stale kept file, or a cache folder that cannot be
// written, gives the same rows as reading the table anew.
#include "platform/ado/Connection.h"
#include "platform/jet/DatabaseWriter.h"
#include "Select.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;
using jet::ColumnType;
using jet::Value;

namespace {

constexpr int Forms = 40;
constexpr int RowsPerForm = 125; // 5,000 rows: large enough to be kept
constexpr int Messages = 5000;

std::u16string Text(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// `edition` changes every text, so that rows of an older database cannot pass for the new one's.
void WriteLargeDatabase(const fs::path& file, int edition) {
    jet::DatabaseWriter w(file);
    w.BeginTable(u"Languages", {{u"LanguageID", ColumnType::LongInteger}, {u"LanguageName", ColumnType::Text}});
    w.AddRow(std::vector<Value>{3, std::u16string(u"ENG")});
    w.BeginTable(u"FormStrings", {{u"FormName", ColumnType::Text},
                                  {u"ControlName", ColumnType::Text},
                                  {u"ENGLISH_US", ColumnType::LongText}});
    // Forms interleaved, so that each form's rows lie on many pages.
    for (int r = 0; r < RowsPerForm; ++r)
        for (int f = 0; f < Forms; ++f)
            w.AddRow(std::vector<Value>{Text("frm" + std::to_string(f)), Text("c" + std::to_string(r)),
                                        Text("e" + std::to_string(edition) + " f" + std::to_string(f) + " r" +
                                             std::to_string(r))});
    w.BeginTable(u"MessageStrings", {{u"StringID", ColumnType::LongInteger}, {u"ENGLISH_US", ColumnType::LongText}});
    for (int id = Messages; id > 0; --id)
        w.AddRow(std::vector<Value>{id, Text("e" + std::to_string(edition) + " m" + std::to_string(id))});
    w.Commit();
}

// Runs a session of lookups and checks every row against what `edition` wrote.
void ExpectRowsOf(const fs::path& db, int edition) {
    ado::Connection c;
    c.ConnectionString = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Jet OLEDB:Database Password=wxqv_5831").arg(QString::fromStdString(db.string()));
    const QString e = QStringLiteral("e%1 ").arg(edition);
    for (int f : {0, 17, Forms - 1}) {
        const auto rows = Select(c, QStringLiteral("select ControlName, ENGLISH_US from FormStrings where FormName='FRM%1'").arg(f)).rows;
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(RowsPerForm)) << "form " << f;
        for (int r = 0; r < RowsPerForm; ++r) {
            ASSERT_EQ(std::get<QString>(rows[r][0]), QStringLiteral("c%1").arg(r));
            ASSERT_EQ(std::get<QString>(rows[r][1]), e + QStringLiteral("f%1 r%2").arg(f).arg(r));
        }
    }
    EXPECT_TRUE(Select(c, "select ENGLISH_US from FormStrings where FormName='frm999'").rows.empty());
    for (int id : {1, 2500, Messages}) {
        const auto rows = Select(c, QStringLiteral("select ENGLISH_US from MessageStrings where StringID=%1").arg(id)).rows;
        ASSERT_EQ(rows.size(), 1u) << "message " << id;
        EXPECT_EQ(std::get<QString>(rows[0][0]), e + QStringLiteral("m%1").arg(id));
    }
    EXPECT_TRUE(Select(c, "select ENGLISH_US from MessageStrings where StringID=0").rows.empty());
}

// Each kept file by name, with its inode: a file written anew is renamed into place and so gets
// another inode.
std::map<std::string, ino_t> Kept(const fs::path& cache) {
    std::map<std::string, ino_t> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(cache / "orvane" / "tables", ec)) {
        struct stat st {};
        ::stat(entry.path().c_str(), &st);
        files[entry.path().filename().string()] = st.st_ino;
    }
    return files;
}

class KeptTables : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CACHE_HOME")) saved_ = old;
        ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    }
    void TearDown() override {
        if (saved_)
            ::setenv("XDG_CACHE_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("XDG_CACHE_HOME");
    }

    testsupport::TempDir dir{"orvane-kept"};
    const fs::path db = dir / "languages.mdb";
    const fs::path cache = dir / "cache";

private:
    std::optional<std::string> saved_;
};

TEST_F(KeptTables, AreReusedUntilTheDatabaseChanges) {
    WriteLargeDatabase(db, 1);
    ExpectRowsOf(db, 1);
    const auto first = Kept(cache);
    EXPECT_EQ(first.size(), 2u) << "one file for each large table, none for the small one";

    ExpectRowsOf(db, 1);
    EXPECT_EQ(Kept(cache), first) << "a second session used the kept files as they were";

    WriteLargeDatabase(db, 2);
    ExpectRowsOf(db, 2);
    const auto second = Kept(cache);
    EXPECT_EQ(second.size(), 4u) << "the new version's tables are kept beside the old ones";
    for (const auto& [name, inode] : first) EXPECT_EQ(second.at(name), inode);
}

TEST_F(KeptTables, DamagedKeptFilesAreReadAnewAndReplaced) {
    WriteLargeDatabase(db, 1);
    ExpectRowsOf(db, 1);
    const auto kept = Kept(cache);
    ASSERT_EQ(kept.size(), 2u);

    const struct {
        const char* what;
        void (*damage)(const fs::path&);
    } cases[] = {
        {"one bit flipped in the middle",
         [](const fs::path& f) {
             std::fstream s(f, std::ios::in | std::ios::out | std::ios::binary);
             s.seekg(static_cast<std::streamoff>(fs::file_size(f) / 2));
             const char c = static_cast<char>(s.get());
             s.seekp(static_cast<std::streamoff>(fs::file_size(f) / 2));
             s.put(static_cast<char>(c ^ 0x10));
         }},
        {"cut to half", [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2); }},
        {"emptied", [](const fs::path& f) { fs::resize_file(f, 0); }},
        {"a few bytes longer", [](const fs::path& f) { std::ofstream(f, std::ios::app | std::ios::binary) << "tail"; }},
        {"replaced by text", [](const fs::path& f) { std::ofstream(f, std::ios::trunc) << "not what was kept\n"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [name, inode] : Kept(cache)) c.damage(cache / "orvane" / "tables" / name);
        const auto damaged = Kept(cache);
        ExpectRowsOf(db, 1);
        const auto after = Kept(cache);
        ASSERT_EQ(after.size(), 2u);
        for (const auto& [name, inode] : after) EXPECT_NE(inode, damaged.at(name)) << name << " was not written anew";
        ExpectRowsOf(db, 1);
        EXPECT_EQ(Kept(cache), after) << "what was written anew is used by the next session";
    }
}

TEST_F(KeptTables, CacheFolderThatCannotBeWrittenCostsNothingButTime) {
    WriteLargeDatabase(db, 1);
    std::ofstream(cache) << "a file where the cache folder should be\n";
    ExpectRowsOf(db, 1);
    ExpectRowsOf(db, 1);
    EXPECT_TRUE(fs::is_regular_file(cache));
}

} // namespace
