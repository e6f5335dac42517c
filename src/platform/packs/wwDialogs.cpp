#include "platform/packs/wwDialogs.h"

#include "localisation/Messages.h"
#include "platform/packs/wwFilterDlg.h"
#include "platform/packs/wwLocateDlg.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>

#include <algorithm>
#include <memory>

namespace {

// How one field is compared with one search value; the value of an exact match is converted once.
class FieldMatcher {
public:
    FieldMatcher(const TField* field, const TwwFieldInfo& criteria)
        : field_(field), value_(criteria.SearchValue), matchType_(criteria.MatchType),
          caseSensitivity_(criteria.CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) {
        if (!field) {
            valid_ = false;
            return;
        }
        if (matchType_ != mtExactMatch) return;
        try {
            wanted_ = field->Convert(value_);
        } catch (const EComponentError&) {
            valid_ = false;
            return;
        }
        // Texts are compared as written: a text field may cut what it is given.
        textual_ = wanted_.isNull() || wanted_.typeId() == QMetaType::QString;
    }

    bool Valid() const { return valid_; }

    // With the data set's record under test current.
    bool Matches() const {
        if (!valid_ || !field_) return false;
        switch (matchType_) {
        case mtExactMatch:
            return textual_ ? field_->AsString().compare(value_, caseSensitivity_) == 0
                            : field_->Value() == wanted_;
        case mtPartialMatchStart:
            return field_->AsString().startsWith(value_, caseSensitivity_);
        case mtPartialMatchAny:
            return field_->AsString().contains(value_, caseSensitivity_);
        }
        return false;
    }

private:
    QPointer<const TField> field_;
    QString value_;
    TwwLocateMatchType matchType_;
    Qt::CaseSensitivity caseSensitivity_;
    QVariant wanted_;
    bool textual_ = true;
    bool valid_ = true;
};

QString WithCaption(const QString& caption, const QString& own) {
    return caption.isEmpty() ? own : caption;
}

} // namespace

int IndexOfField(const QStringList& fieldNames, const QString& fieldName) {
    for (qsizetype i = 0; i < fieldNames.size(); ++i)
        if (fieldNames[i].compare(fieldName, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

bool CanMatch(const TField* field, const TwwFieldInfo& criteria) {
    return FieldMatcher(field, criteria).Valid();
}

int LocateRecord(TDataSet& dataSet, const TwwFieldInfo& criteria, int fromRecNo) {
    const FieldMatcher matcher(dataSet.FindField(criteria.FieldName), criteria);
    if (!matcher.Valid()) return 0;
    return dataSet.FindRecord(fromRecNo, [&matcher](TDataSet&) { return matcher.Matches(); });
}

TDataSet::TFilter CriteriaFilter(const TDataSet& dataSet, const std::vector<TwwFieldInfo>& criteria) {
    auto matchers = std::make_shared<std::vector<FieldMatcher>>();
    for (const TwwFieldInfo& info : criteria)
        matchers->emplace_back(dataSet.FindField(info.FieldName), info);
    return [matchers](TDataSet&) {
        return std::all_of(matchers->begin(), matchers->end(),
                           [](const FieldMatcher& m) { return m.Matches(); });
    };
}

TDataSet* ActiveDataSetOrWarn(const TDataSource* source) {
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    if (dataSet && dataSet->Active()) return dataSet;
    // The pack's own words, not a notice of the language database.
    MessageDlg(QStringLiteral("DataSource does not refer to an active table!"), mtWarning, {mbOK}, 0);
    return nullptr;
}

TwwDialogForm::TwwDialogForm(TComponent* owner) : TForm(owner) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

void TwwDialogForm::NewMatchControls(int left, int top, TwwRadioGroup*& matchType, TCheckBox*& caseSensitive) {
    matchType = new TwwRadioGroup(this);
    matchType->SetName(QStringLiteral("MatchTypeGroup"));
    matchType->SetCaption(QStringLiteral("Match type"));
    matchType->Items()->Add(QStringLiteral("Exact match"));
    matchType->Items()->Add(QStringLiteral("Partial match at beginning"));
    matchType->Items()->Add(QStringLiteral("Partial match anywhere"));
    matchType->SetItemIndex(mtExactMatch);
    matchType->SetBounds(left, top, 200, 92);

    caseSensitive = new TCheckBox(this);
    caseSensitive->SetName(QStringLiteral("CaseSensitiveCheckBox"));
    caseSensitive->SetCaption(QStringLiteral("&Case sensitive"));
    caseSensitive->SetBounds(left, top + 100, 200, 18);
}

void TwwDialogForm::SetModalResult(int result) {
    modalResult_ = result;
    if (result != mrNone && loop_) loop_->quit();
}

int TwwDialogForm::ShowModal() {
    modalResult_ = mrNone;
    if (ShowModalHandler) {
        show();
        ShowModalHandler(*this);
    } else {
        setWindowModality(Qt::ApplicationModal);
        show();
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
    hide();
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    return modalResult_;
}

void TwwDialogForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        SetModalResult(mrCancel);
        return;
    }
    TForm::keyPressEvent(event);
}

void TwwDialogForm::closeEvent(QCloseEvent* event) {
    if (loop_ && modalResult_ == mrNone) SetModalResult(mrCancel);
    TForm::closeEvent(event);
}

bool TwwLocateDialog::Execute() {
    if (!ActiveDataSetOrWarn(DataSource())) return false;
    return OpenDialog(false);
}

bool TwwLocateDialog::FindFirst() {
    return Find(true);
}

bool TwwLocateDialog::FindNext() {
    return Find(false);
}

bool TwwLocateDialog::Find(bool fromFirst) {
    TDataSet* dataSet = ActiveDataSetOrWarn(DataSource());
    if (!dataSet) return false;
    if (criteria_.SearchValue.isEmpty()) return OpenDialog(!fromFirst);
    if (LocateRecord(*dataSet, criteria_, fromFirst ? 1 : dataSet->RecNo() + 1) > 0) return true;
    if (showMessages_) MessageDlg(GetMessageString(MessageNoNextMatch), mtInformation, {mbOK}, 0);
    return false;
}

bool TwwLocateDialog::OpenDialog(bool nextIsDefault) {
    TwwLocateDlg dialog(nullptr);
    dialog.SetCaption(WithCaption(Caption(), dialog.Caption()));
    dialog.SetDataSource(DataSource());
    dialog.SetCriteria(criteria_);
    dialog.SetNextIsDefault(nextIsDefault);
    dialog.ShowModal();
    criteria_ = dialog.Criteria();
    return dialog.Found();
}

bool TwwFilterDialog::Execute() {
    if (!ActiveDataSetOrWarn(DataSource())) return false;
    TwwFilterDlg dialog(nullptr);
    dialog.SetCaption(WithCaption(Caption(), dialog.Caption()));
    dialog.SetDataSource(DataSource());
    dialog.SetFieldInfo(fieldInfo_);
    if (dialog.ShowModal() != mrOk) return false;
    fieldInfo_ = dialog.FieldInfo();
    ApplyFilter();
    return true;
}

void TwwFilterDialog::ApplyFilter() {
    TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!dataSet) return;
    if (fieldInfo_.empty()) {
        dataSet->SetFiltered(false);
        dataSet->SetFilter(nullptr);
        return;
    }
    dataSet->SetFilter(CriteriaFilter(*dataSet, fieldInfo_));
    dataSet->SetFiltered(true);
}
