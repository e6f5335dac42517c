#include "localisation/FormTranslator.h"

#include "localisation/Languages.h"
#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseError.h"
#include "platform/packs/DBGridEh.h"
#include "platform/packs/MiscControls.h"
#include "platform/packs/cxControls.h"
#include "platform/packs/dxCore.h"
#include "platform/packs/frxClass.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

#include <vector>

namespace {

qsizetype ColumnIndex(const ado::Recordset& rows, const QString& name) {
    for (qsizetype i = 0; i < rows.columns.size(); ++i)
        if (rows.columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    throw ado::DatabaseError(QStringLiteral("no field %1 in the result").arg(name));
}

QString CellText(const std::vector<ado::FieldValue>& row, qsizetype column) {
    return ado::Field(QString(), &row[static_cast<std::size_t>(column)]).AsString();
}

std::pair<QString, QString> FoldedKey(const QString& controlName, const QString& propertyName) {
    return {controlName.toCaseFolded(), propertyName.toCaseFolded()};
}

} // namespace

FormStrings::FormStrings(const ado::Recordset& rows, const QString& column)
    : rows_(rows), textColumn_(ColumnIndex(rows, column)),
      englishColumn_(ColumnIndex(rows, QStringLiteral("ENGLISH_US"))) {
    const qsizetype controlColumn = ColumnIndex(rows, QStringLiteral("ControlName"));
    const qsizetype propertyColumn = ColumnIndex(rows, QStringLiteral("PropertyName"));
    firstRow_.reserve(static_cast<qsizetype>(rows.rows.size()));
    // Last row first: a later insert of the same key replaces the entry, so the first row stays.
    for (std::size_t i = rows.rows.size(); i-- > 0;) {
        const auto& row = rows.rows[i];
        firstRow_.insert(FoldedKey(CellText(row, controlColumn), CellText(row, propertyColumn)), i);
    }
}

const std::vector<ado::FieldValue>* FormStrings::FindRow(const QString& controlName,
                                                         const QString& propertyName) const {
    const auto it = firstRow_.constFind(FoldedKey(controlName, propertyName));
    return it == firstRow_.cend() ? nullptr : &rows_.rows[*it];
}

void FormStrings::GetFormString(const QString& controlName, const QString& propertyName, bool& found,
                                QString& text) const {
    const auto* row = FindRow(controlName, propertyName);
    found = row != nullptr;
    text.clear();
    if (!row) return;
    text = CellText(*row, textColumn_);
    if (text.isEmpty()) text = CellText(*row, englishColumn_);
}

void FormStrings::GetLanguageText(const QString& controlName, const QString& propertyName, bool& found,
                                  QString& text) const {
    const auto* row = FindRow(controlName, propertyName);
    found = row != nullptr;
    text = row ? CellText(*row, textColumn_) : QString();
}

namespace {

// What the class rules work with while one form is translated.
struct Translation {
    const FormStrings& Strings;
    bool ApplyFonts;
    TStringList& Scratch; // the list-by-name rule's copy of a component's entries

