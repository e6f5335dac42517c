// Arbitrary bytes as a .reg file holding both hives, looked up the way the program looks keys up:
// the keys and value names the input itself names, in both registry views. Any file must read
// without failing; a second lookup, served from what the first one found, must give the same
// answers; and a UTF-8 file must read the same as its UTF-16 form behind a byte-order mark.
#include "platform/registry/Registry.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

namespace fs = std::filesystem;
using registry::FileRegistry;
using registry::KeyView;
using registry::RootKey;

// Escaping fuzz inputs crash the fuzzer and fail the corpus replay with the reason.
void Require(bool condition, const char* what) {
    if (!condition) throw std::logic_error(what);
}

class Workspace {
public:
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "orvane-fuzz-reg-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
        folder_ = QString::fromStdString(pattern);
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(folder_.toStdString(), ec);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    QString Put(const QString& name, const QByteArray& bytes) const {
        const QString path = folder_ + u'/' + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write the hive file");
        return path;
    }

private:
    QString folder_;
};

struct Lookup {
    RootKey root;
    QString path;
};

// The keys of the input's section lines (and their parents) under the root each names, and the
// value names of its value lines, a few of each; the default value always.
std::pair<std::vector<Lookup>, QStringList> NamedIn(const QString& text) {
    static const QRegularExpression section(uR"re(^\s*\[-?(HKEY_[A-Z_]+|HK[A-Z]{2})\\?([^\]\r\n]*)\])re"_s,
                                            QRegularExpression::MultilineOption |
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression value(uR"re(^\s*"((?:[^"\\\r\n]|\\.)*)"\s*=)re"_s,
                                          QRegularExpression::MultilineOption);
    std::vector<Lookup> keys;
    for (auto it = section.globalMatch(text); it.hasNext() && keys.size() < 8;) {
        const auto m = it.next();
        const QString root = m.captured(1).toUpper();
        const RootKey key = root == u"HKEY_CURRENT_USER" || root == u"HKCU"   ? RootKey::CurrentUser
                            : root == u"HKEY_CLASSES_ROOT" || root == u"HKCR" ? RootKey::ClassesRoot
                                                                              : RootKey::LocalMachine;
        QString path = m.captured(2);
        keys.push_back({key, path});
        if (const qsizetype cut = path.lastIndexOf(u'\\'); cut > 0) keys.push_back({key, path.first(cut)});
    }
    QStringList names{QString(), u"@"_s};
    for (auto it = value.globalMatch(text); it.hasNext() && names.size() < 7;) {
        QString name = it.next().captured(1);
        names << name.replace(u"\\\\"_s, u"\\"_s).replace(u"\\\""_s, u"\""_s);
    }
    return {keys, names};
}

using Answers = std::vector<std::optional<registry::Value>>;

// For each key in each view: whether it opens, then each of its values.
Answers Answer(const FileRegistry& hives, const std::vector<Lookup>& keys, const QStringList& names) {
    Answers answers;
    for (const Lookup& lookup : keys) {
        for (const KeyView view : {KeyView::Default, KeyView::Registry32}) {
            const auto key = hives.OpenKey(lookup.root, lookup.path, view);
            answers.push_back(registry::Value{registry::ValueType(key ? 1 : 0), {}});
            if (!key) continue;
            for (const QString& name : names) {
                auto value = key->ReadValue(name);
                if (value) static_cast<void>(registry::ValueText(*value));
                answers.push_back(std::move(value));
            }
        }
    }
    return answers;
}

// The same text in UTF-16LE, as regedit writes it.
QByteArray Utf16WithMark(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Workspace workspace;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // The names to look up, from the text in whichever encoding the input looks like.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    const bool validUtf8 = !utf8.hasError();
    const bool utf16 = size >= 4 && data[1] == 0 && data[3] == 0;
    const QString names = utf16 ? QStringDecoder(QStringConverter::Utf16LE).decode(bytes) : text;
    const auto [keys, values] = NamedIn(names);

    const QString file = workspace.Put(u"hive.reg"_s, bytes);
    const FileRegistry hives(file, file);
    const Answers first = Answer(hives, keys, values);
    Require(Answer(hives, keys, values) == first, "a second lookup answered otherwise");

    // Only text: a NUL or a first character of more than one byte would tell the encodings apart by
    // themselves.
    if (validUtf8 && !text.isEmpty() && !text.contains(QChar(0)) && text[0].unicode() < 0x80) {
        const QString converted = workspace.Put(u"hive-utf16.reg"_s, Utf16WithMark(text));
        const FileRegistry again(converted, converted);
        Require(Answer(again, keys, values) == first, "the UTF-16 form of a file answered otherwise");
    }
    return 0;
}
