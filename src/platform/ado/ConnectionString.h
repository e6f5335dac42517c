#pragma once

#include <QString>

#include <map>

namespace ado {

// "Provider=...;Data Source=...;Persist Security Info=False;Jet OLEDB:Database Password=..."
// Keys compare without regard to letter case; a value may be quoted with " or ' (a doubled quote
// inside stands for one); spaces around keys and values are dropped. Throws DatabaseError for a
// malformed string.
class ConnectionString {
public:
    ConnectionString() = default;
    static ConnectionString Parse(const QString& text);

    // The value of a key, or an empty text when the key is absent.
    QString Value(const QString& key) const;
    bool Has(const QString& key) const;

    QString Provider() const { return Value(QStringLiteral("Provider")); }
    QString DataSource() const { return Value(QStringLiteral("Data Source")); }
    QString DatabasePassword() const { return Value(QStringLiteral("Jet OLEDB:Database Password")); }

private:
    std::map<QString, QString> values_; // by key in lower case
};

} // namespace ado
