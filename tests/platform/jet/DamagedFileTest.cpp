// Damaged and changing files read through the data-access layer. libmdb trusts what it reads, so a
// damaged file can crash or hang it; the provider reads each new version of a file in a child
// process first. These tests run in-process on purpose: a crash or a hang here is a failure.
#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseError.h"
#include "platform/jet/DatabaseWriter.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

// The libmdb 1.0 header needs these first when compiled as C++.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using jet::ColumnType;
using jet::Value;

namespace {

constexpr std::size_t PageSize = 4096;

const QString Statements[] = {
    QStringLiteral("select count(*) as aa from Languages"),
    QStringLiteral("select ENGLISH_US from MessageStrings where StringID=207"),
    QStringLiteral("select ControlName, PropertyName, ENGLISH_US from FormStrings where FormName='frmMain'"),
    QStringLiteral("select ENGLISH_US from ResourceFiles where ResourceName='Readme.txt'"),
};

using testsupport::TempDir;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Truncates and rewrites the file: same inode, as an editor saving in place does.
void WriteInPlace(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::u16string Utf16(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

// The four tables the program reads: a few hundred rows, long values in the row, in one long-value
// row and in a chain over several pages.
std::string LanguageDatabase(const fs::path& file, const std::u16string& message207 = u"message 207") {
    {
        jet::DatabaseWriter w(file, jet::WriterOptions{jet::DefaultDatabasePassword, 45000.0});
        w.BeginTable(u"Languages",
                     {{u"LanguageID", ColumnType::LongInteger}, {u"LanguageName", ColumnType::Text}});
        for (int i = 1; i <= 16; ++i)
            w.AddRow(std::vector<Value>{i, Utf16("L" + std::to_string(i))});
        w.BeginTable(u"MessageStrings", {{u"StringID", ColumnType::LongInteger},
                                         {u"ENGLISH_US", ColumnType::LongText},
                                         {u"RUSSIAN", ColumnType::LongText}});
        for (int id = 1; id <= 300; ++id) {
            std::u16string english = id == 207 ? message207 : Utf16("message " + std::to_string(id));
            std::u16string russian = id % 50 == 0 ? std::u16string(2500, u'ж') : u"сообщение";
            w.AddRow(std::vector<Value>{id, english, russian});
        }
        w.BeginTable(u"FormStrings", {{u"FormName", ColumnType::Text},
                                      {u"ControlName", ColumnType::Text},
                                      {u"PropertyName", ColumnType::Text},
                                      {u"ENGLISH_US", ColumnType::LongText}});
        for (int f = 0; f < 6; ++f)
            for (int r = 0; r < 40; ++r)
                w.AddRow(std::vector<Value>{f == 2 ? u"frmMain" : Utf16("frmForm" + std::to_string(f)),
                                            Utf16("ctl" + std::to_string(r)), std::u16string(u"Caption"),
                                            r == 7 ? std::u16string(3000, u'字')
                                                   : Utf16("caption " + std::to_string(r))});
        w.BeginTable(u"ResourceFiles",
                     {{u"ResourceName", ColumnType::Text}, {u"ENGLISH_US", ColumnType::LongBinary}});
        std::mt19937 random(7);
        for (const auto& [name, size] :
             {std::pair{u"Readme.txt", 20000}, {u"License.txt", 3000}, {u"Logo.png", 900}}) {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
            for (auto& b : bytes)
                b = static_cast<std::uint8_t>(random());
            w.AddRow(std::vector<Value>{std::u16string(name), bytes});
        }
        w.Commit();
    }
    return ReadAll(file);
}

QString ConnectionString(const fs::path& file) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security Info=False;Jet "
                          "OLEDB:Database Password=wxqv_5831")
        .arg(QString::fromStdString(file.string()));
}

// What a statement gave: its error, or a digest of its rows.
struct Outcome {
    bool error = false;
    QString text; // the error message, or the digest
    bool operator==(const Outcome&) const = default;
};

QString Digest(const ado::Recordset& result) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const auto& row : result.rows)
        for (const auto& value : row) {
            hash.addData(QByteArrayView("|", 1));
            if (const auto* s = std::get_if<QString>(&value))
                hash.addData(s->toUtf8());
            else if (const auto* b = std::get_if<QByteArray>(&value))
                hash.addData(*b);
            else if (const auto* i = std::get_if<std::int64_t>(&value))
                hash.addData(QByteArray::number(*i));
            else if (const auto* d = std::get_if<double>(&value))
                hash.addData(QByteArray::number(*d));
        }
    return QStringLiteral("%1 rows, %2")
        .arg(result.rows.size())
        .arg(QString::fromLatin1(hash.result().toHex().left(12)));
}

