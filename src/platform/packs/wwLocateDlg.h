#pragma once

#include "platform/packs/wwDialogs.h"
#include "platform/vcl/StdCtrls.h"

#include <QPointer>
#include <QStringList>

// The locate dialog (form wwLocateDlg): a field, a value, how they match and whether case counts;
// "Fi&rst" searches from the first record, "&Next" onward from the current one, and the data
// set's current record moves to what they find.
class TwwLocateDlg : public TwwDialogForm {
    Q_OBJECT
public:
    explicit TwwLocateDlg(TComponent* owner);

    TLabel* FieldNameLabel;
    TComboBox* FieldNameComboBox;
    TLabel* FieldValueLabel;
    TEdit* FieldValueEdit;
    TwwRadioGroup* MatchTypeGroup;
    TCheckBox* CaseSensitiveCheckBox;
    TButton* FirstButton;
    TButton* NextButton;
    TButton* CloseButton;

    // Lists the data set's visible fields by their labels.
    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* source);
    // What the controls hold. A field that is not listed selects the first one.
    TwwFieldInfo Criteria() const;
    void SetCriteria(const TwwFieldInfo& criteria);
    // Which of "Fi&rst" and "&Next" Enter presses.
    void SetNextIsDefault(bool nextIsDefault);
    // Whether the last search found a record.
    bool Found() const { return found_; }

    // The buttons' handlers: true when a record was found; else the notice is shown.
    bool FindFirst();
    bool FindNextBtnClick(TComponent* sender);

private:
    void FormCreate();
    bool Search(bool fromFirst);

    QPointer<TDataSource> dataSource_;
    QStringList fieldNames_; // beside the entries of FieldNameComboBox
    bool found_ = false;
};
