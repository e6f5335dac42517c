// Arbitrary text for the connection-string parser. It may refuse it only with DatabaseError; keys
// must look up without regard to letter case, and any text must survive being quoted as a value.
#include "platform/ado/ConnectionString.h"
#include "platform/ado/DatabaseError.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

using namespace Qt::StringLiterals;

namespace {

using ado::ConnectionString;

// Escaping fuzz inputs crash the fuzzer and fail the corpus replay with the reason.
void Require(bool condition, const char* what) {
    if (!condition) throw std::logic_error(what);
}

void CheckParse(const QString& text) {
    ConnectionString c;
    try {
        c = ConnectionString::Parse(text);
    } catch (const ado::DatabaseError&) {
        return;
    }
    for (const auto& key : {u"Provider"_s, u"Data Source"_s, u"Jet OLEDB:Database Password"_s}) {
        Require(c.Value(key) == c.Value(key.toUpper()) && c.Has(key) == c.Has(key.toLower()),
                "lookup depends on letter case");
        Require(c.Has(key) || c.Value(key).isEmpty(), "absent key has a value");
    }
    // A trailing ';' only adds an empty segment.
    ConnectionString terminated;
    try {
        terminated = ConnectionString::Parse(text + u';');
    } catch (const ado::DatabaseError& e) {
        throw std::logic_error(std::string("a trailing ';' made it malformed: ") + e.what());
    }
    Require(terminated.DataSource() == c.DataSource() &&
                terminated.DatabasePassword() == c.DatabasePassword(),
            "a trailing ';' changed a value");
}

void CheckQuoted(const QString& text) {
    for (const QChar quote : {QChar(u'"'), QChar(u'\'')}) {
        const QString value = QString(text).replace(quote, QString(2, quote));
        QString parsed;
        try {
            parsed = ConnectionString::Parse(u"Provider=x; Jet OLEDB:Database Password = "_s + quote + value +
                                             quote + u" ;Data Source=y"_s)
                         .DatabasePassword();
        } catch (const ado::DatabaseError& e) {
            throw std::logic_error(std::string("quoted value refused: ") + e.what());
        }
        Require(parsed == text, "quoted value changed");
    }
}

void Check(const QString& text) {
    CheckParse(text);
    CheckQuoted(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Check(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (size >= 2 && size % 2 == 0) {
        // Copied: the input need not be aligned for char16_t.
        std::u16string units(size / 2, u'\0');
        std::memcpy(units.data(), data, size);
        Check(QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())));
    }
    return 0;
}
