#include "frame/MainForm.h"

#include "frame/CommandLine.h"
#include "frame/PublicUnit.h"
#include "frame/RegistryLanguage.h"
#include "frame/Startup.h"
#include "localisation/FormTranslator.h"
#include "localisation/Languages.h"
#include "localisation/ProviderDetection.h"

#include <QFileInfo>
#include <QPalette>
#include <QScreen>

namespace {

constexpr int ClientWidth = 443;
constexpr int ClientHeight = 603;

} // namespace

TfrmMain::TfrmMain(TComponent* owner, const QStringList& parameters) : TForm(owner) {
    SetName(QStringLiteral("frmMain"));
    SetCaption(QStringLiteral("Orvane"));
    Font()->SetName(QStringLiteral("MS Sans Serif"));
    Font()->SetSize(8);
    setFixedSize(ClientWidth, ClientHeight);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);

    ProgramIcon = new TImage(this);
    ProgramIcon->SetName(QStringLiteral("ProgramIcon"));
    ProgramIcon->SetAlign(alTop);
    ProgramIcon->SetBounds(0, 0, ClientWidth, 72);
    ProgramIcon->SetStretch(true);
    ProgramIcon->SetAutoSize(true);

    btClose = new TButton(this);
    btClose->SetName(QStringLiteral("btClose"));
    btClose->SetCaption(QStringLiteral("Close"));
    btClose->SetBounds(ClientWidth - 75 - 8, ClientHeight - 22 - 8, 75, 22);
    btClose->SetDefault(true);
    btClose->OnClick = [this](TComponent* sender) { btCloseClick(sender); };
    OnShow = [this](TComponent* sender) { FormShow(sender); };

    FormCreate(parameters);
}

void TfrmMain::FormCreate(const QStringList& parameters) {
    try {
        AppSettings.AppFolder = ExecutableFolder();
        AppSettings.AppTitle = QStringLiteral("Orvane");
        AppSettings.ProductCode = QStringLiteral("QV");
        AppSettings.ProviderName = DetectOleDbProvider();
        LanguageSettings.LanguageIndex = 0;
        ParseCommandLine(parameters);
        if (LanguageSettings.LanguageIndex == 0) ApplyRegistryLanguage();
        TranslateForm(LanguageSettings.LanguageIndex, this, true);
    } catch (const std::exception& e) {
        // What escapes a step ends the sequence there; the window is still created and shown.
        ShowErrorBox(QString::fromUtf8(e.what()));
    }
}

void TfrmMain::FormShow(TComponent*) {
    TraceStartup(QStringLiteral("FormShow"));
    ReportShownForBenchmark();
    const QString picture = AppSettings.AppFolder + QStringLiteral("Pictures/Software Pictures/") +
                            AppSettings.ProductCode + QStringLiteral("_About.jpg");
    if (!QFileInfo::exists(picture)) return; // a link counts when its target exists
    try {
        ProgramIcon->Picture()->LoadFromFile(picture);
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromUtf8(e.what()));
    }
}

void TfrmMain::btCloseClick(TComponent*) { close(); }
