#include "frame/Startup.h"

#include "frame/PublicUnit.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <chrono>

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

void ReportShownForBenchmark() {
    const QByteArray file = qgetenv("ORVANE_EXIT_WHEN_SHOWN");
    if (file.isEmpty()) return;
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    QFile out(QString::fromLocal8Bit(file));
    if (out.open(QIODevice::Append | QIODevice::Text)) out.write(QByteArray::number(static_cast<qint64>(now)) + '\n');
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
