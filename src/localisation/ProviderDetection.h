#pragma once

#include <QString>

#include <functional>
#include <optional>

// The provider names the system knows, and the class keys that register them.
inline const QString JetProviderName = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
inline const QString AceProviderName = QStringLiteral("Microsoft.ACE.OLEDB.12.0");
inline const QString JetClassKey = QStringLiteral("CLSID\\{dee35070-506b-11cf-b1aa-00aa00b8de95}");
inline const QString AceClassKey = QStringLiteral("CLSID\\{3BE786A0-0366-4F5C-9434-25CF162E475E}");

// Whether languages.mdb opens with that provider and answers "select count(*) as aa from Languages",
// through a private connection. Never throws for a failed open or statement.
bool TestOleDbProvider(const QString& providerName);

// Chooses the provider for the language database: the registered one that opens it, else the other
// well-known name; when neither class key exists and neither name works, warns the user and asks the
// program to end. Returns "Microsoft.Jet.OLEDB.4.0" when nothing else is settled.
QString DetectOleDbProvider();

// What DetectOleDbProvider needs of its surroundings; tests replace them.
struct ProviderDetectionPlatform {
    // The default value of a key under HKEY_CLASSES_ROOT: nullopt when the key does not open, the
    // empty text for a missing default value, or one that is not text.
    std::function<std::optional<QString>(const QString& key)> ReadClassKeyDefault;
    // A modal warning box with one OK button.
    std::function<void(const QString& caption, const QString& text)> ShowWarning;
    // Asks the program to end once its event loop runs.
    std::function<void()> Terminate;
    std::function<bool(const QString& providerName)> Probe = TestOleDbProvider;
};

ProviderDetectionPlatform& ProviderDetection();
