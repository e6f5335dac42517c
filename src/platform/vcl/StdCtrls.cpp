#include "platform/vcl/StdCtrls.h"

#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

void TNotifyStringList::Clear() {
    TStringList::Clear();
    Changed();
}

void TNotifyStringList::Assign(const TStrings& source) {
    {
        QScopedValueRollback assigning(assigning_, true);
        TStringList::Assign(source);
    }
    Changed();
}

void TNotifyStringList::Put(int index, const QString& text) {
    TStringList::Put(index, text);
    Changed();
}

void TNotifyStringList::PutObject(int index, QObject* object) {
    TStringList::PutObject(index, object);
    Changed();
}

void TNotifyStringList::InsertItem(int index, const QString& text, QObject* object) {
    TStringList::InsertItem(index, text, object);
    Changed();
}

void TNotifyStringList::DeleteItem(int index) {
    TStringList::DeleteItem(index);
    Changed();
}

void TNotifyStringList::Changed() {
    if (!assigning_ && OnChange) OnChange();
}

namespace {

QObject* ObjectIn(const QVariant& data) {
    return data.value<QObject*>();
}

// The entries of a list widget; the attached objects ride in the entries' data.
class TListWidgetStrings : public TStrings {
public:
    TListWidgetStrings(QListWidget* list, bool checkable) : list_(list), checkable_(checkable) {}
    int Count() const override { return list_->count(); }
    void Clear() override { list_->clear(); }

protected:
    QString Get(int index) const override { return list_->item(index)->text(); }
    QObject* GetObject(int index) const override { return ObjectIn(list_->item(index)->data(Qt::UserRole)); }
    void Put(int index, const QString& text) override { list_->item(index)->setText(text); }
    void PutObject(int index, QObject* object) override {
        list_->item(index)->setData(Qt::UserRole, QVariant::fromValue(object));
    }
    void InsertItem(int index, const QString& text, QObject* object) override {
        auto* item = new QListWidgetItem(text);
        item->setData(Qt::UserRole, QVariant::fromValue(object));
        if (checkable_) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        list_->insertItem(index, item);
    }
    void DeleteItem(int index) override { delete list_->takeItem(index); }

private:
    QListWidget* list_;
    bool checkable_;
};

// The entries of a combo box. While none is selected none gets selected by a change of the
// entries (the combo box would select its first), and a text typed in stays.
class TComboBoxStrings : public TStrings {
public:
    explicit TComboBoxStrings(QComboBox* combo) : combo_(combo) {}
    int Count() const override { return combo_->count(); }
    void Clear() override {
        KeepingText([this] { combo_->clear(); });
    }

protected:
    QString Get(int index) const override { return combo_->itemText(index); }
    QObject* GetObject(int index) const override { return ObjectIn(combo_->itemData(index)); }
    void Put(int index, const QString& text) override { combo_->setItemText(index, text); }
    void PutObject(int index, QObject* object) override {
        combo_->setItemData(index, QVariant::fromValue(object));
    }
    void InsertItem(int index, const QString& text, QObject* object) override {
        KeepingText([&] { combo_->insertItem(index, text, QVariant::fromValue(object)); });
    }
    void DeleteItem(int index) override {
        KeepingText([&] { combo_->removeItem(index); });
    }

private:
    // Programmatic changes are not the user's: no change is announced.
    template <class F> void KeepingText(F change) {
        const QSignalBlocker quiet(combo_);
        const QString text = combo_->currentText();
        const bool selected = combo_->currentIndex() >= 0;
        change();
        if (selected) return;
        combo_->setCurrentIndex(-1);
        if (combo_->isEditable()) combo_->setEditText(text);
    }

    QComboBox* combo_;
};

// The lines of a plain text editor, one per text block. An empty editor has no lines, so a
// single empty line cannot be told from none. Objects cannot be attached to lines.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(QPlainTextEdit* edit) : edit_(edit) {}
    int Count() const override {
        const QTextDocument* document = edit_->document();
        return document->isEmpty() ? 0 : document->blockCount();
    }
    void Clear() override { edit_->clear(); }

protected:
    QString Get(int index) const override { return Block(index).text(); }
    QObject* GetObject(int) const override { return nullptr; }
    void Put(int index, const QString& text) override {
        QTextCursor cursor(Block(index));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(text);
    }
    void PutObject(int, QObject*) override {}
    void InsertItem(int index, const QString& text, QObject*) override {
        const int count = Count();
        if (count == 0) {
            edit_->setPlainText(text);
        } else if (index < count) {
            QTextCursor(Block(index)).insertText(text + QLatin1Char('\n'));
        } else {
            QTextCursor cursor(edit_->document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QLatin1Char('\n') + text);
        }
    }
    void DeleteItem(int index) override {
        const QTextBlock block = Block(index);
        QTextCursor cursor(edit_->document());
        if (block.next().isValid()) {
            // The line and the break after it.
            cursor.setPosition(block.position());
            cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
        } else {
            // The last line and the break before it.
            cursor.setPosition(index > 0 ? block.position() - 1 : 0);
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        }
        cursor.removeSelectedText();
    }

private:
    QTextBlock Block(int index) const { return edit_->document()->findBlockByNumber(index); }

