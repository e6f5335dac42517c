#include "langdb/Extract.h"

#include "localisation/Languages.h"
#include "localisation/ResourceFiles.h"

#include <QFile>

#include <stdexcept>

#include <sys/stat.h>

namespace langdb {

namespace {

// What stands at a path, links followed. A written file is always a new one renamed into place,
// so it differs from the one before even when it holds the same bytes.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true, st.st_dev, st.st_ino};
}

// The tool borrows the program's shared language database and settings for one call.
class BorrowedLanguageDatabase {
public:
    BorrowedLanguageDatabase(const std::filesystem::path& file, const QString& column,
                             const DatabaseOptions& options)
        : saved_(LanguageSettings) {
        DropLanguageDatabase();
        LanguageSettings.LanguageColumn = column;
        EnsureLanguageDatabase();
        // The program reads languages.mdb in its own folder; the tool reads the file it is given.
        LanguageConnection()->ConnectionString = ConnectionStringFor(file, options);
    }
    ~BorrowedLanguageDatabase() {
        DropLanguageDatabase();
        LanguageSettings = saved_;
    }
    BorrowedLanguageDatabase(const BorrowedLanguageDatabase&) = delete;
    BorrowedLanguageDatabase& operator=(const BorrowedLanguageDatabase&) = delete;

private:
    LanguageSettingsRecord saved_;
};

} // namespace

std::uintmax_t ExtractResource(const std::filesystem::path& file, const QString& name, const QString& column,
                               const std::filesystem::path& destination, const DatabaseOptions& options) {
    const FileIdentity before = IdentityOf(destination);
    {
        const BorrowedLanguageDatabase database(file, column, options);
        ExtractResourceFile(name, QFile::decodeName(destination.c_str()));
    }
    if (const FileIdentity after = IdentityOf(destination); after.exists && after != before)
        return std::filesystem::file_size(destination);

    const BorrowedLanguageDatabase database(file, column, options);
    ado::Query& query = *LanguageQuery();
    RunLanguageQuery(ResourceFileStatement(name));
    if (query.RecordCount() == 0)
        throw std::runtime_error("no resource '" + name.toStdString() + "' in " + file.string());
    const ado::Field value = query.FieldByName(column);
    if (value.IsNull())
        throw std::runtime_error("resource '" + name.toStdString() + "' has no file in column " +
                                 column.toStdString() + " (NULL)");
    value.AsBytes(); // throws when the column holds no binary data
    throw std::runtime_error("cannot write " + destination.string());
}

} // namespace langdb
