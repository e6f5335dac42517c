#pragma once

// The grid pack's locate and filter components, and what their dialogs share: search criteria,
// how a field's value meets them, and the dialogs' modal loop.
//
//     auto* Locate = new TwwLocateDialog(form);
//     Locate->SetDataSource(CustomersSource);
//     Locate->SetSearchField("Name");
//     Locate->SetFieldValue("Smith");
//     Locate->FindFirst(); // or, without a value, the user searches in TwwLocateDlg

#include "platform/packs/wwControls.h"
#include "platform/vcl/Components.h"
#include "platform/vcl/DB.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QEventLoop;

// In the order of the entries of the dialogs' MatchTypeGroup.
enum TwwLocateMatchType { mtExactMatch, mtPartialMatchStart, mtPartialMatchAny };

// What is searched for in one field.
struct TwwFieldInfo {
    QString FieldName;
    QString SearchValue;
    TwwLocateMatchType MatchType = mtExactMatch;
    bool CaseSensitive = false;

    bool operator==(const TwwFieldInfo&) const = default;
};

// An exact match compares the value as the field holds it ("7" finds 7) and texts as written; the
// partial matches look into the field's text. Case counts only where CaseSensitive is set.
// False when the field cannot hold the value of an exact match: no record can have it.
bool CanMatch(const TField* field, const TwwFieldInfo& criteria);
// Goes to the first record from fromRecNo on whose field meets the criteria and returns its RecNo;
// 0, and no move, when none does or the data set has no such field.
int LocateRecord(TDataSet& dataSet, const TwwFieldInfo& criteria, int fromRecNo);
// Lets through the records that meet all criteria.
TDataSet::TFilter CriteriaFilter(const TDataSet& dataSet, const std::vector<TwwFieldInfo>& criteria);

// The position of a field's name in a list of names, compared without case as the data set
// finds fields; -1 when it is not there.
int IndexOfField(const QStringList& fieldNames, const QString& fieldName);

// The data source's data set when it is open; otherwise shows the pack's warning and returns null.
TDataSet* ActiveDataSetOrWarn(const TDataSource* source);

// A dialog window run modally: ShowModal returns when a button sets ModalResult or the window is
// closed (mrCancel).
class TwwDialogForm : public TForm {
    Q_OBJECT
public:
    int ModalResult() const { return modalResult_; }
    // Any result but mrNone ends ShowModal with it.
    void SetModalResult(int result);
    int ShowModal();

    // Takes the place of the modal loop when set: it gets the dialog, shown and ready, and acts
    // for the user; ShowModal then returns the dialog's ModalResult (mrCancel while none is set).
    using TShowModalHandler = std::function<void(TwwDialogForm& dialog)>;
    static inline TShowModalHandler ShowModalHandler;

protected:
    explicit TwwDialogForm(TComponent* owner);
    // The match type choice and the case check box that the locate and filter dialogs share, placed
    // one above the other from (left, top).
    void NewMatchControls(int left, int top, TwwRadioGroup*& matchType, TCheckBox*& caseSensitive);
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int modalResult_ = mrNone;
    QEventLoop* loop_ = nullptr;
};

// Finds records of its data source's data set: FindFirst and FindNext with the search value set,
// or the locate dialog for the user (Execute, and FindFirst and FindNext without a value).
// Caption, while empty, leaves the dialog its own translated title.
class TwwLocateDialog : public TwwDataDialog {
    Q_OBJECT
public:
    explicit TwwLocateDialog(TComponent* owner) : TwwDataDialog(owner) {}

    // The criteria of the searches; the dialog starts from them and leaves its own behind.
    QString SearchField() const { return criteria_.FieldName; }
    void SetSearchField(const QString& fieldName) { criteria_.FieldName = fieldName; }
    QString FieldValue() const { return criteria_.SearchValue; }
    void SetFieldValue(const QString& value) { criteria_.SearchValue = value; }
    TwwLocateMatchType MatchType() const { return criteria_.MatchType; }
    void SetMatchType(TwwLocateMatchType matchType) { criteria_.MatchType = matchType; }
    bool CaseSensitive() const { return criteria_.CaseSensitive; }
    void SetCaseSensitive(bool caseSensitive) { criteria_.CaseSensitive = caseSensitive; }
    // Whether FindFirst and FindNext say so when they find nothing.
    bool ShowMessages() const { return showMessages_; }
    void SetShowMessages(bool showMessages) { showMessages_ = showMessages; }

    // Opens the locate dialog with "Fi&rst" as its default button; true when its last search found
    // a record.
    bool Execute();
    // From the first record, or onward from the current one; true when a record was found. Without
    // a search value they open the dialog instead, with their own button as its default.
    bool FindFirst();
    bool FindNext();

private:
    bool OpenDialog(bool nextIsDefault);
    bool Find(bool fromFirst);

    TwwFieldInfo criteria_;
    bool showMessages_ = true;
};

// Filters its data source's data set by criteria the user gives per field in the filter dialog.
// Caption, while empty, leaves the dialog its own translated title.
class TwwFilterDialog : public TwwDataDialog {
    Q_OBJECT
public:
    explicit TwwFilterDialog(TComponent* owner) : TwwDataDialog(owner) {}

    // The fields with criteria, each once; the dialog starts from them.
    const std::vector<TwwFieldInfo>& FieldInfo() const { return fieldInfo_; }
    void SetFieldInfo(const std::vector<TwwFieldInfo>& fieldInfo) { fieldInfo_ = fieldInfo; }

    // Opens the filter dialog; OK takes its criteria and applies them (true), Cancel leaves both
    // the criteria and the data set as they were.
    bool Execute();
    // Filters the data set by FieldInfo; without criteria it is no longer filtered.
    void ApplyFilter();

private:
    std::vector<TwwFieldInfo> fieldInfo_;
};
