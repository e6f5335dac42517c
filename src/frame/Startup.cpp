#include "frame/Startup.h"

#include "frame/PublicUnit.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

QString ExecutableFolder() {
    // /proc/self/exe names the file itself, links resolved, wherever it was copied to.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QString path = exe.isEmpty() ? QCoreApplication::applicationFilePath() : exe;
    return QFileInfo(path).absolutePath() + QLatin1Char('/');
}

void TraceStartup(const QString& line) {
    const QByteArray file = qgetenv("ORVANE_STARTUP_LOG");
    if (file.isEmpty()) return;
    QFile log(QString::fromLocal8Bit(file));
    if (log.open(QIODevice::Append | QIODevice::Text)) log.write((line + QLatin1Char('\n')).toUtf8());
}

void ShowErrorBox(const QString& text) {
    TraceStartup(QStringLiteral("error ") + text);
    QMessageBox::critical(QApplication::activeWindow(), AppSettings.AppTitle, text);
}
