// What the packs' controls do beyond showing their texts: bars and their items, managers' fonts,
// groups built from items, the check combo box, the grid, reports and the small controls.
#include "platform/packs/DBGridEh.h"
#include "platform/packs/MiscControls.h"
#include "platform/packs/cxControls.h"
#include "platform/packs/dxBar.h"
#include "platform/packs/dxDocking.h"
#include "platform/packs/dxNavBar.h"
#include "platform/packs/dxRibbon.h"
#include "platform/packs/frxClass.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QToolButton>
#include <QUrl>

#include <functional>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { Opened << url.toString(); }

public:
    QStringList Opened;
};

namespace {

void Click(QWidget* widget, QPoint at) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

void Type(QWidget* widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

// An item shows on every bar and menu it is put on, and follows later changes of its texts there.
TEST(BarTest, ItemsShowWhereverTheyAreAndFollowChanges) {
    TForm form(nullptr);
    form.resize(500, 300);
    auto* top = new TdxBar(&form);
    auto* second = new TdxBar(&form);
    auto* open = new TdxBarButton(&form);
    auto* name = new TdxBarEdit(&form);
    auto* large = new TdxBarLargeButton(&form);
    auto* more = new TdxBarSubItem(&form);
    int clicks = 0;
    open->OnClick = [&](TComponent* sender) { clicks += sender == open; };
    for (TdxBar* bar : {top, second}) {
        bar->AddItem(open);
        bar->AddItem(name);
    }
    top->AddItem(large);
    top->AddItem(more);
    more->AddItem(open);
    more->AddItem(name);
    form.show();

    open->SetCaption("&Open");
    open->SetHint("Opens a file");
    name->SetCaption("Name");
    for (TdxBar* bar : {top, second}) {
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(open));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), "Open"); // the mnemonic marker is not shown on a bar
        EXPECT_EQ(button->toolTip(), "Opens a file");
        EXPECT_EQ(bar->widgetForAction(name)->findChild<QLabel*>()->text(), "Name");
    }
    EXPECT_EQ(more->Menu()->actions(), (QList<QAction*>{open, name}));
    ASSERT_EQ(top->ItemCount(), 4);
    EXPECT_EQ(top->Items(3), more);
    EXPECT_THROW(top->Items(4), EComponentError);

    qobject_cast<QToolButton*>(second->widgetForAction(open))->click();
    EXPECT_EQ(clicks, 1);

    // A value typed on one bar is the item's, and shows on the other bar too.
    auto* topEdit = top->widgetForAction(name)->findChild<QLineEdit*>();
    auto* secondEdit = second->widgetForAction(name)->findChild<QLineEdit*>();
    Type(topEdit, "A");
    EXPECT_EQ(name->Text(), "A");
    EXPECT_EQ(secondEdit->text(), "A");
    name->SetText("Bea");
    EXPECT_EQ(topEdit->text(), "Bea");

    // The large button shows its caption under its icon, and the bar grows to hold it; bars line up
    // along the top at the form's width.
    auto* big = qobject_cast<QToolButton*>(top->widgetForAction(large));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_GE(top->height(), big->minimumHeight());
    EXPECT_EQ(top->geometry(), QRect(0, 0, 500, top->height()));
    EXPECT_EQ(second->y(), top->height());
    // The sub item opens its menu at once.
    auto* moreButton = qobject_cast<QToolButton*>(top->widgetForAction(more));
    ASSERT_NE(moreButton, nullptr);
    EXPECT_EQ(moreButton->menu(), more->Menu());
    EXPECT_EQ(moreButton->popupMode(), QToolButton::InstantPopup);

    // A destroyed item leaves the bars.
    delete name;
    EXPECT_EQ(second->ItemCount(), 1);
}

