#include "langdb/Json.h"

#include <QCryptographicHash>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace langdb {

namespace {

void AppendEscape(std::string& out, char16_t unit) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(unit));
    out += buffer;
}

template <typename... Visitors> struct Overloaded : Visitors... { using Visitors::operator()...; };

} // namespace

void AppendJsonString(std::string& out, QStringView text) {
    out += '"';
    qsizetype plainStart = 0;
    auto flush = [&](qsizetype end) {
        if (end > plainStart) out += text.mid(plainStart, end - plainStart).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char* escape = nullptr;
        switch (c) {
        case u'"':
            escape = "\\\"";
            break;
        case u'\\':
            escape = "\\\\";
            break;
        case u'\n':
            escape = "\\n";
            break;
        case u'\r':
            escape = "\\r";
            break;
        case u'\t':
            escape = "\\t";
            break;
        default:
            break;
        }
        const bool paired = QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (paired) {
            ++i;
            continue;
        }
        if (!escape && c >= 0x20 && !QChar::isSurrogate(c)) continue;
        flush(i);
        if (escape)
            out += escape;
        else
            AppendEscape(out, c);
        plainStart = i + 1;
    }
    flush(text.size());
    out += '"';
}

void AppendJsonValue(std::string& out, const ado::FieldValue& value) {
    std::visit(Overloaded{
                   [&](std::monostate) { out += "null"; },
                   [&](std::int64_t n) { out += std::to_string(n); },
                   [&](double d) {
                       if (std::isnan(d)) {
                           out += "\"NaN\"";
                       } else if (std::isinf(d)) {
                           out += d > 0 ? "\"Infinity\"" : "\"-Infinity\"";
                       } else {
                           char buffer[32];
                           const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
                           out.append(buffer, result.ptr);
                       }
                   },
                   [&](const QString& s) { AppendJsonString(out, s); },
                   [&](const QByteArray& b) {
                       const QByteArray digest =
                           QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex();
                       out += "{\"size\": " + std::to_string(b.size()) + ", \"sha256\": \"" +
                              digest.toStdString() + "\"}";
                   },
               },
               value);
}

std::string RecordsetJson(const ado::Recordset& recordset) {
    std::string out = "{\"columns\": [";
    for (qsizetype i = 0; i < recordset.columns.size(); ++i) {
        if (i > 0) out += ", ";
        AppendJsonString(out, recordset.columns[i]);
    }
    out += "], \"rows\": [";
    for (std::size_t r = 0; r < recordset.rows.size(); ++r) {
        out += r == 0 ? "\n  [" : ",\n  [";
        const auto& row = recordset.rows[r];
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += ", ";
            AppendJsonValue(out, row[c]);
        }
        out += ']';
    }
    out += recordset.rows.empty() ? "]}\n" : "\n]}\n";
    return out;
}

} // namespace langdb
