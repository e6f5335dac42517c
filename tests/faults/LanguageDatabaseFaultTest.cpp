// The language database changing under the program between two reads through the shared objects:
// deleted, replaced, cut short, or made unreadable. The second read gives the text the file then
// holds or the reader's default, never a crash or another row's text; a failed read drops the
// shared objects; once the file is back the next read finds it again. No read writes anything.
#include "frame/PublicUnit.h"
#include "localisation/Languages.h"
#include "platform/jet/DatabaseWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using jet::ColumnType;
using jet::Value;

namespace {

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A database whose caption of frmMain is `caption`, with enough rows to fill several pages.
std::string Database(const fs::path& file, const std::u16string& caption) {
    {
        jet::DatabaseWriter w(file, jet::WriterOptions{jet::DefaultDatabasePassword, 45000.0});
        w.BeginTable(u"FormStrings", {{u"FormName", ColumnType::Text},
                                      {u"ControlName", ColumnType::Text},
                                      {u"PropertyName", ColumnType::Text},
                                      {u"ENGLISH_US", ColumnType::LongText}});
        for (int i = 0; i < 300; ++i) {
            const std::string name = "frmForm" + std::to_string(i);
            w.AddRow(std::vector<Value>{std::u16string(name.begin(), name.end()), std::u16string(u"frmForm"),
                                        std::u16string(u"Caption"), std::u16string(40, u'x')});
        }
        w.AddRow(std::vector<Value>{std::u16string(u"frmMain"), std::u16string(u"frmMain"),
                                    std::u16string(u"Caption"), caption});
        w.Commit();
    }
    return ReadAll(file);
}

struct Fault {
    const char* name;
    // Does the damage; `other` holds the bytes of another sound database.
    std::function<void(const fs::path& file, const std::string& original, const std::string& other)> apply;
    // What the second read may give; "" is the reader's default.
    std::set<QString> allowed;
    bool needsPermissions = false;
};

const QString Original = QStringLiteral("Orvane Security Manager");
const QString Replacement = QStringLiteral("Orvane Sicherheitsverwaltung");

void PrintTo(const Fault& fault, std::ostream* os) {
    *os << fault.name;
}

// Renamed over the file, as a copy or an installer puts a new file in place.
void ReplaceWith(const fs::path& file, const std::string& bytes) {
    const fs::path next = file.parent_path() / "next.tmp";
    Write(next, bytes);
    fs::rename(next, file);
}

const Fault Faults[] = {
    {"Deleted", [](const fs::path& f, auto&, auto&) { fs::remove(f); }, {""}},
    {"ReplacedByAnotherDatabase",
     [](const fs::path& f, auto&, auto& other) { ReplaceWith(f, other); },
     {Replacement}},
    {"RewrittenInPlaceWithAnotherDatabase",
     [](const fs::path& f, auto&, auto& other) { Write(f, other); },
     {Replacement}},
    {"ReplacedByText", [](const fs::path& f, auto&, auto&) { ReplaceWith(f, "not a database\n"); }, {""}},
    {"ReplacedByAFolder",
     [](const fs::path& f, auto&, auto&) {
         fs::remove(f);
         fs::create_directory(f);
     },
     {""}},
    {"TruncatedToNothing", [](const fs::path& f, auto&, auto&) { fs::resize_file(f, 0); }, {""}},
    {"TruncatedToItsHeaderPage", [](const fs::path& f, auto&, auto&) { fs::resize_file(f, 4096); }, {""}},
    // Where the row lies decides whether the part left still holds it; never another row's text.
    {"CutToHalf",
     [](const fs::path& f, auto& original, auto&) { fs::resize_file(f, original.size() / 2); },
     {"", Original}},
    {"LastByteCut",
     [](const fs::path& f, auto& original, auto&) { fs::resize_file(f, original.size() - 1); },
     {"", Original}},
    {"MadeUnreadable",
     [](const fs::path& f, auto&, auto&) { fs::permissions(f, fs::perms::none); },
     {""},
     true},
};

class LanguageDatabaseFault : public testing::TestWithParam<Fault> {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvane-faults-XXXXXX").string();
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        folder = pattern;
        fs::create_directory(folder / "cache");
        // The list of database versions found sound goes here, not into the user's cache.
        savedCache = std::getenv("XDG_CACHE_HOME") ? std::getenv("XDG_CACHE_HOME") : "";
        ::setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
        fs::create_directory(folder / "app");
        AppSettings.AppFolder = QString::fromStdString((folder / "app").string()) + '/';
        AppSettings.ProviderName = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
        DropLanguageDatabase();
    }
    void TearDown() override {
        DropLanguageDatabase();
        if (savedCache.empty())
            ::unsetenv("XDG_CACHE_HOME");
        else
            ::setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
        std::error_code ec;
        fs::permissions(folder / "app" / "languages.mdb", fs::perms::owner_all, ec);
        fs::remove_all(folder);
    }

    // How every reader reads: the default ("") unless a row is found.
    static QString Caption() {
        QString caption;
        ReadLanguageDatabase(QStringLiteral("select ENGLISH_US from FormStrings where FormName='frmMain' and "
                                            "ControlName='frmMain' and PropertyName='Caption'"),
                             [&](ado::Query& q) {
                                 if (q.RecordCount() > 0)
                                     caption = q.FieldByName(QStringLiteral("ENGLISH_US")).AsString();
                             });
        return caption;
    }

    std::vector<fs::path> Listing() const {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(folder / "app"))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
    std::string savedCache;
};

TEST_P(LanguageDatabaseFault, SecondReadGivesTheFilesTextOrTheDefaultAndTheThirdFindsItBack) {
    const Fault& fault = GetParam();
    if (fault.needsPermissions && ::geteuid() == 0)
        GTEST_SKIP()
            << "running as root: file permissions do not keep root from reading; run as another user "
               "to test an unreadable database";
    const fs::path file = folder / "app" / "languages.mdb";
    const std::string other = Database(folder / "other.mdb", Replacement.toStdU16String());
    const std::string original = Database(file, Original.toStdU16String());

    EXPECT_EQ(Caption(), Original);
    ASSERT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Open);

    fault.apply(file, original, other);
    const std::vector<fs::path> damaged = Listing();
    const QString second = Caption();
    EXPECT_TRUE(fault.allowed.count(second)) << "second read gave \"" << second.toStdString() << '"';
    EXPECT_EQ(CurrentLanguageDatabaseState(),
              second.isEmpty() ? LanguageDatabaseState::Absent : LanguageDatabaseState::Open);
    EXPECT_EQ(Listing(), damaged) << "a read created or removed a file";

    // The file back as it was, renamed into place or rewritten where it lies.
    std::error_code ec;
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, ec);
    if (fs::is_directory(file)) fs::remove(file);
    if (fs::exists(file))
        Write(file, original);
    else
        ReplaceWith(file, original);
    EXPECT_EQ(Caption(), Original);
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Open);
    EXPECT_EQ(ReadAll(file), original);
}

INSTANTIATE_TEST_SUITE_P(Faults, LanguageDatabaseFault, testing::ValuesIn(Faults),
                         [](const testing::TestParamInfo<Fault>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
