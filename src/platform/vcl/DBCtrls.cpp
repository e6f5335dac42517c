#include "platform/vcl/DBCtrls.h"

#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

TDBText::TDBText(TComponent* owner) : QLabel(nullptr), TControl(this, owner) {
    setTextFormat(Qt::PlainText);
    link_.OnDataChange = [this] { DataChange(); };
}

void TDBText::DataChange() {
    TField* field = link_.Field();
    setText(field ? field->AsString() : QString());
}

TDBEdit::TDBEdit(TComponent* owner) : QLineEdit(nullptr), TControl(this, owner) {
    link_.OnDataChange = [this] { DataChange(); };
    connect(this, &QLineEdit::textEdited, this, &TDBEdit::Edited);
    connect(this, &QLineEdit::editingFinished, this, &TDBEdit::DataChange);
}

void TDBEdit::DataChange() {
    if (writing_) return; // what the user typed stays as typed
    TField* field = link_.Field();
    setText(field ? field->AsString() : QString());
}

void TDBEdit::Edited(const QString& text) {
    QScopedValueRollback writing(writing_, true);
    try {
        link_.Write(text);
    } catch (const EComponentError&) {
        // Not yet a value the field takes; editing goes on.
    }
}

TDBCheckBox::TDBCheckBox(TComponent* owner) : QCheckBox(nullptr), TControl(this, owner) {
    link_.OnDataChange = [this] { DataChange(); };
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        bool written = false;
        try {
            written = link_.Write(checked);
        } catch (const EComponentError&) {
        }
        if (!written) DataChange(); // the box shows the field, not the click
    });
}

void TDBCheckBox::DataChange() {
    TField* field = link_.Field();
    setChecked(field && !field->IsNull() && field->Value().toBool());
}

TDBComboBox::TDBComboBox(TComponent* owner) : QComboBox(nullptr), TControl(this, owner) {
    setEditable(true);
    items_.OnChange = [this] { ItemsChanged(); };
    link_.OnDataChange = [this] { DataChange(); };
    connect(this, &QComboBox::currentTextChanged, this, &TDBComboBox::Edited);
}

void TDBComboBox::ItemsChanged() {
    {
        QScopedValueRollback updating(updating_, true);
        clear();
        for (int i = 0; i < items_.Count(); ++i)
            addItem(items_.Strings(i));
    }
    DataChange();
}

void TDBComboBox::DataChange() {
    if (writing_) return;
    QScopedValueRollback updating(updating_, true);
    TField* field = link_.Field();
    const QString text = field ? field->AsString() : QString();
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(index);
    if (index < 0) setEditText(text);
}

void TDBComboBox::Edited(const QString& text) {
    if (updating_) return;
    QScopedValueRollback writing(writing_, true);
    try {
        link_.Write(text);
    } catch (const EComponentError&) {
    }
}

TDBRadioGroup::TDBRadioGroup(TComponent* owner)
    : QGroupBox(nullptr), TControl(this, owner), layout_(new QVBoxLayout(this)) {
    items_.OnChange = [this] { ItemsChanged(); };
    values_.OnChange = [this] { DataChange(); };
    link_.OnDataChange = [this] { DataChange(); };
    connect(&group_, &QButtonGroup::idClicked, this, [this](int index) {
        bool written = false;
        try {
            written = link_.Write(ValueAt(index));
        } catch (const EComponentError&) {
        }
        if (!written) DataChange();
    });
}

QRadioButton* TDBRadioGroup::Button(int index) const {
    if (index < 0 || index >= static_cast<int>(buttons_.size())) return nullptr;
    return buttons_[static_cast<std::size_t>(index)];
}

QString TDBRadioGroup::ValueAt(int index) const {
    if (index < values_.Count() && !values_.Strings(index).isEmpty()) return values_.Strings(index);
    return items_.Strings(index);
}

void TDBRadioGroup::ItemsChanged() {
    for (QRadioButton* button : buttons_)
        delete button;
    buttons_.clear();
    for (int i = 0; i < items_.Count(); ++i) {
        auto* button = new QRadioButton(items_.Strings(i), this);
        layout_->addWidget(button);
        group_.addButton(button, i);
        buttons_.push_back(button);
    }
    DataChange();
}

void TDBRadioGroup::DataChange() {
    TField* field = link_.Field();
    int checked = -1;
    if (field && !field->IsNull()) {
        const QString value = field->AsString();
        for (int i = 0; i < items_.Count() && checked < 0; ++i) {
            if (ValueAt(i) == value) checked = i;
        }
    }
    // An exclusive group keeps one button checked; none may be.
    group_.setExclusive(false);
    for (int i = 0; i < static_cast<int>(buttons_.size()); ++i)
        buttons_[static_cast<std::size_t>(i)]->setChecked(i == checked);
    group_.setExclusive(true);
}
