#pragma once

// Tool bars of a form and the items they show. Items are owned by the form like any component and
// put on one or more bars (or sub-item menus); each place shows the item's Caption, with its Hint
// as the tooltip:
//
//     auto* Main = new TdxBar(form);
//     auto* btOpen = new TdxBarButton(form);
//     Main->AddItem(btOpen);

#include "platform/packs/dxCore.h"

#include <QDate>
#include <QPointer>
#include <QToolBar>
#include <QWidgetAction>

#include <memory>

class QLabel;
class QMenu;
class TdxBarItem;

// Gives its font to the bars it manages.
class TdxBarManager : public TdxManager {
    Q_OBJECT
public:
    explicit TdxBarManager(TComponent* owner);
};

// A tool bar docked along the top of the form. Its Caption is the bar's title, shown at its start.
class TdxBar : public QToolBar, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TdxBar(TComponent* owner);
    ~TdxBar() override;

    QString Caption() const override { return windowTitle(); }
    void SetCaption(const QString& caption) override;

    TdxBarManager* BarManager() const { return manager_; }
    // The bar shows the manager's font from now on.
    void SetBarManager(TdxBarManager* manager);

    // Shows the item at the end of the bar.
    void AddItem(TdxBarItem* item);
    int ItemCount() const;
    TdxBarItem* Items(int index) const; // throws EComponentError out of range

private:
    void Fit();

    QPointer<TdxBarManager> manager_;
    QLabel* title_;
    QAction* titleAction_;
};

// What a bar shows: a button, a text, a captioned field. Hint is kept apart from the tooltip, which
// falls back to the caption.
class TdxBarItem : public QWidgetAction, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);

    // Runs when the item is clicked on a bar or chosen from a menu.
    TNotifyEvent OnClick;

protected:
    explicit TdxBarItem(TComponent* owner);

    // A view of the item on a bar (menus show buttons as entries); null lets the bar or menu make a
    // plain button or entry of it.
    QWidget* createWidget(QWidget* parent) override;
    // Shows the caption and hint on a view made by createWidget.
    virtual void Refresh(QWidget* view);
    // A row of the caption and editor, for the items that edit a value.
    QWidget* CaptionedView(QWidget* parent, QWidget* editor);

private:
    QString hint_;
};

class TdxBarButton : public TdxBarItem {
    Q_OBJECT
public:
    explicit TdxBarButton(TComponent* owner) : TdxBarItem(owner) {}
};

// A big button, its icon above its caption.
class TdxBarLargeButton : public TdxBarItem {
    Q_OBJECT
public:
    explicit TdxBarLargeButton(TComponent* owner) : TdxBarItem(owner) {}

protected:
    QWidget* createWidget(QWidget* parent) override;
};

// A button that opens a menu of items; in a menu, a submenu.
class TdxBarSubItem : public TdxBarItem {
    Q_OBJECT
public:
    explicit TdxBarSubItem(TComponent* owner);
    ~TdxBarSubItem() override;

    void AddItem(TdxBarItem* item);
    QMenu* Menu() const { return menu_.get(); }

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    std::unique_ptr<QMenu> menu_;
};

// A text.
class TdxBarStatic : public TdxBarItem {
    Q_OBJECT
public:
    explicit TdxBarStatic(TComponent* owner) : TdxBarItem(owner) {}

protected:
    QWidget* createWidget(QWidget* parent) override;
    void Refresh(QWidget* view) override;
};

// A caption and a line of text to edit.
class TdxBarEdit : public TdxBarItem {
    Q_OBJECT
public:
    explicit TdxBarEdit(TComponent* owner) : TdxBarItem(owner) {}

    QString Text() const { return text_; }
    void SetText(const QString& text);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    QString text_;
};

// A caption and a date with a calendar to drop down.
class TdxBarDateCombo : public TdxBarItem {
    Q_OBJECT
public:
    explicit TdxBarDateCombo(TComponent* owner) : TdxBarItem(owner), date_(QDate::currentDate()) {}

    QDate Date() const { return date_; }
    void SetDate(const QDate& date);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    QDate date_;
};

// A caption and a whole number with up and down arrows.
class TdxBarSpinEdit : public TdxBarItem {
    Q_OBJECT
public:
    explicit TdxBarSpinEdit(TComponent* owner) : TdxBarItem(owner) {}

    int Value() const { return value_; }
    void SetValue(int value);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    int value_ = 0;
};

// A caption and an editor on a bar; the editor takes any text.
class TcxBarEditItem : public TdxBarItem {
    Q_OBJECT
public:
    explicit TcxBarEditItem(TComponent* owner) : TdxBarItem(owner) {}

    QString EditValue() const { return value_; }
    void SetEditValue(const QString& value);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    QString value_;
};
