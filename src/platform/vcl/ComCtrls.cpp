#include "platform/vcl/ComCtrls.h"

#include <QChildEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>

namespace {

EComponentError IndexError(int index) {
    return EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

// The tabs of a tab bar; the attached objects ride in the tabs' data. Changing them is no choice
// of the user's, so the bar announces no change meanwhile.
class TTabBarStrings : public TStrings {
public:
    explicit TTabBarStrings(QTabBar* bar) : bar_(bar) {}
    int Count() const override { return bar_->count(); }
    void Clear() override {
        const QSignalBlocker quiet(bar_);
        while (bar_->count() > 0)
            bar_->removeTab(bar_->count() - 1);
    }

protected:
    QString Get(int index) const override { return bar_->tabText(index); }
    QObject* GetObject(int index) const override { return bar_->tabData(index).value<QObject*>(); }
    void Put(int index, const QString& text) override { bar_->setTabText(index, text); }
    void PutObject(int index, QObject* object) override {
        bar_->setTabData(index, QVariant::fromValue(object));
    }
    void InsertItem(int index, const QString& text, QObject* object) override {
        const QSignalBlocker quiet(bar_);
        bar_->insertTab(index, text);
        bar_->setTabData(index, QVariant::fromValue(object));
    }
    void DeleteItem(int index) override {
        const QSignalBlocker quiet(bar_);
        bar_->removeTab(index);
    }

private:
    QTabBar* bar_;
};

} // namespace

TTabControl::TTabControl(TComponent* owner)
    : QTabBar(nullptr), TControl(this, owner), tabs_(std::make_unique<TTabBarStrings>(this)) {
    connect(this, &QTabBar::currentChanged, this, [this] {
        if (OnChange) OnChange(this);
    });
}

TTabControl::~TTabControl() = default;

void TTabControl::SetTabIndex(int index) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
}

void TListColumn::SetCaption(const QString& caption) {
    caption_ = caption;
    columns_->Show();
}

void TListColumn::SetWidth(int width) {
    width_ = width;
    columns_->Show();
}

int TListColumn::Index() const {
    return columns_->IndexOf(this);
}

TListColumns::TListColumns(QTreeWidget* view) : view_(view) {
    Show();
}

TListColumn* TListColumns::Items(int index) const {
    if (index < 0 || index >= Count()) throw IndexError(index);
    return columns_[static_cast<std::size_t>(index)].get();
}

TListColumn* TListColumns::Add() {
    columns_.push_back(std::unique_ptr<TListColumn>(new TListColumn(this)));
    Show();
    return columns_.back().get();
}

void TListColumns::Delete(int index) {
    if (index < 0 || index >= Count()) throw IndexError(index);
    columns_.erase(columns_.begin() + index);
    Show();
}

void TListColumns::Clear() {
    columns_.clear();
    Show();
}

int TListColumns::IndexOf(const TListColumn* column) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].get() == column) return static_cast<int>(i);
    }
    return -1;
}

void TListColumns::Show() {
    // A view has one column at least; without columns of its own its header is empty.
    const int n = Count();
    view_->setColumnCount(std::max(n, 1));
    QStringList captions;
    for (const auto& column : columns_)
        captions << column->caption_;
    if (captions.isEmpty()) captions << QString();
    view_->setHeaderLabels(captions);
    for (int i = 0; i < n; ++i) {
        const int width = columns_[static_cast<std::size_t>(i)]->width_;
        if (width >= 0)
            view_->setColumnWidth(i, width);
        else
            view_->resizeColumnToContents(i); // a negative width fits the contents
    }
}

TListItem::TListItem(QTreeWidgetItem* row) : row_(row) {
    subItems_.OnChange = [this] { ShowSubItems(); };
}

QString TListItem::Caption() const {
    return row_->text(0);
}

void TListItem::SetCaption(const QString& caption) {
    row_->setText(0, caption);
}

void TListItem::ShowSubItems() {
    const int n = subItems_.Count();
    for (int i = 0; i < std::max(n, shownSubItems_); ++i)
        row_->setText(i + 1, i < n ? subItems_.Strings(i) : QString());
    shownSubItems_ = n;
}

TListItem* TListItems::Item(int index) const {
    if (index < 0 || index >= Count()) throw IndexError(index);
    return items_[static_cast<std::size_t>(index)].get();
}

TListItem* TListItems::Add() {
    items_.push_back(std::unique_ptr<TListItem>(new TListItem(new QTreeWidgetItem(view_))));
    return items_.back().get();
}

void TListItems::Delete(int index) {
    if (index < 0 || index >= Count()) throw IndexError(index);
    delete items_[static_cast<std::size_t>(index)]->row_;
    items_.erase(items_.begin() + index);
}

void TListItems::Clear() {
    items_.clear();
    view_->clear();
}

TListView::TListView(TComponent* owner)
    : QTreeWidget(nullptr), TControl(this, owner), columns_(this), items_(this) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    header()->setStretchLastSection(false); // each column keeps its width
}

TPageControl::TPageControl(TComponent* owner) : QTabWidget(nullptr), TControl(this, owner) {
    connect(this, &QTabWidget::currentChanged, this, [this] {
        if (OnChange) OnChange(this);
    });
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= count()) throw IndexError(index);
    return qobject_cast<TTabSheet*>(widget(index));
}

TTabSheet* TPageControl::ActivePage() const {
    return qobject_cast<TTabSheet*>(currentWidget());
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (!page || page->PageControl() != this) return;
    const QSignalBlocker quiet(this);
    setCurrentWidget(page);
}

void TPageControl::SetActivePageIndex(int index) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
}

TTabSheet::TTabSheet(TComponent* owner) : QWidget(nullptr), TControl(this, owner) {}

void TTabSheet::SetCaption(const QString& caption) {
    TControl::SetCaption(caption);
    if (pageControl_) pageControl_->setTabText(PageIndex(), caption);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
    if (pageControl == pageControl_) return;
    if (pageControl_) {
        const QSignalBlocker quiet(pageControl_);
        pageControl_->removeTab(PageIndex());
    }
    pageControl_ = pageControl;
    // The control tree first, for the font; then the page control takes the widget into its pages.
    SetParent(pageControl);
    if (pageControl) {
        const QSignalBlocker quiet(pageControl);
        pageControl->addTab(this, Caption());
    }
}

int TTabSheet::PageIndex() const {
    return pageControl_ ? pageControl_->indexOf(const_cast<TTabSheet*>(this)) : -1;
}

void TTabSheet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AlignControls();
}

TToolBar::TToolBar(TComponent* owner) : QFrame(nullptr), TControl(this, owner) {
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(2, 2, 2, 2);
    row_->setSpacing(1);
    row_->addStretch(); // the controls keep to the start of the bar
    resize(width(), 29);
}

void TToolBar::childEvent(QChildEvent* event) {
    QFrame::childEvent(event);
    // Sent while the child may still be under construction: only its widget part can be relied on.
    if (event->added() && event->child()->isWidgetType() && row_)
        row_->insertWidget(row_->count() - 1, static_cast<QWidget*>(event->child()));
}

TToolButton::TToolButton(TComponent* owner) : QToolButton(nullptr), TControl(this, owner) {
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(this, &QToolButton::clicked, this, [this] {
        if (!link_.Execute() && OnClick) OnClick(this);
    });
}

void TToolButton::SetAction(TAction* action) {
    link_.SetAction(action, this, [this](const TAction& a) {
        setText(a.Caption());
        SetHint(a.Hint());
        setEnabled(a.Enabled());
    });
}
