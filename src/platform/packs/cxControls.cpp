#include "platform/packs/cxControls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStylePainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

EComponentError IndexError(int index) {
    return EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

template <class List> int IndexIn(const List& list, const void* item) {
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == item; });
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

} // namespace

TcxLabel::TcxLabel(TComponent* owner) : QLabel(nullptr), TControl(this, owner) {
    setTextFormat(Qt::PlainText);
}

void TcxLabel::SetCaption(const QString& caption) {
    setText(caption);
    FontApplied();
}

void TcxLabel::FontApplied() {
    if (Align() == alNone) adjustSize();
}

TcxButton::TcxButton(TComponent* owner) : QPushButton(nullptr), TControl(this, owner) {
    connect(this, &QPushButton::clicked, this, [this] {
        if (OnClick) OnClick(this);
    });
}

void TcxGroupItem::SetCaption(const QString& caption) {
    caption_ = caption;
    items_->box_->ItemChanged(Index());
}

int TcxGroupItem::Index() const {
    return IndexIn(items_->items_, this);
}

TcxGroupItem* TcxGroupItems::Items(int index) const {
    if (index < 0 || index >= Count()) throw IndexError(index);
    return items_[static_cast<std::size_t>(index)].get();
}

TcxGroupItem* TcxGroupItems::Add() {
    items_.push_back(std::unique_ptr<TcxGroupItem>(new TcxGroupItem(this)));
    box_->ItemInserted(Count() - 1);
    return items_.back().get();
}

void TcxGroupItems::Delete(int index) {
    if (index < 0 || index >= Count()) throw IndexError(index);
    items_.erase(items_.begin() + index);
    box_->ItemDeleted(index);
}

void TcxGroupItems::Clear() {
    while (Count() > 0)
        Delete(Count() - 1);
}

TcxCustomGroupBox::TcxCustomGroupBox(TComponent* owner)
    : QGroupBox(nullptr), TControl(this, owner), properties_(this), layout_(new QVBoxLayout(this)) {
    layout_->addStretch(); // the buttons keep to the top of the frame
}

QAbstractButton* TcxCustomGroupBox::Buttons(int index) const {
    if (index < 0 || index >= static_cast<int>(buttons_.size())) return nullptr;
    return buttons_[static_cast<std::size_t>(index)];
}

void TcxCustomGroupBox::ItemInserted(int index) {
    QAbstractButton* button = CreateButton();
    layout_->insertWidget(index, button);
    buttons_.insert(buttons_.begin() + index, button);
    ItemChanged(index);
}

void TcxCustomGroupBox::ItemDeleted(int index) {
    delete buttons_[static_cast<std::size_t>(index)];
    buttons_.erase(buttons_.begin() + index);
}

void TcxCustomGroupBox::ItemChanged(int index) {
    buttons_[static_cast<std::size_t>(index)]->setText(properties_.Items()->Items(index)->Caption());
}

TcxRadioGroup::TcxRadioGroup(TComponent* owner) : TcxCustomGroupBox(owner) {}

int TcxRadioGroup::ItemIndex() const {
    for (int index = 0; QAbstractButton* button = Buttons(index); ++index) {
        if (button->isChecked()) return index;
    }
    return -1;
}

void TcxRadioGroup::SetItemIndex(int index) {
    if (QAbstractButton* button = Buttons(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; clearing all needs it lifted for a moment.
    group_.setExclusive(false);
    for (int k = 0; QAbstractButton* button = Buttons(k); ++k)
        button->setChecked(false);
    group_.setExclusive(true);
}

QAbstractButton* TcxRadioGroup::CreateButton() {
    auto* button = new QRadioButton(this);
    group_.addButton(button);
    return button;
}

QAbstractButton* TcxCheckGroup::CreateButton() {
    return new QCheckBox(this);
}

QString TcxCheckComboBoxItem::Description() const {
    return items_->box_->itemText(Index());
}

void TcxCheckComboBoxItem::SetDescription(const QString& description) {
    items_->box_->setItemText(Index(), description);
    items_->box_->update();
}

bool TcxCheckComboBoxItem::Checked() const {
    return items_->box_->itemData(Index(), Qt::CheckStateRole).toInt() == Qt::Checked;
}

void TcxCheckComboBoxItem::SetChecked(bool checked) {
    items_->box_->setItemData(Index(), checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    items_->box_->update();
}

int TcxCheckComboBoxItem::Index() const {
    return IndexIn(items_->items_, this);
}

TcxCheckComboBoxItem* TcxCheckComboBoxItems::Items(int index) const {
    if (index < 0 || index >= Count()) throw IndexError(index);
    return items_[static_cast<std::size_t>(index)].get();
}

TcxCheckComboBoxItem* TcxCheckComboBoxItems::Add() {
    items_.push_back(std::unique_ptr<TcxCheckComboBoxItem>(new TcxCheckComboBoxItem(this)));
    box_->addItem(QString());
    const int row = box_->count() - 1;
    if (auto* model = qobject_cast<QStandardItemModel*>(box_->model())) model->item(row)->setCheckable(true);
    box_->setItemData(row, Qt::Unchecked, Qt::CheckStateRole);
    return items_.back().get();
}

void TcxCheckComboBoxItems::Delete(int index) {
    if (index < 0 || index >= Count()) throw IndexError(index);
    items_.erase(items_.begin() + index);
    box_->removeItem(index);
    box_->update();
}

void TcxCheckComboBoxItems::Clear() {
    items_.clear();
    box_->clear();
    box_->update();
}

TcxCheckComboBox::TcxCheckComboBox(TComponent* owner)
    : QComboBox(nullptr), TControl(this, owner), properties_(this) {
    view()->viewport()->installEventFilter(this);
}

QString TcxCheckComboBox::Text() const {
    QStringList checked;
    for (int row = 0; row < count(); ++row) {
        if (itemData(row, Qt::CheckStateRole).toInt() == Qt::Checked) checked << itemText(row);
    }
    return checked.join(QStringLiteral("; "));
}

bool TcxCheckComboBox::eventFilter(QObject* watched, QEvent* event) {
    // A click in the open list checks or clears the entry instead of choosing it and closing.
    if (watched == view()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const QModelIndex index = view()->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (index.isValid()) {
            const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            properties_.Items()->Items(index.row())->SetChecked(!checked);
        }
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

void TcxCheckComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = Text();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
