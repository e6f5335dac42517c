#include "platform/vcl/Menus.h"

#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <algorithm>

TMenuItem::TMenuItem(TComponent* owner) : QAction(nullptr), TComponent(this, owner) {
    connect(this, &QAction::triggered, this, [this] {
        if (!link_.Execute() && OnClick) OnClick(this);
    });
}

TMenuItem::~TMenuItem() {
    // Quietly: this may be the form going, which must not be laid out again meanwhile.
    if (parent_) parent_->Detach(this);
    for (TMenuItem* item : items_)
        item->parent_ = nullptr;
    if (subMenu_) setMenu(static_cast<QMenu*>(nullptr));
}

void TMenuItem::SetCaption(const QString& caption) {
    setText(caption);
    setSeparator(caption == QLatin1String("-"));
}

void TMenuItem::SetHint(const QString& hint) {
    setStatusTip(hint);
    setToolTip(hint);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    // Counted as if the item had already left this menu, should it be here.
    const int count = Count() - (item->parent_ == this ? 1 : 0);
    if (index < 0 || index > count)
        throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
    if (item->parent_) item->parent_->Remove(item);
    QAction* before = index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr;
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    if (QWidget* container = Container()) container->insertAction(before, item);
    EntriesChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    if (Detach(item)) EntriesChanged();
}

bool TMenuItem::Detach(TMenuItem* item) {
    const auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return false;
    items_.erase(it);
    item->parent_ = nullptr;
    if (QWidget* container = Container()) container->removeAction(item);
    return true;
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return items_[static_cast<std::size_t>(index)];
}

void TMenuItem::SetAction(TAction* action) {
    link_.SetAction(action, this, [this](const TAction& a) {
        setText(a.Caption());
        SetHint(a.Hint());
        setEnabled(a.Enabled());
    });
}

void TMenuItem::MakeRoot(QWidget* host) {
    root_ = true;
    host_ = host;
}

QWidget* TMenuItem::Container() {
    if (root_) return host_;
    if (!subMenu_) {
        subMenu_ = std::make_unique<QMenu>();
        subMenu_->setToolTipsVisible(true);
        setMenu(subMenu_.get());
    }
    return subMenu_.get();
}

void TMenuItem::EntriesChanged() {
    if (onEntriesChanged_) onEntriesChanged_();
}

TMainMenu::TMainMenu(TComponent* owner)
    : QObject(nullptr), TComponent(this, owner), items_(std::make_unique<TMenuItem>(nullptr)) {
    auto* form = dynamic_cast<TControl*>(owner);
    bar_ = new QMenuBar(form ? form->Widget() : nullptr);
    bar_->setNativeMenuBar(false); // part of the form, as its aligned controls expect
    items_->MakeRoot(bar_);
    items_->onEntriesChanged_ = [this] { Fit(); };
    if (form) form->Widget()->installEventFilter(this);
    Fit();
}

TMainMenu::~TMainMenu() {
    QWidget* form = bar_ ? bar_->parentWidget() : nullptr;
    delete bar_;
    if (!form) return;
    form->removeEventFilter(this);
    // Later: this may be the form going, which must not be laid out meanwhile. A form that is
    // gone takes the call with it.
    QTimer::singleShot(0, form, [form] {
        if (form->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) return; // a new main menu's
        QMargins margins = form->contentsMargins();
        margins.setTop(0);
        form->setContentsMargins(margins);
    });
}

bool TMainMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && bar_ && watched == bar_->parentWidget()) Fit();
    return false;
}

void TMainMenu::Fit() {
    QWidget* form = bar_ ? bar_->parentWidget() : nullptr;
    if (!form) return;
    const int height = bar_->actions().isEmpty() ? 0 : bar_->sizeHint().height();
    bar_->setGeometry(0, 0, form->width(), height);
    bar_->setVisible(height > 0);
    QMargins margins = form->contentsMargins();
    if (margins.top() == height) return;
    margins.setTop(height);
    // The form is told of its new size, and lays out its aligned controls in what is left.
    form->setContentsMargins(margins);
}

TPopupMenu::TPopupMenu(TComponent* owner)
    : QObject(nullptr), TComponent(this, owner), menu_(std::make_unique<QMenu>()),
      items_(std::make_unique<TMenuItem>(nullptr)) {
    menu_->setToolTipsVisible(true);
    items_->MakeRoot(menu_.get());
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int x, int y) {
    menu_->popup(QPoint(x, y));
}
