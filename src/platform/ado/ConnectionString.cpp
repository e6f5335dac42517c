#include "platform/ado/ConnectionString.h"

#include "platform/ado/DatabaseError.h"

namespace ado {
namespace {

// Messages give positions only: the string holds the database password.
[[noreturn]] void Malformed(const QString& what, qsizetype position) {
    throw DatabaseError(QStringLiteral("malformed connection string: %1 at position %2")
                            .arg(what, QString::number(position)));
}

qsizetype SkipSpaces(const QString& text, qsizetype i) {
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

} // namespace

ConnectionString ConnectionString::Parse(const QString& text) {
    ConnectionString result;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype i = pos;
        while (i < n && text[i] != u'=' && text[i] != u';')
            ++i;
        if (i == n || text[i] == u';') {
            if (SkipSpaces(text, pos) < i)
                Malformed(QStringLiteral("segment without '='"), SkipSpaces(text, pos));
            pos = i + 1;
            continue;
        }
        const QString key = text.mid(pos, i - pos).trimmed().toLower();
        if (key.isEmpty()) Malformed(QStringLiteral("'=' without a key"), i);

        QString value;
        qsizetype j = SkipSpaces(text, i + 1);
        if (j < n && (text[j] == u'"' || text[j] == u'\'')) {
            const QChar quote = text[j];
            const qsizetype start = j;
            for (++j;; ++j) {
                if (j == n) Malformed(QStringLiteral("unterminated quoted value"), start);
                if (text[j] != quote) {
                    value += text[j];
                } else if (j + 1 < n && text[j + 1] == quote) {
                    value += quote;
                    ++j;
                } else {
                    break;
                }
            }
            j = SkipSpaces(text, j + 1);
            if (j < n && text[j] != u';') Malformed(QStringLiteral("text after a quoted value"), j);
        } else {
            const qsizetype end = text.indexOf(u';', j);
            const qsizetype stop = end < 0 ? n : end;
            value = text.mid(j, stop - j).trimmed();
            j = stop;
        }
        // A repeated key replaces the earlier value, as OLE DB has it.
        result.values_.insert_or_assign(key, value);
        pos = j + 1;
    }
    return result;
}

QString ConnectionString::Value(const QString& key) const {
    const auto it = values_.find(key.trimmed().toLower());
    return it == values_.end() ? QString() : it->second;
}

bool ConnectionString::Has(const QString& key) const {
    return values_.contains(key.trimmed().toLower());
}

} // namespace ado
