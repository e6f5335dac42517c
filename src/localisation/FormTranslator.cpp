#include "localisation/FormTranslator.h"

#include "localisation/Languages.h"
#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseError.h"
#include "platform/vcl/Forms.h"

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
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
        const auto& row = rows.rows[i];
        const auto key = FoldedKey(CellText(row, controlColumn), CellText(row, propertyColumn));
        if (!firstRow_.contains(key)) firstRow_.insert(key, i);
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
};

void FormFontRule(TFont& font, bool applyFonts) {
    font.SetCharset(LanguageSettings.FontCharset);
    if (!applyFonts) return;
    font.SetName(LanguageSettings.FontName);
    font.SetSize(LanguageSettings.FontSize);
}

void ControlFontRule(TControl& control, bool applyFonts) {
    TFont& font = *control.Font();
    // A new character set makes the font the control's own; one its parent already gave it leaves
    // the control following the parent's font, and so the form's.
    font.SetCharset(LanguageSettings.FontCharset);
    if (!applyFonts || control.ParentFont()) return;
    font.SetName(LanguageSettings.FontName);
    if (font.Size() < LanguageSettings.FontSize) font.SetSize(LanguageSettings.FontSize);
}

// A component that claims a control's class name but is none fails like a missing property.
TControl& AsControl(TComponent& component) {
    auto* control = dynamic_cast<TControl*>(&component);
    if (!control)
        throw EComponentError(
            QStringLiteral("%1 of class %2 is no control").arg(component.Name(), component.ClassName()));
    return *control;
}

using ClassRule = void (*)(TComponent& component, const Translation& translation);

// Control font rule, then Caption and Hint through the control's own accessors.
void ControlCaptionAndHint(TComponent& component, const Translation& translation) {
    TControl& control = AsControl(component);
    ControlFontRule(control, translation.ApplyFonts);
    bool found = false;
    QString text;
    translation.Strings.GetFormString(control.Name(), QStringLiteral("Caption"), found, text);
    if (found) control.SetCaption(text);
    translation.Strings.GetFormString(control.Name(), QStringLiteral("Hint"), found, text);
    if (found) control.SetHint(text);
}

struct RuleRow {
    ClassRule Rule;
    std::vector<const char*> ClassNames;
};

// Which classes get which rule. Each class name stands in one row. Names are compared exactly and
// with case, so a class derived from a listed one under a name of its own falls under no rule; a
// class under no rule is left untouched.
const RuleRow RuleRows[] = {
    {ControlCaptionAndHint, {"TLabel", "TButton", "TCheckBox", "TPanel"}},
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
    try {
        const QString name = form->Name();
        RunLanguageQuery(FormStatement(column, name));
        {
            const FormStrings strings(LanguageQuery()->Result(), column);
            const Translation translation{strings, applyFonts};
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
