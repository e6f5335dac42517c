#include "platform/jet/JetProvider.h"

#include "platform/ado/DatabaseError.h"
#include "platform/jet/FileHeader.h"

// The libmdb 1.0 header needs these first when compiled as C++.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <unordered_map>

extern char** environ;

namespace jet {
namespace {

using ado::DatabaseError;
using ado::FieldValue;

// Set in the environment of the child process that checks a file; see CheckFileAndExit.
constexpr char CheckVariable[] = "ORVANE_JET_CHECK_FILE";

// Column types as Jet numbers them.
enum : int {
    TypeBool = 0x01,
    TypeByte = 0x02,
    TypeInt = 0x03,
    TypeLong = 0x04,
    TypeMoney = 0x05,
    TypeFloat = 0x06,
    TypeDouble = 0x07,
    TypeDateTime = 0x08,
    TypeBinary = 0x09,
    TypeText = 0x0A,
    TypeOle = 0x0B,
    TypeMemo = 0x0C,
    TypeGuid = 0x0F,
    TypeNumeric = 0x10,
};

constexpr std::size_t LongValueFieldSize = 12;

QString Path(const std::string& path) { return QString::fromStdString(path); }

// What identifies one version of a file: a replaced file has another inode, a rewritten one
// another size or time.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> Identify(const std::string& path, int* error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        *error = errno;
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = EISDIR;
        return std::nullopt;
    }
    return FileIdentity{st.st_dev, st.st_ino, st.st_size,
                        st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
                        st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec};
}

// libmdb reads each page with three system calls (a seek to the end for the file's size, a seek and
// a read). Where system calls are slow, as on virtual machines, they cost more than all else a
// lookup does, so its handles read through this stream instead: the file in chunks of one call
// each, the most recently used of them kept.
class PageCache {
public:
    PageCache(int fd, off_t size) : fd_(fd), size_(size) {}
    ~PageCache() { ::close(fd_); }
    PageCache(const PageCache&) = delete;
    PageCache& operator=(const PageCache&) = delete;

    // Past the size the file had when it was opened there is nothing, as libmdb itself sees it.
    ssize_t Read(char* buffer, std::size_t size) {
        std::size_t done = 0;
        while (done < size && position_ < size_) {
            const off_t index = position_ / ChunkSize;
            const Chunk* chunk = Load(index);
            if (!chunk) return done > 0 ? static_cast<ssize_t>(done) : -1;
            const auto offset = static_cast<std::size_t>(position_ - index * ChunkSize);
            if (offset >= chunk->size) break; // the file has become shorter
            const std::size_t n = std::min(size - done, chunk->size - offset);
            std::memcpy(buffer + done, chunk->bytes.get() + offset, n);
            done += n;
            position_ += static_cast<off_t>(n);
        }
        return static_cast<ssize_t>(done);
    }

    // The page of pageSize bytes at index, straight from the chunk holding it; null when the file
    // does not hold the whole page or cannot be read. Valid until the next read.
    const char* Page(std::uint32_t index, std::size_t pageSize) {
        const off_t start = static_cast<off_t>(index) * static_cast<off_t>(pageSize);
        if (start + static_cast<off_t>(pageSize) > size_) return nullptr;
        const off_t chunkIndex = start / ChunkSize;
        const Chunk* chunk = Load(chunkIndex);
        const auto offset = static_cast<std::size_t>(start - chunkIndex * ChunkSize);
        if (!chunk || offset + pageSize > chunk->size) return nullptr;
        return chunk->bytes.get() + offset;
    }

