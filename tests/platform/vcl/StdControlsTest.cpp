// The standard controls: their class names and published properties, texts set by name that show
// on screen, and lists bound to what their widgets show.
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/CheckLst.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using Make = std::function<TComponent*(TComponent*)>;

template <class T> Make Maker() {
    return [](TComponent* owner) { return new T(owner); };
}

// What the translator relies on: the exact class name, texts published by name that read back
// what was written, and string lists published by name that take a list given to them.
TEST(StdClassesTest, ClassNamesAndPublishedProperties) {
    struct Case {
        const char* className;
        Make make;
        QStringList texts;
        QStringList lists;
        QStringList absent;
    };
    const QStringList captionHint = {"Caption", "Hint"};
    const Case cases[] = {
        {"TEdit", Maker<TEdit>(), {"Text", "TextHint", "Hint"}, {}, {"Caption", "Items"}},
        {"TComboBox", Maker<TComboBox>(), {"Text", "TextHint", "Hint"}, {"Items"}, {"Caption"}},
        {"TMemo", Maker<TMemo>(), {"Hint"}, {"Lines"}, {"Caption", "Items"}},
        {"TListBox", Maker<TListBox>(), {"Hint"}, {"Items"}, {"Caption"}},
        {"TCheckListBox", Maker<TCheckListBox>(), {"Hint"}, {"Items"}, {"Caption"}},
        {"TGroupBox", Maker<TGroupBox>(), captionHint, {}, {"Items"}},
        {"TRadioButton", Maker<TRadioButton>(), captionHint, {}, {}},
        {"TRadioGroup", Maker<TRadioGroup>(), captionHint, {"Items"}, {}},
        {"TStaticText", Maker<TStaticText>(), captionHint, {}, {}},
        {"TBitBtn", Maker<TBitBtn>(), captionHint, {}, {}},
        {"TSpeedButton", Maker<TSpeedButton>(), captionHint, {}, {}},
        {"TTabControl", Maker<TTabControl>(), {"Hint"}, {"Tabs"}, {"Caption"}},
        {"TListView", Maker<TListView>(), {"Hint"}, {}, {"Caption"}},
        {"TPageControl", Maker<TPageControl>(), {"Hint"}, {}, {"Caption"}},
        {"TTabSheet", Maker<TTabSheet>(), captionHint, {}, {}},
        {"TToolBar", Maker<TToolBar>(), captionHint, {}, {}},
        {"TToolButton", Maker<TToolButton>(), captionHint, {}, {}},
        {"TMainMenu", Maker<TMainMenu>(), {}, {}, {"Caption", "Hint"}},
        {"TPopupMenu", Maker<TPopupMenu>(), {}, {}, {"Caption", "Hint"}},
        {"TMenuItem", Maker<TMenuItem>(), captionHint, {}, {}},
        {"TActionList", Maker<TActionList>(), {}, {}, {"Caption", "Hint"}},
        {"TAction", Maker<TAction>(), captionHint, {}, {}},
        {"TOpenDialog", Maker<TOpenDialog>(), {"Filter", "FileName", "Title"}, {}, {"Caption", "Hint"}},
        {"TSaveDialog", Maker<TSaveDialog>(), {"Filter", "FileName", "Title"}, {}, {"Caption", "Hint"}},
    };
    TForm form(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        TComponent* component = c.make(&form);
        EXPECT_EQ(component->ClassName(), c.className);
        for (const QString& name : c.texts) {
            const QString value = name + QStringLiteral(" of ") + c.className;
            EXPECT_NO_THROW(SetStrProp(component, name, value)) << name.toStdString();
            EXPECT_EQ(component->Object()->property(name.toUtf8().constData()).toString(), value);
        }
        for (const QString& name : c.lists) {
            TStringList list;
            list.Add("one");
            list.Add("two");
            ASSERT_NO_THROW(SetStringsProp(component, name, &list)) << name.toStdString();
            EXPECT_EQ(GetStringsProp(component, name)->Text(), "one\ntwo\n") << name.toStdString();
        }
        for (const QString& name : c.absent)
            EXPECT_FALSE(IsPublishedProp(component, name)) << name.toStdString();
    }
}

