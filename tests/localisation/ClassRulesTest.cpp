// The rules by class: which keys each class is looked up by, where a found text goes, and which
// font rule it gets.
#include "FormFixture.h"
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
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/CheckLst.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/DB.h"
#include "platform/vcl/DBActns.h"
#include "platform/vcl/DBCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

#include <functional>

// A memo view under a class name of its own: no rule reaches it.
class TfrxRichMemoView : public TfrxMemoView {
    Q_OBJECT
public:
    using TfrxMemoView::TfrxMemoView;
};

// Claims a list class and counts how often its entries are written.
class TItemsSpy : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
public:
    TItemsSpy(TComponent* owner, const QString& claimed)
        : QObject(nullptr), TComponent(this, owner), claimed_(claimed) {}
    QString ClassName() const override { return claimed_; }
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint) { hint_ = hint; }
    TStrings* Items() { return &items_; }
    void SetItems(TStrings* items) {
        ++Writes;
        items_.Assign(*items);
    }
    int Writes = 0;

private:
    QString claimed_, hint_;
    TStringList items_;
};

namespace {

using Factory = std::function<TComponent*(TComponent* owner)>;
template <class T> Factory Make() {
    return [](TComponent* owner) { return new T(owner); };
}

QString PropertyText(TComponent* component, const char* property) {
    return component->Object()->property(property).toString();
}

QStringList Entries(TStrings* list) {
    QStringList entries;
    for (int i = 0; i < list->Count(); ++i)
        entries << list->Strings(i);
    return entries;
}

class ClassRulesTest : public FormTranslatorTest {
protected:
    // Translates the form after a label that has a row of its own: its caption tells whether the
    // walk got to the end of the form.
    bool TranslateToTheEnd(TfrmTest& form, std::vector<Row> rows) {
        auto* last = Control<TLabel>(&form, "lbLast");
        rows.push_back({"frmTest", "lbLast", "Caption", "", "Reached"});
        WriteFormStrings(rows);
        TranslateForm(LanguageSettings.LanguageIndex, &form, true);
        return last->Caption() == "Reached";
    }
};

// Rows whose texts go by name into the published Caption and Hint; a few classes have a caption
// only, and their hint rows are never read.
TEST_F(ClassRulesTest, CaptionAndHintByName) {
    struct Case {
        const char* className;
        Factory make;
        bool hint;
    };
    const std::vector<Case> cases = {
        {"TAction", Make<TAction>(), true},
        {"TMenuItem", Make<TMenuItem>(), true},
        {"TToolButton", Make<TToolButton>(), true},
        {"TSpeedButton", Make<TSpeedButton>(), true},
        {"TGroupBox", Make<TGroupBox>(), true},
        {"TTabSheet", Make<TTabSheet>(), true},
        {"TBitBtn", Make<TBitBtn>(), true},
        {"TStaticText", Make<TStaticText>(), true},
        {"TRadioButton", Make<TRadioButton>(), true},
        {"TDBCheckBox", Make<TDBCheckBox>(), true},
        {"TDataSetInsert", Make<TDataSetInsert>(), true},
        {"TDataSetDelete", Make<TDataSetDelete>(), true},
        {"TDataSetEdit", Make<TDataSetEdit>(), true},
        {"TDataSetPost", Make<TDataSetPost>(), true},
        {"TDataSetCancel", Make<TDataSetCancel>(), true},
        {"TdxDockPanel", Make<TdxDockPanel>(), true},
        {"TdxBarSubItem", Make<TdxBarSubItem>(), true},
        {"TdxBarLargeButton", Make<TdxBarLargeButton>(), true},
        {"TdxBarEdit", Make<TdxBarEdit>(), true},
        {"TColorButton", Make<TColorButton>(), true},
        {"TcxLabel", Make<TcxLabel>(), true},
        {"TcxButton", Make<TcxButton>(), true},
        {"TdxNavBarGroup", Make<TdxNavBarGroup>(), true},
        {"TdxNavBarItem", Make<TdxNavBarItem>(), true},
        {"TcxBarEditItem", Make<TcxBarEditItem>(), true},
        {"TcxTabSheet", Make<TcxTabSheet>(), true},
        {"TdxRibbonBackstageViewGalleryItem", Make<TdxRibbonBackstageViewGalleryItem>(), true},
        {"TdxRibbonBackstageViewTabSheet", Make<TdxRibbonBackstageViewTabSheet>(), true},
        {"TwwCheckBox", Make<TwwCheckBox>(), true},
        {"TwwRadioButton", Make<TwwRadioButton>(), true},
        {"TdxBarButton", Make<TdxBarButton>(), true},
        {"TdxBarStatic", Make<TdxBarStatic>(), true},
        {"TdxBarDateCombo", Make<TdxBarDateCombo>(), true},
        {"TdxBarSpinEdit", Make<TdxBarSpinEdit>(), true},
        {"TwwFilterDialog", Make<TwwFilterDialog>(), false},
        {"TwwLocateDialog", Make<TwwLocateDialog>(), false},
        {"TdxRibbonTab", Make<TdxRibbonTab>(), false},
        {"TdxBar", Make<TdxBar>(), false},
    };
    TfrmTest form(nullptr);
    std::vector<Row> rows;
    std::vector<TComponent*> components;
    for (const Case& c : cases) {
        TComponent* component = Named(c.make(&form), QString("x") + c.className);
        components.push_back(component);
        rows.push_back({"frmTest", component->Name(), "Caption", "", QString("Caption of ") + c.className});
        rows.push_back({"frmTest", component->Name(), "Hint", "", QString("Hint of ") + c.className});
        if (c.hint) component->Object()->setProperty("Hint", "Designer hint");
    }
    ASSERT_TRUE(TranslateToTheEnd(form, rows));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.className);
        EXPECT_EQ(components[i]->ClassName(), c.className);
        EXPECT_EQ(PropertyText(components[i], "Caption"), QString("Caption of ") + c.className);
        EXPECT_EQ(IsPublishedProp(components[i], "Hint"), c.hint);
        if (c.hint) {
            EXPECT_EQ(PropertyText(components[i], "Hint"), QString("Hint of ") + c.className);
        }
    }
}

