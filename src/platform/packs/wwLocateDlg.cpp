#include "platform/packs/wwLocateDlg.h"

#include "localisation/FormTranslator.h"
#include "localisation/Languages.h"
#include "localisation/Messages.h"
#include "platform/vcl/Dialogs.h"

#include <algorithm>

TwwLocateDlg::TwwLocateDlg(TComponent* owner) : TwwDialogForm(owner) {
    SetName(QStringLiteral("wwLocateDlg"));
    SetCaption(QStringLiteral("Locate Field Value"));
    setFixedSize(318, 226);

    FieldNameLabel = new TLabel(this);
    FieldNameLabel->SetName(QStringLiteral("FieldNameLabel"));
    FieldNameLabel->SetCaption(QStringLiteral("&Field name:"));
    FieldNameLabel->SetBounds(8, 8, 200, 13);
    FieldNameComboBox = new TComboBox(this);
    FieldNameComboBox->SetName(QStringLiteral("FieldNameComboBox"));
    FieldNameComboBox->SetStyle(csDropDownList);
    FieldNameComboBox->SetBounds(8, 24, 200, 22);
    FieldNameLabel->setBuddy(FieldNameComboBox);

    FieldValueLabel = new TLabel(this);
    FieldValueLabel->SetName(QStringLiteral("FieldValueLabel"));
    FieldValueLabel->SetCaption(QStringLiteral("Field &value:"));
    FieldValueLabel->SetBounds(8, 54, 200, 13);
    FieldValueEdit = new TEdit(this);
    FieldValueEdit->SetName(QStringLiteral("FieldValueEdit"));
    FieldValueEdit->SetBounds(8, 70, 200, 22);
    FieldValueLabel->setBuddy(FieldValueEdit);

    NewMatchControls(8, 100, MatchTypeGroup, CaseSensitiveCheckBox);

    FirstButton = new TButton(this);
    FirstButton->SetName(QStringLiteral("FirstButton"));
    FirstButton->SetCaption(QStringLiteral("Fi&rst"));
    FirstButton->SetBounds(220, 24, 90, 25);
    FirstButton->OnClick = [this](TComponent*) { FindFirst(); };
    NextButton = new TButton(this);
    NextButton->SetName(QStringLiteral("NextButton"));
    NextButton->SetCaption(QStringLiteral("&Next"));
    NextButton->SetBounds(220, 56, 90, 25);
    NextButton->OnClick = [this](TComponent* sender) { FindNextBtnClick(sender); };
    CloseButton = new TButton(this);
    CloseButton->SetName(QStringLiteral("CloseButton"));
    CloseButton->SetCaption(QStringLiteral("Close"));
    CloseButton->SetBounds(220, 193, 90, 25);
    CloseButton->OnClick = [this](TComponent*) { SetModalResult(mrCancel); };
    SetNextIsDefault(false);

    FormCreate();
}

void TwwLocateDlg::FormCreate() {
    TranslateForm(LanguageSettings.LanguageIndex, this, true);
}

void TwwLocateDlg::SetDataSource(TDataSource* source) {
    dataSource_ = source;
    const QString chosen = Criteria().FieldName;
    fieldNames_.clear();
    FieldNameComboBox->Items()->Clear();
    const TDataSet* dataSet = source ? source->DataSet() : nullptr;
    for (int i = 0; dataSet && i < dataSet->FieldCount(); ++i) {
        const TField* field = dataSet->Fields(i);
        if (!field->Visible()) continue;
        fieldNames_ << field->FieldName();
        FieldNameComboBox->Items()->Add(field->DisplayLabel());
    }
    FieldNameComboBox->SetItemIndex(std::max(0, IndexOfField(fieldNames_, chosen)));
}

TwwFieldInfo TwwLocateDlg::Criteria() const {
    TwwFieldInfo criteria;
    criteria.FieldName = fieldNames_.value(FieldNameComboBox->ItemIndex());
    criteria.SearchValue = FieldValueEdit->Text();
    criteria.MatchType = static_cast<TwwLocateMatchType>(std::max(0, MatchTypeGroup->ItemIndex()));
    criteria.CaseSensitive = CaseSensitiveCheckBox->Checked();
    return criteria;
}

void TwwLocateDlg::SetCriteria(const TwwFieldInfo& criteria) {
    FieldNameComboBox->SetItemIndex(std::max(0, IndexOfField(fieldNames_, criteria.FieldName)));
    FieldValueEdit->SetText(criteria.SearchValue);
    MatchTypeGroup->SetItemIndex(criteria.MatchType);
    CaseSensitiveCheckBox->SetChecked(criteria.CaseSensitive);
}

void TwwLocateDlg::SetNextIsDefault(bool nextIsDefault) {
    FirstButton->SetDefault(!nextIsDefault);
    NextButton->SetDefault(nextIsDefault);
}

bool TwwLocateDlg::FindFirst() {
    return Search(true);
}

bool TwwLocateDlg::FindNextBtnClick(TComponent*) {
    return Search(false);
}

bool TwwLocateDlg::Search(bool fromFirst) {
    TDataSet* dataSet = ActiveDataSetOrWarn(dataSource_);
    if (!dataSet) return found_ = false;
    found_ = LocateRecord(*dataSet, Criteria(), fromFirst ? 1 : dataSet->RecNo() + 1) > 0;
    if (!found_)
        MessageDlg(GetMessageString(fromFirst ? MessageNoMatch : MessageNoNextMatch), mtInformation, {mbOK},
                   0);
    return found_;
}