    int Seek(off64_t* offset, int whence) {
        const off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? position_ : size_;
        if (*offset < -base) {
            errno = EINVAL;
            return -1;
        }
        position_ = base + *offset;
        *offset = position_;
        return 0;
    }

private:
    static constexpr off_t ChunkSize = 64 << 10;
    static constexpr std::size_t KeptChunks = 128; // 8 MiB

    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::uint64_t used = 0;
    };

    const Chunk* Load(off_t index) {
        if (auto it = chunks_.find(index); it != chunks_.end()) {
            it->second.used = ++uses_;
            return &it->second;
        }
        std::unique_ptr<char[]> bytes;
        if (chunks_.size() < KeptChunks) {
            bytes.reset(new char[ChunkSize]);
        } else {
            // The least recently used chunk makes room, and lends its buffer.
            const auto oldest =
                std::min_element(chunks_.begin(), chunks_.end(),
                                 [](const auto& a, const auto& b) { return a.second.used < b.second.used; });
            bytes = std::move(oldest->second.bytes);
            chunks_.erase(oldest);
        }
        const auto wanted = static_cast<std::size_t>(std::min(ChunkSize, size_ - index * ChunkSize));
        std::size_t got = 0;
        while (got < wanted) {
            const ssize_t n =
                ::pread(fd_, bytes.get() + got, wanted - got, index * ChunkSize + static_cast<off_t>(got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return nullptr;
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        Chunk& chunk = chunks_[index];
        chunk.bytes = std::move(bytes);
        chunk.size = got;
        chunk.used = ++uses_;
        return &chunk;
    }

    int fd_;
    off_t size_;
    off_t position_ = 0;
    std::uint64_t uses_ = 0;
    std::unordered_map<off_t, Chunk> chunks_;
};

// Gives an open handle a stream that reads through a PageCache, which the caller keeps until the
// handle is closed; keeps libmdb's own stream (and returns null) when that cannot be set up.
std::unique_ptr<PageCache> ReadThroughPageCache(MdbHandle* mdb, off_t size) {
    const int fd = ::fcntl(fileno(mdb->f->stream), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    auto cache = std::make_unique<PageCache>(fd, size);
    cookie_io_functions_t io{};
    io.read = [](void* c, char* buffer, size_t n) { return static_cast<PageCache*>(c)->Read(buffer, n); };
    io.seek = [](void* c, off64_t* offset, int whence) {
        return static_cast<PageCache*>(c)->Seek(offset, whence);
    };
    io.close = [](void*) { return 0; };
    FILE* stream = ::fopencookie(cache.get(), "r", io);
    if (!stream) return nullptr;
    std::fclose(mdb->f->stream);
    mdb->f->stream = stream;
    return cache;
}

// Reads what libmdb reads of a file: catalog, table definitions, usage maps and every row. Runs in
// a child process; libmdb does the same again in-process only once this has passed.
int CheckWithLibmdb(const char* path) {
    MdbHandle* mdb = mdb_open(path, MDB_NOFLAGS);
    if (!mdb) return 2;
    struct stat st {};
    std::unique_ptr<PageCache> cache;
    if (::fstat(fileno(mdb->f->stream), &st) == 0) cache = ReadThroughPageCache(mdb, st.st_size);
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

// The check runs in a fresh process started from this very executable, before anything else of
// the program runs: a forked copy of a running GUI program could deadlock on a lock some other
// thread held at the fork.
__attribute__((constructor)) void CheckFileAndExit() {
    const char* path = std::getenv(CheckVariable);
    if (!path) return;
    _exit(CheckWithLibmdb(path));
}

enum class CheckResult { Sound, Damaged };

CheckResult CheckInChildProcess(const std::string& path, off_t size) {
    std::vector<std::string> variables;
    for (char** e = environ; *e; ++e) {
        const std::string_view v(*e);
        if (v.starts_with(CheckVariable) || v.starts_with("MDBOPTS=")) continue;
        variables.emplace_back(v);
    }
    variables.push_back(std::string(CheckVariable) + "=" + path);
    std::vector<char*> envp;
    for (auto& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    // The program's own file by name: under a tool that runs programs in itself (valgrind),
    // /proc/self/exe would start the tool, while reading the link gives the program.
    std::string exe = "/proc/self/exe";
    char target[4096];
    const ssize_t length = ::readlink(exe.c_str(), target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
        const std::string named(target, static_cast<std::size_t>(length));
        if (::access(named.c_str(), X_OK) == 0) exe = named;
    }
    char* argv[] = {exe.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // libmdb reports damage on stderr; the program reports it its own way.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw DatabaseError(QStringLiteral("cannot check %1: %2").arg(Path(path), QString::fromLocal8Bit(std::strerror(spawned))));

    // A sound file is read at tens of megabytes a second; one that takes far longer makes libmdb
    // loop.
    const auto limit = std::chrono::seconds(10 + size / (8 << 20));
    const auto start = std::chrono::steady_clock::now();
    auto pause = std::chrono::microseconds(200);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? CheckResult::Sound : CheckResult::Damaged;
        if (done < 0 && errno != EINTR) return CheckResult::Damaged;
        if (std::chrono::steady_clock::now() - start > limit) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return CheckResult::Damaged;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(5000));
    }
}

// Where the versions of files found sound are remembered between runs, so that a program started
// again on the same database does not pay for the check once more. A version is its device, inode,
// size and times; any change to the file changes its change time, which no one can set back.
std::string CacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string dir = cache && *cache == '/' ? std::string(cache) : std::string();
    if (dir.empty()) {
        const char* home = std::getenv("HOME");
        if (!home || *home != '/') return {};
        dir = std::string(home) + "/.cache";
    }
    return dir + "/orvane";
}

std::string SoundFilesList() {
    const std::string folder = CacheFolder();
    return folder.empty() ? folder : folder + "/sound-databases";
}

std::string VersionLine(const std::string& path, const FileIdentity& id) {
    return std::to_string(id.device) + ' ' + std::to_string(id.inode) + ' ' + std::to_string(id.size) + ' ' +
           std::to_string(id.modified) + ' ' + std::to_string(id.changed) + ' ' + path;
}

bool RememberedSound(const std::string& line) {
    const std::string list = SoundFilesList();
    if (list.empty()) return false;
    std::ifstream in(list);
    for (std::string l; std::getline(in, l);)
        if (l == line) return true;
    return false;
}

void RememberSound(const std::string& line) {
    const std::string list = SoundFilesList();
    if (list.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(list).parent_path(), ec);
    std::vector<std::string> lines;
    {
        std::ifstream in(list);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
    }
    // The newest few hundred versions are plenty; older ones are checked again if they come back.
    constexpr std::size_t Kept = 200;
    if (lines.size() >= Kept) lines.erase(lines.begin(), lines.end() - (Kept - 1));
    lines.push_back(line);
    const std::string temp = list + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const auto& l : lines) out << l << '\n';
        if (!out) {
            std::filesystem::remove(temp, ec);
            return;
        }
    }
    std::filesystem::rename(temp, list, ec);
    if (ec) std::filesystem::remove(temp, ec);
}

// Each version of each file is checked once: per process, and across runs once found sound.
CheckResult CheckOnce(const std::string& path, const FileIdentity& identity) {
    static std::map<std::string, CheckResult> known;
    const std::string line = VersionLine(path, identity);
    if (auto it = known.find(line); it != known.end()) return it->second;
    const bool remembered = RememberedSound(line);
    const CheckResult result = remembered ? CheckResult::Sound : CheckInChildProcess(path, identity.size);
    if (result == CheckResult::Sound && !remembered) RememberSound(line);
    known.emplace(line, result);
    return result;
}

QString DecodeCp1252(const char* data, std::size_t size) {
    static QStringDecoder decoder("windows-1252");
    if (decoder.isValid()) return decoder.decode(QByteArrayView(data, static_cast<qsizetype>(size)));
    return QString::fromLatin1(data, static_cast<qsizetype>(size));
}

// Jet 4 text: plain UTF-16LE, or "compressed" when it starts with FF FE: runs of one-byte characters
// (high byte zero) and of two-byte ones, each switch marked by a zero byte.
QString DecodeText(const char* data, std::size_t size, bool jet3) {
    if (jet3) return DecodeCp1252(data, size);
    const auto* b = reinterpret_cast<const unsigned char*>(data);
    QString out;
    if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        out.reserve(static_cast<qsizetype>(size));
        bool oneByte = true;
        for (std::size_t i = 2; i < size;) {
            if (b[i] == 0) {
                oneByte = !oneByte;
                ++i;
            } else if (oneByte) {
                out.append(QChar(b[i++]));
            } else if (i + 1 < size) {
                out.append(QChar(static_cast<char16_t>(b[i] | b[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
        return out;
    }
    out.resize(static_cast<qsizetype>(size / 2));
    for (std::size_t i = 0; i + 1 < size; i += 2)
        out[static_cast<qsizetype>(i / 2)] = QChar(static_cast<char16_t>(b[i] | b[i + 1] << 8));
    return out;
}

template <typename T> T Load(const void* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

QString GuidText(const unsigned char* g) {
    return QStringLiteral("{%1-%2-%3-%4-%5}")
        .arg(Load<std::uint32_t>(g), 8, 16, QChar('0'))
        .arg(Load<std::uint16_t>(g + 4), 4, 16, QChar('0'))
        .arg(Load<std::uint16_t>(g + 6), 4, 16, QChar('0'))
        .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(g + 8), 2).toHex()))
        .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(g + 10), 6).toHex()))
        .toUpper();
}

struct Column {
    QString name;
    int type = 0;
    int size = 0; // Text: characters; Binary: bytes
    std::size_t index = 0; // into the table's libmdb columns and cracked fields
};

bool IsTextType(int type) { return type == TypeText || type == TypeMemo; }
bool IsIntegerType(int type) { return type == TypeByte || type == TypeInt || type == TypeLong || type == TypeBool; }
bool IsNumberType(int type) {
    return IsIntegerType(type) || type == TypeMoney || type == TypeFloat || type == TypeDouble ||
           type == TypeDateTime || type == TypeNumeric;
}

// A row of a table: the data page and the row's number on it.
struct RowPlace {
    std::uint32_t page;
    std::uint16_t row;
};

struct Table {
    MdbTableDef* def = nullptr;
    QString name;
    std::vector<Column> columns;
    std::vector<RowPlace> rows; // in table order
    // Per column, where each value lies: text by its case-folded form, numbers by value.
    std::unordered_map<std::size_t, std::unordered_map<QString, std::vector<std::uint32_t>>> textIndexes;
    std::unordered_map<std::size_t, std::unordered_map<std::int64_t, std::vector<std::uint32_t>>> numberIndexes;
    std::unordered_map<std::size_t, std::unordered_map<double, std::vector<std::uint32_t>>> floatIndexes;

    ~Table() {
        if (def) mdb_free_tabledef(def);
    }

    const Column* Find(const QString& column) const {
        for (const auto& c : columns)
            if (c.name.compare(column, Qt::CaseInsensitive) == 0) return &c;
        return nullptr;
    }
};

// The row places and column indexes of large tables are remembered per file version beside the list
// of sound versions, so that a program started again on a large database reads what its first
// statement needs instead of the whole table. What was remembered counts only when the format, the
// Qt version (which folds the text keys), the file version and the table all match and its
// checksum holds; otherwise the table is read anew. Small tables are read anew anyway, as quickly.
constexpr std::size_t RememberedRows = 4096;
// To be changed whenever the rows a scan finds or the keys an index holds would change.
constexpr char TableMemoryMagic[8] = {'O', 'R', 'V', 'T', 'A', 'B', '1', '\n'};

// FNV-1a, eight bytes a step: a checksum against damage, not against intent.
std::uint64_t Fnv1a(const char* data, std::size_t size) {
    std::uint64_t hash = 14695981039346656037ULL;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, sizeof word);
        hash = (hash ^ word) * 1099511628211ULL;
    }
    for (; i < size; ++i)
        hash = (hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ULL;
    return hash;
}