TEST_F(ClassRulesTest, FieldsTakeTheirDisplayLabelByName) {
    const std::vector<std::pair<const char*, Factory>> cases = {
        {"TIntegerField", Make<TIntegerField>()},     {"TLargeIntField", Make<TLargeIntField>()},
        {"TWordField", Make<TWordField>()},           {"TSmallintField", Make<TSmallintField>()},
        {"TWideStringField", Make<TWideStringField>()}, {"TDateTimeField", Make<TDateTimeField>()},
        {"TStringField", Make<TStringField>()},       {"TAutoIncField", Make<TAutoIncField>()},
        {"TBooleanField", Make<TBooleanField>()},     {"TBCDField", Make<TBCDField>()},
        {"TCurrencyField", Make<TCurrencyField>()},   {"TFloatField", Make<TFloatField>()},
        {"TWideMemoField", Make<TWideMemoField>()},
    };
    TfrmTest form(nullptr);
    std::vector<Row> rows;
    std::vector<TComponent*> fields;
    for (const auto& [className, make] : cases) {
        fields.push_back(Named(make(&form), QString("x") + className));
        rows.push_back({"frmTest", fields.back()->Name(), "DisplayLabel", "", QString("Label of ") + className});
        rows.push_back({"frmTest", fields.back()->Name(), "Caption", "", "never read"});
    }
    ASSERT_TRUE(TranslateToTheEnd(form, rows));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].first);
        EXPECT_EQ(fields[i]->ClassName(), cases[i].first);
        EXPECT_EQ(PropertyText(fields[i], "DisplayLabel"), QString("Label of ") + cases[i].first);
    }
}

struct FontState {
    int Charset;
    QString Name;
    int Size;
    bool operator==(const FontState&) const = default;
};

void PrintTo(const FontState& s, std::ostream* os) {
    *os << s.Charset << ' ' << s.Name.toStdString() << ' ' << s.Size;
}

FontState StateOf(TFont* f) { return {f->Charset(), f->Name(), f->Size()}; }

void SetFont(TFont* f, int charset, const QString& name, int size) {
    f->SetCharset(static_cast<std::uint8_t>(charset));
    f->SetName(name);
    f->SetSize(size);
}