// Whatever shows a component may be destroyed before it, and the component goes on without it.
TEST(LifetimeTest, ContainersMayGoBeforeWhatTheyShow) {
    struct Case {
        const char* name;
        std::function<void(TForm&)> run;
    };
    const Case cases[] = {
        {"bar item",
         [](TForm& form) {
             auto* bar = new TdxBar(&form);
             auto* sub = new TdxBarSubItem(&form);
             auto* edit = new TdxBarEdit(&form);
             bar->AddItem(sub);
             bar->AddItem(edit);
             sub->AddItem(edit);
             delete bar;
             edit->SetCaption("Name");
             edit->SetText("x");
             delete sub;
             edit->SetHint("still here");
         }},
        {"nav bar group",
         [](TForm& form) {
             auto* nav = new TdxNavBar(&form);
             auto* group = new TdxNavBarGroup(&form);
             auto* item = new TdxNavBarItem(&form);
             nav->AddGroup(group);
             group->AddItem(item);
             delete item;
             EXPECT_EQ(group->findChild<QToolButton*>(), nullptr);
             delete nav; // takes its groups' widgets, and so the groups
             EXPECT_EQ(form.ComponentCount(), 0);
         }},
        {"gallery item",
         [](TForm& form) {
             auto* gallery = new TdxRibbonBackstageViewGalleryControl(&form);
             auto* item = new TdxRibbonBackstageViewGalleryItem(&form);
             gallery->AddItem(item);
             delete gallery;
             EXPECT_EQ(item->Gallery(), nullptr);
             item->SetCaption("Recent");
         }},
        {"ribbon tab",
         [](TForm& form) {
             auto* ribbon = new TdxRibbon(&form);
             auto* tab = new TdxRibbonTab(&form);
             tab->SetRibbon(ribbon);
             delete tab;
             EXPECT_EQ(ribbon->PageCount(), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm form(nullptr);
        form.show();
        c.run(form);
    }
}

// A manager's font is what its bars and panels show, from joining on and after every change, and
// leaving one side (destroyed) does not trouble the other.
TEST(ManagerTest, ClientsShowTheManagersFont) {
    struct Case {
        const char* name;
        std::function<TdxManager*(TComponent*)> manager;
        std::function<TControl*(TComponent*, TdxManager*)> client;
    };
    const Case cases[] = {
        {"bars", [](TComponent* o) { return new TdxBarManager(o); },
         [](TComponent* o, TdxManager* m) {
             auto* bar = new TdxBar(o);
             bar->SetBarManager(static_cast<TdxBarManager*>(m));
             return bar;
         }},
        {"panels", [](TComponent* o) { return new TdxDockingManager(o); },
         [](TComponent* o, TdxManager* m) {
             auto* panel = new TdxDockPanel(o);
             panel->SetManager(static_cast<TdxDockingManager*>(m));
             return panel;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm form(nullptr);
        form.Font()->SetName("DejaVu Sans");
        TdxManager* manager = c.manager(&form);
        manager->Font()->SetName("DejaVu Serif");
        manager->Font()->SetSize(14);
        TControl* first = c.client(&form, manager);
        EXPECT_EQ(first->Widget()->font().family(), "DejaVu Serif");
        EXPECT_EQ(first->Widget()->font().pointSize(), 14);

        QPointer<QObject> second = c.client(&form, manager)->Object();
        ASSERT_EQ(manager->ClientCount(), 2);
        delete first;
        EXPECT_EQ(manager->ClientCount(), 1);
        manager->Font()->SetSize(9);
        EXPECT_EQ(static_cast<QWidget*>(second.data())->font().pointSize(), 9);
        delete manager;
        delete second; // leaves a manager that is gone
    }
}

TEST(DockPanelTest, ControlsFillTheAreaBelowTheTitle) {
    TForm form(nullptr);
    auto* panel = new TdxDockPanel(&form);
    panel->SetBounds(0, 0, 200, 300);
    panel->SetCaption("Files");
    auto* content = new TPanel(panel);
    content->SetAlign(alClient);
    form.show();
    auto* title = panel->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(title->text(), "Files");
    EXPECT_GT(title->height(), 0);
    EXPECT_GE(content->Top(), title->geometry().bottom());
    EXPECT_EQ(content->Top() + content->Height(), panel->contentsRect().bottom() + 1);
}

// Groups stack in the order they were added, each showing its items as links that run them.
TEST(NavBarTest, GroupsHoldLinksThatRunTheirItems) {
    TForm form(nullptr);
    auto* nav = new TdxNavBar(&form);
    auto* files = new TdxNavBarGroup(&form);
    auto* help = new TdxNavBarGroup(&form);
    auto* open = new TdxNavBarItem(&form);
    nav->AddGroup(help);
    nav->AddGroup(files);
    files->SetCaption("Files");
    files->AddItem(open);
    help->AddItem(open); // one item, linked twice
    open->SetCaption("Open");
    int clicks = 0;
    open->OnClick = [&](TComponent*) { ++clicks; };

    ASSERT_EQ(nav->GroupCount(), 2);
    EXPECT_EQ(nav->Groups(1), files);
    EXPECT_EQ(nav->itemText(1), "Files");
    for (TdxNavBarGroup* group : {files, help}) {
        auto* link = group->findChild<QToolButton*>();
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->text(), "Open");
        link->click();
    }
    EXPECT_EQ(clicks, 2);

    // Added to another bar, a group leaves the first.
    auto* other = new TdxNavBar(&form);
    other->AddGroup(help);
    EXPECT_EQ(nav->GroupCount(), 1);
    EXPECT_EQ(other->Groups(0), help);
}

// The items of a group become its buttons: radio buttons, one checked at a time, or check boxes.
TEST(CxGroupTest, ItemsBecomeButtons) {
    struct Case {
        const char* name;
        std::function<TcxCustomGroupBox*(TComponent*)> make;
        const QMetaObject* button;
        bool exclusive;
    };
    const Case cases[] = {
        {"radio", [](TComponent* o) { return new TcxRadioGroup(o); }, &QRadioButton::staticMetaObject, true},
        {"check", [](TComponent* o) { return new TcxCheckGroup(o); }, &QCheckBox::staticMetaObject, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm form(nullptr);
        TcxCustomGroupBox* group = c.make(&form);
        static_cast<TControl*>(group)->SetCaption("Colour");
        TcxGroupItems* items = group->Properties()->Items();
        for (const char* caption : {"Red", "Green", "Blue"})
            items->Add()->SetCaption(caption);
        EXPECT_EQ(group->title(), "Colour");
        ASSERT_EQ(items->Count(), 3);
        for (int k = 0; k < 3; ++k) {
            ASSERT_NE(group->Buttons(k), nullptr);
            EXPECT_EQ(group->Buttons(k)->metaObject(), c.button);
            EXPECT_EQ(group->Buttons(k)->text(), items->Items(k)->Caption());
        }
        EXPECT_EQ(group->Buttons(3), nullptr);

        // Deleting an item takes its button; the rest keep theirs, in order.
        items->Delete(0);
        ASSERT_EQ(items->Count(), 2);
        EXPECT_EQ(group->Buttons(0)->text(), "Green");
        items->Items(1)->SetCaption("Azure");
        EXPECT_EQ(group->Buttons(1)->text(), "Azure");
        EXPECT_EQ(group->Buttons(2), nullptr);
        EXPECT_THROW(items->Items(2), EComponentError);

        group->Buttons(0)->click();
        group->Buttons(1)->click();
        EXPECT_EQ(group->Buttons(0)->isChecked(), !c.exclusive);
        EXPECT_TRUE(group->Buttons(1)->isChecked());
        items->Clear();
        EXPECT_EQ(group->Buttons(0), nullptr);
    }

    TForm form(nullptr);
    auto* group = new TcxRadioGroup(&form);
    for (int k = 0; k < 2; ++k)
        group->Properties()->Items()->Add();
    EXPECT_EQ(group->ItemIndex(), -1);
    group->SetItemIndex(1);
    EXPECT_EQ(group->ItemIndex(), 1);
    group->SetItemIndex(-1);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_FALSE(group->Buttons(1)->isChecked());
}

// Entries show their descriptions in the list; clicking one checks it and leaves the list open,
// and the box shows the checked ones.
TEST(CheckComboBoxTest, ClickingChecksEntriesAndTheBoxShowsThem) {
    TForm form(nullptr);
    auto* combo = new TcxCheckComboBox(&form);
    TcxCheckComboBoxItems* items = combo->Properties()->Items();
    for (const char* description : {"Mon", "Tue", "Wed"})
        items->Add()->SetDescription(description);
    items->Items(1)->SetDescription("Dienstag");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(1), "Dienstag");
    EXPECT_EQ(combo->Text(), "");

    form.show();
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(list->isVisible());
    for (int row : {2, 1})
        Click(list->viewport(), list->visualRect(combo->model()->index(row, 0)).center());
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(items->Items(1)->Checked());
    EXPECT_EQ(combo->Text(), "Dienstag; Wed");
    Click(list->viewport(), list->visualRect(combo->model()->index(2, 0)).center());
    EXPECT_EQ(combo->Text(), "Dienstag");

    items->Delete(0);
    EXPECT_EQ(items->Items(0)->Description(), "Dienstag");
    EXPECT_TRUE(items->Items(0)->Checked());
}

// The grid shows the data set's records, in the cells' font, under titles in the title font.
TEST(DBGridEhTest, ShowsTheDataSetInItsFonts) {
    TForm form(nullptr);
    auto* pets = new TDataSet(&form);
    auto* name = new TStringField(&form);
    name->SetFieldName("Name");
    name->SetDisplayLabel("Pet");
    name->SetDataSet(pets);
    pets->Open();
    pets->AppendRecord({"Rex"});
    pets->AppendRecord({"Tom"});
    auto* source = new TDataSource(&form);
    source->SetDataSet(pets);
    auto* grid = new TDBGridEh(&form);
    grid->SetDataSource(source);

    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "Tom");
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Pet");

    grid->TitleFont()->SetName("DejaVu Serif");
    grid->TitleFont()->SetSize(15);
    grid->Font()->SetName("DejaVu Sans Mono");
    grid->Font()->SetSize(11);
    EXPECT_EQ(grid->horizontalHeader()->font().family(), "DejaVu Serif");
    EXPECT_EQ(grid->horizontalHeader()->font().pointSize(), 15);
    EXPECT_EQ(grid->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(grid->font().pointSize(), 11);
}

// A report owns its objects, and its preview shows the memos' texts in their fonts, following
// later changes.
TEST(ReportTest, OwnsItsObjectsAndPreviewsTheMemos) {
    TForm form(nullptr);
    auto* report = new TfrxReport(&form);
    auto* title = new TfrxMemoView(report);
    title->SetName("Title");
    auto* logo = new TfrxPictureView(report);
    logo->SetName("Logo");
    logo->SetBounds(0, 40, 64, 64);
    ASSERT_EQ(report->ComponentCount(), 2);
    EXPECT_EQ(report->Components(0), title);
    EXPECT_EQ(report->Components(1)->Name(), "Logo");
    EXPECT_EQ(title->Report(), report);
    EXPECT_EQ(form.ComponentCount(), 1); // the objects are the report's, not the form's

    title->Memo()->SetText("Monthly\nsummary");
    title->Font()->SetName("DejaVu Serif");
    title->Font()->SetSize(20);
    EXPECT_EQ(report->PreviewWindow(), nullptr);
    report->ShowReport();
    ASSERT_NE(report->PreviewWindow(), nullptr);
    EXPECT_TRUE(report->PreviewWindow()->isVisible());
    auto* shown = report->PreviewWindow()->findChild<QLabel*>("Title");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), "Monthly\nsummary");
    EXPECT_EQ(shown->font().family(), "DejaVu Serif");
    EXPECT_EQ(shown->font().pointSize(), 20);
    EXPECT_NE(report->PreviewWindow()->findChild<QLabel*>("Logo"), nullptr);

    title->Memo()->SetStrings(1, "Zusammenfassung");
    delete logo;
    QApplication::processEvents(); // the page is built again once the changes are done
    shown = report->PreviewWindow()->findChild<QLabel*>("Title");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), "Monthly\nZusammenfassung");
    EXPECT_EQ(report->PreviewWindow()->findChild<QLabel*>("Logo"), nullptr);

    QPointer<TfrxMemoView> kept = title;
    delete report;
    EXPECT_TRUE(kept.isNull());
}

