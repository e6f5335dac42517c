#include "platform/packs/wwFilterDlg.h"

#include "localisation/FormTranslator.h"
#include "localisation/Languages.h"
#include "localisation/Messages.h"
#include "platform/vcl/Dialogs.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace {

// A caption as it reads in running text: without its accelerator marks.
QString WithoutAccelerators(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        text += caption[i];
    }
    return text;
}

} // namespace

TwwFilterDlg::TwwFilterDlg(TComponent* owner) : TwwDialogForm(owner) {
    SetName(QStringLiteral("wwFilterDlg"));
    SetCaption(QStringLiteral("Filter"));
    setFixedSize(420, 300);

    FieldsLabel = new TLabel(this);
    FieldsLabel->SetName(QStringLiteral("FieldsLabel"));
    FieldsLabel->SetCaption(QStringLiteral("&Fields:"));
    FieldsLabel->SetBounds(8, 8, 190, 13);
    FieldTabSet = new TPageControl(this);
    FieldTabSet->SetName(QStringLiteral("FieldTabSet"));
    FieldTabSet->SetBounds(8, 24, 190, 230);
    tsAll = new TTabSheet(this);
    tsAll->SetName(QStringLiteral("tsAll"));
    tsAll->SetCaption(QStringLiteral("&All"));
    tsAll->SetPageControl(FieldTabSet);
    tsSearched = new TTabSheet(this);
    tsSearched->SetName(QStringLiteral("tsSearched"));
    tsSearched->SetCaption(QStringLiteral("&Searched"));
    tsSearched->SetPageControl(FieldTabSet);
    AllFieldsListBox = new TListBox(this);
    AllFieldsListBox->SetName(QStringLiteral("AllFieldsListBox"));
    AllFieldsListBox->SetParent(tsAll);
    AllFieldsListBox->SetAlign(alClient);
    SearchedFieldsListBox = new TListBox(this);
    SearchedFieldsListBox->SetName(QStringLiteral("SearchedFieldsListBox"));
    SearchedFieldsListBox->SetParent(tsSearched);
    SearchedFieldsListBox->SetAlign(alClient);
    FieldsLabel->setBuddy(FieldTabSet);

    SearchValueLabel = new TLabel(this);
    SearchValueLabel->SetName(QStringLiteral("SearchValueLabel"));
    SearchValueLabel->SetCaption(QStringLiteral("Search &value:"));
    SearchValueLabel->SetBounds(210, 24, 200, 13);
    SearchValueEdit = new TEdit(this);
    SearchValueEdit->SetName(QStringLiteral("SearchValueEdit"));
    SearchValueEdit->SetBounds(210, 40, 200, 22);
    SearchValueLabel->setBuddy(SearchValueEdit);

    NewMatchControls(210, 70, MatchTypeGroup, CaseSensitiveCheckBox);

    ViewButton = new TButton(this);
    ViewButton->SetName(QStringLiteral("ViewButton"));
    ViewButton->SetCaption(QStringLiteral("View Su&mmary"));
    ViewButton->SetBounds(210, 229, 110, 25);
    ViewButton->OnClick = [this](TComponent* sender) { ViewButtonClick(sender); };
    OKButton = new TButton(this);
    OKButton->SetName(QStringLiteral("OKButton"));
    OKButton->SetCaption(QStringLiteral("OK"));
    OKButton->SetBounds(254, 267, 75, 25);
    OKButton->SetDefault(true);
    OKButton->OnClick = [this](TComponent* sender) { OKButtonClick(sender); };
    CancelButton = new TButton(this);
    CancelButton->SetName(QStringLiteral("CancelButton"));
    CancelButton->SetCaption(QStringLiteral("Cancel"));
    CancelButton->SetBounds(337, 267, 75, 25);
    CancelButton->OnClick = [this](TComponent*) { SetModalResult(mrCancel); };

    FieldTabSet->SetActivePage(tsAll);
    // The page control announces a change once it is made; it is undone here until the change
    // has been allowed, so that the page behind a notice is still the one that was left.
    FieldTabSet->OnChange = [this](TComponent* sender) {
        const int to = FieldTabSet->ActivePageIndex();
        if (updating_ || to == shownPage_) return;
        FieldTabSet->SetActivePageIndex(shownPage_);
        bool allowChange = true;
        FieldTabSetChanging(sender, allowChange);
        if (!allowChange) return;
        FieldTabSet->SetActivePageIndex(to);
        shownPage_ = to;
        FieldTabSetChange(sender);
    };
    connect(AllFieldsListBox, &QListWidget::currentRowChanged, this,
            [this](int row) { ListRowChanged(AllFieldsListBox, row); });
    connect(SearchedFieldsListBox, &QListWidget::currentRowChanged, this,
            [this](int row) { ListRowChanged(SearchedFieldsListBox, row); });

    FormCreate();
}

