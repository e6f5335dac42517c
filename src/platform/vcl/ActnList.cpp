#include "platform/vcl/ActnList.h"

#include <algorithm>

TActionList::TActionList(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {}

TActionList::~TActionList() {
    for (TAction* action : actions_)
        action->list_ = nullptr;
}

TAction* TActionList::Actions(int index) const {
    if (index < 0 || index >= ActionCount())
        throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return actions_[static_cast<std::size_t>(index)];
}

TAction::TAction(TComponent* owner) : QAction(nullptr), TComponent(this, owner) {
    connect(this, &QAction::triggered, this, [this] { Execute(); });
}

TAction::~TAction() {
    SetActionList(nullptr);
}

void TAction::SetHint(const QString& hint) {
    setStatusTip(hint);
    setToolTip(hint);
}

void TAction::SetActionList(TActionList* list) {
    if (list == list_) return;
    if (list_) {
        auto& actions = list_->actions_;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
    }
    list_ = list;
    if (list_) list_->actions_.push_back(this);
}

bool TAction::Execute() {
    if (!isEnabled() || !OnExecute) return false;
    OnExecute(this);
    return true;
}

void TActionLink::SetAction(TAction* action, QObject* context, std::function<void(const TAction&)> show) {
    QObject::disconnect(changed_);
    action_ = action;
    if (!action) return;
    changed_ = QObject::connect(action, &QAction::changed, context, [action, show] { show(*action); });
    show(*action);
}

bool TActionLink::Execute() {
    if (!action_) return false;
    action_->Execute();
    return true;
}
