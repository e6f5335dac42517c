// Arbitrary text for the statement parser. It may refuse it only with DatabaseError, and whatever it
// accepts must parse back to the same statement when written out again in canonical form. The text
// also goes into the slots that take anything, a bracketed name and a text literal.
#include "platform/ado/DatabaseError.h"
#include "platform/ado/Statement.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

using namespace Qt::StringLiterals;

namespace {

using ado::Statement;

// Escaping fuzz inputs crash the fuzzer and fail the corpus replay with the reason.
void Require(bool condition, const char* what) {
    if (!condition) throw std::logic_error(what);
}

QString Bracketed(const QString& name) {
    return u'[' + name + u']';
}

QString Canonical(const Statement& s) {
    QString text = u"select "_s;
    if (s.kind == Statement::Kind::Count) {
        text += u"count(*) as "_s + Bracketed(s.countAlias);
    } else {
        for (std::size_t i = 0; i < s.columns.size(); ++i)
            text += (i == 0 ? u""_s : u", "_s) + Bracketed(s.columns[i]);
    }
    text += u" from "_s + Bracketed(s.table);
    for (std::size_t i = 0; i < s.where.size(); ++i) {
        text += (i == 0 ? u" where "_s : u" and "_s) + Bracketed(s.where[i].column) + u'=';
        if (const auto* n = std::get_if<std::int64_t>(&s.where[i].value))
            text += QString::number(*n);
        else
            text += u'\'' + QString(std::get<QString>(s.where[i].value)).replace(u'\'', u"''"_s) + u'\'';
    }
    return text;
}

bool Same(const Statement& a, const Statement& b) {
    if (a.kind != b.kind || a.columns != b.columns || a.countAlias != b.countAlias || a.table != b.table ||
        a.where.size() != b.where.size())
        return false;
    for (std::size_t i = 0; i < a.where.size(); ++i)
        if (a.where[i].column != b.where[i].column || a.where[i].value != b.where[i].value) return false;
    return true;
}

bool NoEmptyName(const Statement& s) {
    for (const auto& c : s.columns)
        if (c.isEmpty()) return false;
    for (const auto& condition : s.where)
        if (condition.column.isEmpty()) return false;
    return !s.table.isEmpty();
}

void Check(const QString& text) {
    Statement s;
    try {
        s = ado::ParseStatement(text);
    } catch (const ado::DatabaseError&) {
        return;
    }
    Require(NoEmptyName(s), "accepted an empty name");
    if (s.kind == Statement::Kind::Count)
        Require(s.columns.empty() && !s.countAlias.isEmpty() && s.where.empty(), "malformed count statement");
    else
        Require(!s.columns.empty() && s.countAlias.isEmpty(), "malformed select statement");

    Statement again;
    try {
        again = ado::ParseStatement(Canonical(s));
    } catch (const ado::DatabaseError& e) {
        throw std::logic_error(std::string("canonical form refused: ") + e.what());
    }
    Require(Same(s, again), "canonical form parses to another statement");
}

// The text as a bracketed name and as a text literal: both take anything, the name all but ']' and
// the empty text, and must keep it exactly. (With a ']' the text may close the bracket and still
// make a statement, a different one.)
void CheckSlots(const QString& text) {
    if (!text.contains(u']')) {
        std::optional<Statement> s;
        try {
            s = ado::ParseStatement(u"select a, ["_s + text + u"] from t"_s);
        } catch (const ado::DatabaseError& e) {
            if (!text.isEmpty()) throw std::logic_error(std::string("bracketed name refused: ") + e.what());
        }
        if (text.isEmpty())
            Require(!s, "accepted an empty bracketed name");
        else
            Require(s->columns.size() == 2 && s->columns[1] == text, "bracketed name changed");
    }

    const QString literal = u"select a from t where b='"_s + QString(text).replace(u'\'', u"''"_s) + u"'"_s;
    try {
        const Statement s = ado::ParseStatement(literal);
        Require(s.where.size() == 1 && s.where[0].value == ado::Literal(text), "text literal changed");
    } catch (const ado::DatabaseError& e) {
        throw std::logic_error(std::string("text literal refused: ") + e.what());
    }
}

void CheckAll(const QString& text) {
    Check(text);
    CheckSlots(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckAll(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (size >= 2 && size % 2 == 0) {
        // Copied: the input need not be aligned for char16_t.
        std::u16string units(size / 2, u'\0');
        std::memcpy(units.data(), data, size);
        CheckAll(QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())));
    }
    return 0;
}
