#pragma once

#include "platform/vcl/Components.h"

#include <QAction>
#include <QPointer>

#include <functional>
#include <vector>

class TAction;

// Actions of a form gathered in one list.
class TActionList : public QObject, public TComponent {
    Q_OBJECT
public:
    explicit TActionList(TComponent* owner);
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TAction* Actions(int index) const; // throws EComponentError out of range

private:
    friend class TAction;
    std::vector<TAction*> actions_;
};

// A command that buttons, tool buttons and menu items linked to it show and run. Caption is its
// text, Hint its status tip and tooltip.
class TAction : public QAction, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
public:
    explicit TAction(TComponent* owner);
    ~TAction() override;

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    QString Hint() const { return statusTip(); }
    void SetHint(const QString& hint);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    TActionList* ActionList() const { return list_; }
    void SetActionList(TActionList* list);

    // Runs OnExecute; false when the action is disabled or has no handler.
    bool Execute();

    TNotifyEvent OnExecute;

private:
    friend class TActionList;
    TActionList* list_ = nullptr;
};

// The tie of a control to its action: the control shows the action now and after each change of
// it, and runs it when clicked. It lets go when the action is destroyed.
class TActionLink {
public:
    TActionLink() = default;
    TActionLink(const TActionLink&) = delete;
    TActionLink& operator=(const TActionLink&) = delete;
    ~TActionLink() { QObject::disconnect(changed_); }

    TAction* Action() const { return action_; }
    // show is called with the action, and lives as long as context.
    void SetAction(TAction* action, QObject* context, std::function<void(const TAction&)> show);
    // False when there is no action to run.
    bool Execute();

private:
    QPointer<TAction> action_;
    QMetaObject::Connection changed_;
};
