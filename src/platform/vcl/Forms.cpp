#include "platform/vcl/Forms.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

// A form is a window of its own, never placed on its owner.
TForm::TForm(TComponent* owner) : QWidget(nullptr), TControl(this, owner, nullptr) {
    SetParentFont(false);
}

TForm::~TForm() {
    // The children's windows go with the client area, after this part of the form is gone.
    for (TForm* child : mdiChildren_)
        child->mdiForm_ = nullptr;
    if (mdiForm_) {
        auto& siblings = mdiForm_->mdiChildren_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        // The frame the child was shown in would stay behind empty.
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) frame->deleteLater();
    }
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style == formStyle_) return;
    if (formStyle_ != fsNormal)
        throw EComponentError(QStringLiteral("Cannot change the style of form %1").arg(Name()));
    if (style == fsMDIForm) {
        mdiArea_ = new QMdiArea(this);
        mdiArea_->lower(); // beneath the aligned controls
        mdiArea_->show();
        AlignControls();
    } else if (style == fsMDIChild) {
        auto* host = dynamic_cast<TForm*>(Owner());
        if (!host || host->formStyle_ != fsMDIForm)
            throw EComponentError(QStringLiteral("Cannot create form %1. No MDI form owns it").arg(Name()));
        mdiForm_ = host;
        host->mdiChildren_.push_back(this);
        // The frame keeps the form's client size; without a layout the form would get its minimum.
        const QSize client = size();
        QMdiSubWindow* frame = host->mdiArea_->addSubWindow(this);
        frame->show();
        frame->resize(client + frame->size() - size());
    }
    formStyle_ = style;
}

TForm* TForm::MDIChildren(int index) const {
    if (index < 0 || index >= MDIChildCount())
        throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return mdiChildren_[static_cast<std::size_t>(index)];
}

QRect TForm::AlignControls() {
    const QRect rest = TControl::AlignControls();
    if (mdiArea_) mdiArea_->setGeometry(rest);
    return rest;
}

void TForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AlignControls();
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Restoring a minimised window is no new showing.
    if (!event->spontaneous() && OnShow) OnShow(this);
}

void TForm::keyPressEvent(QKeyEvent* event) {
    if (DialogKey(event->key())) return;
    QWidget::keyPressEvent(event);
}