// One connection, as the program keeps one, and each statement on it in turn.
std::vector<Outcome> RunStatements(const fs::path& file) {
    ado::Connection connection;
    connection.ConnectionString = ConnectionString(file);
    std::vector<Outcome> outcomes;
    for (const QString& sql : Statements) {
        ado::Query q;
        q.SetConnection(&connection);
        q.SQL << sql;
        try {
            q.Open();
            outcomes.push_back({false, Digest(q.Result())});
        } catch (const ado::DatabaseError& e) {
            outcomes.push_back({true, e.Message()});
        } catch (const std::exception& e) {
            ADD_FAILURE() << sql.toStdString() << ": not a DatabaseError: " << e.what();
            outcomes.push_back({true, QString::fromLocal8Bit(e.what())});
        }
    }
    return outcomes;
}

std::uint16_t Get16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1])
                                                                             << 8);
}
std::uint32_t Get32(const std::string& b, std::size_t at) {
    return Get16(b, at) | static_cast<std::uint32_t>(Get16(b, at + 2)) << 16;
}

// A stretch of the file: [begin, end).
struct Span {
    std::size_t begin = 0, end = 0;
};

// Where a Jet 4 file keeps what libmdb reads.
struct Layout {
    std::size_t pages = 0;
    std::vector<std::size_t> definitions; // table definitions, page type 0x02
    std::vector<std::size_t> data;        // rows of tables, page type 0x01
    std::vector<std::size_t> longValues;  // type 0x01 pages marked "LVAL"
    std::vector<Span> usageMaps;          // the rows listing each table's pages

    // The row offset table of a data page, and each row's bytes.
    static Span Offsets(const std::string& file, std::size_t page) {
        const std::size_t base = page * PageSize;
        return {base + 12, base + 14 + 2 * std::min<std::size_t>(Get16(file, base + 12), 1000)};
    }
    static std::optional<Span> Row(const std::string& file, std::size_t page, std::size_t row) {
        const std::size_t base = page * PageSize;
        if (row >= Get16(file, base + 12) || 14 + 2 * row + 2 > PageSize) return std::nullopt;
        const std::size_t start = Get16(file, base + 14 + 2 * row) & 0x1FFF;
        const std::size_t end = row == 0 ? PageSize : Get16(file, base + 12 + 2 * row) & 0x1FFF;
        if (start >= end || end > PageSize) return std::nullopt;
        return Span{base + start, base + end};
    }
};

Layout Survey(const std::string& file) {
    Layout layout;
    layout.pages = file.size() / PageSize;
    for (std::size_t p = 1; p < layout.pages; ++p) {
        const std::size_t base = p * PageSize;
        if (file[base] == 0x02) layout.definitions.push_back(p);
        if (file[base] != 0x01) continue;
        (file.compare(base + 4, 4, "LVAL") == 0 ? layout.longValues : layout.data).push_back(p);
    }
    // Each definition points at its usage map and its free-space map as page << 8 | row.
    for (std::size_t p : layout.definitions)
        for (std::size_t at : {55, 59}) {
            const std::uint32_t pointer = Get32(file, p * PageSize + at);
            const std::size_t page = pointer >> 8;
            if (page == 0 || page >= layout.pages || file[page * PageSize] != 0x01) continue;
            if (auto row = Layout::Row(file, page, pointer & 0xFF)) layout.usageMaps.push_back(*row);
        }
    return layout;
}

// Damages bytes within a span the way real damage and fuzzers do: a random byte, a flipped bit,
// or a 16- or 32-bit field set to an extreme.
void Damage(std::string& file, Span span, std::mt19937& random) {
    if (span.end <= span.begin) return;
    auto at = [&](std::size_t width) {
        const std::size_t room = span.end - span.begin;
        return span.begin + (room > width ? random() % (room - width + 1) : 0);
    };
    auto put = [&](std::size_t offset, std::uint32_t value, std::size_t width) {
        for (std::size_t i = 0; i < width && offset + i < file.size(); ++i)
            file[offset + i] = static_cast<char>(value >> (8 * i));
    };
    static const std::uint32_t extremes[] = {0,      1,      0x7F,   0xFF,       0x1000,    0x1FFF,
                                             0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFF};
    switch (random() % 4) {
    case 0:
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
            put(at(1), random(), 1);
        break;
    case 1:
        file[at(1)] ^= static_cast<char>(1 << random() % 8);
        break;
    case 2:
        put(at(2), extremes[random() % std::size(extremes)], 2);
        break;
    default:
        put(at(4), extremes[random() % std::size(extremes)], 4);
        break;
    }
}