TwwFilterDlg::~TwwFilterDlg() {
    // The pages and lists go after this part of the dialog and announce it as changes.
    FieldTabSet->OnChange = nullptr;
    disconnect(AllFieldsListBox, nullptr, this, nullptr);
    disconnect(SearchedFieldsListBox, nullptr, this, nullptr);
}

void TwwFilterDlg::FormCreate() {
    TranslateForm(LanguageSettings.LanguageIndex, this, true);
}

void TwwFilterDlg::SetDataSource(TDataSource* source) {
    dataSource_ = source;
    fieldNames_.clear();
    const TDataSet* dataSet = source ? source->DataSet() : nullptr;
    for (int i = 0; dataSet && i < dataSet->FieldCount(); ++i) {
        if (dataSet->Fields(i)->Visible()) fieldNames_ << dataSet->Fields(i)->FieldName();
    }
    {
        const QScopedValueRollback guard(updating_, true);
        AllFieldsListBox->Items()->Clear();
        for (const QString& name : fieldNames_)
            AllFieldsListBox->Items()->Add(LabelOf(name));
        searchedNames_.clear();
        SearchedFieldsListBox->Items()->Clear();
    }
    SetFieldInfo(std::vector<TwwFieldInfo>(fieldInfo_));
    currentField_ = fieldNames_.value(0);
    ShowCriteria(currentField_);
    ShowCurrentField();
}

void TwwFilterDlg::SetFieldInfo(const std::vector<TwwFieldInfo>& fieldInfo) {
    fieldInfo_.clear();
    for (const TwwFieldInfo& info : fieldInfo) {
        const int index = IndexOfField(fieldNames_, info.FieldName);
        if (index < 0 || info.SearchValue.isEmpty()) continue;
        const auto listed = [&](const TwwFieldInfo& other) { return other.FieldName == fieldNames_[index]; };
        if (std::any_of(fieldInfo_.begin(), fieldInfo_.end(), listed)) continue; // the first counts
        fieldInfo_.push_back(info);
        fieldInfo_.back().FieldName = fieldNames_[index];
    }
    std::stable_sort(fieldInfo_.begin(), fieldInfo_.end(),
                     [this](const TwwFieldInfo& a, const TwwFieldInfo& b) {
                         return fieldNames_.indexOf(a.FieldName) < fieldNames_.indexOf(b.FieldName);
                     });
    ShowCriteria(currentField_);
    FillSearchedList();
}

bool TwwFilterDlg::SelectField(const QString& fieldName) {
    const int index = IndexOfField(fieldNames_, fieldName);
    if (index < 0) return false;
    if (fieldNames_[index] != currentField_) {
        if (!TakeOverCriteria()) {
            ShowCurrentField();
            return false;
        }
        currentField_ = fieldNames_[index];
        ShowCriteria(currentField_);
    }
    ShowCurrentField();
    return true;
}

bool TwwFilterDlg::TakeOverCriteria() {
    if (currentField_.isEmpty()) return true;
    TwwFieldInfo info;
    info.FieldName = currentField_;
    info.SearchValue = SearchValueEdit->Text();
    info.MatchType = static_cast<TwwLocateMatchType>(std::max(0, MatchTypeGroup->ItemIndex()));
    info.CaseSensitive = CaseSensitiveCheckBox->Checked();
    const auto held = std::find_if(fieldInfo_.begin(), fieldInfo_.end(), [&](const TwwFieldInfo& other) {
        return other.FieldName == currentField_;
    });
    if (info.SearchValue.isEmpty()) {
        if (held != fieldInfo_.end()) fieldInfo_.erase(held);
    } else {
        const TDataSet* dataSet = dataSource_ ? dataSource_->DataSet() : nullptr;
        if (!CanMatch(dataSet ? dataSet->FindField(currentField_) : nullptr, info)) {
            SearchValueEdit->setFocus();
            SearchValueEdit->selectAll();
            return false;
        }
        if (held != fieldInfo_.end()) {
            *held = info;
        } else {
            const auto before =
                std::find_if(fieldInfo_.begin(), fieldInfo_.end(), [&](const TwwFieldInfo& other) {
                    return fieldNames_.indexOf(other.FieldName) > fieldNames_.indexOf(currentField_);
                });
            fieldInfo_.insert(before, info);
        }
    }
    FillSearchedList();
    return true;
}

