#pragma once

#include <QString>

// Process-wide settings, written once during start-up and only read afterwards.
struct AppSettingsRecord {
    QString AppFolder;    // folder of the running executable, ending with '/'
    QString AppTitle;     // caption of the program's own notices
    QString ProductCode;  // names the header picture
    QString ProviderName; // the database provider the language database is opened with
};

inline AppSettingsRecord AppSettings;
