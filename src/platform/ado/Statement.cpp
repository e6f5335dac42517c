#include "platform/ado/Statement.h"

#include "platform/ado/DatabaseError.h"

#include <QChar>

#include <array>
#include <limits>
#include <utility>

namespace ado {
namespace {

enum class TokenKind {
    Name,
    BracketedName,
    Integer,
    Text,
    Comma,
    LeftParen,
    RightParen,
    Star,
    Equals,
    Semicolon,
    End
};

struct Token {
    TokenKind kind = TokenKind::End;
    qsizetype position = 0;
    qsizetype length = 0;
    QString value; // names and text literals, unquoted
    std::int64_t integer = 0;
};

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The code point at i, taking a surrogate pair whole; a lone surrogate comes back as itself and
// matches no character class below.
char32_t CodePointAt(const QString& s, qsizetype i, qsizetype& units) {
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(c, s[i + 1]);
    }
    units = 1;
    return c.unicode();
}

bool IsNameStart(char32_t c) {
    return c == U'_' || QChar::isLetter(c);
}

// Marks as well, or names in scripts that combine letters with vowel signs could not be written bare.
bool IsNamePart(char32_t c) {
    return IsNameStart(c) || QChar::isDigit(c) || QChar::isMark(c);
}

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A bounded, single-line piece of the statement for a message.
QString Excerpt(const QString& text) {
    constexpr qsizetype Limit = 40;
    qsizetype cut = text.size();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' || text[i] == u'\n') {
            cut = i;
            break;
        }
    if (cut > Limit) cut = Limit;
    if (cut == text.size()) return text;
    if (cut > 0 && text[cut - 1].isHighSurrogate()) --cut;
    return text.left(cut) + QStringLiteral("...");
}

// Spaces and invisible characters by code, so that the message says which one it was.
QString Shown(char32_t c) {
    if (QChar::isPrint(c) && !QChar::isSpace(c)) return u'\'' + QString::fromUcs4(&c, 1) + u'\'';
    return QStringLiteral("U+%1").arg(quint32(c), 4, 16, QChar(u'0')).toUpper();
}

QString Position(qsizetype position) {
    return QString::number(position);
}

[[noreturn]] void SyntaxError(qsizetype position, const QString& what) {
    throw DatabaseError(QStringLiteral("syntax error at position %1: %2").arg(Position(position), what));
}

class Lexer {
public:
    explicit Lexer(const QString& text) : text_(text) {}

    Token Next() {
        while (pos_ < text_.size() && IsSpace(text_[pos_]))
            ++pos_;
        Token t;
        t.position = pos_;
        if (pos_ == text_.size()) return t;

        const QChar c = text_[pos_];
        static constexpr std::array<std::pair<char16_t, TokenKind>, 6> Symbols{{
            {u',', TokenKind::Comma},
            {u'(', TokenKind::LeftParen},
            {u')', TokenKind::RightParen},
            {u'*', TokenKind::Star},
            {u'=', TokenKind::Equals},
            {u';', TokenKind::Semicolon},
        }};
        for (const auto& [symbol, kind] : Symbols)
            if (c == symbol) {
                t.kind = kind;
                return Finish(t, pos_ + 1);
            }
        if (c == u'\'') return TextLiteral(t);
        if (c == u'[') return BracketedName(t);
        if (IsAsciiDigit(c) || (c == u'-' && pos_ + 1 < text_.size() && IsAsciiDigit(text_[pos_ + 1])))
            return IntegerLiteral(t);

        qsizetype units = 0;
        const char32_t first = CodePointAt(text_, pos_, units);
        if (!IsNameStart(first))
            SyntaxError(pos_, QStringLiteral("unexpected character %1").arg(Shown(first)));
        qsizetype end = pos_ + units;
        while (end < text_.size() && IsNamePart(CodePointAt(text_, end, units)))
            end += units;
        t.kind = TokenKind::Name;
        t.value = text_.mid(pos_, end - pos_);
        return Finish(t, end);
    }

