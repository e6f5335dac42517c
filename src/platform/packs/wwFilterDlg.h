#pragma once

#include "platform/packs/wwDialogs.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/StdCtrls.h"

#include <QPointer>
#include <QStringList>

#include <vector>

// The filter dialog (form wwFilterDlg). The data set's fields are listed on the page "&All", those
// with criteria on "&Searched"; the editors on the right show the criteria of the current field
// and are taken over for it whenever another field is chosen, the page changes, or the summary or
// OK is asked for. An empty value means no criteria.
class TwwFilterDlg : public TwwDialogForm {
    Q_OBJECT
public:
    explicit TwwFilterDlg(TComponent* owner);
    ~TwwFilterDlg() override;

    TLabel* FieldsLabel;
    TPageControl* FieldTabSet;
    TTabSheet* tsAll;
    TTabSheet* tsSearched;
    TListBox* AllFieldsListBox;
    TListBox* SearchedFieldsListBox;
    TLabel* SearchValueLabel;
    TEdit* SearchValueEdit;
    TwwRadioGroup* MatchTypeGroup;
    TCheckBox* CaseSensitiveCheckBox;
    TButton* ViewButton;
    TButton* OKButton;
    TButton* CancelButton;

    // Lists the data set's visible fields by their labels; the first becomes the current field.
    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* source);
    // The fields with criteria, in the order of the data set's fields.
    const std::vector<TwwFieldInfo>& FieldInfo() const { return fieldInfo_; }
    void SetFieldInfo(const std::vector<TwwFieldInfo>& fieldInfo);
    // The field the editors are for ("" when the data set has none); choosing one takes the
    // editors over for the field before it, and refuses the change when that fails.
    QString CurrentField() const { return currentField_; }
    bool SelectField(const QString& fieldName);

    // The editors' criteria become the current field's; false, with the value selected, when the
    // field cannot hold the value of an exact match.
    bool TakeOverCriteria();
    // One line per field with criteria: its label, the value and how it matches.
    QString Summary() const;

    void ViewButtonClick(TComponent* sender);
    void FieldTabSetChanging(TComponent* sender, bool& allowChange);
    void FieldTabSetChange(TComponent* sender);
    void OKButtonClick(TComponent* sender);

private:
    void FormCreate();
    void ShowCriteria(const QString& fieldName);
    void FillSearchedList();
    void ShowCurrentField();
    void ListRowChanged(TListBox* list, int row);
    QString LabelOf(const QString& fieldName) const;

    QPointer<TDataSource> dataSource_;
    QStringList fieldNames_;    // the entries of AllFieldsListBox
    QStringList searchedNames_; // the entries of SearchedFieldsListBox
    std::vector<TwwFieldInfo> fieldInfo_;
    QString currentField_;
    int shownPage_ = 0;
    bool updating_ = false; // while lists and pages are set from here, not by the user
};