// A caption, hint or text hint written by name is what the user sees: on the widget, on the
// page's tab, in the menu bar, on the button linked to an action.
TEST(StdClassesTest, TextsSetByNameShowOnScreen) {
    TForm form(nullptr);
    auto* pageControl = new TPageControl(&form);
    auto* sheet = new TTabSheet(&form);
    sheet->SetPageControl(pageControl);
    auto* mainMenu = new TMainMenu(&form);
    auto* menuItem = new TMenuItem(&form);
    mainMenu->Items()->Add(menuItem);
    auto* action = new TAction(&form);
    auto* linked = new TButton(&form);
    linked->SetAction(action);
    auto* edit = new TEdit(&form);
    auto* combo = new TComboBox(&form);

    struct Case {
        const char* what;
        TComponent* component;
        const char* property;
        std::function<QString()> shown;
    };
    const auto widgetText = [](auto* widget) { return [widget] { return widget->text(); }; };
    const auto tooltip = [](TControl* control) { return [control] { return control->Widget()->toolTip(); }; };
    auto* groupBox = new TGroupBox(&form);
    auto* radioGroup = new TRadioGroup(&form);
    auto* radio = new TRadioButton(&form);
    auto* staticText = new TStaticText(&form);
    auto* bitBtn = new TBitBtn(&form);
    auto* speed = new TSpeedButton(&form);
    auto* toolButton = new TToolButton(&form);
    auto* listBox = new TListBox(&form);
    auto* tabControl = new TTabControl(&form);
    const Case cases[] = {
        {"group title", groupBox, "Caption", [=] { return groupBox->title(); }},
        {"radio group title", radioGroup, "Caption", [=] { return radioGroup->title(); }},
        {"radio button", radio, "Caption", widgetText(radio)},
        {"static text", staticText, "Caption", widgetText(staticText)},
        {"bit button", bitBtn, "Caption", widgetText(bitBtn)},
        {"speed button", speed, "Caption", widgetText(speed)},
        {"tool button", toolButton, "Caption", widgetText(toolButton)},
        {"page tab", sheet, "Caption", [=] { return pageControl->tabText(0); }},
        {"menu bar", menuItem, "Caption", [=] { return mainMenu->MenuBar()->actions().value(0)->text(); }},
        {"menu tooltip", menuItem, "Hint", [=] { return menuItem->toolTip(); }},
        {"menu status tip", menuItem, "Hint", [=] { return menuItem->statusTip(); }},
        {"linked button", action, "Caption", widgetText(linked)},
        {"linked tooltip", action, "Hint", tooltip(linked)},
        {"edit placeholder", edit, "TextHint", [=] { return edit->placeholderText(); }},
        {"combo placeholder", combo, "TextHint", [=] { return combo->lineEdit()->placeholderText(); }},
        {"group hint", groupBox, "Hint", tooltip(groupBox)},
        {"radio group hint", radioGroup, "Hint", tooltip(radioGroup)},
        {"list hint", listBox, "Hint", tooltip(listBox)},
        {"tab control hint", tabControl, "Hint", tooltip(tabControl)},
        {"page hint", sheet, "Hint", tooltip(sheet)},
        {"speed button hint", speed, "Hint", tooltip(speed)},
        {"tool button hint", toolButton, "Hint", tooltip(toolButton)},
    };
    for (const Case& c : cases) {
        const QString text = QStringLiteral("&Shown <b>%1</b>").arg(QLatin1String(c.what));
        SetStrProp(c.component, c.property, text);
        EXPECT_EQ(c.shown(), text) << c.what;
    }
}

// A list handed out by a control is what its widget shows, through every way of changing it;
// texts keep their attached objects.
TEST(StdClassesTest, ListsAreWhatTheWidgetsShow) {
    TForm form(nullptr);
    auto* listBox = new TListBox(&form);
    auto* checkList = new TCheckListBox(&form);
    auto* combo = new TComboBox(&form);
    auto* radioGroup = new TRadioGroup(&form);
    auto* tabControl = new TTabControl(&form);
    auto* memo = new TMemo(&form);
    struct Case {
        const char* what;
        TStrings* list;
        std::function<QStringList()> shown;
        bool keepsObjects;
    };
    const Case cases[] = {
        {"list box", listBox->Items(),
         [=] {
             QStringList texts;
             for (int i = 0; i < listBox->count(); ++i)
                 texts << listBox->item(i)->text();
             return texts;
         },
         true},
        {"check list box", checkList->Items(),
         [=] {
             QStringList texts;
             for (int i = 0; i < checkList->count(); ++i)
                 texts << checkList->item(i)->text();
             return texts;
         },
         true},
        {"combo box", combo->Items(),
         [=] {
             QStringList texts;
             for (int i = 0; i < combo->count(); ++i)
                 texts << combo->itemText(i);
             return texts;
         },
         true},
        {"radio group", radioGroup->Items(),
         [=] {
             QStringList texts;
             for (int i = 0; radioGroup->Buttons(i); ++i)
                 texts << radioGroup->Buttons(i)->text();
             return texts;
         },
         true},
        {"tab control", tabControl->Tabs(),
         [=] {
             QStringList texts;
             for (int i = 0; i < tabControl->count(); ++i)
                 texts << tabControl->tabText(i);
             return texts;
         },
         true},
        {"memo", memo->Lines(), [=] { return memo->toPlainText().split('\n', Qt::SkipEmptyParts); }, false},
    };
    QObject first, second;
    TStringList source;
    source.AddObject("alpha", &first);
    source.Add("beta");
    source.AddObject("gamma", &second);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.list->Add("stale");
        c.list->Assign(source);
        EXPECT_EQ(c.shown(), QStringList({"alpha", "beta", "gamma"}));
        if (c.keepsObjects) {
            EXPECT_EQ(c.list->Objects(0), &first);
            EXPECT_EQ(c.list->Objects(2), &second);
        }
        c.list->SetStrings(1, "Beta");
        c.list->Insert(0, "start");
        c.list->Add("end");
        c.list->Delete(1); // alpha
        EXPECT_EQ(c.shown(), QStringList({"start", "Beta", "gamma", "end"}));
        EXPECT_EQ(c.list->Text(), "start\nBeta\ngamma\nend\n");
        if (c.keepsObjects) {
            EXPECT_EQ(c.list->Objects(2), &second);
        }
        EXPECT_THROW(c.list->Strings(4), EComponentError);
        c.list->Clear();
        EXPECT_EQ(c.list->Count(), 0);
        EXPECT_EQ(c.shown(), QStringList());
    }
}

