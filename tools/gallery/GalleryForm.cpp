#include "gallery/GalleryForm.h"

#include "localisation/FormTranslator.h"
#include "localisation/Languages.h"
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/CheckLst.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/DB.h"
#include "platform/vcl/DBActns.h"
#include "platform/vcl/DBCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/packs/DBGridEh.h"
#include "platform/packs/MiscControls.h"
#include "platform/packs/cxControls.h"
#include "platform/packs/dxBar.h"
#include "platform/packs/dxDocking.h"
#include "platform/packs/dxNavBar.h"
#include "platform/packs/dxRibbon.h"
#include "platform/packs/frxClass.h"
#include "platform/packs/wwControls.h"
#include "platform/packs/wwDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

template <class T> T* Make(TComponent* owner, const QString& name) {
    auto* component = new T(owner);
    component->SetName(name);
    return component;
}

// A control as the designer placed it: on its parent, at its place, with its designer texts.
template <class T>
T* Place(TComponent* owner, TControl* parent, const QString& name, QRect bounds, const QString& caption = {},
         const QString& hint = {}) {
    T* control = Make<T>(owner, name);
    control->SetParent(parent);
    control->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    if (!caption.isEmpty()) control->SetCaption(caption);
    if (!hint.isEmpty()) control->SetHint(hint);
    return control;
}

void Fill(TStrings* list, const QStringList& entries) {
    for (const QString& entry : entries)
        list->Add(entry);
}

} // namespace

TfrmGallery::TfrmGallery(TComponent* owner) : TForm(owner) {
    SetName(QStringLiteral("frmGallery"));
    SetCaption(QStringLiteral("Orvane Gallery"));
    resize(1000, 760);

    auto* mmMain = Make<TMainMenu>(this, QStringLiteral("mmMain"));
    auto* miFile = Make<TMenuItem>(this, QStringLiteral("miFile"));
    miFile->SetCaption(QStringLiteral("&File"));
    auto* miExit = Make<TMenuItem>(this, QStringLiteral("miExit"));
    miExit->SetCaption(QStringLiteral("E&xit"));
    miExit->OnClick = [this](TComponent*) { close(); };
    mmMain->Items()->Add(miFile);
    miFile->Add(miExit);

    SetFormStyle(fsMDIForm);
    pcPages = Make<TPageControl>(this, QStringLiteral("pcPages"));
    pcPages->SetBounds(0, 0, 1000, 500);
    pcPages->SetAlign(alTop);
    const std::pair<const char*, const char*> pages[] = {
        {"tsStandard", "Standard"}, {"tsData", "Data"}, {"tsPacks", "Packs"}};
    std::vector<TTabSheet*> sheets;
    for (const auto& [name, caption] : pages) {
        auto* sheet = Make<TTabSheet>(this, QLatin1String(name));
        sheet->SetPageControl(pcPages);
        sheet->SetCaption(QLatin1String(caption));
        sheets.push_back(sheet);
    }
    CreateStandardPage(sheets[0]);
    CreateDataPage(sheets[1]);
    CreatePacksPage(sheets[2]);

    auto* child = new TfrmGalleryChild(this);
    child->SetFormStyle(fsMDIChild);
    FormCreate();
}

void TfrmGallery::FormCreate() {
    TranslateForm(LanguageSettings.LanguageIndex, this, true);
}

