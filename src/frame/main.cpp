// Orvane: starts the application, creates the main window and runs until it is closed.
#include "frame/MainForm.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvane"));
    // Closing the main window ends the program.
    QApplication::setQuitOnLastWindowClosed(true);

    const QStringList parameters = QApplication::arguments().mid(1);
    TfrmMain window(nullptr, parameters);
    frmMain = &window;
    // Centred on the screen: the window has no owner to centre on.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    // A request to end made during start-up is queued: it takes effect at the first turn of the
    // event loop, after the window has been shown once.
    window.show();
    const int status = QApplication::exec();
    frmMain = nullptr;
    return status;
}