    // Looks the key up; when found, hands the text to apply.
    template <class Apply> void IfFound(const QString& control, const QString& property, Apply apply) const {
        bool found = false;
        QString text;
        Strings.GetFormString(control, property, found, text);
        if (found) apply(text);
    }
};

void FormFontRule(TFont& font, bool applyFonts) {
    font.SetCharset(LanguageSettings.FontCharset);
    if (!applyFonts) return;
    font.SetName(LanguageSettings.FontName);
    font.SetSize(LanguageSettings.FontSize);
}

// Face and minimum size: a size above the language's is kept.
void RaiseFont(TFont& font) {
    font.SetName(LanguageSettings.FontName);
    if (font.Size() < LanguageSettings.FontSize) font.SetSize(LanguageSettings.FontSize);
}

void ControlFontRule(TControl& control, bool applyFonts) {
    // A new character set makes the font the control's own; one its parent already gave it leaves
    // the control following the parent's font, and so the form's.
    control.Font()->SetCharset(LanguageSettings.FontCharset);
    if (!applyFonts || control.ParentFont()) return;
    RaiseFont(*control.Font());
}

void GridFontRule(TFont& font, TFont& titleFont, bool applyFonts) {
    font.SetCharset(LanguageSettings.FontCharset);
    titleFont.SetCharset(LanguageSettings.FontCharset);
    if (!applyFonts) return;
    RaiseFont(font);
    RaiseFont(titleFont);
}

// The Chinese languages get a face that has their characters whatever the language's own face is.
void ManagerFontRule(TFont& font, bool applyFonts) {
    font.SetCharset(LanguageSettings.FontCharset);
    if (!applyFonts) return;
    const int index = LanguageSettings.LanguageIndex;
    font.SetName(index == 1 || index == 2 ? QStringLiteral("微软雅黑") : LanguageSettings.FontName);
    font.SetSize(LanguageSettings.FontSize);
}

// A component that claims a class name but is not of that class fails like a missing property.
template <class T> T& As(TComponent& component, const char* what) {
    auto* object = dynamic_cast<T*>(&component);
    if (!object)
        throw EComponentError(QStringLiteral("%1 of class %2 is no %3")
                                  .arg(component.Name(), component.ClassName(), QLatin1String(what)));
    return *object;
}

// The keys list + 0, list + 1, ... up to the length read once beforehand; rows for entries beyond
// it are never read.
template <class Put>
void IndexedKeys(const Translation& t, const QString& name, const QString& list, int count, Put put) {
    for (int k = 0; k < count; ++k)
        t.IfFound(name, list + QString::number(k), [&](const QString& text) { put(k, text); });
}

void ReplaceLines(const Translation& t, const QString& name, const QString& list, TStrings& lines) {
    IndexedKeys(t, name, list, lines.Count(), [&](int k, const QString& text) { lines.SetStrings(k, text); });
}

void CaptionByName(TComponent& c, const Translation& t) {
    t.IfFound(c.Name(), QStringLiteral("Caption"),
              [&](const QString& text) { SetStrProp(&c, QStringLiteral("Caption"), text); });
}

void HintByName(TComponent& c, const Translation& t) {
    t.IfFound(c.Name(), QStringLiteral("Hint"),
              [&](const QString& text) { SetStrProp(&c, QStringLiteral("Hint"), text); });
}

void HintOf(TControl& control, const Translation& t) {
    t.IfFound(control.Name(), QStringLiteral("Hint"), [&](const QString& text) { control.SetHint(text); });
}

void CaptionAndHintOf(TControl& control, const Translation& t) {
    t.IfFound(control.Name(), QStringLiteral("Caption"),
              [&](const QString& text) { control.SetCaption(text); });
    HintOf(control, t);
}

// The entries of the published "Items" go through a copy, which is written back once, and only
// when some entry had a row. The read comes first, so a component without the list fails even when
// it has no rows.
void ItemsByName(TComponent& c, const Translation& t) {
    TStringList& scratch = t.Scratch;
    scratch.Clear();
    bool changed = false;
    scratch.Assign(*GetStringsProp(&c, QStringLiteral("Items")));
    IndexedKeys(t, c.Name(), QStringLiteral("Items"), scratch.Count(), [&](int k, const QString& text) {
        scratch.SetStrings(k, text);
        changed = true;
    });
    if (changed) SetStringsProp(&c, QStringLiteral("Items"), &scratch);
}

using ClassRule = void (*)(TComponent& component, const Translation& translation);

void ManagerFont(TComponent& c, const Translation& t) {
    // The bar and docking managers are no controls; the navigation bar is one.
    auto* manager = dynamic_cast<TdxManager*>(&c);
    ManagerFontRule(manager ? *manager->Font() : *As<TControl>(c, "control").Font(), t.ApplyFonts);
}

void ControlFont(TComponent& c, const Translation& t) {
    ControlFontRule(As<TControl>(c, "control"), t.ApplyFonts);
}

void GridFont(TComponent& c, const Translation& t) {
    auto& grid = As<TDBGridEh>(c, "grid");
    GridFontRule(*grid.Font(), *grid.TitleFont(), t.ApplyFonts);
}

void CaptionAndHintByName(TComponent& c, const Translation& t) {
    CaptionByName(c, t);
    HintByName(c, t);
}

void ControlCaptionAndHint(TComponent& c, const Translation& t) {
    TControl& control = As<TControl>(c, "control");
    ControlFontRule(control, t.ApplyFonts);
    CaptionAndHintOf(control, t);
}

void DisplayLabelByName(TComponent& c, const Translation& t) {
    t.IfFound(c.Name(), QStringLiteral("DisplayLabel"),
              [&](const QString& text) { SetStrProp(&c, QStringLiteral("DisplayLabel"), text); });
}

void CaptionHintAndItemsByName(TComponent& c, const Translation& t) {
    CaptionByName(c, t);
    HintByName(c, t);
    ItemsByName(c, t);
}

void HintAndItemsByName(TComponent& c, const Translation& t) {
    HintByName(c, t);
    ItemsByName(c, t);
}

void TabControl(TComponent& c, const Translation& t) {
    auto& tabs = As<TTabControl>(c, "tab control");
    HintOf(tabs, t);
    ReplaceLines(t, tabs.Name(), QStringLiteral("Tabs"), *tabs.Tabs());
}

void ListView(TComponent& c, const Translation& t) {
    auto& view = As<TListView>(c, "list view");
    HintOf(view, t);
    TListColumns& columns = *view.Columns();
    IndexedKeys(t, view.Name(), QStringLiteral("Columns"), columns.Count(),
                [&](int k, const QString& text) { columns.Items(k)->SetCaption(text); });
}

void FileDialogFilter(TComponent& c, const Translation& t) {
    auto& dialog = As<TOpenDialog>(c, "file dialog");
    t.IfFound(dialog.Name(), QStringLiteral("Filter"), [&](const QString& text) { dialog.SetFilter(text); });
}

// A link names a place, not a phrase: a language without its own address gets none, not the
// English one.
void BrowseUrl(TComponent& c, const Translation& t) {
    auto& link = As<TBrowseURL>(c, "link");
    bool found = false;
    QString text;
    t.Strings.GetLanguageText(link.Name(), QStringLiteral("URL"), found, text);
    if (found) link.SetURL(text);
    HintOf(link, t);
}

template <class T> void TextHintOf(T& control, const Translation& t) {
    t.IfFound(control.Name(), QStringLiteral("TextHint"),
              [&](const QString& text) { control.SetTextHint(text); });
}

void Edit(TComponent& c, const Translation& t) {
    TextHintOf(As<TEdit>(c, "edit"), t);
}

void ComboBox(TComponent& c, const Translation& t) {
    auto& combo = As<TComboBox>(c, "combo box");
    TextHintOf(combo, t);
    HintOf(combo, t);
    ReplaceLines(t, combo.Name(), QStringLiteral("Items"), *combo.Items());
}

void HintMemo(TComponent& c, const Translation& t) {
    auto& memo = As<THintMemo>(c, "memo");
    TextHintOf(memo, t);
    ReplaceLines(t, memo.Name(), QStringLiteral("Lines"), *memo.Lines());
}

void Memo(TComponent& c, const Translation& t) {
    auto& memo = As<TMemo>(c, "memo");
    ReplaceLines(t, memo.Name(), QStringLiteral("Lines"), *memo.Lines());
}

void GroupOfItems(TComponent& c, const Translation& t) {
    auto& group = As<TcxCustomGroupBox>(c, "group box");
    CaptionAndHintOf(group, t);
    TcxGroupItems& items = *group.Properties()->Items();
    IndexedKeys(t, group.Name(), QStringLiteral("Items"), items.Count(),
                [&](int k, const QString& text) { items.Items(k)->SetCaption(text); });
}

void CheckComboBox(TComponent& c, const Translation& t) {
    auto& combo = As<TcxCheckComboBox>(c, "check combo box");
    HintOf(combo, t);
    TcxCheckComboBoxItems& items = *combo.Properties()->Items();
    IndexedKeys(t, combo.Name(), QStringLiteral("Items"), items.Count(),
                [&](int k, const QString& text) { items.Items(k)->SetDescription(text); });
}

// Every object of the report is looked up under the report's name; only memo views of exactly
// that class take a text, and they take the character set even without one.
void Report(TComponent& report, const Translation& t) {
    const int count = report.ComponentCount();
    for (int k = 0; k < count; ++k) {
        TComponent& object = *report.Components(k);
        bool found = false;
        QString text;
        t.Strings.GetFormString(report.Name(), object.Name(), found, text);
        if (object.ClassName() != QLatin1String("TfrxMemoView")) continue;
        auto& memo = As<TfrxMemoView>(object, "memo view");
        memo.Font()->SetCharset(LanguageSettings.FontCharset);
        if (found) memo.Memo()->SetText(text);
    }
}

struct RuleRow {
    ClassRule Rule;
    std::vector<const char*> ClassNames;
};

// Which classes get which rule, in one place. Each class name stands in one row. Names are
// compared exactly and with case, so a class derived from a listed one under a name of its own
// falls under no rule; a class under no rule is left untouched.
const RuleRow RuleRows[] = {
    {ManagerFont, {"TdxBarManager", "TdxDockingManager", "TdxNavBar"}},
    {ControlFont, {"TDBText"}},
    {GridFont, {"TDBGridEh"}},
    {CaptionAndHintByName,
     {"TAction", "TMenuItem", "TToolButton", "TSpeedButton", "TGroupBox", "TTabSheet", "TBitBtn",
      "TStaticText", "TRadioButton", "TDBCheckBox", "TDataSetInsert", "TDataSetDelete", "TDataSetEdit",
      "TDataSetPost", "TDataSetCancel", "TdxDockPanel", "TdxBarSubItem", "TdxBarLargeButton", "TdxBarEdit",
      "TColorButton", "TcxLabel", "TcxButton", "TdxNavBarGroup", "TdxNavBarItem", "TcxBarEditItem",
      "TcxTabSheet", "TdxRibbonBackstageViewGalleryItem", "TdxRibbonBackstageViewTabSheet", "TwwCheckBox",
      "TwwRadioButton", "TdxBarButton", "TdxBarStatic", "TdxBarDateCombo", "TdxBarSpinEdit"}},
    {ControlCaptionAndHint, {"TLabel", "TButton", "TCheckBox", "TPanel"}},
    {CaptionByName, {"TwwFilterDialog", "TwwLocateDialog", "TdxRibbonTab", "TdxBar"}},
    {DisplayLabelByName,
     {"TIntegerField", "TLargeIntField", "TWordField", "TSmallintField", "TWideStringField", "TDateTimeField",
      "TStringField", "TAutoIncField", "TBooleanField", "TBCDField", "TCurrencyField", "TFloatField",
      "TWideMemoField"}},
    {CaptionHintAndItemsByName, {"TRadioGroup", "TDBRadioGroup", "TwwRadioGroup"}},
    {HintAndItemsByName, {"TDBComboBox", "TDBComboBoxEh", "TListBox", "TCheckListBox"}},
    {TabControl, {"TTabControl"}},
    {ListView, {"TListView"}},
    {FileDialogFilter, {"TOpenDialog", "TSaveDialog"}},
    {BrowseUrl, {"TBrowseURL"}},
    {Edit, {"TEdit"}},
    {ComboBox, {"TComboBox"}},
    {HintMemo, {"THintMemo"}},
    {Memo, {"TMemo"}},
    {GroupOfItems, {"TcxRadioGroup", "TcxCheckGroup"}},
    {CheckComboBox, {"TcxCheckComboBox"}},
    {Report, {"TfrxReport"}},
};

ClassRule RuleFor(const QString& className) {
    static const QHash<QString, ClassRule> rules = [] {
        QHash<QString, ClassRule> byName;
        for (const RuleRow& row : RuleRows) {
            for (const char* name : row.ClassNames) {
                if (byName.contains(QLatin1String(name))) qFatal("class %s stands in two rule rows", name);
                byName.insert(QLatin1String(name), row.Rule);
            }
        }
        return byName;
    }();
    return rules.value(className, nullptr);
}

QString FormStatement(const QString& column, const QString& formName) {
    // When the texts are ENGLISH_US themselves, the fallback reads the same column again.
    const QString columns =
        column == QLatin1String("ENGLISH_US") ? column : QStringLiteral("ENGLISH_US, ") + column;
    return QStringLiteral("select ControlName, PropertyName, ") + columns +
           QStringLiteral(" from FormStrings where FormName=") + TextLiteral(formName);
}

} // namespace

void TranslateForm(int languageIndex, TForm* form, bool applyFonts) {
    const QString column = LanguageSettings.LanguageColumn;
    // Before anything is read, so that the form has its font even when nothing can be.
    FormFontRule(*form->Font(), applyFonts);
    EnsureLanguageDatabase();
    TStringList scratch;
    try {
        const QString name = form->Name();
        RunLanguageQuery(FormStatement(column, name));
        {
            const FormStrings strings(LanguageQuery()->Result(), column);
            const Translation translation{strings, applyFonts, scratch};
            bool found = false;
            QString text;
            strings.GetFormString(name, QStringLiteral("Caption"), found, text);
            if (found) form->SetCaption(text);
            strings.GetFormString(name, QStringLiteral("Hint"), found, text);
            if (found) form->SetHint(text);

            // Only the form's own components: those owned by its components are their business.
            const int count = form->ComponentCount();
            for (int i = 0; i < count; ++i) {
                TComponent* component = form->Components(i);
                if (const ClassRule rule = RuleFor(component->ClassName())) rule(*component, translation);
            }
        }
        // Closed before the children's calls, which run queries of their own on it.
        LanguageQuery()->Close();
        const int children = form->MDIChildCount();
        for (int i = 0; i < children; ++i)
            TranslateForm(languageIndex, form->MDIChildren(i), true);
    } catch (...) {
        DropLanguageDatabase();
    }
}
