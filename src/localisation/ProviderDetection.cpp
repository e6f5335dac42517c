#include "localisation/ProviderDetection.h"

#include "frame/PublicUnit.h"
#include "localisation/Languages.h"
#include "platform/ado/Connection.h"

#include <QCoreApplication>
#include <QMessageBox>

bool TestOleDbProvider(const QString& providerName) {
    auto connection = std::make_unique<ado::Connection>();
    connection->ConnectionString = LanguageConnectionString(providerName);
    connection->LoginPrompt = false;
    connection->Mode = ado::ConnectMode::Read;
    auto query = std::make_unique<ado::Query>();
    query->SetConnection(connection.get());
    query->ParamCheck = false;
    query->Lock = ado::LockType::ReadOnly;
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
        [](const QString&) -> std::optional<QString> { return std::nullopt; },
        [](const QString& caption, const QString& text) {
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