void TfrmGallery::CreateStandardPage(TTabSheet* page) {
    Place<TLabel>(this, page, QStringLiteral("lbWelcome"), {10, 10, 220, 20}, QStringLiteral("Welcome"));
    Place<TButton>(this, page, QStringLiteral("btOk"), {10, 38, 100, 26}, QStringLiteral("OK"));
    Place<TCheckBox>(this, page, QStringLiteral("cbRemember"), {10, 72, 220, 22}, QStringLiteral("Remember"));
    Place<TPanel>(this, page, QStringLiteral("pnStatus"), {10, 100, 220, 30}, QStringLiteral("Status"));
    auto* edName = Place<TEdit>(this, page, QStringLiteral("edName"), {10, 140, 220, 24});
    edName->SetTextHint(QStringLiteral("Name"));
    edName->SetHint(QStringLiteral("The hint the designer gave the edit box"));
    auto* coColour = Place<TComboBox>(this, page, QStringLiteral("coColour"), {10, 172, 220, 24});
    Fill(coColour->Items(), {QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue")});
    auto* meNotes = Place<TMemo>(this, page, QStringLiteral("meNotes"), {10, 204, 220, 60});
    Fill(meNotes->Lines(), {QStringLiteral("Notes, line 1"), QStringLiteral("Notes, line 2")});
    Place<TStaticText>(this, page, QStringLiteral("stVersion"), {10, 272, 220, 20}, QStringLiteral("Version"));
    Place<TBitBtn>(this, page, QStringLiteral("bbSave"), {10, 300, 100, 28}, QStringLiteral("Save"));
    Place<TSpeedButton>(this, page, QStringLiteral("sbBold"), {120, 300, 80, 28}, QStringLiteral("B"));
    auto* btOpen = Place<TButton>(this, page, QStringLiteral("btOpen"), {10, 340, 220, 28}, QStringLiteral("Open"));

    auto* lbxDays = Place<TListBox>(this, page, QStringLiteral("lbxDays"), {250, 10, 220, 84});
    Fill(lbxDays->Items(),
         {QStringLiteral("Monday"), QStringLiteral("Tuesday"), QStringLiteral("Wednesday"), QStringLiteral("Thursday")});
    auto* clbOptions = Place<TCheckListBox>(this, page, QStringLiteral("clbOptions"), {250, 102, 220, 50});
    Fill(clbOptions->Items(), {QStringLiteral("Send reports"), QStringLiteral("Keep a log")});
    auto* rgSize = Place<TRadioGroup>(this, page, QStringLiteral("rgSize"), {250, 160, 220, 100}, QStringLiteral("Size"));
    Fill(rgSize->Items(), {QStringLiteral("Small"), QStringLiteral("Medium"), QStringLiteral("Large")});
    rgSize->SetItemIndex(1);
    auto* gbAddress =
        Place<TGroupBox>(this, page, QStringLiteral("gbAddress"), {250, 268, 220, 60}, QStringLiteral("Address"));
    Place<TRadioButton>(this, gbAddress, QStringLiteral("rbHome"), {12, 26, 190, 22}, QStringLiteral("Home"));

    auto* tcViews = Place<TTabControl>(this, page, QStringLiteral("tcViews"), {490, 10, 300, 28});
    Fill(tcViews->Tabs(), {QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month")});
    auto* lvEvents = Place<TListView>(this, page, QStringLiteral("lvEvents"), {490, 46, 480, 150});
    for (const auto& [caption, width] : {std::pair{"Time", 140}, {"Zone", 120}, {"Event", 200}}) {
        TListColumn* column = lvEvents->Columns()->Add();
        column->SetCaption(QLatin1String(caption));
        column->SetWidth(width);
    }
    const QStringList events[] = {{"08:02", "Entrance", "Door opened"},
                                  {"08:15", "Office", "Armed"},
                                  {"12:40", "Store room", "Motion detected"}};
    for (const QStringList& event : events) {
        TListItem* item = lvEvents->Items()->Add();
        item->SetCaption(event[0]);
        Fill(item->SubItems(), event.mid(1));
    }

    auto* alMain = Make<TActionList>(this, QStringLiteral("alMain"));
    auto* acRefresh = Make<TAction>(this, QStringLiteral("acRefresh"));
    acRefresh->SetActionList(alMain);
    acRefresh->SetCaption(QStringLiteral("Refresh"));
    auto* tbMain = Place<TToolBar>(this, page, QStringLiteral("tbMain"), {490, 206, 480, 32});
    Place<TToolButton>(this, tbMain, QStringLiteral("tbnNew"), {0, 0, 80, 28}, QStringLiteral("New"));
    Place<TToolButton>(this, tbMain, QStringLiteral("tbnRefresh"), {0, 0, 80, 28})->SetAction(acRefresh);

    odOpen = Make<TOpenDialog>(this, QStringLiteral("odOpen"));
    odOpen->SetFilter(QStringLiteral("All files (*.*)|*.*"));
    auto* sdSave = Make<TSaveDialog>(this, QStringLiteral("sdSave"));
    sdSave->SetFilter(QStringLiteral("All files (*.*)|*.*"));
    btOpen->OnClick = [this](TComponent*) { odOpen->Execute(); };
}

void TfrmGallery::CreateDataPage(TTabSheet* page) {
    tblEvents = Make<TDataSet>(this, QStringLiteral("tblEvents"));
    struct FieldOf {
        TField* (*make)(TComponent*);
        const char* name;
        const char* fieldName;
    };
    const FieldOf fields[] = {
        {[](TComponent* o) -> TField* { return new TAutoIncField(o); }, "fldNumber", "Number"},
        {[](TComponent* o) -> TField* { return new TWideStringField(o); }, "fldZone", "Zone"},
        {[](TComponent* o) -> TField* { return new TDateTimeField(o); }, "fldTime", "Time"},
        {[](TComponent* o) -> TField* { return new TBooleanField(o); }, "fldArmed", "Armed"},
        {[](TComponent* o) -> TField* { return new TIntegerField(o); }, "fldCount", "Count"},
        {[](TComponent* o) -> TField* { return new TLargeIntField(o); }, "fldSerial", "Serial"},
        {[](TComponent* o) -> TField* { return new TWordField(o); }, "fldPort", "Port"},
        {[](TComponent* o) -> TField* { return new TSmallintField(o); }, "fldLevel", "Level"},
        {[](TComponent* o) -> TField* { return new TStringField(o); }, "fldCode", "Code"},
        {[](TComponent* o) -> TField* { return new TBCDField(o); }, "fldRate", "Rate"},
        {[](TComponent* o) -> TField* { return new TCurrencyField(o); }, "fldCost", "Cost"},
        {[](TComponent* o) -> TField* { return new TFloatField(o); }, "fldTemperature", "Temperature"},
        {[](TComponent* o) -> TField* { return new TWideMemoField(o); }, "fldNotes", "Notes"},
    };
    for (const FieldOf& f : fields) {
        TField* field = f.make(this);
        field->SetName(QLatin1String(f.name));
        field->SetFieldName(QLatin1String(f.fieldName));
        field->SetDataSet(tblEvents);
    }
    tblEvents->Open();
    const QDateTime day(QDate(2026, 12, 11), QTime(8, 0));
    const std::tuple<const char*, int, bool, const char*> rows[] = {
        {"Entrance", 2, true, "Door opened"},  {"Office", 15, true, "Armed by the night shift"},
        {"Store room", 160, false, "Motion"}, {"Entrance", 290, true, "Door closed"},
        {"Office", 400, false, "Disarmed"},    {"Store room", 545, true, "Window contact"},
    };
    int number = 1;
    for (const auto& [zone, minutes, armed, notes] : rows) {
        tblEvents->AppendRecord({number, QLatin1String(zone), day.addSecs(minutes * 60), armed, number * 3,
                                 qint64(9'000'000'000) + number, 8000 + number, number % 3,
                                 QStringLiteral("Z%1").arg(number), 1.25 * number, 12.5 * number,
                                 18.0 + number / 2.0, QLatin1String(notes)});
        ++number;
    }
    tblEvents->First();
    dsEvents = Make<TDataSource>(this, QStringLiteral("dsEvents"));
    dsEvents->SetDataSet(tblEvents);

    auto* grid = Place<TDBGridEh>(this, page, QStringLiteral("gridEvents"), {10, 10, 960, 190});
    grid->SetDataSource(dsEvents);
    auto* dbtZone = Place<TDBText>(this, page, QStringLiteral("dbtZone"), {10, 210, 200, 20});
    dbtZone->SetDataSource(dsEvents);
    dbtZone->SetDataField(QStringLiteral("Zone"));
    auto* dbcArmed = Place<TDBCheckBox>(this, page, QStringLiteral("dbcArmed"), {10, 236, 200, 22}, QStringLiteral("Armed"));
    dbcArmed->SetDataSource(dsEvents);
    dbcArmed->SetDataField(QStringLiteral("Armed"));
    auto* dbcbZone = Place<TDBComboBox>(this, page, QStringLiteral("dbcbZone"), {10, 264, 200, 24});
    Fill(dbcbZone->Items(), {QStringLiteral("Entrance"), QStringLiteral("Office"), QStringLiteral("Store room")});
    dbcbZone->SetDataSource(dsEvents);
    dbcbZone->SetDataField(QStringLiteral("Zone"));
    auto* dbcbeZone = Place<TDBComboBoxEh>(this, page, QStringLiteral("dbcbeZone"), {10, 296, 200, 24});
    Fill(dbcbeZone->Items(), {QStringLiteral("Entrance"), QStringLiteral("Office"), QStringLiteral("Store room")});
    dbcbeZone->SetDataSource(dsEvents);
    dbcbeZone->SetDataField(QStringLiteral("Zone"));
    auto* dbrgLevel =
        Place<TDBRadioGroup>(this, page, QStringLiteral("dbrgLevel"), {230, 210, 200, 110}, QStringLiteral("Level"));
    Fill(dbrgLevel->Items(), {QStringLiteral("Low"), QStringLiteral("Normal"), QStringLiteral("High")});
    Fill(dbrgLevel->Values(), {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
    dbrgLevel->SetDataSource(dsEvents);
    dbrgLevel->SetDataField(QStringLiteral("Level"));

    // The data set's commands, each on a button of its own.
    const std::pair<TDataSetAction*, const char*> actions[] = {
        {Make<TDataSetInsert>(this, QStringLiteral("acInsert")), "Insert"},
        {Make<TDataSetDelete>(this, QStringLiteral("acDelete")), "Delete"},
        {Make<TDataSetEdit>(this, QStringLiteral("acEdit")), "Edit"},
        {Make<TDataSetPost>(this, QStringLiteral("acPost")), "Post"},
        {Make<TDataSetCancel>(this, QStringLiteral("acCancel")), "Cancel"},
    };
    int left = 10;
    for (const auto& [action, caption] : actions) {
        action->SetCaption(QLatin1String(caption));
        action->SetDataSource(dsEvents);
        Place<TButton>(this, page, action->Name().replace(0, 2, QStringLiteral("bt")), {left, 334, 88, 28})
            ->SetAction(action);
        left += 94;
    }

    Place<TwwCheckBox>(this, page, QStringLiteral("wwcbActive"), {450, 210, 200, 22}, QStringLiteral("Active"));
    Place<TwwRadioButton>(this, page, QStringLiteral("wwrbAll"), {450, 236, 200, 22}, QStringLiteral("All"));
    auto* wwrgOrder =
        Place<TwwRadioGroup>(this, page, QStringLiteral("wwrgOrder"), {450, 264, 200, 80}, QStringLiteral("Order"));
    Fill(wwrgOrder->Items(), {QStringLiteral("By time"), QStringLiteral("By zone")});

    wwLocate = Make<TwwLocateDialog>(this, QStringLiteral("wwLocate"));
    wwLocate->SetCaption(QStringLiteral("Locate"));
    wwLocate->SetDataSource(dsEvents);
    wwFilter = Make<TwwFilterDialog>(this, QStringLiteral("wwFilter"));
    wwFilter->SetCaption(QStringLiteral("Filter"));
    wwFilter->SetDataSource(dsEvents);
    auto* btLocate = Place<TButton>(this, page, QStringLiteral("btLocate"), {680, 210, 140, 28}, QStringLiteral("Locate"));
    auto* btFilter = Place<TButton>(this, page, QStringLiteral("btFilter"), {680, 244, 140, 28}, QStringLiteral("Filter"));
    btLocate->OnClick = [this](TComponent*) { wwLocate->Execute(); };
    btFilter->OnClick = [this](TComponent*) { wwFilter->Execute(); };
}

void TfrmGallery::CreatePacksPage(TTabSheet* page) {
    // A tool bar of every kind of bar item.
    auto* bmMain = Make<TdxBarManager>(this, QStringLiteral("bmMain"));
    auto* barMain = Place<TdxBar>(this, page, QStringLiteral("barMain"), {0, 0, 980, 34}, QStringLiteral("Bar"));
    barMain->SetBarManager(bmMain);
    auto item = [&](TdxBarItem* bar, const char* name, const char* caption) {
        bar->SetName(QLatin1String(name));
        bar->SetCaption(QLatin1String(caption));
        barMain->AddItem(bar);
        return bar;
    };
    item(new TdxBarButton(this), "bbtnRefresh", "Refresh");
    item(new TdxBarLargeButton(this), "blbtnPrint", "Print");
    auto* bsiView = static_cast<TdxBarSubItem*>(item(new TdxBarSubItem(this), "bsiView", "View"));
    auto* bbtnZoomIn = Make<TdxBarButton>(this, QStringLiteral("bbtnZoomIn"));
    bbtnZoomIn->SetCaption(QStringLiteral("Zoom in"));
    bsiView->AddItem(bbtnZoomIn);
    item(new TdxBarStatic(this), "bstStatus", "Ready");
    item(new TdxBarEdit(this), "beSearch", "Search");
    item(new TdxBarDateCombo(this), "bdcDate", "Date");
    item(new TdxBarSpinEdit(this), "bseCopies", "Copies");
    item(new TcxBarEditItem(this), "beiZoom", "Zoom");

    auto* dmMain = Make<TdxDockingManager>(this, QStringLiteral("dmMain"));
    auto* dpTools = Place<TdxDockPanel>(this, page, QStringLiteral("dpTools"), {10, 50, 200, 140}, QStringLiteral("Tools"));
    dpTools->SetManager(dmMain);

    auto* nbMain = Place<TdxNavBar>(this, page, QStringLiteral("nbMain"), {220, 50, 200, 140});
    auto* nbgGeneral = Make<TdxNavBarGroup>(this, QStringLiteral("nbgGeneral"));
    nbgGeneral->SetCaption(QStringLiteral("General"));
    nbMain->AddGroup(nbgGeneral);
    auto* nbiOverview = Make<TdxNavBarItem>(this, QStringLiteral("nbiOverview"));
    nbiOverview->SetCaption(QStringLiteral("Overview"));
    nbgGeneral->AddItem(nbiOverview);

    // A ribbon lies along the top of its parent unless placed otherwise.
    auto* rbMain = Place<TdxRibbon>(this, page, QStringLiteral("rbMain"), {430, 50, 260, 140});
    rbMain->SetAlign(alNone);
    rbMain->SetBounds(430, 50, 260, 140);
    auto* rtHome = Make<TdxRibbonTab>(this, QStringLiteral("rtHome"));
    rtHome->SetRibbon(rbMain);
    rtHome->SetCaption(QStringLiteral("Home"));
    auto* bvMain = Place<TdxRibbonBackstageView>(this, page, QStringLiteral("bvMain"), {700, 50, 270, 140});
    auto* bvtsInfo = Make<TdxRibbonBackstageViewTabSheet>(this, QStringLiteral("bvtsInfo"));
    bvtsInfo->SetBackstageView(bvMain);
    bvtsInfo->SetCaption(QStringLiteral("Info"));
    auto* bvgRecent =
        Place<TdxRibbonBackstageViewGalleryControl>(this, bvtsInfo, QStringLiteral("bvgRecent"), {4, 4, 240, 90});
    auto* bvgiRecent = Make<TdxRibbonBackstageViewGalleryItem>(this, QStringLiteral("bvgiRecent"));
    bvgiRecent->SetCaption(QStringLiteral("Recent"));
    bvgRecent->AddItem(bvgiRecent);

    Place<TcxLabel>(this, page, QStringLiteral("cxlTitle"), {10, 204, 200, 20}, QStringLiteral("Title"));
    Place<TcxButton>(this, page, QStringLiteral("cxbApply"), {10, 230, 100, 28}, QStringLiteral("Apply"));
    auto* cxpcSettings = Place<TcxPageControl>(this, page, QStringLiteral("cxpcSettings"), {430, 204, 260, 110});
    auto* cxtsGeneral = Make<TcxTabSheet>(this, QStringLiteral("cxtsGeneral"));
    cxtsGeneral->SetPageControl(cxpcSettings);
    cxtsGeneral->SetCaption(QStringLiteral("General"));
    auto* cxccbZones = Place<TcxCheckComboBox>(this, cxtsGeneral, QStringLiteral("cxccbZones"), {8, 8, 220, 24});
    for (const char* zone : {"Entrance", "Office"})
        cxccbZones->Properties()->Items()->Add()->SetDescription(QLatin1String(zone));
    cxccbZones->Properties()->Items()->Items(0)->SetChecked(true);
    auto* cxrgMode =
        Place<TcxRadioGroup>(this, page, QStringLiteral("cxrgMode"), {220, 204, 200, 80}, QStringLiteral("Mode"));
    for (const char* mode : {"Automatic", "Manual"})
        cxrgMode->Properties()->Items()->Add()->SetCaption(QLatin1String(mode));
    auto* cxcgDays =
        Place<TcxCheckGroup>(this, page, QStringLiteral("cxcgDays"), {10, 268, 200, 80}, QStringLiteral("Days"));
    for (const char* days : {"Weekdays", "Weekends"})
        cxcgDays->Properties()->Items()->Add()->SetCaption(QLatin1String(days));

    auto* hmComment = Place<THintMemo>(this, page, QStringLiteral("hmComment"), {700, 204, 270, 60});
    hmComment->SetTextHint(QStringLiteral("Comment"));
    hmComment->SetHint(QStringLiteral("The hint the designer gave the memo"));
    auto* buHelp = Place<TBrowseURL>(this, page, QStringLiteral("buHelp"), {700, 272, 270, 20}, QStringLiteral("Help"));
    buHelp->SetURL(QStringLiteral("https://example.com/orvane/help"));
    Place<TColorButton>(this, page, QStringLiteral("cbtnColour"), {700, 300, 130, 28}, QStringLiteral("Colour"));

    rptSummary = Make<TfrxReport>(this, QStringLiteral("rptSummary"));
    Make<TfrxMemoView>(rptSummary, QStringLiteral("mvTitle"))->Memo()->SetText(QStringLiteral("Summary"));
    Make<TfrxMemoView>(rptSummary, QStringLiteral("mvBody"))->Memo()->SetText(QStringLiteral("Zones\nEvents"));
    Make<TfrxPictureView>(rptSummary, QStringLiteral("pvLogo"));
    auto* btPreview =
        Place<TButton>(this, page, QStringLiteral("btPreview"), {840, 300, 130, 28}, QStringLiteral("Preview"));
    btPreview->OnClick = [this](TComponent*) { rptSummary->ShowReport(); };
}

void TfrmGallery::ShowPage(int index) {
    pcPages->SetActivePageIndex(index);
}

QStringList TfrmGallery::VisibleTexts() {
    QStringList lines;
    auto add = [&](const TComponent* c, const QString& what, const QString& text) {
        if (text.isEmpty()) return;
        QString shown = text;
        shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        lines << QStringLiteral("%1 %2 %3: %4").arg(c->ClassName(), c->Name(), what, shown);
    };
    std::function<void(TComponent*)> visit = [&](TComponent* c) {
        QObject* o = c->Object();
        add(c, QStringLiteral("owned by"), c->Owner() ? c->Owner()->Name() : QStringLiteral("nobody"));
        if (auto* w = qobject_cast<QWidget*>(o)) {
            if (w->isWindow()) add(c, QStringLiteral("title"), w->windowTitle());
            if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr))
                if (const int i = tabs->indexOf(w); i >= 0) add(c, QStringLiteral("tab"), tabs->tabText(i));
            add(c, QStringLiteral("tooltip"), w->toolTip());
        }
        if (auto* b = qobject_cast<QAbstractButton*>(o)) add(c, QStringLiteral("text"), b->text());
        // A panel paints its caption itself.
        if (auto* panel = dynamic_cast<TPanel*>(c)) add(c, QStringLiteral("caption"), panel->Caption());
        if (auto* l = qobject_cast<QLabel*>(o)) add(c, QStringLiteral("text"), l->text());
        if (auto* g = qobject_cast<QGroupBox*>(o)) {
            add(c, QStringLiteral("title"), g->title());
            const auto buttons = g->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
            for (int i = 0; i < buttons.size(); ++i)
                add(c, QStringLiteral("entry %1").arg(i), buttons[i]->text());
        }
        if (auto* e = qobject_cast<QLineEdit*>(o)) add(c, QStringLiteral("placeholder"), e->placeholderText());
        if (auto* m = qobject_cast<QPlainTextEdit*>(o)) {
            add(c, QStringLiteral("placeholder"), m->placeholderText());
            const QStringList text = m->toPlainText().split(QLatin1Char('\n'));
            for (int i = 0; i < text.size(); ++i)
                add(c, QStringLiteral("line %1").arg(i), text[i]);
        }
        if (auto* box = qobject_cast<QComboBox*>(o)) {
            add(c, QStringLiteral("placeholder"), box->placeholderText());
            for (int i = 0; i < box->count(); ++i)
                add(c, QStringLiteral("entry %1").arg(i), box->itemText(i));
        }
        if (auto* list = qobject_cast<QListWidget*>(o))
            for (int i = 0; i < list->count(); ++i)
                add(c, QStringLiteral("entry %1").arg(i), list->item(i)->text());
        if (auto* bar = qobject_cast<QTabBar*>(o))
            for (int i = 0; i < bar->count(); ++i)
                add(c, QStringLiteral("tab %1").arg(i), bar->tabText(i));
        if (auto* tree = qobject_cast<QTreeWidget*>(o))
            for (int i = 0; i < tree->columnCount(); ++i)
                add(c, QStringLiteral("column %1").arg(i), tree->headerItem()->text(i));
        if (auto* table = qobject_cast<QAbstractItemView*>(o); table && table->model() && !qobject_cast<QTreeWidget*>(o) &&
                                                              !qobject_cast<QListWidget*>(o))
            for (int i = 0; i < table->model()->columnCount(); ++i)
                add(c, QStringLiteral("column %1").arg(i), table->model()->headerData(i, Qt::Horizontal).toString());
        if (auto* a = qobject_cast<QAction*>(o)) {
            add(c, QStringLiteral("text"), a->text());
            add(c, QStringLiteral("tooltip"), a->toolTip() == a->text() ? QString() : a->toolTip());
        }
        if (auto* f = dynamic_cast<TField*>(c)) add(c, QStringLiteral("label"), f->DisplayLabel());
        if (auto* d = dynamic_cast<TOpenDialog*>(c)) add(c, QStringLiteral("filter"), d->Filter());
        if (auto* m = dynamic_cast<TfrxMemoView*>(c)) add(c, QStringLiteral("memo"), m->Memo()->Text().trimmed());
        // Parts of other controls (a navigation group, a gallery entry) show their published caption.
        if (!qobject_cast<QWidget*>(o) && !qobject_cast<QAction*>(o) && IsPublishedProp(c, QStringLiteral("Caption")))
            add(c, QStringLiteral("caption"), o->property("Caption").toString());
        for (int i = 0; i < c->ComponentCount(); ++i)
            visit(c->Components(i));
    };
    visit(this);
    for (int i = 0; i < MDIChildCount(); ++i)
        if (MDIChildren(i)->Owner() != this) visit(MDIChildren(i));
    return lines;
}

TfrmGalleryChild::TfrmGalleryChild(TComponent* owner) : TForm(owner) {
    SetName(QStringLiteral("frmGalleryChild"));
    SetCaption(QStringLiteral("Child"));
    resize(460, 120);
    auto* label = Make<TLabel>(this, QStringLiteral("lbChild"));
    label->SetBounds(12, 12, 420, 20);
    label->SetCaption(QStringLiteral("An MDI child"));
}
