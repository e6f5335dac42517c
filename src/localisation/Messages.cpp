#include "localisation/Messages.h"

#include "localisation/Languages.h"
#include "platform/ado/DatabaseError.h"

#include <QFile>

#include <chrono>
#include <ctime>
#include <optional>
#include <sys/stat.h>
#include <unordered_map>

namespace {

// What tells one version of a file from another: any write changes the change time.
struct FileStamp {
    dev_t device;
    ino_t inode;
    off_t size;
    std::int64_t modified;
    std::int64_t changed;
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return std::nullopt;
    return FileStamp{st.st_dev, st.st_ino, st.st_size,
                     st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
                     st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec};
}

// A clock read without a system call.
std::chrono::nanoseconds Now() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

// How long texts read from one version of the file are trusted before the file is looked at again.
// Looking costs a system call, many times a lookup in memory; a database replaced under a running
// program is seen by its next notice after at most this long.
constexpr std::chrono::milliseconds Recheck{100};

// The texts of every message in the current language, read in one statement by the first notice,
// so that a notice costs a lookup in memory. They are read anew when the language changes, when
// the shared objects have been thrown away since, and when the file is another version.
struct MessageTexts {
    bool filled = false;
    QString column;
    bool english = false;
    std::uint64_t drops = 0;
    QByteArray path;
    FileStamp stamp{};
    std::chrono::nanoseconds checked{};
    std::unordered_map<std::int64_t, QString> texts;

    bool Serves(const QString& wantedColumn, bool wantedEnglish) {
        if (!filled || english != wantedEnglish || drops != LanguageDatabaseDrops() || column != wantedColumn)
            return false;
        const auto now = Now();
        if (now - checked < Recheck) return true;
        if (StampOf(path) != stamp) return false;
        checked = now;
        return true;
    }
};

MessageTexts kept;

// The number a StringID cell holds; a statement "where StringID=N" finds the same rows.
std::optional<std::int64_t> NumberOf(const ado::FieldValue& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) return *i;
    if (const auto* d = std::get_if<double>(&value)) {
        const auto n = static_cast<std::int64_t>(*d);
        return static_cast<double>(n) == *d ? std::optional(n) : std::nullopt;
    }
    if (std::holds_alternative<std::monostate>(value)) return std::nullopt;
    throw ado::DatabaseError(QStringLiteral("StringID of MessageStrings is not a number"));
}

} // namespace

QString GetMessageString(std::uint32_t stringId) {
    const QString column = LanguageSettings.LanguageColumn;
    // The language index, not the column, decides whether English is read as well: with the
    // column at ENGLISH_US the statement names it twice and reads the first.
    const bool english = LanguageSettings.LanguageIndex == 3;
    if (kept.Serves(column, english)) {
        const auto it = kept.texts.find(stringId);
        return it == kept.texts.end() ? QString() : it->second;
    }

    kept.filled = false;
    kept.texts.clear();
    const QByteArray path = QFile::encodeName(LanguageDatabasePath());
    const std::optional<FileStamp> stamp = StampOf(path);
    const QString columns = english ? column : column + QStringLiteral(", ENGLISH_US");
    const bool read = ReadLanguageDatabase(
        QStringLiteral("select StringID, ") + columns + QStringLiteral(" from MessageStrings"), [&](ado::Query& query) {
            // Columns by place: StringID, the language's column, then ENGLISH_US where named.
            for (const auto& row : query.Result().rows) {
                const auto number = NumberOf(row.at(0));
                if (!number) continue;
                // Of several rows with the number, the first counts.
                auto [it, added] = kept.texts.try_emplace(*number);
                if (!added) continue;
                it->second = ado::Field(column, &row.at(1)).AsString();
                if (!english && it->second.isEmpty()) it->second = ado::Field(column, &row.at(2)).AsString();
            }
        });
    if (!read) {
        kept.texts.clear();
        return {};
    }
    const auto it = kept.texts.find(stringId);
    QString text = it == kept.texts.end() ? QString() : it->second;
    // Kept only when the version read is known; otherwise the next notice reads again.
    if (stamp) {
        kept.filled = true;
        kept.column = column;
        kept.english = english;
        kept.drops = LanguageDatabaseDrops();
        kept.path = path;
        kept.stamp = *stamp;
        kept.checked = Now();
    } else {
        kept.texts.clear();
    }
    return text;
}
