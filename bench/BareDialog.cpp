// The baseline of the start-up benchmark: a bare Qt dialog of the main window's size.
#include "frame/Startup.h"

#include <QApplication>
#include <QDialog>

namespace {

class BareDialog : public QDialog {
protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        ReportShownForBenchmark();
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    BareDialog dialog;
    dialog.setFixedSize(443, 603);
    dialog.setWindowTitle(QStringLiteral("Bare dialog"));
    dialog.show();
    return QApplication::exec();
}