std::string TableMemoryFile(const std::string& version, const QString& table) {
    const std::string folder = CacheFolder();
    if (folder.empty()) return {};
    const std::string key = version + '\n' + table.toCaseFolded().toStdString();
    char name[32];
    std::snprintf(name, sizeof name, "%016llx",
                  static_cast<unsigned long long>(Fnv1a(key.data(), key.size())));
    return folder + "/tables/" + name;
}

class Packer {
public:
    template <typename T> void Put(T value) {
        out_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void PutText(const std::string& text) {
        Put(static_cast<std::uint32_t>(text.size()));
        out_ += text;
    }
    void PutKey(const QString& key) {
        Put(static_cast<std::uint32_t>(key.size()));
        out_.append(reinterpret_cast<const char*>(key.utf16()), static_cast<std::size_t>(key.size()) * 2);
    }
    void PutOrdinals(const std::vector<std::uint32_t>& ordinals) {
        Put(static_cast<std::uint32_t>(ordinals.size()));
        out_.append(reinterpret_cast<const char*>(ordinals.data()), ordinals.size() * sizeof(std::uint32_t));
    }
    const std::string& Bytes() const { return out_; }

private:
    std::string out_;
};

// Reads what a Packer wrote; any read past the end fails the whole.
class Unpacker {
public:
    Unpacker(const char* data, std::size_t size) : p_(data), end_(data + size) {}
    bool Ok() const { return ok_; }
    bool AtEnd() const { return p_ == end_; }

