#pragma once

#include "platform/ado/Provider.h"

#include <QHash>
#include <QString>

#include <utility>

class TForm;

// Gives a form the user's language while it is being created: the form's font first, then its
// caption and hint and the components it owns, each by the rule for its exact class name, from
// one query of the form's FormStrings rows; then its MDI children, each with a call of its own.
// applyFonts false writes character sets only. A failure ends the form's translation where it
// happened, keeps what was set, drops the language database and is never reported.
void TranslateForm(int languageIndex, TForm* form, bool applyFonts);

// The FormStrings rows fetched for one form. Their keys are indexed once, so each lookup costs the
// same however many rows and components the form has.
class FormStrings {
public:
    // rows hold the columns ControlName, PropertyName, ENGLISH_US and column (names compared
    // without regard to letter case) and must outlive this object. Throws ado::DatabaseError when a
    // column is missing.
    FormStrings(const ado::Recordset& rows, const QString& column);

    // The first row whose ControlName and PropertyName equal the arguments, whole and without
    // regard to letter case. found tells whether there is one; text is its text in the column, or
    // its ENGLISH_US text when that is empty (NULL reads as empty). The caller applies a found text
    // even when it is empty.
    void GetFormString(const QString& controlName, const QString& propertyName, bool& found,
                       QString& text) const;

    // The same row's text in the column alone, without the ENGLISH_US fallback.
    void GetLanguageText(const QString& controlName, const QString& propertyName, bool& found,
                         QString& text) const;

private:
    const std::vector<ado::FieldValue>* FindRow(const QString& controlName, const QString& propertyName) const;

    const ado::Recordset& rows_;
    qsizetype textColumn_;
    qsizetype englishColumn_;
    QHash<std::pair<QString, QString>, std::size_t> firstRow_; // by case-folded key
};