    QPlainTextEdit* edit_;
};

} // namespace

TLabel::TLabel(TComponent* owner) : QLabel(nullptr), TControl(this, owner) {
    setTextFormat(Qt::PlainText); // a caption is shown as written, never as markup
}

void TLabel::SetCaption(const QString& caption) {
    setText(caption);
    FontApplied();
}

void TLabel::FontApplied() {
    if (Align() == alNone) adjustSize();
}

TButton::TButton(TComponent* owner) : QPushButton(nullptr), TControl(this, owner) {
    setAutoDefault(true); // Enter clicks the focused button, not only in dialogs
    connect(this, &QPushButton::clicked, this, [this] {
        if (!link_.Execute() && OnClick) OnClick(this);
    });
}

void TButton::SetAction(TAction* action) {
    link_.SetAction(action, this, [this](const TAction& a) {
        setText(a.Caption());
        SetHint(a.Hint());
        setEnabled(a.Enabled());
    });
}

bool TButton::DialogKey(int key) {
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !Default() || !isVisible() || !isEnabled())
        return false;
    click();
    return true;
}

TCheckBox::TCheckBox(TComponent* owner) : QCheckBox(nullptr), TControl(this, owner) {}

TRadioButton::TRadioButton(TComponent* owner) : QRadioButton(nullptr), TControl(this, owner) {}

TEdit::TEdit(TComponent* owner) : QLineEdit(nullptr), TControl(this, owner) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange) OnChange(this);
    });
}

TComboBox::TComboBox(TComponent* owner)
    : QComboBox(nullptr), TControl(this, owner), items_(std::make_unique<TComboBoxStrings>(this)) {
    setEditable(true);
    // An entry typed in is not added to the list.
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::currentTextChanged, this, [this] {
        if (OnChange) OnChange(this);
    });
}

TComboBox::~TComboBox() = default;

void TComboBox::SetItemIndex(int index) {
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TComboBox::SetText(const QString& text) {
    if (isEditable())
        setEditText(text);
    else
        setCurrentIndex(findText(text));
}

void TComboBox::SetTextHint(const QString& hint) {
    textHint_ = hint;
    setPlaceholderText(hint);
    if (lineEdit()) lineEdit()->setPlaceholderText(hint);
}

void TComboBox::SetStyle(TComboBoxStyle style) {
    if (style == Style()) return;
    setEditable(style == csDropDown);
    if (lineEdit()) lineEdit()->setPlaceholderText(textHint_); // a new edit field
}

TMemo::TMemo(TComponent* owner)
    : QPlainTextEdit(nullptr), TControl(this, owner), lines_(std::make_unique<TMemoStrings>(this)) {}

TMemo::~TMemo() = default;

TListBox::TListBox(TComponent* owner) : TListBox(owner, false) {}

TListBox::TListBox(TComponent* owner, bool checkable)
    : QListWidget(nullptr), TControl(this, owner),
      items_(std::make_unique<TListWidgetStrings>(this, checkable)) {}

TListBox::~TListBox() = default;

TGroupBox::TGroupBox(TComponent* owner) : QGroupBox(nullptr), TControl(this, owner) {}

void TGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    AlignControls(); // the contents rectangle lies below the title
}

TRadioGroup::TRadioGroup(TComponent* owner) : QGroupBox(nullptr), TControl(this, owner) {
    new QVBoxLayout(this);
    items_.OnChange = [this] { Rebuild(); };
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) {
        itemIndex_ = id;
        if (OnClick) OnClick(this);
    });
}

QRadioButton* TRadioGroup::Buttons(int index) const {
    if (index < 0 || index >= static_cast<int>(buttons_.size())) return nullptr;
    return buttons_[static_cast<std::size_t>(index)];
}

void TRadioGroup::SetItemIndex(int index) {
    itemIndex_ = index >= 0 && index < items_.Count() ? index : -1;
    ShowItemIndex();
}

void TRadioGroup::Rebuild() {
    for (QRadioButton* button : buttons_)
        delete button;
    buttons_.clear();
    for (int i = 0; i < items_.Count(); ++i) {
        auto* button = new QRadioButton(items_.Strings(i), this);
        group_.addButton(button, i);
        layout()->addWidget(button);
        buttons_.push_back(button);
    }
    if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
    ShowItemIndex();
}

void TRadioGroup::ShowItemIndex() {
    // An exclusive group would keep one button checked.
    group_.setExclusive(false);
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setChecked(static_cast<int>(i) == itemIndex_);
    group_.setExclusive(true);
}

TStaticText::TStaticText(TComponent* owner) : QLabel(nullptr), TControl(this, owner) {
    setTextFormat(Qt::PlainText);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void TStaticText::SetCaption(const QString& caption) {
    setText(caption);
    FontApplied();
}

void TStaticText::FontApplied() {
    if (Align() == alNone) adjustSize();
}