    template <typename T> T Get() {
        T value{};
        if (Take(sizeof value)) std::memcpy(&value, p_ - sizeof value, sizeof value);
        return value;
    }
    std::string GetText() {
        const auto size = Get<std::uint32_t>();
        return Take(size) ? std::string(p_ - size, size) : std::string();
    }
    QString GetKey() {
        const auto size = static_cast<std::size_t>(Get<std::uint32_t>()) * 2;
        if (!Take(size)) return {};
        QString key(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
        std::memcpy(key.data(), p_ - size, size);
        return key;
    }
    // Row ordinals, each below rows.
    std::vector<std::uint32_t> GetOrdinals(std::size_t rows) {
        const auto count = static_cast<std::size_t>(Get<std::uint32_t>());
        std::vector<std::uint32_t> ordinals;
        if (count > Left() / sizeof(std::uint32_t) || !Take(count * sizeof(std::uint32_t))) {
            ok_ = false;
            return ordinals;
        }
        ordinals.resize(count);
        std::memcpy(ordinals.data(), p_ - count * sizeof(std::uint32_t), count * sizeof(std::uint32_t));
        for (std::uint32_t o : ordinals)
            if (o >= rows) ok_ = false;
        return ordinals;
    }
    std::size_t Left() const { return static_cast<std::size_t>(end_ - p_); }

private:
    bool Take(std::size_t size) {
        if (!ok_ || size > Left()) return ok_ = false;
        p_ += size;
        return true;
    }

    const char* p_;
    const char* end_;
    bool ok_ = true;
};

void PruneTableMemory(const std::filesystem::path& folder) {
    constexpr std::size_t Kept = 64;
    std::error_code ec;
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        files.emplace_back(entry.last_write_time(ec), entry.path());
    if (files.size() <= Kept) return;
    std::sort(files.begin(), files.end());
    for (std::size_t i = 0; i + Kept < files.size(); ++i)
        std::filesystem::remove(files[i].second, ec);
}

void WriteTableMemory(const std::string& version, const Table& table) {
    const std::string file = TableMemoryFile(version, table.name);
    if (file.empty()) return;
    Packer body;
    body.PutText(qVersion());
    body.PutText(version);
    body.PutText(table.name.toStdString());
    body.Put(static_cast<std::uint32_t>(table.columns.size()));
    body.Put(static_cast<std::uint32_t>(table.rows.size()));
    for (const RowPlace& place : table.rows) {
        body.Put(place.page);
        body.Put(place.row);
    }
    body.Put(static_cast<std::uint32_t>(table.textIndexes.size()));
    for (const auto& [column, index] : table.textIndexes) {
        body.Put(static_cast<std::uint32_t>(column));
        body.Put(static_cast<std::uint32_t>(index.size()));
        for (const auto& [key, ordinals] : index) {
            body.PutKey(key);
            body.PutOrdinals(ordinals);
        }
    }
    body.Put(static_cast<std::uint32_t>(table.numberIndexes.size()));
    for (const auto& [column, index] : table.numberIndexes) {
        body.Put(static_cast<std::uint32_t>(column));
        body.Put(static_cast<std::uint32_t>(index.size()));
        for (const auto& [key, ordinals] : index) {
            body.Put(key);
            body.PutOrdinals(ordinals);
        }
    }
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string temp = file + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        const std::uint64_t checksum = Fnv1a(body.Bytes().data(), body.Bytes().size());
        out.write(TableMemoryMagic, sizeof TableMemoryMagic);
        out.write(reinterpret_cast<const char*>(&checksum), sizeof checksum);
        out.write(body.Bytes().data(), static_cast<std::streamsize>(body.Bytes().size()));
        if (!out) {
            std::filesystem::remove(temp, ec);
            return;
        }
    }
    std::filesystem::rename(temp, file, ec);
    if (ec) std::filesystem::remove(temp, ec);
    PruneTableMemory(folder);
}

bool ReadTableMemory(const std::string& version, Table& table, std::size_t pages) {
    const std::string file = TableMemoryFile(version, table.name);
    const int fd = file.empty() ? -1 : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // Row places and keys take less room than the rows themselves: more is no memory of this file.
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
                       static_cast<std::size_t>(st.st_size) <= 2 * pages * PageSize + (1 << 20);
    const auto size = static_cast<std::size_t>(sized ? st.st_size : 0);
    // The buffer is mapped in whole at once: where page faults are slow, taking it in page by page
    // costs more than reading it.
    void* map = sized ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                               MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0)
                      : MAP_FAILED;
    std::size_t got = 0;
    while (map != MAP_FAILED && got < size) {
        const ssize_t n = ::read(fd, static_cast<char*>(map) + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (map == MAP_FAILED) return false;
    struct Unmap {
        void* p;
        std::size_t n;
        ~Unmap() { ::munmap(p, n); }
    } unmap{map, size};
    if (got != size) return false;
    const std::string_view bytes(static_cast<const char*>(map), size);
    constexpr std::size_t head = sizeof TableMemoryMagic + sizeof(std::uint64_t);
    if (bytes.size() < head ||
        bytes.compare(0, sizeof TableMemoryMagic,
                      std::string_view(TableMemoryMagic, sizeof TableMemoryMagic)) != 0)
        return false;
    std::uint64_t checksum = 0;
    std::memcpy(&checksum, bytes.data() + sizeof TableMemoryMagic, sizeof checksum);
    if (checksum != Fnv1a(bytes.data() + head, bytes.size() - head)) return false;

    Unpacker body(bytes.data() + head, bytes.size() - head);
    if (body.GetText() != qVersion() || body.GetText() != version ||
        body.GetText() != table.name.toStdString() || body.Get<std::uint32_t>() != table.columns.size())
        return false;
    const auto rowCount = static_cast<std::size_t>(body.Get<std::uint32_t>());
    if (rowCount > body.Left() / (sizeof(std::uint32_t) + sizeof(std::uint16_t))) return false;
    std::vector<RowPlace> rows(rowCount);
    for (RowPlace& place : rows) {
        place.page = body.Get<std::uint32_t>();
        place.row = body.Get<std::uint16_t>();
        if (place.page >= pages) return false;
    }
    decltype(table.textIndexes) texts;
    for (auto n = body.Get<std::uint32_t>(); body.Ok() && n > 0; --n) {
        const auto column = static_cast<std::size_t>(body.Get<std::uint32_t>());
        if (column >= table.columns.size() || !IsTextType(table.columns[column].type)) return false;
        auto& index = texts[column];
        for (auto keys = body.Get<std::uint32_t>(); body.Ok() && keys > 0; --keys) {
            QString key = body.GetKey();
            index[std::move(key)] = body.GetOrdinals(rowCount);
        }
    }
    decltype(table.numberIndexes) numbers;
    for (auto n = body.Get<std::uint32_t>(); body.Ok() && n > 0; --n) {
        const auto column = static_cast<std::size_t>(body.Get<std::uint32_t>());
        if (column >= table.columns.size() || !IsIntegerType(table.columns[column].type)) return false;
        auto& index = numbers[column];
        for (auto keys = body.Get<std::uint32_t>(); body.Ok() && keys > 0; --keys) {
            const auto key = body.Get<std::int64_t>();
            index[key] = body.GetOrdinals(rowCount);
        }
    }
    if (!body.Ok() || !body.AtEnd()) return false;
    table.rows = std::move(rows);
    table.textIndexes = std::move(texts);
    table.numberIndexes = std::move(numbers);
    return true;
}

// What is remembered is a help, never a cause of failure: whatever goes wrong, the table is read.
void RememberTable(const std::string& version, const Table& table) {
    if (table.rows.size() < RememberedRows) return;
    try {
        WriteTableMemory(version, table);
    } catch (...) {
    }
}

// Fills the table's rows and indexes from what was remembered for this version; false, with the
// table untouched, when there is nothing sound to use. pages: how many pages the file has.
bool RecallTable(const std::string& version, Table& table, std::size_t pages) {
    try {
        return ReadTableMemory(version, table, pages);
    } catch (...) {
        return false;
    }
}

// One version of an open file.
class OpenFile {
public:
    OpenFile(const std::string& path, FileIdentity identity, bool jet3)
        : path_(path), identity_(identity), jet3_(jet3) {
        mdb_ = mdb_open(path.c_str(), MDB_NOFLAGS);
        if (!mdb_) throw DatabaseError(QStringLiteral("cannot open %1 as an Access database").arg(Path(path)));
        // The file checked must be the file opened: it may have been replaced in between.
        struct stat st {};
        if (::fstat(fileno(mdb_->f->stream), &st) != 0 || st.st_ino != identity.inode || st.st_dev != identity.device ||
            st.st_size != identity.size ||
            st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec != identity.modified) {
            mdb_close(mdb_);
            throw DatabaseError(QStringLiteral("%1 changed while it was being opened").arg(Path(path)));
        }
        pageCache_ = ReadThroughPageCache(mdb_, identity.size);
        mdb_set_bind_size(mdb_, 1 << 20);
        if (!mdb_read_catalog(mdb_, MDB_TABLE)) {
            mdb_close(mdb_);
            throw DatabaseError(QStringLiteral("cannot read the list of tables of %1").arg(Path(path)));
        }
    }
    ~OpenFile() {
        tables_.clear();
        mdb_close(mdb_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    const FileIdentity& Identity() const { return identity_; }
    std::string Version() const { return VersionLine(path_, identity_); }

    // User tables in catalog order: not system tables (flags 0x80000002), and not those named MSys.
    QStringList UserTableNames() const {
        QStringList names;
        for (guint i = 0; i < mdb_->catalog->len; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
            if (entry->object_type != MDB_TABLE || (entry->flags & 0x80000002) != 0) continue;
            const QString name = QString::fromUtf8(entry->object_name);
            if (!name.startsWith(QStringLiteral("MSys"), Qt::CaseInsensitive)) names << name;
        }
        return names;
    }

    Table& GetTable(const QString& name) {
        const QString key = name.toCaseFolded();
        if (auto it = tables_.find(key); it != tables_.end()) return *it->second;
        MdbCatalogEntry* found = nullptr;
        for (guint i = 0; i < mdb_->catalog->len; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
            if (entry->object_type == MDB_TABLE &&
                QString::fromUtf8(entry->object_name).compare(name, Qt::CaseInsensitive) == 0) {
                found = entry;
                break;
            }
        }
        if (!found) throw DatabaseError(QStringLiteral("no table %1 in %2").arg(name, Path(path_)));
        auto table = std::make_unique<Table>();
        table->name = QString::fromUtf8(found->object_name);
        table->def = mdb_read_table(found);
        if (!table->def || !mdb_read_columns(table->def))
            throw DatabaseError(QStringLiteral("cannot read the definition of table %1").arg(table->name));
        for (guint i = 0; i < table->def->num_cols; ++i) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->def->columns, i));
            const int size = col->col_type == TypeText ? col->col_size / (jet3_ ? 1 : 2)
                             : col->col_type == TypeBinary ? col->col_size : 0;
            table->columns.push_back({QString::fromUtf8(col->name), col->col_type, size, i});
        }
        const auto pages =
            static_cast<std::size_t>(identity_.size) / static_cast<std::size_t>(mdb_->fmt->pg_size);
        if (!RecallTable(Version(), *table, pages)) {
            mdb_rewind_table(table->def);
            while (mdb_fetch_row(table->def))
                table->rows.push_back(
                    {table->def->cur_phys_pg, static_cast<std::uint16_t>(table->def->cur_row - 1)});
            // libmdb reads a page past the end of the file as zeros, so a file cut short shows fewer
            // rows without a word. The definition records the row count (0 when a database was not
            // closed properly), so only fewer rows than recorded mean damage.
            if (table->rows.size() < table->def->num_rows)
                throw DatabaseError(QStringLiteral("%1 is damaged: table %2 has fewer rows than it records")
                                        .arg(Path(path_), table->name));
        }
        pageInBuffer_ = 0;
        return *tables_.emplace(key, std::move(table)).first->second;
    }

    // Cracks one row into fields (one per column); the fields point into libmdb's page buffer
    // until the next row is read.
    void ReadRow(Table& t, RowPlace place, std::vector<MdbField>& fields) {
        if (pageInBuffer_ != place.page) {
            if (mdb_read_pg(mdb_, place.page) != static_cast<ssize_t>(mdb_->fmt->pg_size)) Damaged();
            pageInBuffer_ = place.page;
        }
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb_, place.row, &start, &size) != 0 || size == 0) Damaged();
        fields.resize(t.def->num_cols);
        if (mdb_crack_row(t.def, start & 0x1FFF, size, fields.data()) < 0) Damaged();
    }

    FieldValue Decode(const Column& c, const MdbField& f) {
        if (c.type == TypeBool) return std::int64_t{f.is_null ? 0 : 1}; // the value is the null bit
        if (f.is_null || !f.value) return std::monostate{};
        // libmdb checks only that a field does not end past its row; a damaged offset table can
        // still give a negative size.
        if (f.siz < 0 || f.start < 0 || f.start + f.siz > static_cast<int>(mdb_->fmt->pg_size)) Damaged();
        const auto* p = static_cast<const unsigned char*>(f.value);
        const auto size = static_cast<std::size_t>(f.siz);
        auto need = [&](std::size_t n) {
            if (size < n) Damaged();
        };
        switch (c.type) {
        case TypeByte: need(1); return std::int64_t{p[0]};
        case TypeInt: need(2); return std::int64_t{Load<std::int16_t>(p)};
        case TypeLong: need(4); return std::int64_t{Load<std::int32_t>(p)};
        case TypeMoney: need(8); return static_cast<double>(Load<std::int64_t>(p)) / 10000.0;
        case TypeFloat: need(4); return static_cast<double>(Load<float>(p));
        case TypeDouble:
        case TypeDateTime: need(8); return Load<double>(p);
        case TypeGuid: need(16); return GuidText(p);
        case TypeText: return DecodeText(static_cast<const char*>(f.value), size, jet3_);
        case TypeMemo: {
            const QByteArray bytes = LongValue(p, size);
            return DecodeText(bytes.constData(), static_cast<std::size_t>(bytes.size()), jet3_);
        }
        case TypeOle: return LongValue(p, size);
        default: return QByteArray(reinterpret_cast<const char*>(p), static_cast<qsizetype>(size));
        }
    }