    QString Source(const Token& t) const { return text_.mid(t.position, t.length); }

private:
    Token Finish(Token& t, qsizetype end) {
        t.length = end - t.position;
        pos_ = end;
        return t;
    }

    Token TextLiteral(Token& t) {
        t.kind = TokenKind::Text;
        qsizetype i = pos_ + 1;
        for (;;) {
            const qsizetype quote = text_.indexOf(u'\'', i);
            if (quote < 0)
                throw DatabaseError(
                    QStringLiteral("unterminated text literal starting at position %1").arg(Position(pos_)));
            t.value += QStringView(text_).mid(i, quote - i);
            if (quote + 1 < text_.size() && text_[quote + 1] == u'\'') {
                t.value += u'\'';
                i = quote + 2;
                continue;
            }
            return Finish(t, quote + 1);
        }
    }

    // Access names cannot hold ']', so there is nothing to escape.
    Token BracketedName(Token& t) {
        t.kind = TokenKind::BracketedName;
        const qsizetype close = text_.indexOf(u']', pos_ + 1);
        if (close < 0)
            throw DatabaseError(
                QStringLiteral("unterminated bracketed name starting at position %1").arg(Position(pos_)));
        if (close == pos_ + 1) SyntaxError(pos_, QStringLiteral("empty name in brackets"));
        t.value = text_.mid(pos_ + 1, close - pos_ - 1);
        return Finish(t, close + 1);
    }

    Token IntegerLiteral(Token& t) {
        t.kind = TokenKind::Integer;
        const bool negative = text_[pos_] == u'-';
        qsizetype end = pos_ + (negative ? 1 : 0);
        // The magnitude of the most negative value is one more than the largest positive one.
        const std::uint64_t limit =
            std::uint64_t(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
        std::uint64_t magnitude = 0;
        bool overflow = false;
        for (; end < text_.size() && IsAsciiDigit(text_[end]); ++end) {
            const auto digit = std::uint64_t(text_[end].unicode() - u'0');
            if (magnitude > (limit - digit) / 10)
                overflow = true;
            else
                magnitude = magnitude * 10 + digit;
        }
        // "12abc" or "1.5" is neither a number nor a name.
        const auto continuesNumber = [this](qsizetype i, qsizetype& units) {
            const char32_t c = CodePointAt(text_, i, units);
            return c == U'.' || IsNamePart(c);
        };
        qsizetype units = 0;
        if (end < text_.size() && continuesNumber(end, units)) {
            qsizetype stop = end;
            while (stop < text_.size() && continuesNumber(stop, units))
                stop += units;
            SyntaxError(pos_,
                        QStringLiteral("malformed number '%1'").arg(Excerpt(text_.mid(pos_, stop - pos_))));
        }
        if (overflow)
            throw DatabaseError(
                QStringLiteral("integer literal out of range at position %1").arg(Position(pos_)));
        t.integer = negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
        return Finish(t, end);
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

// Keywords are ASCII; comparing by Unicode case folding would let "ſelect" pass for SELECT.
bool IsKeyword(const Token& t, QLatin1StringView keyword) {
    if (t.kind != TokenKind::Name || t.value.size() != keyword.size()) return false;
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        char16_t c = t.value[i].unicode();
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c != char16_t(keyword[i].unicode())) return false;
    }
    return true;
}

// Words that would make the statement ambiguous as bare names; in brackets they are ordinary names.
bool IsReserved(const Token& t) {
    for (const auto word : {QLatin1StringView("select"), QLatin1StringView("from"),
                            QLatin1StringView("where"), QLatin1StringView("as"), QLatin1StringView("and")})
        if (IsKeyword(t, word)) return true;
    return false;
}

class Parser {
public:
    explicit Parser(const QString& text) : lexer_(text) {}