QString TwwFilterDlg::Summary() const {
    QStringList lines;
    const QString caseSensitive = WithoutAccelerators(CaseSensitiveCheckBox->Caption());
    for (const TwwFieldInfo& info : fieldInfo_) {
        QString matching = WithoutAccelerators(MatchTypeGroup->Items()->Strings(info.MatchType));
        if (info.CaseSensitive) matching += QStringLiteral(", ") + caseSensitive;
        lines << QStringLiteral("%1: \"%2\" (%3)").arg(LabelOf(info.FieldName), info.SearchValue, matching);
    }
    return lines.join(QLatin1Char('\n'));
}

void TwwFilterDlg::ViewButtonClick(TComponent*) {
    if (!TakeOverCriteria()) return;
    if (fieldInfo_.empty()) {
        MessageDlg(GetMessageString(MessageNoSearchedFields), mtInformation, {mbOK}, 0);
        return;
    }
    MessageDlg(Summary(), mtInformation, {mbOK}, 0);
}

void TwwFilterDlg::FieldTabSetChanging(TComponent*, bool& allowChange) {
    if (!TakeOverCriteria()) {
        allowChange = false;
        return;
    }
    if (FieldTabSet->ActivePage() == tsAll && fieldInfo_.empty()) {
        MessageDlg(GetMessageString(MessageNoSearchedFields), mtInformation, {mbOK}, 0);
        allowChange = false;
    }
}

void TwwFilterDlg::FieldTabSetChange(TComponent*) {
    // The searched page shows the criteria of a field it lists.
    if (FieldTabSet->ActivePage() == tsSearched && !fieldInfo_.empty() &&
        searchedNames_.indexOf(currentField_) < 0)
        SelectField(fieldInfo_.front().FieldName);
    ShowCurrentField();
}

void TwwFilterDlg::OKButtonClick(TComponent*) {
    if (TakeOverCriteria()) SetModalResult(mrOk);
}

void TwwFilterDlg::ShowCriteria(const QString& fieldName) {
    const auto held = std::find_if(fieldInfo_.begin(), fieldInfo_.end(),
                                   [&](const TwwFieldInfo& other) { return other.FieldName == fieldName; });
    const TwwFieldInfo info = held != fieldInfo_.end() ? *held : TwwFieldInfo{};
    SearchValueEdit->SetText(info.SearchValue);
    MatchTypeGroup->SetItemIndex(info.MatchType);
    CaseSensitiveCheckBox->SetChecked(info.CaseSensitive);
}

void TwwFilterDlg::FillSearchedList() {
    const QScopedValueRollback guard(updating_, true);
    QStringList names;
    for (const TwwFieldInfo& info : fieldInfo_)
        names << info.FieldName;
    // Often called while the user is choosing an entry of this very list.
    if (names != searchedNames_) {
        searchedNames_ = names;
        SearchedFieldsListBox->Items()->Clear();
        for (const QString& name : searchedNames_)
            SearchedFieldsListBox->Items()->Add(LabelOf(name));
    }
    SearchedFieldsListBox->SetItemIndex(searchedNames_.indexOf(currentField_));
}

void TwwFilterDlg::ShowCurrentField() {
    const QScopedValueRollback guard(updating_, true);
    AllFieldsListBox->SetItemIndex(fieldNames_.indexOf(currentField_));
    SearchedFieldsListBox->SetItemIndex(searchedNames_.indexOf(currentField_));
}

void TwwFilterDlg::ListRowChanged(TListBox* list, int row) {
    if (updating_ || row < 0) return;
    SelectField((list == AllFieldsListBox ? fieldNames_ : searchedNames_).value(row));
}

QString TwwFilterDlg::LabelOf(const QString& fieldName) const {
    const TDataSet* dataSet = dataSource_ ? dataSource_->DataSet() : nullptr;
    const TField* field = dataSet ? dataSet->FindField(fieldName) : nullptr;
    return field ? field->DisplayLabel() : fieldName;
}