private:
    [[noreturn]] void Damaged() const {
        throw DatabaseError(QStringLiteral("%1 is damaged: a row cannot be read").arg(Path(path_)));
    }

    // A memo or OLE value: in the row, in one long-value row, or in a chain of them.
    QByteArray LongValue(const unsigned char* field, std::size_t size) {
        if (size < LongValueFieldSize) return {};
        const auto header = Load<std::uint32_t>(field);
        const std::size_t length = header & 0x3FFFFFFF;
        if (header & 0x80000000) {
            const std::size_t stored = std::min(length, size - LongValueFieldSize);
            return QByteArray(reinterpret_cast<const char*>(field + LongValueFieldSize), static_cast<qsizetype>(stored));
        }
        // A value cannot be larger than the file, nor its chain longer than the file has pages.
        if (length > static_cast<std::size_t>(identity_.size)) LongValueDamaged();
        std::int32_t pointer = Load<std::int32_t>(field + 4);
        QByteArray out;
        if (header & 0x40000000) {
            auto [row, rowSize] = LongValueRow(pointer);
            if (rowSize < length) LongValueDamaged();
            return QByteArray(row, static_cast<qsizetype>(length));
        }
        out.reserve(static_cast<qsizetype>(length));
        std::size_t links = 0;
        const std::size_t pages = static_cast<std::size_t>(identity_.size) / static_cast<std::size_t>(mdb_->fmt->pg_size);
        while (static_cast<std::size_t>(out.size()) < length) {
            if (pointer == 0 || ++links > pages) LongValueDamaged();
            auto [row, rowSize] = LongValueRow(pointer);
            if (rowSize <= 4) LongValueDamaged();
            const std::size_t take = std::min(rowSize - 4, length - static_cast<std::size_t>(out.size()));
            out.append(row + 4, static_cast<qsizetype>(take));
            pointer = Load<std::int32_t>(row);
        }
        return out;
    }

    // A row of a long-value page: its bytes and length. Read straight from the page cache where
    // there is one, as libmdb finds it (which copies the page three times over).
    std::pair<const char*, std::size_t> LongValueRow(std::int32_t pointer) {
        const auto pageSize = static_cast<std::size_t>(mdb_->fmt->pg_size);
        std::size_t offset = 0, length = 0;
        const char* page = nullptr;
        if (pageCache_) {
            const auto row = static_cast<std::uint32_t>(pointer) & 0xff;
            page = pageCache_->Page(static_cast<std::uint32_t>(pointer) >> 8, pageSize);
            if (!page) LongValueDamaged();
            // The table of row starts follows the row count; a row ends where the one before starts.
            const auto starts = page + mdb_->fmt->row_count_offset + 2;
            const auto start = Load<std::uint16_t>(starts + row * 2);
            const std::size_t end = row == 0 ? pageSize : Load<std::uint16_t>(starts + (row - 1) * 2) & 0x1FFFu;
            offset = start;
            length = end - (start & 0x1FFF);
        } else {
            void* buffer = nullptr;
            int start = 0;
            size_t size = 0;
            if (mdb_find_pg_row(mdb_, pointer, &buffer, &start, &size) != 0) LongValueDamaged();
            page = static_cast<const char*>(buffer);
            offset = static_cast<std::size_t>(start);
            length = size;
        }
        if (offset + length > pageSize || offset + length < offset) LongValueDamaged();
        return {page + offset, length};
    }

    [[noreturn]] void LongValueDamaged() const {
        throw DatabaseError(QStringLiteral("%1 is damaged: a long value cannot be read").arg(Path(path_)));
    }

    std::string path_;
    FileIdentity identity_;
    bool jet3_;
    // The stream of mdb_ reads through it: freed only after the destructor has closed that stream.
    std::unique_ptr<PageCache> pageCache_;
    MdbHandle* mdb_ = nullptr;
    std::uint32_t pageInBuffer_ = 0;
    std::map<QString, std::unique_ptr<Table>> tables_; // by case-folded name
};

