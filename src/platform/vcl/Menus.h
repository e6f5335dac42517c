#pragma once

#include "platform/vcl/ActnList.h"
#include "platform/vcl/Components.h"

#include <QAction>
#include <QMenuBar>
#include <QPointer>

#include <memory>
#include <vector>

class QMenu;

// An entry of a menu: Caption is its text ("-" makes it a separator), Hint its status tip and
// tooltip. Entries added to it make it a sub-menu. Menu items are owned like any component (by
// the form); a menu's Items is the root its entries are added to.
class TMenuItem : public QAction, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);
    QString Hint() const { return statusTip(); }
    void SetHint(const QString& hint);

    // An item added elsewhere before leaves its old place.
    void Add(TMenuItem* item) { Insert(Count(), item); }
    void Insert(int index, TMenuItem* item); // throws EComponentError out of range
    void Remove(TMenuItem* item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const; // throws EComponentError out of range
    TMenuItem* Parent() const { return parent_; }

    TAction* Action() const { return link_.Action(); }
    void SetAction(TAction* action);
    // Runs the action, else OnClick, as choosing the item does.
    void Click() { trigger(); }

    TNotifyEvent OnClick;

private:
    friend class TMainMenu;
    friend class TPopupMenu;
    // The widget the entries show in: the menu bar or pop-up menu of a root (null once that is
    // gone), else a sub-menu made on the first entry.
    QWidget* Container();
    void MakeRoot(QWidget* host);
    bool Detach(TMenuItem* item); // false when it is not an entry of this one
    void EntriesChanged();

    bool root_ = false;
    QPointer<QWidget> host_;
    std::unique_ptr<QMenu> subMenu_;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    TActionLink link_;
    std::function<void()> onEntriesChanged_; // roots only
};

// The menu bar along the top of the form that owns it; aligned controls take the room below it.
class TMainMenu : public QObject, public TComponent {
    Q_OBJECT
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;

    TMenuItem* Items() const { return items_.get(); }
    QMenuBar* MenuBar() const { return bar_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fit();

    QPointer<QMenuBar> bar_;
    std::unique_ptr<TMenuItem> items_;
};

// A menu that pops up where it is asked to.
class TPopupMenu : public QObject, public TComponent {
    Q_OBJECT
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    TMenuItem* Items() const { return items_.get(); }
    QMenu* Menu() const { return menu_.get(); }
    // At a point of the screen.
    void Popup(int x, int y);

private:
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<TMenuItem> items_;
};
