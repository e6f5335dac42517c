#include "localisation/ResourceFiles.h"

#include "localisation/Languages.h"

#include <QSaveFile>

#include <stdexcept>

namespace {

void SaveWhole(const QString& destination, const QByteArray& bytes) {
    QSaveFile file(destination);
    // Any failure of open, write or commit discards the temporary file and keeps the old one.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error("cannot write " + destination.toStdString() + ": " +
                                 file.errorString().toStdString());
}

} // namespace

QString ResourceFileStatement(const QString& resourceName) {
    return QStringLiteral("select ") + LanguageSettings.LanguageColumn +
           QStringLiteral(" from ResourceFiles where ResourceName=") + TextLiteral(resourceName);
}

QString ExtractResourceFile(const QString& resourceName, const QString& destination) {
    const QString column = LanguageSettings.LanguageColumn;
    ReadLanguageDatabase(ResourceFileStatement(resourceName), [&](ado::Query& query) {
        if (query.RecordCount() <= 0) return;
        const ado::Field value = query.FieldByName(column);
        if (!value.IsNull()) SaveWhole(destination, value.AsBytes());
    });
    return destination;
}
