#pragma once

#include "platform/vcl/ActnList.h"
#include "platform/vcl/Components.h"
#include "platform/vcl/StdCtrls.h"

#include <QFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>
#include <vector>

class QHBoxLayout;
class QTreeWidgetItem;

// A row of tabs, one per entry of Tabs. OnChange runs when the user selects another tab.
class TTabControl : public QTabBar, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TStrings* Tabs READ Tabs WRITE SetTabs)
    Q_PROPERTY(int TabIndex READ TabIndex WRITE SetTabIndex)
public:
    explicit TTabControl(TComponent* owner);
    ~TTabControl() override;

    // The tabs of the bar itself: entry k is the text of tab k.
    TStrings* Tabs() const { return tabs_.get(); }
    void SetTabs(TStrings* tabs) { tabs_->Assign(*tabs); }
    int TabIndex() const { return currentIndex(); }
    void SetTabIndex(int index);

    TNotifyEvent OnChange;

private:
    std::unique_ptr<TStrings> tabs_;
};

class TListColumns;

// A column of a list view: Caption is its header text, Width its width in pixels.
class TListColumn {
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int Width() const { return width_; }
    void SetWidth(int width);
    int Index() const;

private:
    friend class TListColumns;
    explicit TListColumn(TListColumns* columns) : columns_(columns) {}

    TListColumns* columns_;
    QString caption_;
    int width_ = 50;
};

// The columns of a list view, shown as its header.
class TListColumns {
public:
    TListColumns(const TListColumns&) = delete;
    TListColumns& operator=(const TListColumns&) = delete;

    int Count() const { return static_cast<int>(columns_.size()); }
    TListColumn* Items(int index) const; // throws EComponentError out of range
    TListColumn* Add();
    void Delete(int index); // throws EComponentError out of range
    void Clear();

private:
    friend class TListColumn;
    friend class TListView;
    explicit TListColumns(QTreeWidget* view);
    void Show();
    int IndexOf(const TListColumn* column) const;

    QTreeWidget* view_;
    std::vector<std::unique_ptr<TListColumn>> columns_;
};

// A row of a list view: Caption shows in the first column, SubItems in the columns after it.
class TListItem {
public:
    QString Caption() const;
    void SetCaption(const QString& caption);
    TStrings* SubItems() { return &subItems_; }

private:
    friend class TListItems;
    explicit TListItem(QTreeWidgetItem* row);
    void ShowSubItems();

    QTreeWidgetItem* row_; // owned by the view
    TNotifyStringList subItems_;
    int shownSubItems_ = 0;
};

class TListItems {
public:
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    TListItem* Item(int index) const; // throws EComponentError out of range
    TListItem* Add();
    void Delete(int index); // throws EComponentError out of range
    void Clear();

private:
    friend class TListView;
    explicit TListItems(QTreeWidget* view) : view_(view) {}

    QTreeWidget* view_;
    std::vector<std::unique_ptr<TListItem>> items_;
};

// A list of rows under a header of columns (the report view).
class TListView : public QTreeWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TListView(TComponent* owner);

    TListColumns* Columns() { return &columns_; }
    TListItems* Items() { return &items_; }

private:
    TListColumns columns_;
    TListItems items_;
};

class TTabSheet;

// Pages of controls, one shown at a time under a row of tabs. OnChange runs when the user selects
// another page.
class TPageControl : public QTabWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TPageControl(TComponent* owner);

    int PageCount() const { return count(); }
    TTabSheet* Pages(int index) const; // throws EComponentError out of range
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page); // a page of another control is ignored
    int ActivePageIndex() const { return currentIndex(); }
    void SetActivePageIndex(int index);

    TNotifyEvent OnChange;
};

// A page of a page control, with its Caption on its tab. It is owned like any control (by the
// form) and joins a page control through SetPageControl; controls placed on it show on the page.
class TTabSheet : public QWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TTabSheet(TComponent* owner);

    void SetCaption(const QString& caption) override;
    TPageControl* PageControl() const { return pageControl_; }
    // Leaves the page control it was on; null shows it on none.
    void SetPageControl(TPageControl* pageControl);
    int PageIndex() const; // -1 when on no page control

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TPageControl* pageControl_ = nullptr;
};

// A bar that shows the controls placed on it in a row, in the order they were placed. Aligned to
// the top, it runs along the top of its parent.
class TToolBar : public QFrame, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TToolBar(TComponent* owner);

protected:
    void childEvent(QChildEvent* event) override;

private:
    QHBoxLayout* row_ = nullptr;
};

// A flat button of a tool bar; linked to an action, it shows the action and runs it when clicked.
class TToolButton : public QToolButton, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TToolButton(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    TAction* Action() const { return link_.Action(); }
    void SetAction(TAction* action);
    void Click() { click(); }

    TNotifyEvent OnClick;

private:
    TActionLink link_;
};
