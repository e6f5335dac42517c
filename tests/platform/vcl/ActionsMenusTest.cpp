// Actions and the controls linked to them, menus, and the picture and speed buttons.
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <functional>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// What a linked control shows and does: its text, tooltip and state, and running it.
struct Linked {
    const char* what;
    std::function<void(TAction*)> link;
    std::function<QString()> text;
    std::function<QString()> tooltip;
    std::function<bool()> enabled;
    std::function<void()> click;
};

// A control linked to an action shows the action's caption, hint and state, follows their
// changes, and runs the action instead of its own OnClick; once the action is gone it is on its
// own again.
TEST(ActionTest, LinkedControlsShowAndRunTheirAction) {
    TForm form(nullptr);
    auto* button = new TButton(&form);
    auto* toolButton = new TToolButton(&form);
    auto* speedButton = new TSpeedButton(&form);
    auto* menuItem = new TMenuItem(&form);
    QStringList clicked;
    const TNotifyEvent record = [&](TComponent* sender) { clicked << sender->ClassName(); };
    button->OnClick = toolButton->OnClick = speedButton->OnClick = menuItem->OnClick = record;

    const auto onButton = [](const char* what, QAbstractButton* b, std::function<void(TAction*)> link) {
        return Linked{what,
                      std::move(link),
                      [b] { return b->text(); },
                      [b] { return b->toolTip(); },
                      [b] { return b->isEnabled(); },
                      [b] { b->click(); }};
    };
    const Linked cases[] = {
        onButton("TButton", button, [=](TAction* a) { button->SetAction(a); }),
        onButton("TToolButton", toolButton, [=](TAction* a) { toolButton->SetAction(a); }),
        onButton("TSpeedButton", speedButton, [=](TAction* a) { speedButton->SetAction(a); }),
        {"TMenuItem", [=](TAction* a) { menuItem->SetAction(a); }, [=] { return menuItem->text(); },
         [=] { return menuItem->toolTip(); }, [=] { return menuItem->isEnabled(); },
         [=] { menuItem->Click(); }},
    };
    for (const Linked& c : cases) {
        SCOPED_TRACE(c.what);
        auto* action = new TAction(&form);
        action->SetCaption("&Refresh");
        action->SetHint("Reads the sites again");
        int executed = 0;
        action->OnExecute = [&](TComponent* sender) {
            EXPECT_EQ(sender, action);
            ++executed;
        };
        c.link(action);
        EXPECT_EQ(c.text(), "&Refresh");
        EXPECT_EQ(c.tooltip(), "Reads the sites again");

        action->SetCaption("&Reload");
        action->SetHint("Reads them now");
        EXPECT_EQ(c.text(), "&Reload");
        EXPECT_EQ(c.tooltip(), "Reads them now");
        c.click();
        EXPECT_EQ(executed, 1);
        EXPECT_TRUE(clicked.isEmpty());

        action->SetEnabled(false);
        EXPECT_FALSE(c.enabled());
        EXPECT_FALSE(action->Execute());
        action->SetEnabled(true);
        EXPECT_TRUE(c.enabled());

        delete action;
        c.click();
        EXPECT_EQ(clicked, QStringList({c.what}));
        EXPECT_EQ(c.text(), "&Reload");
        clicked.clear();
    }
}

TEST(ActionTest, ActionListListsItsActions) {
    TForm form(nullptr);
    auto* list = new TActionList(&form);
    auto* open = new TAction(&form);
    auto* close = new TAction(&form);
    open->SetActionList(list);
    close->SetActionList(list);
    ASSERT_EQ(list->ActionCount(), 2);
    EXPECT_EQ(list->Actions(1), close);
    EXPECT_EQ(open->Owner(), &form);
    delete open;
    ASSERT_EQ(list->ActionCount(), 1);
    EXPECT_EQ(list->Actions(0), close);
    EXPECT_THROW(list->Actions(1), EComponentError);
    delete list;
    EXPECT_EQ(close->ActionList(), nullptr);
}

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions)
        texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return texts;
}

