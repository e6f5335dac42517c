// Resource files: the stored bytes written whole to the caller's path, or nothing at all, and never
// a destination left short or half-written.
#include "localisation/ResourceFiles.h"
#include "LanguageFolder.h"

#include <csignal>
#include <fstream>
#include <map>
#include <optional>
#include <random>

#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using jet::ColumnType;
using jet::Null;
using Bytes = std::vector<std::uint8_t>;

const jet::ColumnDef Name{u"ResourceName", ColumnType::Text};
const jet::ColumnDef English{u"ENGLISH_US", ColumnType::LongBinary};
const jet::ColumnDef French{u"FRENCH", ColumnType::LongBinary};

Bytes ToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Every byte value, in no order a writer could produce by accident.
Bytes Noise(std::size_t size) {
    std::mt19937 random(size);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

void WriteAll(const fs::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every entry below dir with what its file holds, so that a leftover temporary file shows too. Long
// contents are summed up to keep a failure's message short.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        std::string content = e.is_regular_file() ? ReadAll(e.path()) : "<folder>";
        if (content.size() > 64)
            content = std::to_string(content.size()) + " bytes, hash " +
                      std::to_string(std::hash<std::string>()(content));
        entries[e.path().lexically_relative(dir).string()] = content;
    }
    return entries;
}

class ResourceFilesTest : public LanguageFolderTest {
protected:
    void SetUp() override {
        LanguageFolderTest::SetUp();
        out = folder / "out";
        fs::create_directory(out);
        LanguageSettings.LanguageColumn = "FRENCH";
    }

    // The destination comes back whatever happened.
    void Extract(const QString& name, const fs::path& destination) {
        const QString path = QString::fromStdString(destination.string());
        EXPECT_EQ(ExtractResourceFile(name, path), path);
    }

    fs::path out;
};

TEST_F(ResourceFilesTest, WritesTheStoredBytesExactly) {
    const Bytes large = Noise(5 << 20);
    WriteDatabase({{u"ResourceFiles",
                    {Name, English, French},
                    {{u"empty", ToBytes("English"), Bytes{}},
                     {u"small", ToBytes("English"), ToBytes(std::string_view("a\r\nb\0c\xFF", 7))},
                     {u"large", Null{}, large},
                     {u"O'Brien.txt", Null{}, ToBytes("quoted")}}}});
    struct Case {
        const char* what;
        QString name;
        std::optional<std::string> old; // a file already at the destination
        std::string bytes;
    };
    const Case cases[] = {
        {"length 0", "empty", std::nullopt, ""},
        {"length 0 over a file", "empty", "previous content", ""},
        {"non-text bytes over a longer file", "small", "a much longer previous content",
         std::string("a\r\nb\0c\xFF", 7)},
        {"5 MiB", "large", std::nullopt, std::string(large.begin(), large.end())},
        {"name holding a quote", "O'Brien.txt", std::nullopt, "quoted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path destination = out / "resource";
        fs::remove(destination);
        if (c.old) WriteAll(destination, *c.old);
        Extract(c.name, destination);
        EXPECT_TRUE(ReadAll(destination) == c.bytes) << fs::file_size(destination) << " bytes";
        EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Open);
        EXPECT_FALSE(LanguageQuery()->Active());

        // A second call writes the file again, whatever became of it since.
        WriteAll(destination, "changed in between, and longer than some values");
        Extract(c.name, destination);
        EXPECT_TRUE(ReadAll(destination) == c.bytes);
        EXPECT_EQ(Snapshot(out).size(), 1u);
    }
}

