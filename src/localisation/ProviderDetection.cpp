#include "localisation/ProviderDetection.h"

#include "frame/PublicUnit.h"
#include "frame/Startup.h"
#include "localisation/Languages.h"
#include "platform/ado/Connection.h"
#include "platform/registry/Registry.h"

#include <QCoreApplication>
#include <QMessageBox>

bool TestOleDbProvider(const QString& providerName) {
    auto connection = std::make_unique<ado::Connection>();
    ConfigureLanguageConnection(*connection, providerName);
    auto query = std::make_unique<ado::Query>();
    ConfigureLanguageQuery(*query, connection.get());
    bool passed = false;
    try {
        query->Close();
        query->SQL.clear();
        query->SQL.append(QStringLiteral("select count(*) as aa from Languages"));
        query->Open();
        passed = true;
        query->Close();
    } catch (...) {
    }
    query.reset();
    connection->Close();
    return passed;
}

ProviderDetectionPlatform& ProviderDetection() {
    static ProviderDetectionPlatform platform{
        [](const QString& key) -> std::optional<QString> {
            const auto opened = registry::SystemRegistry().OpenKey(registry::RootKey::ClassesRoot, key);
            if (!opened) return std::nullopt;
            // A missing default value, or one that is not text, names no provider: its probe fails
            // and the other well-known name is tried.
            const auto value = opened->ReadValue(QString());
            return value ? registry::ValueText(*value).value_or(QString()) : QString();
        },
        [](const QString& caption, const QString& text) {
            TraceStartup(QStringLiteral("warning ") + text);
            QMessageBox::warning(nullptr, caption, text, QMessageBox::Ok);
        },
        [] { QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection); },
    };
    return platform;
}

QString DetectOleDbProvider() {
    auto& p = ProviderDetection();
    QString result = JetProviderName;
    if (const auto jet = p.ReadClassKeyDefault(JetClassKey)) {
        if (p.Probe(*jet))
            result = *jet;
        else if (p.Probe(AceProviderName))
            result = AceProviderName;
    } else if (const auto ace = p.ReadClassKeyDefault(AceClassKey)) {
        if (p.Probe(*ace))
            result = *ace;
        else if (p.Probe(JetProviderName))
            result = JetProviderName;
    } else if (p.Probe(JetProviderName)) {
        result = JetProviderName;
    } else if (p.Probe(AceProviderName)) {
        result = AceProviderName;
    } else {
        p.ShowWarning(AppSettings.AppTitle, QStringLiteral("Please Install AccessDatabaseEngine."));
        p.Terminate();
    }
    return result;
}