struct Copy {
    std::string kind;
    std::string bytes;
};

// Damaged copies of one file, the same ones on every run.
std::vector<Copy> DamagedCopies(const std::string& original, unsigned seed) {
    std::mt19937 random(seed);
    const Layout layout = Survey(original);
    std::vector<Copy> copies;

    std::vector<std::size_t> lengths{0, 1, 100, 4095, 4096, 4097, 3 * PageSize - 1, original.size() - 1};
    for (std::size_t p = 3; p < layout.pages; ++p)
        lengths.push_back(p * PageSize);
    for (int i = 0; i < 8; ++i) // mid-page
        lengths.push_back(random() % original.size());
    for (std::size_t length : lengths)
        copies.push_back({"truncated", original.substr(0, length)});

    auto pick = [&](const std::vector<std::size_t>& pages) { return pages[random() % pages.size()]; };
    auto page = [](std::size_t p) { return Span{p * PageSize, (p + 1) * PageSize}; };
    auto anyRow = [&](std::size_t p) {
        const std::size_t rows = std::max<std::size_t>(Get16(original, p * PageSize + 12), 1);
        return Layout::Row(original, p, random() % rows).value_or(page(p));
    };
    const struct {
        const char* kind;
        int copies;
        bool present;
        std::function<Span()> where;
    } kinds[] = {
        // The fields Jet reads lie in the first few hundred bytes of the header.
        {"header page", 30, true,
         [&] {
             return random() % 4 ? Span{0, 0x200} : page(0);
         }},
        {"table definition", 60, !layout.definitions.empty(), [&] { return page(pick(layout.definitions)); }},
        {"data page row offsets", 40, !layout.data.empty(),
         [&] { return Layout::Offsets(original, pick(layout.data)); }},
        {"data page rows", 40, !layout.data.empty(), [&] { return anyRow(pick(layout.data)); }},
        {"long-value page", 40, !layout.longValues.empty(),
         [&] {
             const std::size_t p = pick(layout.longValues);
             return random() % 2 ? Layout::Offsets(original, p) : anyRow(p);
         }},
        {"usage map", 30, !layout.usageMaps.empty(),
         [&] { return layout.usageMaps[random() % layout.usageMaps.size()]; }},
    };
    for (const auto& k : kinds) {
        EXPECT_TRUE(k.present) << "no " << k.kind << " to damage";
        for (int i = 0; k.present && i < k.copies; ++i) {
            std::string bytes = original;
            for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n)
                Damage(bytes, k.where(), random);
            copies.push_back({k.kind, std::move(bytes)});
        }
    }
    return copies;
}