// No stored file, or no read: nothing is created and a file already there keeps its bytes.
TEST_F(ResourceFilesTest, NothingIsWrittenWithoutAStoredFile) {
    const TestTable files{
        u"ResourceFiles",
        {Name, English, French},
        {{u"null", ToBytes("English bytes"), Null{}}, {u"present", ToBytes("e"), ToBytes("f")}}};
    struct Case {
        const char* what;
        std::optional<TestTable> table; // nullopt: no database at all
        QString column, name;
        LanguageDatabaseState state;
    };
    const Case cases[] = {
        {"NULL, no English fallback", files, "FRENCH", "null", LanguageDatabaseState::Open},
        {"no row", files, "FRENCH", "absent", LanguageDatabaseState::Open},
        {"no such column", files, "GERMAN", "present", LanguageDatabaseState::Absent},
        {"no database", std::nullopt, "FRENCH", "present", LanguageDatabaseState::Absent},
        {"text instead of bytes",
         TestTable{u"ResourceFiles", {Name, {u"FRENCH", ColumnType::LongText}}, {{u"present", u"text"}}},
         "FRENCH", "present", LanguageDatabaseState::Absent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(folder / "languages.mdb");
        if (c.table) WriteDatabase({*c.table});
        LanguageSettings.LanguageColumn = c.column;
        for (const bool old : {false, true}) {
            fs::remove_all(out / "resource");
            if (old) WriteAll(out / "resource", "previous content");
            const auto before = Snapshot(out);
            Extract(c.name, out / "resource");
            EXPECT_EQ(Snapshot(out), before);
            EXPECT_EQ(CurrentLanguageDatabaseState(), c.state);
        }
    }
}

TEST_F(ResourceFilesTest, FailedWriteLeavesTheFolderAsItWas) {
    WriteDatabase(
        {{u"ResourceFiles", {Name, French}, {{u"small", ToBytes("new")}, {u"large", Noise(5 << 20)}}}});
    WriteAll(out / "old", "previous content");
    fs::create_directory(out / "folder");
    WriteAll(out / "folder" / "inside", "kept");
    const auto before = Snapshot(out);
    const auto expectFailed = [&] {
        EXPECT_EQ(Snapshot(out), before);
        EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Absent);
    };
    {
        SCOPED_TRACE("missing folder");
        Extract("small", out / "missing" / "resource");
        expectFailed();
    }
    {
        SCOPED_TRACE("destination is a folder");
        Extract("small", out / "folder");
        expectFailed();
    }
    {
        // A disk that fills up halfway: the file size limit makes writes fail with EFBIG.
        SCOPED_TRACE("disk full");
        rlimit old{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 1 << 20;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        Extract("large", out / "old");
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        expectFailed();
    }
    // Root writes into a read-only folder all the same.
    if (::geteuid() != 0) {
        SCOPED_TRACE("read-only folder");
        fs::permissions(out, fs::perms::owner_write, fs::perm_options::remove);
        Extract("small", out / "old");
        fs::permissions(out, fs::perms::owner_write, fs::perm_options::add);
        expectFailed();
    }
}

TEST_F(ResourceFilesTest, NewFileTakesTheUmaskReplacedFileKeepsItsMode) {
    WriteDatabase({{u"ResourceFiles", {Name, French}, {{u"small", ToBytes("new")}}}});
    WriteAll(out / "kept", "previous content");
    fs::permissions(out / "kept", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    const mode_t oldMask = ::umask(027);
    Extract("small", out / "new");
    Extract("small", out / "kept");
    ::umask(oldMask);
    const auto mode = [](const fs::path& file) { return fs::status(file).permissions() & fs::perms::all; };
    EXPECT_EQ(mode(out / "new"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(mode(out / "kept"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EQ(ReadAll(out / "kept"), "new");
}

// A link stays a link: the file it points to is the one replaced, beside itself.
TEST_F(ResourceFilesTest, LinkedDestinationReplacesTheFileLinkedTo) {
    WriteDatabase({{u"ResourceFiles", {Name, French}, {{u"small", ToBytes("new")}}}});
    const fs::path elsewhere = folder / "elsewhere";
    fs::create_directory(elsewhere);
    WriteAll(elsewhere / "target", "previous content");
    fs::create_symlink(elsewhere / "target", out / "link");
    Extract("small", out / "link");
    EXPECT_TRUE(fs::is_symlink(out / "link"));
    EXPECT_EQ(ReadAll(elsewhere / "target"), "new");
    EXPECT_EQ(Snapshot(out).size(), 1u);
    EXPECT_EQ(Snapshot(elsewhere).size(), 1u);
}

} // namespace
