#include "platform/jet/DatabaseWriter.h"
#include "platform/jet/FileHeader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace jet;
namespace fs = std::filesystem;

namespace {

struct TempDir : testsupport::TempDir {
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& file, const std::string& content) { std::ofstream(file, std::ios::binary) << content; }

const std::vector<ColumnDef> TwoColumns{{u"ID", ColumnType::LongInteger}, {u"Name", ColumnType::Text}};

} // namespace

TEST(DatabaseWriter, RefusesWhatAccessCannotStoreAndLeavesNothingBehind) {
    const struct {
        const char* name;
        std::function<void(DatabaseWriter&)> act;
        const char* message;
    } cases[] = {
        {"text of 256 characters",
         [](DatabaseWriter& w) {
             w.BeginTable(u"T", TwoColumns);
             w.AddRow(std::vector<Value>{1, std::u16string(256, u'x')});
         },
         "table T, column Name: text longer than 255 characters"},
        {"surrogate pair as the 256th code unit",
         [](DatabaseWriter& w) {
             w.BeginTable(u"T", TwoColumns);
             w.AddRow(std::vector<Value>{1, std::u16string(254, u'x') + u"👍"});
         },
         "longer than 255"},
        {"16-bit integer out of range",
         [](DatabaseWriter& w) {
             w.BeginTable(u"T", {{u"Small", ColumnType::Integer}});
             w.AddRow(std::vector<Value>{40000});
         },
         "40000 is out of range"},
        {"text in an integer column",
         [](DatabaseWriter& w) {
             w.BeginTable(u"T", TwoColumns);
             w.AddRow(std::vector<Value>{std::u16string(u"1"), Null{}});
         },
         "column ID: value does not suit the column type"},
        {"bytes in a long text column",
         [](DatabaseWriter& w) {
             w.BeginTable(u"T", {{u"Memo", ColumnType::LongText}});
             w.AddRow(std::vector<Value>{std::vector<std::uint8_t>{1}});
         },
         "column Memo: value does not suit"},
        {"too few values",
         [](DatabaseWriter& w) {
             w.BeginTable(u"T", TwoColumns);
             w.AddRow(std::vector<Value>{1});
         },
         "a row has 1 values for 2 columns"},
        {"row before any table", [](DatabaseWriter& w) { w.AddRow(std::vector<Value>{1}); }, "before any table"},
        {"table twice, other case",
         [](DatabaseWriter& w) {
             w.BeginTable(u"Texts", TwoColumns);
             w.BeginTable(u"TEXTS", TwoColumns);
         },
         "table TEXTS is defined twice"},
        {"column twice",
         [](DatabaseWriter& w) { w.BeginTable(u"T", {{u"A", ColumnType::Text}, {u"a", ColumnType::Text}}); },
         "column a is defined twice"},
        {"catalog name", [](DatabaseWriter& w) { w.BeginTable(u"msysobjects", TwoColumns); }, "reserved"},
        {"no columns", [](DatabaseWriter& w) { w.BeginTable(u"T", {}); }, "has no columns"},
        // Readers take a value starting FF FE as compressed text; this one cannot be compressed.
        {"U+FEFF first with a U+xx00 character",
         [](DatabaseWriter& w) {
             w.BeginTable(u"T", TwoColumns);
             w.AddRow(std::vector<Value>{1, std::u16string(u"\uFEFF\u4E00")});
         },
         "U+FEFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path target = dir.Path() / "languages.mdb";
        WriteFile(target, "previous content");
        try {
            DatabaseWriter w(target);
            c.act(w);
            w.Commit();
            ADD_FAILURE() << "no error";
        } catch (const WriteError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(ReadAll(target), "previous content");
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"languages.mdb"});
    }
}

TEST(DatabaseWriter, AbandonedOrFailedBuildKeepsTheOldFile) {
    TempDir dir;
    const fs::path target = dir.Path() / "languages.mdb";
    WriteFile(target, "previous content");
    {
        DatabaseWriter w(target);
        w.BeginTable(u"T", TwoColumns);
        for (int i = 0; i < 5000; ++i) w.AddRow(std::vector<Value>{i, std::u16string(u"row")});
    } // destroyed without Commit
    EXPECT_EQ(ReadAll(target), "previous content");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"languages.mdb"});

    // A disk that fills up halfway: the file size limit makes writes fail with EFBIG.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 256 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    try {
        DatabaseWriter w(target);
        w.BeginTable(u"Big", {{u"Data", ColumnType::LongBinary}});
        w.AddRow(std::vector<Value>{std::vector<std::uint8_t>(1024 * 1024, 7)});
        w.Commit();
    } catch (const WriteError& e) {
        error = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(ReadAll(target), "previous content");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"languages.mdb"});
}

TEST(DatabaseWriter, CommitReplacesTheTargetOnceWithAReadableFile) {
    TempDir dir;
    const fs::path target = dir.Path() / "languages.mdb";
    WriteFile(target, "previous content");
    const mode_t oldMask = ::umask(022);
    DatabaseWriter w(target);
    w.BeginTable(u"T", TwoColumns);
    w.AddRow(std::vector<Value>{1, std::u16string(u"one")});
    const auto stats = w.Commit();
    ::umask(oldMask);

    EXPECT_EQ(stats.rows, 1u);
    EXPECT_EQ(fs::file_size(target), stats.bytes);
    EXPECT_EQ(stats.bytes, std::uint64_t{stats.pages} * PageSize);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"languages.mdb"});
    EXPECT_THROW(w.Commit(), WriteError);
    EXPECT_THROW(w.AddRow(std::vector<Value>{2, Null{}}), WriteError);
}

TEST(DatabaseWriter, SameInputAndDateGiveTheSameBytes) {
    TempDir dir;
    auto build = [&](const char* name) {
        WriterOptions options;
        options.creationDate = 45000.5;
        DatabaseWriter w(dir.Path() / name, options);
        w.BeginTable(u"T", {{u"ID", ColumnType::LongInteger}, {u"Memo", ColumnType::LongText}});
        for (int i = 0; i < 3000; ++i) w.AddRow(std::vector<Value>{i, std::u16string(i % 50 * 40, u'm')});
        w.Commit();
        return ReadAll(dir.Path() / name);
    };
    EXPECT_EQ(build("a.mdb"), build("b.mdb"));
}
