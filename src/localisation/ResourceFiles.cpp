#include "localisation/ResourceFiles.h"

#include "localisation/Languages.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const std::string& what, int error) {
    throw std::runtime_error(what + ": " + std::strerror(error));
}

// Where the bytes go: the destination, or the file at the end of its chain of symbolic links, so
// that a link stays a link. A chain that does not end replaces the link itself.
QString FinalPath(const QString& destination) {
    QFileInfo info(destination);
    for (int depth = 0; depth < 40; ++depth) {
        if (!info.isSymLink()) return info.filePath();
        info.setFile(info.symLinkTarget());
    }
    return destination;
}

// A new file beside target under a name no one else uses, created as any new file is: with the
// mode 0666 less the umask.
int CreateBeside(const std::string& target, std::string& temporary) {
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", QRandomGenerator::global()->generate());
        temporary = folder + '.' + name + '.' + suffix;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Writes bytes to a temporary file beside the destination and renames it over the destination
// once it is complete. Any failure removes the temporary file and leaves the destination as it
// was. The file is not synced to disk before the rename: it is written again from the database by
// the next call, and a sync costs more than the whole of the rest.
void SaveWhole(const QString& destination, const QByteArray& bytes) {
    const std::string target = QFile::encodeName(FinalPath(destination)).toStdString();
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) Fail("cannot write " + target, EISDIR);
    // A file its owner made read-only is not replaced behind the owner's back.
    if (replacing && ::access(target.c_str(), W_OK) != 0) {
        const int error = errno;
        Fail("cannot write " + target, error);
    }

    std::string temporary;
    const int fd = CreateBeside(target, temporary);
    if (fd < 0) {
        const int error = errno;
        Fail("cannot create a file beside " + target, error);
    }
    const auto discard = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        Fail("cannot write " + temporary, error);
    };
    // Room for the whole file at once: cheaper than finding it block by block as the bytes come, and
    // a disk without the room fails here, before anything is written. Not every file system can.
    if (!bytes.isEmpty() && ::fallocate(fd, 0, 0, static_cast<off_t>(bytes.size())) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        discard(errno);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) discard(n < 0 ? errno : EIO);
        done += n;
    }
    if (replacing && ::fchmod(fd, old.st_mode & 07777) != 0) discard(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        Fail("cannot write " + temporary, error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        Fail("cannot replace " + target, error);
    }
}

} // namespace

QString ResourceFileStatement(const QString& resourceName) {
    return QStringLiteral("select ") + LanguageSettings.LanguageColumn +
           QStringLiteral(" from ResourceFiles where ResourceName=") + TextLiteral(resourceName);
}

QString ExtractResourceFile(const QString& resourceName, const QString& destination) {
    const QString column = LanguageSettings.LanguageColumn;
    ReadLanguageDatabase(ResourceFileStatement(resourceName), [&](ado::Query& query) {
        if (query.RecordCount() <= 0) return;
        const ado::Field value = query.FieldByName(column);
        if (!value.IsNull()) SaveWhole(destination, value.AsBytes());
    });
    return destination;
}