// The font-only classes take no text even when rows exist for them. The managers get their size
// outright and a face of their own for the Chinese languages; the grid's two fonts and a data text
// only ever grow.
TEST_F(ClassRulesTest, FontOnlyClasses) {
    struct Case {
        int languageIndex;
        bool applyFonts;
        FontState manager, grid, title, text;
    };
    LanguageSettings.FontName = "Tahoma";
    LanguageSettings.FontSize = 9;
    const Case cases[] = {
        {1, true, {1, "微软雅黑", 9}, {1, "Tahoma", 12}, {1, "Tahoma", 9}, {1, "Tahoma", 9}},
        {2, true, {1, "微软雅黑", 9}, {1, "Tahoma", 12}, {1, "Tahoma", 9}, {1, "Tahoma", 9}},
        {3, true, {1, "Tahoma", 9}, {1, "Tahoma", 12}, {1, "Tahoma", 9}, {1, "Tahoma", 9}},
        {7, false, {1, "Courier", 14}, {1, "Courier", 12}, {1, "Courier", 6}, {1, "Courier", 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.languageIndex);
        LanguageSettings.LanguageIndex = c.languageIndex;
        TfrmTest form(nullptr);
        auto* bars = Named(new TdxBarManager(&form), "bmMain");
        auto* docking = Named(new TdxDockingManager(&form), "dmMain");
        auto* navigation = Named(new TdxNavBar(&form), "nbMain");
        auto* grid = Named(new TDBGridEh(&form), "grMain");
        auto* text = Named(new TDBText(&form), "dtMain");
        for (TFont* f : {bars->Font(), docking->Font(), navigation->Font()})
            SetFont(f, 0, "Courier", 14);
        SetFont(grid->Font(), 0, "Courier", 12);
        SetFont(grid->TitleFont(), 0, "Courier", 6);
        SetFont(text->Font(), 0, "Courier", 6);
        std::vector<Row> rows;
        for (const QString name : {"bmMain", "dmMain", "nbMain", "grMain", "dtMain"})
            for (const QString property : {"Caption", "Hint", "Items0", "Font"})
                rows.push_back({"frmTest", name, property, "", "Text"});
        WriteFormStrings(rows);
        TranslateForm(c.languageIndex, &form, c.applyFonts);
        EXPECT_EQ(StateOf(bars->Font()), c.manager);
        EXPECT_EQ(StateOf(docking->Font()), c.manager);
        EXPECT_EQ(StateOf(navigation->Font()), c.manager);
        EXPECT_EQ(StateOf(grid->Font()), c.grid);
        EXPECT_EQ(StateOf(grid->TitleFont()), c.title);
        EXPECT_EQ(StateOf(text->Font()), c.text);
        EXPECT_NE(navigation->Hint(), "Text");
        EXPECT_NE(grid->Hint(), "Text");
        EXPECT_NE(text->Hint(), "Text");
    }
}

// The entries of a list published as Items are copied, translated where they have a row, and
// written back once, only when some entry had one.
TEST_F(ClassRulesTest, ListByName) {
    struct Case {
        const char* what;
        QStringList entries;
        std::vector<std::pair<QString, QString>> rows; // property, text
        QStringList expected;
        int writes;
    };
    const Case cases[] = {
        {"rows for some entries", {"a", "b", "c", "d"}, {{"Items1", "B"}, {"Items3", "D"}}, {"a", "B", "c", "D"}, 1},
        {"no row for any entry", {"a", "b"}, {{"Items", "x"}, {"Items01", "x"}}, {"a", "b"}, 0},
        {"rows beyond the list", {"a", "b"}, {{"Items2", "x"}, {"Items5", "x"}}, {"a", "b"}, 0},
        {"an empty list", {}, {{"Items0", "x"}}, {}, 0},
        {"a row with the same text", {"a", "b"}, {{"ITEMS1", "b"}}, {"a", "b"}, 1},
        {"an empty text falls back to English", {"a", "b"}, {{"Items0", ""}}, {"English", "b"}, 1},
    };
    QObject tag;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TfrmTest form(nullptr);
        auto* list = Named(new TItemsSpy(&form, "TListBox"), "lbList");
        for (const QString& entry : c.entries)
            list->Items()->AddObject(entry, &tag);
        std::vector<Row> rows;
        for (const auto& [property, text] : c.rows)
            rows.push_back({"frmTest", "lbList", property, "English", text});
        ASSERT_TRUE(TranslateToTheEnd(form, rows));
        EXPECT_EQ(Entries(list->Items()), c.expected);
        EXPECT_EQ(list->Writes, c.writes);
        for (int i = 0; i < list->Items()->Count(); ++i)
            EXPECT_EQ(list->Items()->Objects(i), &tag);
    }
}