class JetSession final : public ado::Session {
public:
    JetSession(const ado::ConnectionString& connection, QString providerName, bool readsAce)
        : providerName_(std::move(providerName)), readsAce_(readsAce),
          path_(QFile::encodeName(connection.DataSource()).toStdString()),
          password_(connection.DatabasePassword().toStdU16String()) {
        if (connection.DataSource().isEmpty())
            throw DatabaseError(QStringLiteral("the connection string names no Data Source"));
        Refresh();
    }

    ado::Recordset Execute(const ado::Statement& statement) override {
        Refresh();
        Table& table = file_->GetTable(statement.table);
        ado::Recordset result;
        if (statement.kind == ado::Statement::Kind::Count) {
            result.columns << statement.countAlias;
            result.rows.push_back({static_cast<std::int64_t>(table.rows.size())});
            return result;
        }
        std::vector<const Column*> selected;
        for (const QString& name : statement.columns) {
            const Column* c = table.Find(name);
            if (!c) throw DatabaseError(QStringLiteral("no column %1 in table %2").arg(name, table.name));
            selected.push_back(c);
            result.columns << c->name;
        }
        std::vector<MdbField> fields;
        auto addRow = [&](std::uint32_t ordinal) {
            file_->ReadRow(table, table.rows[ordinal], fields);
            std::vector<FieldValue> row;
            row.reserve(selected.size());
            for (const Column* c : selected) row.push_back(file_->Decode(*c, fields[c->index]));
            result.rows.push_back(std::move(row));
        };
        if (statement.where.empty()) {
            for (std::uint32_t i = 0; i < table.rows.size(); ++i) addRow(i);
            return result;
        }
        // The first condition is answered by its column's index, the others row by row.
        std::vector<std::pair<const Column*, const ado::Literal*>> others;
        for (std::size_t k = 1; k < statement.where.size(); ++k)
            others.emplace_back(Checked(table, statement.where[k]), &statement.where[k].value);
        for (std::uint32_t i : Matches(table, statement.where.front())) {
            if (!others.empty()) {
                file_->ReadRow(table, table.rows[i], fields);
                const bool all = std::all_of(others.begin(), others.end(), [&](const auto& o) {
                    return Equal(file_->Decode(*o.first, fields[o.first->index]), *o.second);
                });
                if (!all) continue;
            }
            addRow(i);
        }
        return result;
    }

