#include "platform/registry/Registry.h"

#include "platform/registry/RegFile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <mutex>
#include <type_traits>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace registry {

std::optional<QString> ValueText(const Value& value) {
    if (value.Type != ValueType::String && value.Type != ValueType::ExpandString) return std::nullopt;
    QString text;
    const char* data = value.Data.constData();
    for (qsizetype i = 0; i + 1 < value.Data.size(); i += 2) {
        const char16_t c = qFromLittleEndian<char16_t>(data + i);
        if (c == 0) break;
        text += QChar(c);
    }
    return text;
}

// One .reg file. What was found in it is kept until the file changes: each use opens the file once
// and compares what fstat says of it (inode, size, change and modification times) with the last time.
class FileRegistry::Hive {
public:
    Hive(HiveKind kind, std::function<QString()> fileName) : Kind(kind), FileName(std::move(fileName)) {}

    bool KeyExists(const QStringList& path) {
        return WithCurrentFile([&](int fd) { return Format.Valid && Locate(fd, path).Exists; });
    }

    std::optional<Value> ReadValue(const QStringList& path, const QString& name) {
        return WithCurrentFile([&](int fd) -> std::optional<Value> {
            if (!Format.Valid) return std::nullopt;
            const KeyLocation location = Locate(fd, path);
            if (!location.Exists) return std::nullopt;
            return ReadKeyValue(fd, Format, Kind, path, location, name);
        });
    }

private:
    struct Identity {
        bool Exists = false;
        dev_t Device = 0;
        ino_t Inode = 0;
        off_t Size = 0;
        std::int64_t Modified = 0; // ns
        std::int64_t Changed = 0;  // ns; also moves when the modification time is set back

        friend bool operator==(const Identity&, const Identity&) = default;
    };

    class Descriptor {
    public:
        explicit Descriptor(int fd) : Fd(fd) {}
        Descriptor(const Descriptor&) = delete;
        Descriptor& operator=(const Descriptor&) = delete;
        ~Descriptor() {
            if (Fd >= 0) ::close(Fd);
        }
        int Fd;
    };