// What the list-by-name classes show: caption, hint and entries.
TEST_F(ClassRulesTest, ListClassesShowTheirEntries) {
    struct Case {
        const char* className;
        Factory make;
        bool caption;
    };
    const std::vector<Case> cases = {
        {"TRadioGroup", Make<TRadioGroup>(), true},   {"TDBRadioGroup", Make<TDBRadioGroup>(), true},
        {"TwwRadioGroup", Make<TwwRadioGroup>(), true}, {"TDBComboBox", Make<TDBComboBox>(), false},
        {"TDBComboBoxEh", Make<TDBComboBoxEh>(), false}, {"TListBox", Make<TListBox>(), false},
        {"TCheckListBox", Make<TCheckListBox>(), false},
    };
    TfrmTest form(nullptr);
    std::vector<Row> rows;
    std::vector<TComponent*> lists;
    for (const Case& c : cases) {
        TComponent* list = Named(c.make(&form), QString("x") + c.className);
        lists.push_back(list);
        TStrings* items = GetStringsProp(list, "Items");
        items->Add("one");
        items->Add("two");
        rows.push_back({"frmTest", list->Name(), "Caption", "", "Caption"});
        rows.push_back({"frmTest", list->Name(), "Hint", "", "Hint"});
        rows.push_back({"frmTest", list->Name(), "Items1", "", "deux"});
    }
    ASSERT_TRUE(TranslateToTheEnd(form, rows));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].className);
        EXPECT_EQ(lists[i]->ClassName(), cases[i].className);
        EXPECT_EQ(Entries(GetStringsProp(lists[i], "Items")), QStringList({"one", "deux"}));
        EXPECT_EQ(PropertyText(lists[i], "Hint"), "Hint");
        if (cases[i].caption) {
            EXPECT_EQ(PropertyText(lists[i], "Caption"), "Caption");
        }
    }
}

// Lists reached through the class's own accessors: entry k takes the row list + k when it has
// one; the length is that of the list before the walk, and rows beyond it are ignored.
TEST_F(ClassRulesTest, IndexedEntriesThroughOwnAccessors) {
    struct Case {
        const char* className;
        const char* list;
        Factory make;
        std::function<void(TComponent*, const QStringList&)> fill;
        std::function<QStringList(TComponent*)> read;
    };
    auto cx = [](TComponent* c) { return static_cast<TcxCustomGroupBox*>(dynamic_cast<TcxCustomGroupBox*>(c)); };
    const std::vector<Case> cases = {
        {"TTabControl", "Tabs", Make<TTabControl>(),
         [](TComponent* c, const QStringList& e) { dynamic_cast<TTabControl*>(c)->Tabs()->SetText(e.join('\n')); },
         [](TComponent* c) { return Entries(dynamic_cast<TTabControl*>(c)->Tabs()); }},
        {"TListView", "Columns", Make<TListView>(),
         [](TComponent* c, const QStringList& e) {
             for (const QString& t : e) dynamic_cast<TListView*>(c)->Columns()->Add()->SetCaption(t);
         },
         [](TComponent* c) {
             QStringList r;
             TListColumns* columns = dynamic_cast<TListView*>(c)->Columns();
             for (int i = 0; i < columns->Count(); ++i) r << columns->Items(i)->Caption();
             return r;
         }},
        {"TComboBox", "Items", Make<TComboBox>(),
         [](TComponent* c, const QStringList& e) { dynamic_cast<TComboBox*>(c)->Items()->SetText(e.join('\n')); },
         [](TComponent* c) { return Entries(dynamic_cast<TComboBox*>(c)->Items()); }},
        {"THintMemo", "Lines", Make<THintMemo>(),
         [](TComponent* c, const QStringList& e) { dynamic_cast<THintMemo*>(c)->Lines()->SetText(e.join('\n')); },
         [](TComponent* c) { return Entries(dynamic_cast<THintMemo*>(c)->Lines()); }},
        {"TMemo", "Lines", Make<TMemo>(),
         [](TComponent* c, const QStringList& e) { dynamic_cast<TMemo*>(c)->Lines()->SetText(e.join('\n')); },
         [](TComponent* c) { return Entries(dynamic_cast<TMemo*>(c)->Lines()); }},
        {"TcxRadioGroup", "Items", Make<TcxRadioGroup>(),
         [cx](TComponent* c, const QStringList& e) {
             for (const QString& t : e) cx(c)->Properties()->Items()->Add()->SetCaption(t);
         },
         [cx](TComponent* c) {
             QStringList r;
             TcxGroupItems* items = cx(c)->Properties()->Items();
             for (int i = 0; i < items->Count(); ++i) r << items->Items(i)->Caption();
             return r;
         }},
        {"TcxCheckGroup", "Items", Make<TcxCheckGroup>(),
         [cx](TComponent* c, const QStringList& e) {
             for (const QString& t : e) cx(c)->Properties()->Items()->Add()->SetCaption(t);
         },
         [cx](TComponent* c) {
             QStringList r;
             TcxGroupItems* items = cx(c)->Properties()->Items();
             for (int i = 0; i < items->Count(); ++i) r << items->Items(i)->Caption();
             return r;
         }},
        {"TcxCheckComboBox", "Items", Make<TcxCheckComboBox>(),
         [](TComponent* c, const QStringList& e) {
             for (const QString& t : e)
                 dynamic_cast<TcxCheckComboBox*>(c)->Properties()->Items()->Add()->SetDescription(t);
         },
         [](TComponent* c) {
             QStringList r;
             TcxCheckComboBoxItems* items = dynamic_cast<TcxCheckComboBox*>(c)->Properties()->Items();
             for (int i = 0; i < items->Count(); ++i) r << items->Items(i)->Description();
             return r;
         }},
    };
    TfrmTest form(nullptr);
    std::vector<Row> rows;
    std::vector<TComponent*> components;
    for (const Case& c : cases) {
        TComponent* component = Named(c.make(&form), QString("x") + c.className);
        components.push_back(component);
        c.fill(component, {"zero", "one", "two"});
        for (int k : {0, 2, 3})
            rows.push_back({"frmTest", component->Name(), c.list + QString::number(k), "", "T" + QString::number(k)});
    }
    ASSERT_TRUE(TranslateToTheEnd(form, rows));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].className);
        EXPECT_EQ(components[i]->ClassName(), cases[i].className);
        EXPECT_EQ(cases[i].read(components[i]), QStringList({"T0", "one", "T2"}));
    }
}

