#pragma once

// A navigation bar: a stack of groups, each opened by its header, holding links. Groups and items
// are owned by the form and linked into the bar:
//
//     auto* bar = new TdxNavBar(form);
//     auto* grpFiles = new TdxNavBarGroup(form);
//     auto* itOpen = new TdxNavBarItem(form);
//     bar->AddGroup(grpFiles);
//     grpFiles->AddItem(itOpen);

#include "platform/vcl/Components.h"

#include <QAction>
#include <QPointer>
#include <QToolBox>
#include <QWidget>

class QVBoxLayout;
class TdxNavBarGroup;
class TdxNavBarItem;

class TdxNavBar : public QToolBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TdxNavBar(TComponent* owner);

    // Adds the group at the end of the stack (taking it from the bar it was on).
    void AddGroup(TdxNavBarGroup* group);
    int GroupCount() const { return count(); }
    TdxNavBarGroup* Groups(int index) const; // throws EComponentError out of range
};

// A group of a navigation bar: Caption is the text of its header, Hint the header's tooltip.
class TdxNavBarGroup : public QWidget, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    explicit TdxNavBarGroup(TComponent* owner);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint);

    TdxNavBar* NavBar() const { return bar_; }
    // Shows the item as a link at the end of the group; an item may show in several groups.
    void AddItem(TdxNavBarItem* item);

private:
    friend class TdxNavBar;
    int Index() const { return bar_ ? bar_->indexOf(const_cast<TdxNavBarGroup*>(this)) : -1; }

    QPointer<TdxNavBar> bar_;
    QVBoxLayout* links_;
    QString caption_;
};

// A link of a navigation bar group: Caption is its text, Hint its tooltip; OnClick runs when it is
// clicked.
class TdxNavBarItem : public QAction, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    explicit TdxNavBarItem(TComponent* owner);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    // Kept apart from the tooltip, which falls back to the caption.
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);

    TNotifyEvent OnClick;

private:
    QString hint_;
};
