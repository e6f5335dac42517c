#include "platform/ado/Connection.h"

#include "platform/ado/DatabaseError.h"
#include "platform/jet/JetProvider.h"

namespace ado {

namespace {

// The providers this build has; the Access providers are always there.
std::vector<std::unique_ptr<Provider>>& Providers() {
    static std::vector<std::unique_ptr<Provider>> providers = jet::MakeProviders();
    return providers;
}

} // namespace

Provider* FindProvider(const QString& name) {
    for (const auto& p : Providers())
        if (p->Name().compare(name, Qt::CaseInsensitive) == 0) return p.get();
    return nullptr;
}

void RegisterProvider(std::unique_ptr<Provider> provider) { Providers().push_back(std::move(provider)); }

Connection::~Connection() = default;

void Connection::Open() {
    if (session_) return;
    const auto parsed = ado::ConnectionString::Parse(ConnectionString);
    Provider* provider = FindProvider(parsed.Provider());
    if (!provider)
        throw DatabaseError(QStringLiteral("provider %1 is not installed").arg(parsed.Provider().isEmpty()
                                                                                  ? QStringLiteral("(none named)")
                                                                                  : parsed.Provider()));
    session_ = provider->Open(parsed);
}

void Connection::Close() { session_.reset(); }

Recordset Connection::Execute(const Statement& statement) {
    Open();
    return session_->Execute(statement);
}

std::vector<TableSchema> Connection::OpenSchema() {
    Open();
    return session_->Schema();
}

bool Field::IsNull() const { return std::holds_alternative<std::monostate>(*value_); }

QString Field::AsString() const {
    if (const auto* s = std::get_if<QString>(value_)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(value_)) return QString::number(*i);
    if (const auto* d = std::get_if<double>(value_)) return QString::number(*d, 'g', 15);
    if (const auto* b = std::get_if<QByteArray>(value_)) return QString::fromLatin1(*b);
    return {};
}

QByteArray Field::AsBytes() const {
    if (const auto* b = std::get_if<QByteArray>(value_)) return *b;
    if (IsNull()) return {};
    throw DatabaseError(QStringLiteral("field %1 does not hold binary data").arg(name_));
}

Query::~Query() = default;

void Query::Open() {
    Close();
    if (!connection_) throw DatabaseError(QStringLiteral("the query has no connection"));
    const Statement statement = ParseStatement(SQL.join(QStringLiteral("\r\n")));
    result_ = connection_->Execute(statement);
    row_ = 0;
    active_ = true;
}

void Query::Close() {
    active_ = false;
    result_ = {};
    row_ = 0;
}

int Query::RecordCount() const {
    if (!active_) throw DatabaseError(QStringLiteral("the query is closed"));
    return static_cast<int>(result_.rows.size());
}

bool Query::Eof() const { return !active_ || row_ >= result_.rows.size(); }
void Query::First() { row_ = 0; }
void Query::Next() {
    if (row_ < result_.rows.size()) ++row_;
}

Field Query::FieldByName(const QString& name) const {
    if (!active_) throw DatabaseError(QStringLiteral("the query is closed"));
    for (qsizetype i = 0; i < result_.columns.size(); ++i) {
        if (result_.columns[i].compare(name, Qt::CaseInsensitive) != 0) continue;
        if (row_ >= result_.rows.size()) throw DatabaseError(QStringLiteral("the query has no current row"));
        return Field(result_.columns[i], &result_.rows[row_][static_cast<std::size_t>(i)]);
    }
    throw DatabaseError(QStringLiteral("no field %1 in the result").arg(name));
}

} // namespace ado