// libmdb alone, in-process, as the provider uses it: catalog, then each table's definition,
// columns and rows.
int ReadWithLibmdb(const char* path) {
    MdbHandle* mdb = mdb_open(path, MDB_NOFLAGS);
    if (!mdb) return 2;
    GPtrArray* catalog = mdb_read_catalog(mdb, MDB_TABLE);
    if (!catalog) return 3;
    for (guint i = 0; i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (entry->object_type != MDB_TABLE) continue;
        MdbTableDef* table = mdb_read_table(entry);
        if (!table) continue;
        if (mdb_read_columns(table)) {
            mdb_rewind_table(table);
            while (mdb_fetch_row(table)) {
            }
        }
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    return 0;
}

// How a forked child reading the file with libmdb ended: the signal that killed it, or 0.
int SignalReadingWithLibmdb(const fs::path& file) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::alarm(20);
        ::_exit(ReadWithLibmdb(file.c_str()));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

void Put32(std::string& b, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>(value >> (8 * i));
}

// The first row of a data page that `match` accepts.
std::optional<Span> FindRow(const std::string& file, const std::function<bool(Span)>& match) {
    const Layout layout = Survey(file);
    for (std::size_t p : layout.data)
        for (std::size_t r = 0; r < Get16(file, p * PageSize + 12); ++r)
            if (auto row = Layout::Row(file, p, r); row && match(*row)) return row;
    return std::nullopt;
}

// Where a Jet 4 row of at most 8 columns keeps the start of its variable-length column i.
std::size_t VariableOffsetField(Span row, std::size_t i) {
    return row.end - 5 - 2 * i;
}

// Damage that libmdb reads past without trouble, in values the provider decodes itself.
std::string ContradictoryFieldOffsets(std::string file) {
    // The row of message 207: three columns, StringID first.
    const auto row =
        FindRow(file, [&](Span r) { return Get16(file, r.begin) == 3 && Get32(file, r.begin + 2) == 207; });
    if (!row) return {};
    // ENGLISH_US now ends before it starts, and its header claims 1 GiB stored in the row.
    Put32(file, row->begin + Get16(file, VariableOffsetField(*row, 0)), 0x80000000 | 0x3FFFFFFF);
    file[VariableOffsetField(*row, 1)] = file[VariableOffsetField(*row, 1) + 1] = 0;
    return file;
}

std::string LoopingLongValue(std::string file) {
    const auto row = FindRow(file, [&](Span r) {
        return std::string_view(file).substr(r.begin, r.end - r.begin).find("Readme.txt") !=
               std::string_view::npos;
    });
    if (!row) return {};
    // The resource now claims 1 GiB, and the last link of its chain leads back to the first.
    const std::size_t field = row->begin + Get16(file, VariableOffsetField(*row, 1));
    Put32(file, field, 0x3FFFFFFF);
    const std::uint32_t first = Get32(file, field + 4);
    std::optional<Span> link;
    for (std::uint32_t pointer = first; pointer != 0; pointer = Get32(file, link->begin)) {
        link = Layout::Row(file, pointer >> 8, pointer & 0xFF);
        if (!link) return {};
    }
    Put32(file, link->begin, first);
    return file;
}

// libmdb reports what it finds wrong on stderr, hundreds of lines over all the copies.
class QuietStderr {
public:
    QuietStderr() : saved_(::dup(2)) {
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::close(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};

struct Tally {
    int copies = 0, errors = 0, sameResults = 0, otherResults = 0;
};

void ExpectEveryCopyEndsInAnErrorOrAResult(const std::string& name, const std::string& original,
                                           unsigned seed) {
    TempDir dir;
    const fs::path sound = dir / "sound.mdb";
    WriteInPlace(sound, original);
    const auto expected = RunStatements(sound);
    for (const auto& e : expected)
        ASSERT_FALSE(e.error) << name << ": the undamaged file fails: " << e.text.toStdString();

    std::map<std::string, Tally> tallies;
    Tally total;
    int n = 0;
    const QuietStderr quiet;
    for (const auto& copy : DamagedCopies(original, seed)) {
        // A new name each time: every copy is a file version the provider has not seen.
        const fs::path file = dir / ("copy-" + std::to_string(n++) + ".mdb");
        WriteInPlace(file, copy.bytes);
        SCOPED_TRACE(name + ", " + copy.kind + ", " + file.filename().string());
        const auto outcomes = RunStatements(file);
        fs::remove(file);
        for (Tally* t : {&tallies[copy.kind], &total}) {
            ++t->copies;
            for (std::size_t i = 0; i < outcomes.size(); ++i)
                ++(outcomes[i].error            ? t->errors
                   : outcomes[i] == expected[i] ? t->sameResults
                                                : t->otherResults);
        }
    }
    std::printf("%s: %d damaged copies, %zu statements each\n", name.c_str(), total.copies,
                std::size(Statements));
    std::printf("  %-24s %7s %8s %13s %14s\n", "damage", "copies", "errors", "same results", "other results");
    for (const auto& [kind, t] : tallies)
        std::printf("  %-24s %7d %8d %13d %14d\n", kind.c_str(), t.copies, t.errors, t.sameResults,
                    t.otherResults);
    ::testing::Test::RecordProperty(name + "_copies", total.copies);
    ::testing::Test::RecordProperty(name + "_errors", total.errors);
    ::testing::Test::RecordProperty(name + "_results", total.sameResults + total.otherResults);
    // Both outcomes occur, or the damage missed what the statements read.
    EXPECT_GT(total.errors, 0);
    EXPECT_GT(total.sameResults + total.otherResults, 0);
    // A file cut short is an error, never a smaller answer.
    EXPECT_EQ(tallies["truncated"].otherResults, 0);
}

} // namespace

TEST(DamagedFile, EveryStatementEndsInAnErrorOrAResult) {
    TempDir dir;
    ExpectEveryCopyEndsInAnErrorOrAResult("writer database", LanguageDatabase(dir / "languages.mdb"),
                                          20240611);
    const fs::path shared = testsupport::SharedFixtures();
    if (shared.empty())
        std::printf("the shared fixtures (../shared/fixtures) are missing: sample.mdb not damaged\n");
    else
        ExpectEveryCopyEndsInAnErrorOrAResult("sample.mdb", ReadAll(shared / "sample.mdb"), 4711);
}

TEST(DamagedFile, FileThatCrashesLibmdbIsRefused) {
    // Made by damaging a small database until libmdb crashed on it: the usage map of Languages
    // has become an empty row, which libmdb 1.0.0 dereferences as a null pointer.
    const fs::path file = fs::path(ORVANE_JET_TEST_DATA) / "crashes-libmdb.mdb";
    ASSERT_TRUE(fs::exists(file));
    const int signal = SignalReadingWithLibmdb(file);
    ASSERT_TRUE(signal != 0 && signal != SIGALRM)
        << "libmdb no longer crashes on " << file << "; the file proves nothing now and needs replacing";
    for (const auto& outcome : RunStatements(file))
        EXPECT_TRUE(outcome.error) << outcome.text.toStdString();
}

TEST(DamagedFile, DamageOnlyTheProviderReadsEndsInAnError) {
    TempDir dir;
    const std::string original = LanguageDatabase(dir / "languages.mdb");
    const struct {
        const char* damage;
        std::string (*make)(std::string);
        const QString& statement;
    } cases[] = {
        {"field offsets that contradict each other", ContradictoryFieldOffsets, Statements[1]},
        {"a long value longer than the file, over a chain that loops", LoopingLongValue, Statements[3]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        const std::string damaged = c.make(original);
        ASSERT_FALSE(damaged.empty()) << "the part to damage was not found";
        const fs::path file = dir / "damaged.mdb";
        WriteInPlace(file, damaged);
        ASSERT_EQ(SignalReadingWithLibmdb(file), 0); // the check in a child process passes
        ado::Connection connection;
        connection.ConnectionString = ConnectionString(file);
        ado::Query q;
        q.SetConnection(&connection);
        q.SQL << c.statement;
        EXPECT_THROW(q.Open(), ado::DatabaseError);
    }
}

TEST(ChangingFile, EveryStatementReadsTheFileAsItIsThen) {
    TempDir dir;
    const fs::path file = dir / "languages.mdb";
    const std::string first = LanguageDatabase(dir / "first.mdb", u"first version");
    const std::string second = LanguageDatabase(dir / "second.mdb", u"other version");
    LanguageDatabase(dir / "third.mdb", u"third version");
    ASSERT_EQ(first.size(), second.size());
    const std::string crashing = ReadAll(fs::path(ORVANE_JET_TEST_DATA) / "crashes-libmdb.mdb");
    ASSERT_FALSE(crashing.empty());

    ado::Connection connection;
    connection.ConnectionString = ConnectionString(file);
    auto message = [&] {
        ado::Query q;
        q.SetConnection(&connection);
        q.SQL << Statements[1];
        q.Open();
        return q.FieldByName(QStringLiteral("ENGLISH_US")).AsString().toStdString();
    };
    const struct {
        const char* change;
        std::function<void()> make;
        const char* reads; // nullptr: a DatabaseError
    } steps[] = {
        {"written", [&] { WriteInPlace(file, first); }, "first version"},
        {"rewritten in place, same size, old modification time put back",
         [&] {
             struct stat before {};
             ::stat(file.c_str(), &before);
             WriteInPlace(file, second);
             const timespec times[] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, file.c_str(), times, 0);
         },
         "other version"},
        {"replaced by rename", [&] { fs::rename(dir / "third.mdb", file); }, "third version"},
        {"deleted", [&] { fs::remove(file); }, nullptr},
        {"still deleted", [] {}, nullptr},
        {"created again", [&] { WriteInPlace(file, first); }, "first version"},
        {"rewritten in place with bytes that crash libmdb", [&] { WriteInPlace(file, crashing); }, nullptr},
        {"rewritten in place again", [&] { WriteInPlace(file, second); }, "other version"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.change);
        step.make();
        if (step.reads) {
            EXPECT_EQ(message(), step.reads);
        } else {
            EXPECT_THROW(message(), ado::DatabaseError);
        }
    }
}