// Text hints, hints and the classes that have no hint key: a row for their hint is never read.
TEST_F(ClassRulesTest, TextHintsAndHints) {
    TfrmTest form(nullptr);
    auto* edit = Named(new TEdit(&form), "edName");
    auto* combo = Named(new TComboBox(&form), "coColour");
    auto* hintMemo = Named(new THintMemo(&form), "hmComment");
    auto* memo = Named(new TMemo(&form), "meNotes");
    auto* tabs = Named(new TTabControl(&form), "tcViews");
    auto* view = Named(new TListView(&form), "lvEvents");
    auto* checkCombo = Named(new TcxCheckComboBox(&form), "ccZones");
    auto* group = Named(new TcxRadioGroup(&form), "rgMode");
    const std::vector<TControl*> all = {edit, combo, hintMemo, memo, tabs, view, checkCombo, group};
    std::vector<Row> rows;
    for (TControl* control : all) {
        control->SetHint("Designer hint");
        rows.push_back({"frmTest", control->Name(), "Hint", "English hint", ""});
        rows.push_back({"frmTest", control->Name(), "TextHint", "", "Text hint"});
        rows.push_back({"frmTest", control->Name(), "Caption", "", "Caption"});
    }
    ASSERT_TRUE(TranslateToTheEnd(form, rows));
    EXPECT_EQ(edit->TextHint(), "Text hint");
    EXPECT_EQ(combo->TextHint(), "Text hint");
    EXPECT_EQ(hintMemo->TextHint(), "Text hint");
    for (TControl* control : {static_cast<TControl*>(edit), static_cast<TControl*>(hintMemo),
                              static_cast<TControl*>(memo)})
        EXPECT_EQ(control->Hint(), "Designer hint") << control->ClassName().toStdString();
    for (TControl* control : {static_cast<TControl*>(combo), static_cast<TControl*>(tabs),
                              static_cast<TControl*>(view), static_cast<TControl*>(checkCombo),
                              static_cast<TControl*>(group)})
        EXPECT_EQ(control->Hint(), "English hint") << control->ClassName().toStdString();
    EXPECT_EQ(group->Caption(), "Caption");
}

