// The component packs' classes as the form translator meets them: each with the exact class name,
// publishing the texts its kind has (and not those it lacks), and showing a caption, hint or list
// written by name where the user sees it.
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
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QRadioButton>

#include <functional>
#include <memory>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// The text a widget shows as its own: a button's or label's text, a group's title.
QString TextOf(const QWidget* widget) {
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    if (auto* caption = widget->findChild<QLabel*>(QStringLiteral("caption"))) return caption->text();
    return QStringLiteral("<no text on %1>").arg(QLatin1String(widget->metaObject()->className()));
}

struct OnScreen {
    QString caption;
    QString hint;
};

TEST(PackClassesTest, ClassNamesPublishedTextsAndWhatTheUserSees) {
    TForm form(nullptr);
    auto* bar = new TdxBar(&form);
    auto* nav = new TdxNavBar(&form);
    auto* group = new TdxNavBarGroup(&form);
    nav->AddGroup(group);
    auto* ribbon = new TdxRibbon(&form);
    auto* backstage = new TdxRibbonBackstageView(&form);
    auto* backstageSheet = new TdxRibbonBackstageViewTabSheet(&form);
    backstageSheet->SetBackstageView(backstage);
    auto* gallery = new TdxRibbonBackstageViewGalleryControl(backstageSheet);
    auto* pages = new TcxPageControl(&form);
    auto* report = new TfrxReport(&form);

    using Make = std::function<TComponent*()>;
    using Look = std::function<OnScreen(TComponent*)>;
    // A widget's own text and tooltip.
    const Look widget = [](TComponent* c) {
        auto* w = static_cast<QWidget*>(c->Object());
        return OnScreen{TextOf(w), w->toolTip()};
    };
    // An item's view on the bar.
    const Look onBar = [bar](TComponent* c) {
        QWidget* view = bar->widgetForAction(static_cast<QAction*>(c->Object()));
        if (!view) return OnScreen{"<not on the bar>", {}};
        return OnScreen{TextOf(view), view->toolTip()};
    };
    const auto barItem = [bar](TdxBarItem* item) {
        bar->AddItem(item);
        return item;
    };
    // A page's tab.
    const auto tabOf = [](QTabWidget* host) {
        return [host](TComponent* c) {
            const int index = host->indexOf(static_cast<QWidget*>(c->Object()));
            return OnScreen{host->tabText(index), host->tabToolTip(index)};
        };
    };
    const Look none;

    const QStringList CH = {"Caption", "Hint"};
    const QStringList texts = {"Caption", "Hint", "Items"};
    struct Case {
        const char* className;
        Make make;
        QStringList published;
        QStringList absent;
        Look look;
    };
    const Case cases[] = {
        {"TdxBarManager", [&] { return new TdxBarManager(&form); }, {}, texts, none},
        {"TdxBar",
         [&] { return new TdxBar(&form); },
         {"Caption"},
         {"Hint", "Items"},
         [](TComponent* c) {
             auto* b = static_cast<TdxBar*>(c);
             QApplication::processEvents(); // the bar lays out its title
             auto* title = b->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
             // The title shows at the bar's start and is the bar's window title.
             const bool shown = title && title->isVisibleTo(b) && title->text() == b->windowTitle();
             return OnScreen{shown ? title->text() : QString(), {}};
         }},
        {"TdxBarButton", [&] { return barItem(new TdxBarButton(&form)); }, CH, {"Items"}, onBar},
        {"TdxBarLargeButton", [&] { return barItem(new TdxBarLargeButton(&form)); }, CH, {"Items"}, onBar},
        {"TdxBarSubItem", [&] { return barItem(new TdxBarSubItem(&form)); }, CH, {"Items"}, onBar},
        {"TdxBarStatic", [&] { return barItem(new TdxBarStatic(&form)); }, CH, {"Items"}, onBar},
        {"TdxBarEdit", [&] { return barItem(new TdxBarEdit(&form)); }, CH, {"Items"}, onBar},
        {"TdxBarDateCombo", [&] { return barItem(new TdxBarDateCombo(&form)); }, CH, {"Items"}, onBar},
        {"TdxBarSpinEdit", [&] { return barItem(new TdxBarSpinEdit(&form)); }, CH, {"Items"}, onBar},
        {"TcxBarEditItem", [&] { return barItem(new TcxBarEditItem(&form)); }, CH, {"Items"}, onBar},
        {"TdxDockingManager", [&] { return new TdxDockingManager(&form); }, {}, texts, none},
        {"TdxDockPanel",
         [&] { return new TdxDockPanel(&form); },
         CH,
         {"Items"},
         [](TComponent* c) {
             auto* panel = static_cast<QWidget*>(c->Object());
             return OnScreen{panel->findChild<QLabel*>()->text(), panel->toolTip()};
         }},
        {"TdxNavBar", [&] { return new TdxNavBar(&form); }, {}, {"Caption", "Items"}, none},
        {"TdxNavBarGroup",
         [&] {
             auto* g = new TdxNavBarGroup(&form);
             nav->AddGroup(g);
             return g;
         },
         CH,
         {"Items"},
         [nav](TComponent* c) {
             const int index = nav->indexOf(static_cast<QWidget*>(c->Object()));
             return OnScreen{nav->itemText(index), nav->itemToolTip(index)};
         }},
        {"TdxNavBarItem",
         [&] {
             auto* item = new TdxNavBarItem(&form);
             group->AddItem(item);
             return item;
         },
         CH,
         {"Items"},
         [group](TComponent* c) {
             for (auto* link : group->findChildren<QAbstractButton*>()) {
                 if (link->actions().contains(static_cast<QAction*>(c->Object())))
                     return OnScreen{link->text(), link->toolTip()};
             }
             return OnScreen{"<no link>", {}};
         }},
        {"TdxRibbon", [&] { return new TdxRibbon(&form); }, {}, texts, none},
        {"TdxRibbonTab",
         [&] {
             auto* tab = new TdxRibbonTab(&form);
             tab->SetRibbon(ribbon);
             return tab;
         },
         {"Caption"},
         {"Hint", "Items"},
         tabOf(ribbon)},
        {"TdxRibbonBackstageView", [&] { return new TdxRibbonBackstageView(&form); }, {}, texts, none},
        {"TdxRibbonBackstageViewTabSheet",
         [&] {
             auto* sheet = new TdxRibbonBackstageViewTabSheet(&form);
             sheet->SetBackstageView(backstage);
             return sheet;
         },
         CH,
         {"Items"},
         tabOf(backstage)},
        {"TdxRibbonBackstageViewGalleryItem",
         [&] {
             auto* item = new TdxRibbonBackstageViewGalleryItem(&form);
             gallery->AddItem(item);
             return item;
         },
         CH,
         {"Items"},
         [gallery](TComponent* c) {
             QListWidgetItem* entry = gallery->EntryOf(static_cast<TdxRibbonBackstageViewGalleryItem*>(c));
             return entry ? OnScreen{entry->text(), entry->toolTip()} : OnScreen{"<no entry>", {}};
         }},
        {"TcxLabel", [&] { return new TcxLabel(&form); }, CH, {"Items"}, widget},
        {"TcxButton", [&] { return new TcxButton(&form); }, CH, {"Items"}, widget},
        {"TcxPageControl", [&] { return new TcxPageControl(&form); }, {"Hint"}, {"Caption", "Items"}, none},
        {"TcxTabSheet",
         [&] {
             auto* sheet = new TcxTabSheet(&form);
             sheet->SetPageControl(pages);
             return sheet;
         },
         CH,
         {"Items"},
         tabOf(pages)},
        {"TcxRadioGroup", [&] { return new TcxRadioGroup(&form); }, CH, {"Items"}, widget},
        {"TcxCheckGroup", [&] { return new TcxCheckGroup(&form); }, CH, {"Items"}, widget},
        {"TcxCheckComboBox",
         [&] { return new TcxCheckComboBox(&form); },
         {"Hint"},
         {"Caption", "Items"},
         none},
        {"TDBGridEh", [&] { return new TDBGridEh(&form); }, {}, {"Caption", "Items"}, none},
        {"TDBComboBoxEh", [&] { return new TDBComboBoxEh(&form); }, {"Hint", "Items"}, {"Caption"}, none},
        {"TwwCheckBox", [&] { return new TwwCheckBox(&form); }, CH, {"Items"}, widget},
        {"TwwRadioButton", [&] { return new TwwRadioButton(&form); }, CH, {"Items"}, widget},
        {"TwwRadioGroup", [&] { return new TwwRadioGroup(&form); }, texts, {}, widget},
        {"TwwFilterDialog", [&] { return new TwwFilterDialog(&form); }, {"Caption"}, {"Hint", "Items"}, none},
        {"TwwLocateDialog", [&] { return new TwwLocateDialog(&form); }, {"Caption"}, {"Hint", "Items"}, none},
        {"TfrxReport", [&] { return new TfrxReport(&form); }, {}, texts, none},
        {"TfrxMemoView", [&] { return new TfrxMemoView(report); }, {}, texts, none},
        {"TfrxPictureView", [&] { return new TfrxPictureView(report); }, {}, texts, none},
        {"THintMemo", [&] { return new THintMemo(&form); }, {"Hint", "Lines", "TextHint"}, {"Caption"}, none},
        {"TBrowseURL", [&] { return new TBrowseURL(&form); }, {"Caption", "Hint", "URL"}, {"Items"}, widget},
        {"TColorButton", [&] { return new TColorButton(&form); }, CH, {"Items"}, widget},
    };

    form.show();
    TStringList entries;
    entries.Add("first");
    entries.Add("second");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        TComponent* component = c.make();
        EXPECT_EQ(component->ClassName(), c.className);
        for (const QString& name : c.published) {
            const QString value = name + " of " + c.className;
            if (name == "Items" || name == "Lines") {
                SetStringsProp(component, name, &entries);
                EXPECT_EQ(GetStringsProp(component, name)->Text(), "first\nsecond\n");
            } else {
                SetStrProp(component, name, value);
                EXPECT_EQ(component->Object()->property(name.toLatin1()).toString(), value)
                    << name.toStdString();
            }
        }
        for (const QString& name : c.absent)
            EXPECT_FALSE(IsPublishedProp(component, name)) << name.toStdString();
        if (!c.look) continue;
        const OnScreen shown = c.look(component);
        EXPECT_EQ(shown.caption, QString("Caption of ") + c.className);
        if (c.published.contains("Hint")) {
            EXPECT_EQ(shown.hint, QString("Hint of ") + c.className);
        }
    }
}

// Published lists show their entries in the widget, and a copy keeps the objects attached.
TEST(PackClassesTest, PublishedListsShowTheirEntries) {
    TForm form(nullptr);
    auto* group = new TwwRadioGroup(&form);
    auto* combo = new TDBComboBoxEh(&form);
    group->Items()->SetText("old\n");
    combo->Items()->SetText("old\n");
    QObject tag;
    TStringList translated;
    translated.AddObject("Rot", &tag);
    translated.Add("Grün");
    SetStringsProp(group, "Items", &translated);
    SetStringsProp(combo, "Items", &translated);

    ASSERT_NE(group->Buttons(1), nullptr);
    EXPECT_EQ(group->Buttons(0)->text(), "Rot");
    EXPECT_EQ(group->Buttons(1)->text(), "Grün");
    EXPECT_EQ(group->Buttons(2), nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Rot");
    EXPECT_EQ(combo->itemText(1), "Grün");
    EXPECT_EQ(group->Items()->Objects(0), &tag);
    EXPECT_EQ(combo->Items()->Objects(0), &tag);
}

} // namespace
