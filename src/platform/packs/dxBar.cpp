#include "platform/packs/dxBar.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>

#include <limits>

namespace {

// Each view of an item has its own editor; a value set through one is shown by all.
template <class Editor, class Show> void ForEachEditor(const QList<QWidget*>& views, Show show) {
    for (QWidget* view : views) {
        if (auto* editor = view->findChild<Editor*>()) show(editor);
    }
}

QToolButton* ItemButton(QWidget* parent, QAction* action) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(action->icon());
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
    return button;
}

} // namespace

TdxBarManager::TdxBarManager(TComponent* owner) : TdxManager(owner) {}

TdxBar::TdxBar(TComponent* owner) : QToolBar(nullptr), TControl(this, owner), title_(new QLabel) {
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    title_->setTextFormat(Qt::PlainText);
    titleAction_ = addWidget(title_);
    titleAction_->setVisible(false); // until there is a caption
    SetAlign(alTop);
    Fit();
}

TdxBar::~TdxBar() {
    if (manager_) manager_->RemoveClient(this);
}

void TdxBar::SetCaption(const QString& caption) {
    setWindowTitle(caption);
    title_->setText(caption);
    titleAction_->setVisible(!caption.isEmpty());
    Fit();
}

void TdxBar::SetBarManager(TdxBarManager* manager) {
    if (manager == manager_) return;
    if (manager_) manager_->RemoveClient(this);
    manager_ = manager;
    if (manager_) manager_->AddClient(this);
    Fit();
}

void TdxBar::AddItem(TdxBarItem* item) {
    addAction(item);
    Fit();
}

int TdxBar::ItemCount() const {
    int count = 0;
    for (QAction* action : actions())
        count += qobject_cast<TdxBarItem*>(action) ? 1 : 0;
    return count;
}

TdxBarItem* TdxBar::Items(int index) const {
    int k = 0;
    for (QAction* action : actions()) {
        auto* item = qobject_cast<TdxBarItem*>(action);
        if (item && k++ == index) return item;
    }
    throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

// The bar is as high as its tallest item in its font.
void TdxBar::Fit() {
    SetBounds(Left(), Top(), Width(), sizeHint().height());
}

TdxBarItem::TdxBarItem(TComponent* owner) : QWidgetAction(nullptr), TComponent(this, owner) {
    connect(this, &QAction::triggered, this, [this] {
        if (OnClick) OnClick(this);
    });
    connect(this, &QAction::changed, this, [this] {
        for (QWidget* view : createdWidgets())
            Refresh(view);
    });
}

void TdxBarItem::SetHint(const QString& hint) {
    hint_ = hint;
    setToolTip(hint);
}

QWidget* TdxBarItem::createWidget(QWidget*) {
    return nullptr;
}

void TdxBarItem::Refresh(QWidget* view) {
    view->setToolTip(toolTip());
    view->setEnabled(isEnabled());
    if (auto* button = qobject_cast<QToolButton*>(view)) button->setText(text());
    if (auto* caption = view->findChild<QLabel*>(QStringLiteral("caption"), Qt::FindDirectChildrenOnly))
        caption->setText(text());
}

QWidget* TdxBarItem::CaptionedView(QWidget* parent, QWidget* editor) {
    auto* view = new QWidget(parent);
    auto* row = new QHBoxLayout(view);
    row->setContentsMargins(2, 0, 2, 0);
    auto* caption = new QLabel(view);
    caption->setObjectName(QStringLiteral("caption"));
    caption->setBuddy(editor); // an & in the caption jumps to the editor
    row->addWidget(caption);
    row->addWidget(editor);
    Refresh(view);
    return view;
}

QWidget* TdxBarLargeButton::createWidget(QWidget* parent) {
    if (qobject_cast<QMenu*>(parent)) return nullptr;
    QToolButton* button = ItemButton(parent, this);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(32, 32));
    button->setMinimumSize(56, 56);
    Refresh(button);
    return button;
}

TdxBarSubItem::TdxBarSubItem(TComponent* owner) : TdxBarItem(owner), menu_(std::make_unique<QMenu>()) {
    setMenu(menu_.get()); // a menu shows the item as a submenu
}

TdxBarSubItem::~TdxBarSubItem() {
    setMenu(static_cast<QMenu*>(nullptr));
}

void TdxBarSubItem::AddItem(TdxBarItem* item) {
    menu_->addAction(item);
}

QWidget* TdxBarSubItem::createWidget(QWidget* parent) {
    if (qobject_cast<QMenu*>(parent)) return nullptr;
    QToolButton* button = ItemButton(parent, this);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setMenu(menu_.get());
    Refresh(button);
    return button;
}

QWidget* TdxBarStatic::createWidget(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(4, 0, 4, 0);
    Refresh(label);
    return label;
}

void TdxBarStatic::Refresh(QWidget* view) {
    TdxBarItem::Refresh(view);
    static_cast<QLabel*>(view)->setText(text());
}

void TdxBarEdit::SetText(const QString& text) {
    text_ = text;
    ForEachEditor<QLineEdit>(createdWidgets(), [&](QLineEdit* edit) {
        if (edit->text() != text) edit->setText(text);
    });
}

QWidget* TdxBarEdit::createWidget(QWidget* parent) {
    auto* edit = new QLineEdit(text_);
    connect(edit, &QLineEdit::textEdited, this, &TdxBarEdit::SetText);
    return CaptionedView(parent, edit);
}

void TdxBarDateCombo::SetDate(const QDate& date) {
    date_ = date;
    ForEachEditor<QDateEdit>(createdWidgets(), [&](QDateEdit* edit) {
        if (edit->date() != date) edit->setDate(date);
    });
}

QWidget* TdxBarDateCombo::createWidget(QWidget* parent) {
    auto* edit = new QDateEdit(date_);
    edit->setCalendarPopup(true);
    connect(edit, &QDateEdit::dateChanged, this, &TdxBarDateCombo::SetDate);
    return CaptionedView(parent, edit);
}

void TdxBarSpinEdit::SetValue(int value) {
    value_ = value;
    ForEachEditor<QSpinBox>(createdWidgets(), [&](QSpinBox* spin) {
        if (spin->value() != value) spin->setValue(value);
    });
}

QWidget* TdxBarSpinEdit::createWidget(QWidget* parent) {
    auto* spin = new QSpinBox;
    spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    spin->setValue(value_);
    connect(spin, &QSpinBox::valueChanged, this, &TdxBarSpinEdit::SetValue);
    return CaptionedView(parent, spin);
}

void TcxBarEditItem::SetEditValue(const QString& value) {
    value_ = value;
    ForEachEditor<QLineEdit>(createdWidgets(), [&](QLineEdit* edit) {
        if (edit->text() != value) edit->setText(value);
    });
}

QWidget* TcxBarEditItem::createWidget(QWidget* parent) {
    auto* edit = new QLineEdit(value_);
    edit->setClearButtonEnabled(true);
    connect(edit, &QLineEdit::textEdited, this, &TcxBarEditItem::SetEditValue);
    return CaptionedView(parent, edit);
}
