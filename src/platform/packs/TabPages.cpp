#include "platform/packs/TabPages.h"

#include <QEvent>

TCustomPageHost::TCustomPageHost(TComponent* owner) : QTabWidget(nullptr), TControl(this, owner) {}

TCustomPage* TCustomPageHost::Pages(int index) const {
    if (index < 0 || index >= count())
        throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return qobject_cast<TCustomPage*>(widget(index));
}

TCustomPage::TCustomPage(TComponent* owner) : QWidget(nullptr), TControl(this, owner) {}

void TCustomPage::SetCaption(const QString& caption) {
    TControl::SetCaption(caption);
    if (host_) host_->setTabText(PageIndex(), caption);
}

int TCustomPage::PageIndex() const {
    return host_ ? host_->indexOf(const_cast<TCustomPage*>(this)) : -1;
}

void TCustomPage::SetHost(TCustomPageHost* host) {
    if (host == host_) return;
    if (host_) host_->removeTab(PageIndex());
    host_ = host;
    // The control tree first, for the font; then the host takes the widget into its pages.
    SetParent(host);
    if (!host) return;
    const int index = host->addTab(this, Caption());
    host->setTabToolTip(index, toolTip());
}

bool TCustomPage::event(QEvent* event) {
    // A hint set through any path shows on the tab too, where the pointer rests most.
    if (event->type() == QEvent::ToolTipChange && host_) host_->setTabToolTip(PageIndex(), toolTip());
    return QWidget::event(event);
}

void TCustomPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AlignControls();
}