// A link's address is the language's own or none; its hint falls back to English as usual.
TEST_F(ClassRulesTest, BrowseUrlTakesNoEnglishAddress) {
    struct Case {
        const char* what;
        Text french;
        QString url;
    };
    const Case cases[] = {
        {"own address", "https://example.com/fr", "https://example.com/fr"},
        {"empty", "", ""},
        {"NULL", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TfrmTest form(nullptr);
        auto* link = Named(new TBrowseURL(&form), "buHelp");
        link->SetURL("https://example.com/designer");
        ASSERT_TRUE(TranslateToTheEnd(form, {{"frmTest", "buHelp", "URL", "https://example.com/en", c.french},
                                             {"frmTest", "buHelp", "Hint", "Help pages", ""}}));
        EXPECT_EQ(link->URL(), c.url);
        EXPECT_EQ(link->Hint(), "Help pages");
    }
}

TEST_F(ClassRulesTest, FileDialogsTakeTheWholeFilter) {
    TfrmTest form(nullptr);
    auto* open = Named(new TOpenDialog(&form), "odOpen");
    auto* save = Named(new TSaveDialog(&form), "sdSave");
    open->SetFilter("Designer (*.x)|*.x");
    save->SetFilter("Designer (*.x)|*.x");
    ASSERT_TRUE(TranslateToTheEnd(
        form, {{"frmTest", "odOpen", "Filter", "", "Textes (*.txt)|*.txt|Tous (*.*)|*.*"},
               {"frmTest", "sdSave", "FILTER", "Reports (*.csv)|*.csv", ""},
               {"frmTest", "sdSave", "Caption", "", "never read"}}));
    EXPECT_EQ(open->Filter(), "Textes (*.txt)|*.txt|Tous (*.*)|*.*");
    EXPECT_EQ(save->Filter(), "Reports (*.csv)|*.csv");
}

// Each object of a report is looked up under the report's name; memo views of exactly that class
// take the text and, with or without a row, the character set.
TEST_F(ClassRulesTest, ReportObjects) {
    TfrmTest form(nullptr);
    auto* report = Named(new TfrxReport(&form), "rpSummary");
    auto* title = Named(new TfrxMemoView(report), "mvTitle");
    auto* kept = Named(new TfrxMemoView(report), "mvKept");
    auto* rich = Named(new TfrxRichMemoView(report), "mvRich");
    auto* picture = Named(new TfrxPictureView(report), "pvLogo");
    for (TfrxMemoView* memo : {title, kept, static_cast<TfrxMemoView*>(rich)}) {
        memo->Font()->SetCharset(0);
        memo->Memo()->SetText("Designer text");
    }
    ASSERT_TRUE(TranslateToTheEnd(form, {{"frmTest", "rpSummary", "mvTitle", "", "Résumé\nZones : 3"},
                                         {"frmTest", "rpSummary", "mvRich", "", "never shown"},
                                         {"frmTest", "rpSummary", "pvLogo", "", "never shown"},
                                         {"frmTest", "mvKept", "Caption", "", "never read"},
                                         {"frmTest", "rpSummary", "Caption", "", "never read"}}));
    EXPECT_EQ(Entries(title->Memo()), QStringList({"Résumé", "Zones : 3"}));
    EXPECT_EQ(Entries(kept->Memo()), QStringList({"Designer text"}));
    EXPECT_EQ(Entries(rich->Memo()), QStringList({"Designer text"}));
    EXPECT_EQ(title->Font()->Charset(), 1);
    EXPECT_EQ(kept->Font()->Charset(), 1);
    EXPECT_EQ(rich->Font()->Charset(), 0);
    EXPECT_EQ(report->ComponentCount(), 4);
    EXPECT_EQ(picture->Owner(), report);
}

// A by-name rule that finds a row for a property the component does not publish ends the form's
// translation there; the same component without such a row does not. The read of Items comes
// before any lookup, so a list class without one fails even with no rows.
TEST_F(ClassRulesTest, MissingPublishedPropertyEndsTheForm) {
    struct Case {
        const char* claimed;
        std::vector<QString> properties; // rows for the stand-in
        bool reachesTheEnd;
    };
    const Case cases[] = {
        {"TAction", {}, true},
        {"TAction", {"Hint"}, false},
        {"TAction", {"Caption"}, false},
        {"TwwLocateDialog", {"Hint"}, true},
        {"TIntegerField", {"Caption"}, true},
        {"TIntegerField", {"DisplayLabel"}, false},
        {"TListBox", {}, false},
        {"TRadioGroup", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.claimed) + " with " + std::to_string(c.properties.size()) + " rows");
        TfrmTest form(nullptr);
        Named(new TStandIn(&form, c.claimed), "xStandIn");
        std::vector<Row> rows;
        for (const QString& property : c.properties)
            rows.push_back({"frmTest", "xStandIn", property, "", "Text"});
        EXPECT_EQ(TranslateToTheEnd(form, rows), c.reachesTheEnd);
        EXPECT_EQ(CurrentLanguageDatabaseState() != LanguageDatabaseState::Absent, c.reachesTheEnd);
    }
}

} // namespace

#include "ClassRulesTest.moc"
