#pragma once

#include "platform/vcl/ActnList.h"
#include "platform/vcl/Components.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>
#include <vector>

// A string list that announces every change of its texts or objects, so that a control can show
// the list it keeps. A whole copy (Assign) is announced once.
class TNotifyStringList : public TStringList {
    Q_OBJECT
public:
    void Clear() override;
    void Assign(const TStrings& source) override;

    std::function<void()> OnChange;

protected:
    void Put(int index, const QString& text) override;
    void PutObject(int index, QObject* object) override;
    void InsertItem(int index, const QString& text, QObject* object) override;
    void DeleteItem(int index) override;

private:
    void Changed();

    bool assigning_ = false;
};

// A text that fits itself to its caption and font.
class TLabel : public QLabel, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TLabel(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override;

protected:
    void FontApplied() override;
};

// A push button. Enter pressed on its form clicks it when it is the Default button, as it clicks
// any button that has the focus. Linked to an action, it shows the action and runs it when clicked.
class TButton : public QPushButton, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
public:
    explicit TButton(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    bool Default() const { return isDefault(); }
    void SetDefault(bool value) { setDefault(value); }
    void Click() { click(); }
    TAction* Action() const { return link_.Action(); }
    void SetAction(TAction* action);

    TNotifyEvent OnClick;

protected:
    bool DialogKey(int key) override;

private:
    TActionLink link_;
};

class TCheckBox : public QCheckBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
public:
    explicit TCheckBox(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }
};

class TRadioButton : public QRadioButton, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
public:
    explicit TRadioButton(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }
};

// A one-line text field; TextHint is shown greyed while it is empty.
class TEdit : public QLineEdit, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QString TextHint READ TextHint WRITE SetTextHint)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TEdit(TComponent* owner);

    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }
    QString TextHint() const { return placeholderText(); }
    void SetTextHint(const QString& hint) { setPlaceholderText(hint); }

    // Runs whenever the text changes, typed or set.
    TNotifyEvent OnChange;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

// A drop-down list of Items. In the csDropDown style (the default) any text can be typed, and the
// text is kept when the entries change; TextHint shows while the text is empty.
class TComboBox : public QComboBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QString TextHint READ TextHint WRITE SetTextHint)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override;

    // The entries of the drop-down list itself.
    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* items) { items_->Assign(*items); }
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index);
    // In csDropDownList a text that is no entry selects none.
    QString Text() const { return currentText(); }
    void SetText(const QString& text);
    QString TextHint() const { return textHint_; }
    void SetTextHint(const QString& hint);
    TComboBoxStyle Style() const { return isEditable() ? csDropDown : csDropDownList; }
    void SetStyle(TComboBoxStyle style);

    // Runs when the user types or chooses an entry.
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TStrings> items_;
    QString textHint_;
};

// A text of several lines. Lines are the widget's own lines: an empty memo has none.
class TMemo : public QPlainTextEdit, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TStrings* Lines READ Lines WRITE SetLines)
public:
    explicit TMemo(TComponent* owner);
    ~TMemo() override;

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* lines) { lines_->Assign(*lines); }

private:
    std::unique_ptr<TStrings> lines_;
};

// A list of Items to choose from.
class TListBox : public QListWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;

    // The entries of the widget itself.
    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* items) { items_->Assign(*items); }
    int ItemIndex() const { return currentRow(); }
    void SetItemIndex(int index) { setCurrentRow(index); }

protected:
    // Entries added to a checkable list carry a check box.
    TListBox(TComponent* owner, bool checkable);

private:
    std::unique_ptr<TStrings> items_;
};

// A framed group with its Caption as title; controls placed on it show inside the frame.
class TGroupBox : public QGroupBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TGroupBox(TComponent* owner);

    QString Caption() const override { return title(); }
    void SetCaption(const QString& caption) override { setTitle(caption); }

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// A framed group of radio buttons, one per entry of Items, of which the ItemIndex one is checked
// (-1: none). Changing Items rebuilds the buttons; ItemIndex stays while it is in range.
class TRadioGroup : public QGroupBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
public:
    explicit TRadioGroup(TComponent* owner);

    QString Caption() const override { return title(); }
    void SetCaption(const QString& caption) override { setTitle(caption); }
    TStrings* Items() { return &items_; }
    void SetItems(TStrings* items) { items_.Assign(*items); }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    QRadioButton* Buttons(int index) const; // null out of range

    // Runs when the user checks a button.
    TNotifyEvent OnClick;

private:
    void Rebuild();
    void ShowItemIndex();

    TNotifyStringList items_;
    QButtonGroup group_;
    std::vector<QRadioButton*> buttons_;
    int itemIndex_ = -1;
};

// A text in a sunken frame that fits itself to its caption.
class TStaticText : public QLabel, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TStaticText(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override;

protected:
    void FontApplied() override;
};