// The main menu is the form's menu bar: its entries are the menus, their entries the sub-menus;
// controls aligned to the top sit below it.
TEST(MenuTest, MainMenuIsTheFormsMenuBar) {
    TForm form(nullptr);
    form.resize(300, 200);
    auto* panel = new TPanel(&form);
    panel->SetAlign(alClient);
    auto* menu = new TMainMenu(&form);
    EXPECT_EQ(menu->MenuBar()->parentWidget(), &form);
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 300, 200)); // an empty bar takes no room

    auto* file = new TMenuItem(&form);
    auto* open = new TMenuItem(&form);
    auto* line = new TMenuItem(&form);
    auto* quit = new TMenuItem(&form);
    auto* help = new TMenuItem(&form);
    file->SetCaption("&File");
    open->SetCaption("&Open...");
    open->SetHint("Opens a site plan");
    line->SetCaption("-");
    quit->SetCaption("E&xit");
    help->SetCaption("&Help");
    menu->Items()->Add(file);
    menu->Items()->Add(help);
    file->Add(open);
    file->Add(quit);
    file->Insert(1, line);
    form.show();

    EXPECT_EQ(Texts(menu->MenuBar()->actions()), QStringList({"&File", "&Help"}));
    ASSERT_NE(file->menu(), nullptr);
    EXPECT_EQ(Texts(file->menu()->actions()), QStringList({"&Open...", "|", "E&xit"}));
    EXPECT_EQ(open->toolTip(), "Opens a site plan");
    EXPECT_EQ(help->menu(), nullptr);
    ASSERT_EQ(file->Count(), 3);
    EXPECT_EQ(file->Items(2), quit);
    EXPECT_EQ(quit->Parent(), file);

    const int barHeight = menu->MenuBar()->height();
    EXPECT_GT(barHeight, 0);
    EXPECT_EQ(menu->MenuBar()->geometry(), QRect(0, 0, 300, barHeight));
    EXPECT_EQ(panel->geometry(), QRect(0, barHeight, 300, 200 - barHeight));
    form.resize(320, 240);
    EXPECT_EQ(menu->MenuBar()->width(), 320);
    EXPECT_EQ(panel->geometry(), QRect(0, barHeight, 320, 240 - barHeight));

    // An entry moved elsewhere or destroyed leaves its menu.
    help->Add(open);
    EXPECT_EQ(Texts(file->menu()->actions()), QStringList({"|", "E&xit"}));
    EXPECT_EQ(Texts(help->menu()->actions()), QStringList({"&Open..."}));
    delete quit;
    EXPECT_EQ(file->Count(), 1);
    EXPECT_EQ(Texts(file->menu()->actions()), QStringList({"|"}));
    auto* stray = new TMenuItem(&form);
    EXPECT_THROW(file->Insert(2, stray), EComponentError);
    EXPECT_EQ(stray->Parent(), nullptr);
}

TEST(MenuTest, ChoosingAnEntryRunsItsOnClick) {
    TForm form(nullptr);
    auto* popup = new TPopupMenu(&form);
    auto* copy = new TMenuItem(&form);
    copy->SetCaption("&Copy");
    copy->SetName("miCopy");
    popup->Items()->Add(copy);
    QStringList clicked;
    copy->OnClick = [&](TComponent* sender) { clicked << sender->Name(); };
    EXPECT_EQ(Texts(popup->Menu()->actions()), QStringList({"&Copy"}));
    popup->Menu()->actions().value(0)->trigger();
    copy->Click();
    copy->setEnabled(false);
    copy->Click();
    EXPECT_EQ(clicked, QStringList({"miCopy", "miCopy"}));
}

// A picture button shows its own glyph before its kind's icon; a kind gives an empty caption its
// standard text and OK or Yes make it the Default button.
TEST(ButtonsTest, BitButtonShowsGlyphOrKind) {
    TForm form(nullptr);
    auto* ok = new TBitBtn(&form);
    EXPECT_TRUE(ok->icon().isNull());
    ok->SetKind(bkOK);
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_TRUE(ok->Default());
    EXPECT_FALSE(ok->icon().isNull());

    auto* cancel = new TBitBtn(&form);
    cancel->SetCaption("&Abbrechen");
    cancel->SetKind(bkCancel);
    EXPECT_EQ(cancel->Caption(), "&Abbrechen");
    EXPECT_FALSE(cancel->Default());

    QTemporaryDir folder;
    const QString file = folder.filePath("glyph.png");
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(file));
    cancel->Glyph()->LoadFromFile(file);
    const QImage shown = cancel->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(shown.pixelColor(8, 8), QColor(Qt::red));
    cancel->SetKind(bkCustom);
    EXPECT_FALSE(cancel->icon().isNull());
}

// Speed buttons of one group on one parent: one is down at most; without AllowAllUp the one down
// stays down when clicked again. A button of no group never stays down.
TEST(ButtonsTest, SpeedButtonsOfAGroupPutEachOtherUp) {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    auto* other = new TPanel(&form);
    TSpeedButton* group[3];
    for (TSpeedButton*& button : group) {
        button = new TSpeedButton(panel);
        button->SetGroupIndex(1);
    }
    auto* elsewhere = new TSpeedButton(other);
    elsewhere->SetGroupIndex(1);
    auto* plain = new TSpeedButton(panel);
    elsewhere->SetDown(true);
    const auto downs = [&] {
        return QList<bool>{group[0]->Down(), group[1]->Down(), group[2]->Down(), elsewhere->Down(),
                           plain->Down()};
    };

    group[0]->SetDown(true);
    group[2]->click();
    EXPECT_EQ(downs(), QList<bool>({false, false, true, true, false}));
    group[2]->click();
    EXPECT_EQ(downs(), QList<bool>({false, false, true, true, false}));
    group[2]->SetAllowAllUp(true);
    group[2]->click();
    EXPECT_EQ(downs(), QList<bool>({false, false, false, true, false}));
    plain->SetDown(true);
    plain->click();
    EXPECT_EQ(downs(), QList<bool>({false, false, false, true, false}));
}

} // namespace
