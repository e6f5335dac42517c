#include "platform/vcl/Buttons.h"

#include <QPixmap>
#include <QStyle>

namespace {

struct KindLook {
    QStyle::StandardPixmap Icon;
    const char* Caption;
};

KindLook LookOf(TBitBtnKind kind) {
    switch (kind) {
    case bkOK:
        return {QStyle::SP_DialogOkButton, "OK"};
    case bkCancel:
        return {QStyle::SP_DialogCancelButton, "Cancel"};
    case bkHelp:
        return {QStyle::SP_DialogHelpButton, "&Help"};
    case bkYes:
        return {QStyle::SP_DialogYesButton, "&Yes"};
    case bkNo:
        return {QStyle::SP_DialogNoButton, "&No"};
    case bkClose:
        return {QStyle::SP_DialogCloseButton, "&Close"};
    case bkAbort:
        return {QStyle::SP_DialogAbortButton, "Abort"};
    case bkRetry:
        return {QStyle::SP_DialogRetryButton, "&Retry"};
    case bkIgnore:
        return {QStyle::SP_DialogIgnoreButton, "&Ignore"};
    case bkAll:
        return {QStyle::SP_DialogYesToAllButton, "&All"};
    case bkCustom:
        break;
    }
    return {QStyle::SP_CustomBase, ""};
}

} // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
    glyph_.OnChange = [this] { ShowPicture(); };
}

void TBitBtn::SetKind(TBitBtnKind kind) {
    kind_ = kind;
    if (kind != bkCustom) {
        if (Caption().isEmpty()) SetCaption(QString::fromLatin1(LookOf(kind).Caption));
        SetDefault(kind == bkOK || kind == bkYes);
    }
    ShowPicture();
}

void TBitBtn::ShowPicture() {
    // A glyph of its own comes before the kind's icon.
    if (!glyph_.Image().isNull())
        setIcon(QIcon(QPixmap::fromImage(glyph_.Image())));
    else if (kind_ != bkCustom)
        setIcon(style()->standardIcon(LookOf(kind_).Icon, nullptr, this));
    else
        setIcon(QIcon());
}

TSpeedButton::TSpeedButton(TComponent* owner) : QToolButton(nullptr), TControl(this, owner) {
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    glyph_.OnChange = [this] { setIcon(QIcon(QPixmap::fromImage(glyph_.Image()))); };
    connect(this, &QToolButton::clicked, this, [this] { Clicked(); });
}

void TSpeedButton::SetGroupIndex(int index) {
    groupIndex_ = index;
    if (index == 0) setChecked(false);
    setCheckable(index != 0);
}

void TSpeedButton::SetDown(bool down) {
    if (groupIndex_ == 0) return;
    setChecked(down);
    if (down) PutUpOthers();
}

void TSpeedButton::SetAction(TAction* action) {
    link_.SetAction(action, this, [this](const TAction& a) {
        setText(a.Caption());
        SetHint(a.Hint());
        setEnabled(a.Enabled());
    });
}

void TSpeedButton::Clicked() {
    if (groupIndex_ != 0) {
        if (isChecked())
            PutUpOthers();
        else if (!allowAllUp_)
            setChecked(true);
    }
    if (!link_.Execute() && OnClick) OnClick(this);
}

void TSpeedButton::PutUpOthers() {
    QWidget* parent = parentWidget();
    if (!parent) return;
    for (auto* other : parent->findChildren<TSpeedButton*>(Qt::FindDirectChildrenOnly)) {
        if (other != this && other->groupIndex_ == groupIndex_) other->setChecked(false);
    }
}