TEST(StdClassesTest, MemoLinesAreTheEditorsLines) {
    TForm form(nullptr);
    auto* memo = new TMemo(&form);
    TStrings* lines = memo->Lines();
    EXPECT_EQ(lines->Count(), 0);
    memo->setPlainText("one\n\nthree");
    ASSERT_EQ(lines->Count(), 3);
    EXPECT_EQ(lines->Strings(1), "");
    lines->Delete(2); // the last line takes the break before it
    EXPECT_EQ(memo->toPlainText(), "one\n");
    lines->Delete(0);
    EXPECT_EQ(memo->toPlainText(), "");
    EXPECT_EQ(lines->Count(), 0);
    lines->SetText("a\r\nb");
    lines->Insert(2, "c");
    EXPECT_EQ(memo->toPlainText(), "a\nb\nc");
}

// A combo box whose entries change keeps what the user typed and selects nothing by itself, so
// the text hint stays visible over an empty field; changing entries is not the user's change.
TEST(StdClassesTest, ComboBoxEntriesLeaveTheTextAlone) {
    TForm form(nullptr);
    auto* combo = new TComboBox(&form);
    int changes = 0;
    combo->OnChange = [&](TComponent*) { ++changes; };
    combo->Items()->Add("North");
    combo->Items()->Add("South");
    combo->SetTextHint("Choose a site");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    EXPECT_EQ(combo->lineEdit()->placeholderText(), "Choose a site");
    EXPECT_EQ(changes, 0);

    combo->lineEdit()->insert("We"); // as typed
    EXPECT_EQ(changes, 1);
    combo->Items()->Insert(0, "West");
    EXPECT_EQ(combo->Text(), "We");
    EXPECT_EQ(combo->ItemIndex(), -1);

    combo->SetItemIndex(1);
    combo->Items()->Delete(2);
    EXPECT_EQ(combo->Text(), "North");
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->lineEdit(), nullptr);
    combo->SetItemIndex(-1);
    EXPECT_EQ(combo->placeholderText(), "Choose a site");
    combo->SetText("West");
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->SetText("Nowhere");
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST(StdClassesTest, RadioGroupChecksItsItemIndex) {
    TForm form(nullptr);
    auto* group = new TRadioGroup(&form);
    QStringList clicked;
    group->OnClick = [&](TComponent*) { clicked << QString::number(group->ItemIndex()); };
    group->Items()->SetText("Any\nAll\nExact");
    const auto checked = [group] {
        QList<bool> states;
        for (int i = 0; group->Buttons(i); ++i)
            states << group->Buttons(i)->isChecked();
        return states;
    };
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(checked(), QList<bool>({false, false, false}));

    group->SetItemIndex(2);
    EXPECT_EQ(checked(), QList<bool>({false, false, true}));
    group->Items()->SetStrings(0, "Some"); // rebuilt, still on its entry
    EXPECT_EQ(checked(), QList<bool>({false, false, true}));
    group->Buttons(1)->click();
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(checked(), QList<bool>({false, true, false}));
    EXPECT_EQ(clicked, QStringList({"1"}));

    group->Items()->Delete(2);
    group->SetItemIndex(5); // out of range: none
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(checked(), QList<bool>({false, false}));
    group->SetItemIndex(1);
    group->Items()->Delete(1); // the checked entry goes
    EXPECT_EQ(group->ItemIndex(), -1);
}

TEST(StdClassesTest, CheckListBoxEntriesCarryCheckBoxes) {
    TForm form(nullptr);
    auto* list = new TCheckListBox(&form);
    list->Items()->SetText("Doors\nCameras");
    list->SetChecked(1, true);
    EXPECT_FALSE(list->Checked(0));
    EXPECT_TRUE(list->Checked(1));
    EXPECT_TRUE(list->item(0)->flags().testFlag(Qt::ItemIsUserCheckable));
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_THROW(list->Checked(2), EComponentError);
    EXPECT_THROW(list->SetChecked(-1, true), EComponentError);
}

// Controls placed on a group box show inside its frame, below the title.
TEST(StdClassesTest, GroupBoxHoldsControlsBelowItsTitle) {
    TForm form(nullptr);
    auto* group = new TGroupBox(&form);
    group->SetCaption("Sites");
    group->SetBounds(0, 0, 200, 120);
    auto* list = new TListBox(group);
    list->SetAlign(alClient);
    EXPECT_EQ(list->Parent(), group);
    EXPECT_TRUE(group->isAncestorOf(list));
    EXPECT_EQ(list->geometry(), group->contentsRect());
    EXPECT_GT(list->y(), 0);
}

} // namespace