TEST(HintMemoTest, ShowsTheTextHintOnlyWhileEmpty) {
    TForm form(nullptr);
    auto* hinted = new THintMemo(&form);
    auto* plain = new THintMemo(&form);
    for (THintMemo* memo : {hinted, plain})
        memo->SetBounds(0, 0, 200, 80);
    hinted->SetTextHint("Describe the fault");
    EXPECT_EQ(hinted->TextHint(), "Describe the fault");
    form.show();
    EXPECT_NE(hinted->grab().toImage(), plain->grab().toImage());

    for (THintMemo* memo : {hinted, plain})
        memo->Lines()->Add("Door sensor");
    EXPECT_EQ(hinted->Lines()->Strings(0), "Door sensor");
    EXPECT_EQ(hinted->grab().toImage(), plain->grab().toImage());
}

TEST(BrowseURLTest, ClickOpensTheURL) {
    UrlCatcher browser;
    QDesktopServices::setUrlHandler("https", &browser, "Open");
    TForm form(nullptr);
    auto* link = new TBrowseURL(&form);
    link->SetCaption("Our website");
    form.show();
    Click(link, link->rect().center()); // no URL yet: nothing opens
    link->SetURL("https://example.com/orvane");
    Click(link, link->rect().center());
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(browser.Opened, QStringList{"https://example.com/orvane"});
    EXPECT_EQ(link->text(), "Our website");
    EXPECT_TRUE(link->font().underline());
}

TEST(ColorButtonTest, SwatchShowsTheColour) {
    TForm form(nullptr);
    auto* button = new TColorButton(&form);
    for (const QColor& color : {QColor(Qt::red), QColor(0x12, 0x34, 0x56)}) {
        button->SetColor(color);
        const QImage swatch = button->icon().pixmap(button->iconSize()).toImage();
        EXPECT_EQ(swatch.pixelColor(swatch.rect().center()), color);
        EXPECT_EQ(button->Color(), color);
    }
}

} // namespace

#include "PackControlsTest.moc"