    std::vector<ado::TableSchema> Schema() override {
        Refresh();
        std::vector<ado::TableSchema> tables;
        for (const QString& name : file_->UserTableNames()) {
            const Table& t = file_->GetTable(name);
            ado::TableSchema schema{t.name, {}};
            for (const Column& c : t.columns) schema.columns.push_back({c.name, TypeOf(c.type), c.size});
            tables.push_back(std::move(schema));
        }
        return tables;
    }

private:
    static ado::DataType TypeOf(int type) {
        using ado::DataType;
        switch (type) {
        case TypeBool: return DataType::Boolean;
        case TypeByte: return DataType::Byte;
        case TypeInt: return DataType::Integer;
        case TypeLong: return DataType::LongInteger;
        case TypeMoney: return DataType::Currency;
        case TypeFloat: return DataType::Single;
        case TypeDouble: return DataType::Double;
        case TypeDateTime: return DataType::DateTime;
        case TypeBinary: return DataType::Binary;
        case TypeText: return DataType::Text;
        case TypeOle: return DataType::LongBinary;
        case TypeMemo: return DataType::LongText;
        case TypeGuid: return DataType::Guid;
        case TypeNumeric: return DataType::Numeric;
        default: return DataType::Other;
        }
    }

    // Looks at the file again; opens it anew when it is another version than the one open.
    void Refresh() {
        int error = 0;
        const auto identity = Identify(path_, &error);
        if (!identity) {
            file_.reset();
            if (error == ENOENT || error == ENOTDIR)
                throw DatabaseError(QStringLiteral("database file not found: %1").arg(Path(path_)));
            throw DatabaseError(QStringLiteral("cannot open %1: %2").arg(Path(path_), QString::fromLocal8Bit(std::strerror(error))));
        }
        if (file_ && file_->Identity() == *identity) return;
        file_.reset();
        file_ = OpenVersion(*identity);
    }

