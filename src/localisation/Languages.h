#pragma once

#include "platform/ado/Connection.h"

#include <QString>

#include <cstdint>
#include <functional>

// The user-interface language and the fonts of translated windows. Only LanguageIndex changes, and
// only during start-up.
struct LanguageSettingsRecord {
    std::int32_t LanguageIndex = 3;
    QString LanguageColumn = QStringLiteral("ENGLISH_US");
    std::uint8_t FontCharset = 1;
    QString FontName = QStringLiteral("MS Sans Serif");
    std::int32_t FontSize = 8;
};

inline LanguageSettingsRecord LanguageSettings;

// The language database: languages.mdb in the application folder, read-only, password-protected.
QString LanguageDatabasePath();
QString LanguageConnectionString(const QString& providerName);

// The settings every connection and query on the language database gets: read-only, no login
// prompt, statements passed as they stand.
void ConfigureLanguageConnection(ado::Connection& connection, const QString& providerName);
void ConfigureLanguageQuery(ado::Query& query, ado::Connection* connection);

// A text key as a statement literal: between single quotes, each quote doubled.
QString TextLiteral(const QString& key);

// The shared connection and query through which every read of the language database passes. They
// are created on demand, opened by the first statement, kept open between reads, and thrown away
// after a failed read so that the next read starts afresh. Nothing frees them at exit.
void EnsureLanguageDatabase();
// Runs one statement on the shared query, leaving it on the first row. Throws ado::DatabaseError.
void RunLanguageQuery(const QString& statement);
// Throws the shared objects away; only a reader's failure path calls it.
void DropLanguageDatabase();
// How often the shared objects were thrown away: what a reader keeps from earlier reads holds only
// while this stays the same.
std::uint64_t LanguageDatabaseDrops();

ado::Connection* LanguageConnection();
ado::Query* LanguageQuery();

enum class LanguageDatabaseState { Absent, Ready, Open };
LanguageDatabaseState CurrentLanguageDatabaseState();

// The read protocol every reader follows: ensure the shared objects, run the statement, let read
// take what it needs from the query, close the query. Any failure drops the shared objects and
// returns false; nothing is shown or logged.
bool ReadLanguageDatabase(const QString& statement, const std::function<void(ado::Query&)>& read);
