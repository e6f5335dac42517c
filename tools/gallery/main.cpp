// orvane-gallery: a window holding a component of every class the translator knows, translated from
// a language database, so that a translator can see their work and anyone can check the rules by eye.
#include "gallery/GalleryForm.h"

#include "frame/PublicUnit.h"
#include "frame/Startup.h"
#include "localisation/FormTranslator.h"
#include "localisation/Languages.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

[[noreturn]] void Refuse(const QString& message) {
    std::fprintf(stderr, "orvane-gallery: %s\n", qPrintable(message));
    std::exit(2);
}

int IntegerOption(const QCommandLineParser& parser, const QString& name, int low, int high) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        Refuse(QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                   .arg(name)
                   .arg(low)
                   .arg(high)
                   .arg(parser.value(name)));
    return value;
}

} // namespace

int main(int argc, char* argv[]) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Shows a window with a component of every class the translator knows, translated from a "
        "language database."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("database"),
                                 QStringLiteral("The language database (default: languages.mdb beside the program)."),
                                 QStringLiteral("[database]"));
    parser.addOptions({
        {QStringLiteral("language-index"), QStringLiteral("The language's number, 1 to 16 (default 3, English)."),
         QStringLiteral("n"), QStringLiteral("3")},
        {QStringLiteral("language-column"),
         QStringLiteral("The column of the texts to show, e.g. FRENCH (default ENGLISH_US)."),
         QStringLiteral("column"), QStringLiteral("ENGLISH_US")},
        {QStringLiteral("font"), QStringLiteral("The face name translated controls get."), QStringLiteral("name")},
        {QStringLiteral("font-size"), QStringLiteral("Their size in points."), QStringLiteral("points")},
        {QStringLiteral("provider"), QStringLiteral("The database provider (default Microsoft.Jet.OLEDB.4.0)."),
         QStringLiteral("name"), QStringLiteral("Microsoft.Jet.OLEDB.4.0")},
        {QStringLiteral("page"),
         QStringLiteral("The page shown first: 0 standard controls, 1 data, 2 component packs."),
         QStringLiteral("n"), QStringLiteral("0")},
        {QStringLiteral("dump-texts"),
         QStringLiteral("Once the window is shown, write what each component shows to this file (- for the "
                        "standard output)."),
         QStringLiteral("file")},
        {QStringLiteral("screenshot"),
         QStringLiteral("Once the window is shown, save a picture of it to this PNG file and end."),
         QStringLiteral("file")},
    });
    // Read before the application starts, so that --help and mistakes need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments)) Refuse(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("orvane-gallery"))), stdout);
        return 0;
    }
    if (parser.positionalArguments().size() > 1) Refuse(QStringLiteral("give one database at most"));

    LanguageSettings.LanguageIndex = IntegerOption(parser, QStringLiteral("language-index"), 1, 16);
    LanguageSettings.LanguageColumn = parser.value(QStringLiteral("language-column"));
    if (parser.isSet(QStringLiteral("font"))) LanguageSettings.FontName = parser.value(QStringLiteral("font"));
    if (parser.isSet(QStringLiteral("font-size")))
        LanguageSettings.FontSize = IntegerOption(parser, QStringLiteral("font-size"), 1, 72);
    AppSettings.AppTitle = QStringLiteral("Orvane Gallery");
    AppSettings.ProviderName = parser.value(QStringLiteral("provider"));

    // The language database is languages.mdb in the application folder; a database of another name
    // or place is reached through a link of that name in a folder of our own.
    AppSettings.AppFolder = ExecutableFolder();
    std::unique_ptr<QTemporaryDir> linkFolder;
    if (!parser.positionalArguments().isEmpty()) {
        const QFileInfo database(parser.positionalArguments().first());
        if (!database.isFile()) Refuse(QStringLiteral("no database at %1").arg(database.filePath()));
        linkFolder = std::make_unique<QTemporaryDir>();
        if (!linkFolder->isValid() ||
            !QFile::link(database.absoluteFilePath(), linkFolder->filePath(QStringLiteral("languages.mdb"))))
            Refuse(QStringLiteral("cannot make a temporary folder for %1").arg(database.filePath()));
        AppSettings.AppFolder = linkFolder->path() + QLatin1Char('/');
    }

    const int page = IntegerOption(parser, QStringLiteral("page"), 0, 2);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvane-gallery"));
    QApplication::setQuitOnLastWindowClosed(true);
    TfrmGallery window(nullptr);
    window.ShowPage(page);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();

    const QString dump = parser.value(QStringLiteral("dump-texts"));
    const QString screenshot = parser.value(QStringLiteral("screenshot"));
    if (!dump.isEmpty() || !screenshot.isEmpty()) {
        // After the first paint, so that what is written is what is on the screen.
        QTimer::singleShot(300, &window, [&] {
            if (!dump.isEmpty()) {
                QFile out;
                const bool opened = dump == QLatin1String("-")
                                        ? out.open(stdout, QIODevice::WriteOnly)
                                        : (out.setFileName(dump), out.open(QIODevice::WriteOnly | QIODevice::Truncate));
                if (!opened) Refuse(QStringLiteral("cannot write %1").arg(dump));
                out.write(window.VisibleTexts().join(QLatin1Char('\n')).toUtf8() + '\n');
            }
            if (!screenshot.isEmpty()) {
                if (!window.grab().save(screenshot, "PNG")) Refuse(QStringLiteral("cannot write %1").arg(screenshot));
                QApplication::quit();
            }
        });
    }
    return QApplication::exec();
}