    std::unique_ptr<OpenFile> OpenVersion(const FileIdentity& identity) {
        QFile f(QFile::decodeName(path_.c_str()));
        if (!f.open(QIODevice::ReadOnly))
            throw DatabaseError(QStringLiteral("cannot open %1: %2").arg(Path(path_), f.errorString()));
        const QByteArray start = f.read(PageSize);
        f.close();
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(start.constData()),
                                                  static_cast<std::size_t>(start.size()));
        const FileFormat format = DetectFormat(bytes);
        switch (format) {
        case FileFormat::NotAccess:
            throw DatabaseError(QStringLiteral("%1 is not an Access database").arg(Path(path_)));
        case FileFormat::AceEncrypted:
            throw DatabaseError(QStringLiteral("%1 is encrypted; encrypted Access 2007 and later databases cannot be read")
                                    .arg(Path(path_)));
        case FileFormat::Ace:
            if (!readsAce_)
                throw DatabaseError(QStringLiteral("provider %1 does not support the format of %2 (Access 2007 or later)")
                                        .arg(providerName_, Path(path_)));
            break;
        default: break;
        }
        if (!PasswordMatches(ReadHeaderFields(bytes), password_))
            throw DatabaseError(QStringLiteral("not a valid password for %1").arg(Path(path_)));
        // The header, the global usage map and the catalog's definition at least.
        const std::size_t pageSize = format == FileFormat::Jet3 ? 2048 : PageSize;
        if (static_cast<std::size_t>(identity.size) < 3 * pageSize)
            throw DatabaseError(QStringLiteral("%1 is damaged: it is too short").arg(Path(path_)));
        if (CheckOnce(path_, identity) == CheckResult::Damaged)
            throw DatabaseError(QStringLiteral("%1 is damaged and cannot be read").arg(Path(path_)));
        return std::make_unique<OpenFile>(path_, identity, format == FileFormat::Jet3);
    }

    // The column a condition names, once its literal is known to suit it.
    static const Column* Checked(const Table& table, const ado::Statement::Condition& where) {
        const Column* c = table.Find(where.column);
        if (!c) throw DatabaseError(QStringLiteral("no column %1 in table %2").arg(where.column, table.name));
        const bool text = std::holds_alternative<QString>(where.value);
        if (!IsTextType(c->type) && !IsNumberType(c->type))
            throw DatabaseError(QStringLiteral("column %1 of table %2 cannot be compared").arg(c->name, table.name));
        if (IsTextType(c->type) != text)
            throw DatabaseError(QStringLiteral("type mismatch: column %1 of table %2 compared with %3")
                                    .arg(c->name, table.name, text ? QStringLiteral("a text") : QStringLiteral("a number")));
        return c;
    }

    // Access compares text without regard to letter case; NULL equals nothing.
    static bool Equal(const FieldValue& v, const ado::Literal& literal) {
        if (const auto* s = std::get_if<QString>(&v)) {
            const auto* t = std::get_if<QString>(&literal);
            return t && s->compare(*t, Qt::CaseInsensitive) == 0;
        }
        const auto* n = std::get_if<std::int64_t>(&literal);
        if (!n) return false;
        if (const auto* i = std::get_if<std::int64_t>(&v)) return *i == *n;
        if (const auto* d = std::get_if<double>(&v)) return *d == static_cast<double>(*n);
        return false;
    }

    // Fills an index of one column on its first use: each value's key, to the rows holding it.
    template <typename Index, typename KeyOf>
    Index& IndexOf(Table& table, const Column& c, std::unordered_map<std::size_t, Index>& indexes, KeyOf keyOf) {
        auto [it, added] = indexes.try_emplace(c.index);
        if (added) {
            std::vector<MdbField> fields;
            for (std::uint32_t i = 0; i < table.rows.size(); ++i) {
                file_->ReadRow(table, table.rows[i], fields);
                if (const auto key = keyOf(file_->Decode(c, fields[c.index]))) it->second[*key].push_back(i);
            }
            RememberTable(file_->Version(), table);
        }
        return it->second;
    }

    const std::vector<std::uint32_t>& Matches(Table& table, const ado::Statement::Condition& where) {
        static const std::vector<std::uint32_t> none;
        const Column* c = Checked(table, where);
        auto find = [&](const auto& index, const auto& key) -> const std::vector<std::uint32_t>& {
            const auto found = index.find(key);
            return found == index.end() ? none : found->second;
        };
        if (IsTextType(c->type)) {
            const auto& index = IndexOf(table, *c, table.textIndexes, [](const FieldValue& v) {
                const auto* s = std::get_if<QString>(&v);
                return s ? std::optional(s->toCaseFolded()) : std::nullopt;
            });
            return find(index, std::get<QString>(where.value).toCaseFolded());
        }
        const std::int64_t number = std::get<std::int64_t>(where.value);
        if (IsIntegerType(c->type)) {
            const auto& index = IndexOf(table, *c, table.numberIndexes, [](const FieldValue& v) {
                const auto* n = std::get_if<std::int64_t>(&v);
                return n ? std::optional(*n) : std::nullopt;
            });
            return find(index, number);
        }
        const auto& index = IndexOf(table, *c, table.floatIndexes, [](const FieldValue& v) {
            const auto* d = std::get_if<double>(&v);
            return d ? std::optional(*d) : std::nullopt;
        });
        return find(index, static_cast<double>(number));
    }

    QString providerName_;
    bool readsAce_;
    std::string path_;
    std::u16string password_;
    std::unique_ptr<OpenFile> file_;
};

class JetProvider final : public ado::Provider {
public:
    JetProvider(QString name, bool readsAce) : name_(std::move(name)), readsAce_(readsAce) {}
    QString Name() const override { return name_; }
    std::unique_ptr<ado::Session> Open(const ado::ConnectionString& connection) override {
        return std::make_unique<JetSession>(connection, name_, readsAce_);
    }

private:
    QString name_;
    bool readsAce_;
};

} // namespace

std::vector<std::unique_ptr<ado::Provider>> MakeProviders() {
    std::vector<std::unique_ptr<ado::Provider>> providers;
    providers.push_back(std::make_unique<JetProvider>(QString::fromLatin1(JetProviderName), false));
    providers.push_back(std::make_unique<JetProvider>(QString::fromLatin1(AceProviderName), true));
    return providers;
}

} // namespace jet