    static std::int64_t Nanoseconds(const timespec& time) {
        return std::int64_t(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
    }

    template <typename Use> std::invoke_result_t<Use, int> WithCurrentFile(Use use) {
        const std::lock_guard lock(Mutex);
        const QString name = FileName();
        // Non-blocking, so that a FIFO named as the file cannot hold the program up; only regular
        // files are read, never devices.
        Descriptor file(name.isEmpty() ? -1
                                       : ::open(QFile::encodeName(name).constData(),
                                                O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        Identity identity;
        struct stat status {};
        if (file.Fd >= 0 && ::fstat(file.Fd, &status) == 0 && S_ISREG(status.st_mode)) {
            identity = {true,
                        status.st_dev,
                        status.st_ino,
                        status.st_size,
                        Nanoseconds(status.st_mtim),
                        Nanoseconds(status.st_ctim)};
        }
        if (name != CurrentName || !(identity == CurrentIdentity)) {
            CurrentName = name;
            CurrentIdentity = identity;
            Locations.clear();
            Format = identity.Exists ? ReadRegFileFormat(file.Fd) : RegFileFormat{};
        }
        return use(file.Fd);
    }

    KeyLocation Locate(int fd, const QStringList& path) {
        const QString id = path.join(u'\\').toCaseFolded();
        if (const auto found = Locations.constFind(id); found != Locations.cend()) return *found;
        const KeyLocation location = LocateKey(fd, Format, Kind, path);
        if (Locations.size() >= MaxLocations) Locations.clear();
        Locations.insert(id, location);
        return location;
    }

    // Each new key looked for costs a pass over the file; a few hundred answers are plenty to keep.
    static constexpr qsizetype MaxLocations = 256;

    const HiveKind Kind;
    const std::function<QString()> FileName;
    std::mutex Mutex;
    QString CurrentName;
    Identity CurrentIdentity;
    RegFileFormat Format;
    QHash<QString, KeyLocation> Locations; // by the key's path, case folded
};

namespace {

class FileKey final : public Key {
public:
    struct Source {
        std::shared_ptr<FileRegistry::Hive> Hive;
        QStringList Path;
    };

    explicit FileKey(std::vector<Source> sources) : Sources(std::move(sources)) {}

    std::optional<Value> ReadValue(const QString& name) const override {
        const QString valueName = name == u"@" ? QString() : name;
        for (const Source& source : Sources) {
            if (auto value = source.Hive->ReadValue(source.Path, valueName)) return value;
        }
        return std::nullopt;
    }

private:
    std::vector<Source> Sources; // read in this order, the first that has the value wins
};

std::optional<QStringList> SplitKeyPath(const QString& path) {
    QStringView rest(path);
    if (rest.endsWith(u'\\')) rest.chop(1);
    if (rest.isEmpty()) return QStringList();
    QStringList parts = rest.toString().split(u'\\');
    if (parts.size() > MaxKeyDepth) return std::nullopt;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > MaxKeyNameLength) return std::nullopt;
    }
    return parts;
}

bool PartIs(const QStringList& parts, qsizetype index, QStringView name) {
    return index < parts.size() && parts[index].compare(name, Qt::CaseInsensitive) == 0;
}

// What a 32-bit program sees on 64-bit Windows: HKLM\Software is redirected to its WOW6432Node, and
// in the classes the keys of COM registration are; the rest of HKCU is shared. A redirected key that
// is missing from WOW6432Node does not open: there is no falling back to the 64-bit key.
void To32BitView(RootKey root, QStringList& parts) {
    const auto redirectClasses = [&parts](qsizetype at) {
        static const QStringView redirected[] = {u"CLSID", u"DirectShow", u"Interface", u"Media Type",
                                                 u"MediaFoundation"};
        for (const QStringView name : redirected) {
            if (PartIs(parts, at, name)) {
                parts.insert(at, QStringLiteral("WOW6432Node"));
                return;
            }
        }
    };
    switch (root) {
    case RootKey::LocalMachine:
        if (!PartIs(parts, 0, u"Software")) return;
        if (PartIs(parts, 1, u"Classes"))
            redirectClasses(2);
        else if (!PartIs(parts, 1, u"WOW6432Node"))
            parts.insert(1, QStringLiteral("WOW6432Node"));
        return;
    case RootKey::CurrentUser:
        if (PartIs(parts, 0, u"Software") && PartIs(parts, 1, u"Classes")) redirectClasses(2);
        return;
    case RootKey::ClassesRoot:
        redirectClasses(0);
        return;
    }
}

QStringList InClasses(const QString& software, const QStringList& parts) {
    return QStringList{software, QStringLiteral("Classes")} + parts;
}

} // namespace

FileRegistry::FileRegistry()
    : Machine(std::make_shared<Hive>(HiveKind::Machine, MachineHiveFile)),
      User(std::make_shared<Hive>(HiveKind::User, UserHiveFile)) {}

FileRegistry::FileRegistry(const QString& machineFile, const QString& userFile)
    : Machine(std::make_shared<Hive>(HiveKind::Machine, [machineFile] { return machineFile; })),
      User(std::make_shared<Hive>(HiveKind::User, [userFile] { return userFile; })) {}

FileRegistry::~FileRegistry() = default;

std::unique_ptr<Key> FileRegistry::OpenKey(RootKey root, const QString& path, KeyView view) const {
    auto parts = SplitKeyPath(path);
    if (!parts) return nullptr;
    if (view == KeyView::Registry32) To32BitView(root, *parts);

    std::vector<FileKey::Source> sources;
    switch (root) {
    case RootKey::LocalMachine:
        sources.push_back({Machine, *parts});
        break;
    case RootKey::CurrentUser:
        sources.push_back({User, *parts});
        break;
    case RootKey::ClassesRoot:
        // The user's classes come first, as on Windows; a value missing there is read from the machine's.
        sources.push_back({User, InClasses(QStringLiteral("Software"), *parts)});
        sources.push_back({Machine, InClasses(QStringLiteral("SOFTWARE"), *parts)});
        break;
    }
    // A root key always opens, even on an empty hive.
    const bool opens = parts->isEmpty() ||
                       std::any_of(sources.begin(), sources.end(),
                                   [](const auto& source) { return source.Hive->KeyExists(source.Path); });
    if (!opens) return nullptr;
    return std::make_unique<FileKey>(std::move(sources));
}

QString MachineHiveFile() {
    const QString file = QFile::decodeName(qgetenv("ORVANE_MACHINE_REG"));
    return file.isEmpty() ? QStringLiteral("/etc/orvane/machine.reg") : file;
}

QString UserHiveFile() {
    const QString file = QFile::decodeName(qgetenv("ORVANE_USER_REG"));
    if (!file.isEmpty()) return file;
    // A relative XDG_CONFIG_HOME is not valid, and is ignored as an empty one is.
    QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/orvane/user.reg");
}

const Registry& SystemRegistry() {
    static const FileRegistry registry;
    return registry;
}

} // namespace registry
