#include "platform/packs/dxNavBar.h"

#include <QToolButton>
#include <QVBoxLayout>

TdxNavBar::TdxNavBar(TComponent* owner) : QToolBox(nullptr), TControl(this, owner) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void TdxNavBar::AddGroup(TdxNavBarGroup* group) {
    if (group->bar_) group->bar_->removeItem(group->Index());
    group->bar_ = this;
    const int index = addItem(group, group->Caption());
    setItemToolTip(index, group->Hint());
}

TdxNavBarGroup* TdxNavBar::Groups(int index) const {
    if (index < 0 || index >= count())
        throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return static_cast<TdxNavBarGroup*>(widget(index));
}

TdxNavBarGroup::TdxNavBarGroup(TComponent* owner)
    : QWidget(nullptr), TComponent(this, owner), links_(new QVBoxLayout(this)) {
    links_->setContentsMargins(6, 4, 6, 4);
    links_->addStretch(); // the links keep to the top of the group
}

void TdxNavBarGroup::SetCaption(const QString& caption) {
    caption_ = caption;
    if (bar_) bar_->setItemText(Index(), caption);
}

void TdxNavBarGroup::SetHint(const QString& hint) {
    setToolTip(hint);
    if (bar_) bar_->setItemToolTip(Index(), hint);
}

void TdxNavBarGroup::AddItem(TdxNavBarItem* item) {
    auto* link = new QToolButton(this);
    link->setAutoRaise(true);
    link->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    link->setCursor(Qt::PointingHandCursor);
    link->setDefaultAction(item); // shows the item's caption and tooltip as they change
    links_->insertWidget(links_->count() - 1, link);
    // A destroyed item leaves no empty link behind. The button drops its own connections to an
    // action that leaves it, so the group watches.
    connect(item, &QObject::destroyed, this, [link = QPointer<QToolButton>(link)] { delete link; });
}

TdxNavBarItem::TdxNavBarItem(TComponent* owner) : QAction(nullptr), TComponent(this, owner) {
    connect(this, &QAction::triggered, this, [this] {
        if (OnClick) OnClick(this);
    });
}

void TdxNavBarItem::SetHint(const QString& hint) {
    hint_ = hint;
    setToolTip(hint);
}
