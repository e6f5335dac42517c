#pragma once

// The editors pack: a label, a button, a page control, groups of radio buttons or check boxes, and
// a combo box of checkable entries. Group and combo entries are items of Properties()->Items(),
// not components.

#include "platform/packs/TabPages.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <memory>
#include <vector>

class QAbstractButton;
class QVBoxLayout;

class TcxLabel : public QLabel, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TcxLabel(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override;

protected:
    void FontApplied() override;
};

class TcxButton : public QPushButton, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TcxButton(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }

    TNotifyEvent OnClick;
};

class TcxPageControl : public TCustomPageHost {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    explicit TcxPageControl(TComponent* owner) : TCustomPageHost(owner) {}
};

// A page of a cx page control, its Caption on its tab.
class TcxTabSheet : public TCustomPage {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    explicit TcxTabSheet(TComponent* owner) : TCustomPage(owner) {}

    TcxPageControl* PageControl() const { return static_cast<TcxPageControl*>(Host()); }
    void SetPageControl(TcxPageControl* pageControl) { SetHost(pageControl); }
};

class TcxCustomGroupBox;
class TcxGroupItems;

// An entry of a group: its Caption is the text of its button.
class TcxGroupItem {
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int Index() const;

private:
    friend class TcxGroupItems;
    explicit TcxGroupItem(TcxGroupItems* items) : items_(items) {}

    TcxGroupItems* items_;
    QString caption_;
};

// The entries of a group, one button each, in order.
class TcxGroupItems {
public:
    TcxGroupItems(const TcxGroupItems&) = delete;
    TcxGroupItems& operator=(const TcxGroupItems&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    TcxGroupItem* Items(int index) const; // throws EComponentError out of range
    TcxGroupItem* Add();
    void Delete(int index); // throws EComponentError out of range
    void Clear();

private:
    friend class TcxGroupItem;
    friend class TcxGroupProperties;
    explicit TcxGroupItems(TcxCustomGroupBox* box) : box_(box) {}

    TcxCustomGroupBox* box_;
    std::vector<std::unique_ptr<TcxGroupItem>> items_;
};

class TcxGroupProperties {
public:
    TcxGroupItems* Items() { return &items_; }

private:
    friend class TcxCustomGroupBox;
    explicit TcxGroupProperties(TcxCustomGroupBox* box) : items_(box) {}

    TcxGroupItems items_;
};

// A framed group, its Caption the title, showing a button per entry of Properties()->Items().
class TcxCustomGroupBox : public QGroupBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    QString Caption() const override { return title(); }
    void SetCaption(const QString& caption) override { setTitle(caption); }
    TcxGroupProperties* Properties() { return &properties_; }
    QAbstractButton* Buttons(int index) const; // null out of range

protected:
    explicit TcxCustomGroupBox(TComponent* owner);
    virtual QAbstractButton* CreateButton() = 0;

private:
    friend class TcxGroupItems;
    friend class TcxGroupItem;
    void ItemInserted(int index);
    void ItemDeleted(int index);
    void ItemChanged(int index);

    TcxGroupProperties properties_;
    QVBoxLayout* layout_;
    std::vector<QAbstractButton*> buttons_;
};

// One of its entries is checked at a time.
class TcxRadioGroup : public TcxCustomGroupBox {
    Q_OBJECT
public:
    explicit TcxRadioGroup(TComponent* owner);

    int ItemIndex() const; // -1 when none is checked
    void SetItemIndex(int index);

protected:
    QAbstractButton* CreateButton() override;

private:
    QButtonGroup group_;
};

// Each of its entries is checked or not.
class TcxCheckGroup : public TcxCustomGroupBox {
    Q_OBJECT
public:
    explicit TcxCheckGroup(TComponent* owner) : TcxCustomGroupBox(owner) {}

protected:
    QAbstractButton* CreateButton() override;
};

class TcxCheckComboBox;
class TcxCheckComboBoxItems;

// An entry of a check combo box: Description is its text in the list.
class TcxCheckComboBoxItem {
public:
    QString Description() const;
    void SetDescription(const QString& description);
    bool Checked() const;
    void SetChecked(bool checked);
    int Index() const;

private:
    friend class TcxCheckComboBoxItems;
    explicit TcxCheckComboBoxItem(TcxCheckComboBoxItems* items) : items_(items) {}

    TcxCheckComboBoxItems* items_;
};

class TcxCheckComboBoxItems {
public:
    TcxCheckComboBoxItems(const TcxCheckComboBoxItems&) = delete;
    TcxCheckComboBoxItems& operator=(const TcxCheckComboBoxItems&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    TcxCheckComboBoxItem* Items(int index) const; // throws EComponentError out of range
    TcxCheckComboBoxItem* Add();
    void Delete(int index); // throws EComponentError out of range
    void Clear();

private:
    friend class TcxCheckComboBoxItem;
    friend class TcxCheckComboBoxProperties;
    explicit TcxCheckComboBoxItems(TcxCheckComboBox* box) : box_(box) {}

    TcxCheckComboBox* box_;
    std::vector<std::unique_ptr<TcxCheckComboBoxItem>> items_;
};

class TcxCheckComboBoxProperties {
public:
    TcxCheckComboBoxItems* Items() { return &items_; }

private:
    friend class TcxCheckComboBox;
    explicit TcxCheckComboBoxProperties(TcxCheckComboBox* box) : items_(box) {}

    TcxCheckComboBoxItems items_;
};

// A drop-down list whose entries have check boxes; clicking an entry checks or clears it and keeps
// the list open. The box shows the checked entries' descriptions.
class TcxCheckComboBox : public QComboBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TcxCheckComboBox(TComponent* owner);

    TcxCheckComboBoxProperties* Properties() { return &properties_; }
    // What the box shows: the checked descriptions, separated by "; ".
    QString Text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TcxCheckComboBoxProperties properties_;
};
