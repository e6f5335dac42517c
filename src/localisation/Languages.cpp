#include "localisation/Languages.h"

#include "frame/PublicUnit.h"
#include "platform/ado/DatabaseError.h"

namespace {

// Process-wide handles, empty at start; never freed at exit.
ado::Connection* connection = nullptr;
ado::Query* query = nullptr;
std::uint64_t drops = 0;

} // namespace

QString LanguageDatabasePath() { return AppSettings.AppFolder + QStringLiteral("languages.mdb"); }

QString LanguageConnectionString(const QString& providerName) {
    return QStringLiteral("Provider=%1;Data Source=%2;Persist Security Info=False;"
                          "Jet OLEDB:Database Password=wxqv_5831")
        .arg(providerName, LanguageDatabasePath());
}

QString TextLiteral(const QString& key) {
    QString quoted = key;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

void ConfigureLanguageConnection(ado::Connection& c, const QString& providerName) {
    c.ConnectionString = LanguageConnectionString(providerName);
    c.LoginPrompt = false;
    c.Mode = ado::ConnectMode::Read;
}

void ConfigureLanguageQuery(ado::Query& q, ado::Connection* c) {
    q.SetConnection(c);
    q.ParamCheck = false;
    q.Lock = ado::LockType::ReadOnly;
}

void EnsureLanguageDatabase() {
    if (!connection) {
        connection = new ado::Connection;
        ConfigureLanguageConnection(*connection, AppSettings.ProviderName);
    }
    if (!query) {
        query = new ado::Query;
        ConfigureLanguageQuery(*query, connection);
    }
}

void RunLanguageQuery(const QString& statement) {
    query->Close();
    query->SQL.clear();
    query->SQL.append(statement);
    query->Open();
}

void DropLanguageDatabase() {
    try {
        if (query) query->SetConnection(nullptr);
        delete query;
    } catch (...) {
    }
    query = nullptr;
    if (connection) connection->Close();
    delete connection;
    connection = nullptr;
    ++drops;
}

std::uint64_t LanguageDatabaseDrops() { return drops; }

ado::Connection* LanguageConnection() { return connection; }
ado::Query* LanguageQuery() { return query; }

LanguageDatabaseState CurrentLanguageDatabaseState() {
    if (!connection || !query) return LanguageDatabaseState::Absent;
    return connection->Connected() ? LanguageDatabaseState::Open : LanguageDatabaseState::Ready;
}

bool ReadLanguageDatabase(const QString& statement, const std::function<void(ado::Query&)>& read) {
    EnsureLanguageDatabase();
    try {
        RunLanguageQuery(statement);
        read(*query);
        query->Close();
        return true;
    } catch (...) {
        DropLanguageDatabase();
        return false;
    }
}