    Statement Parse() {
        Statement s;
        Token t = Take();
        if (t.kind == TokenKind::End || (t.kind == TokenKind::Semicolon && Peek().kind == TokenKind::End))
            throw DatabaseError(QStringLiteral("empty statement"));
        if (!IsKeyword(t, QLatin1StringView("select"))) Expected(t, QStringLiteral("SELECT"));

        t = Take();
        if (IsKeyword(t, QLatin1StringView("count")) && Peek().kind == TokenKind::LeftParen) {
            s.kind = Statement::Kind::Count;
            Take();
            Expect(TokenKind::Star, QStringLiteral("'*'"));
            Expect(TokenKind::RightParen, QStringLiteral("')'"));
            t = Take();
            s.countAlias = QStringLiteral("Expr1000");
            if (IsKeyword(t, QLatin1StringView("as"))) {
                s.countAlias = Name(Take(), QStringLiteral("alias"));
                t = Take();
            }
            if (!IsKeyword(t, QLatin1StringView("from"))) Expected(t, QStringLiteral("FROM"));
            s.table = Name(Take(), QStringLiteral("table name"));
            t = Take();
            if (IsKeyword(t, QLatin1StringView("where")))
                SyntaxError(t.position, QStringLiteral("WHERE is not supported with COUNT(*)"));
        } else {
            for (;;) {
                s.columns.push_back(Name(t, QStringLiteral("column name")));
                if (t.kind == TokenKind::Name && Peek().kind == TokenKind::LeftParen)
                    SyntaxError(t.position,
                                QStringLiteral("function '%1' is not supported").arg(Excerpt(t.value)));
                t = Take();
                if (t.kind != TokenKind::Comma) break;
                t = Take();
            }
            if (!IsKeyword(t, QLatin1StringView("from"))) Expected(t, QStringLiteral("FROM"));
            s.table = Name(Take(), QStringLiteral("table name"));
            t = Take();
            if (IsKeyword(t, QLatin1StringView("where"))) {
                do {
                    Statement::Condition condition;
                    condition.column = Name(Take(), QStringLiteral("column name"));
                    Expect(TokenKind::Equals, QStringLiteral("'='"));
                    t = Take();
                    if (t.kind == TokenKind::Integer)
                        condition.value = t.integer;
                    else if (t.kind == TokenKind::Text)
                        condition.value = t.value;
                    else
                        Expected(t, QStringLiteral("integer or text literal"));
                    s.where.push_back(std::move(condition));
                    t = Take();
                } while (IsKeyword(t, QLatin1StringView("and")));
            }
        }

        if (t.kind == TokenKind::Semicolon) t = Take();
        if (t.kind != TokenKind::End) Expected(t, QStringLiteral("end of statement"));
        return s;
    }

private:
    Token Take() {
        if (peeked_) {
            Token t = std::move(*peeked_);
            peeked_.reset();
            return t;
        }
        return lexer_.Next();
    }

    const Token& Peek() {
        if (!peeked_) peeked_ = lexer_.Next();
        return *peeked_;
    }

    void Expect(TokenKind kind, const QString& what) {
        const Token t = Take();
        if (t.kind != kind) Expected(t, what);
    }

    QString Name(const Token& t, const QString& what) {
        if (t.kind == TokenKind::BracketedName || (t.kind == TokenKind::Name && !IsReserved(t)))
            return t.value;
        Expected(t, what);
    }

    [[noreturn]] void Expected(const Token& t, const QString& what) {
        QString found;
        if (t.kind == TokenKind::End)
            found = QStringLiteral("end of statement");
        else if (t.kind == TokenKind::Text)
            found = QStringLiteral("text literal %1").arg(Excerpt(lexer_.Source(t)));
        else
            found = QStringLiteral("'%1'").arg(Excerpt(lexer_.Source(t)));
        SyntaxError(t.position, QStringLiteral("expected %1, found %2").arg(what, found));
    }

    Lexer lexer_;
    std::optional<Token> peeked_;
};

} // namespace

Statement ParseStatement(const QString& text) {
    return Parser(text).Parse();
}

} // namespace ado
