#include "platform/packs/dxRibbon.h"

TdxRibbon::TdxRibbon(TComponent* owner) : TCustomPageHost(owner) {
    setDocumentMode(true);
    resize(width(), 110);
    SetAlign(alTop);
}

TdxRibbonBackstageView::TdxRibbonBackstageView(TComponent* owner) : TCustomPageHost(owner) {
    setTabPosition(QTabWidget::West);
}

TdxRibbonBackstageViewGalleryControl::TdxRibbonBackstageViewGalleryControl(TComponent* owner)
    : QListWidget(nullptr), TControl(this, owner) {
    setSpacing(2);
}

void TdxRibbonBackstageViewGalleryControl::AddItem(TdxRibbonBackstageViewGalleryItem* item) {
    if (item->gallery_ == this) return;
    delete item->Entry();
    item->gallery_ = this;
    auto* entry = new QListWidgetItem(item->Caption(), this);
    entry->setToolTip(item->Hint());
    entry->setData(Qt::UserRole, QVariant::fromValue(static_cast<QObject*>(item)));
}

QListWidgetItem*
TdxRibbonBackstageViewGalleryControl::EntryOf(const TdxRibbonBackstageViewGalleryItem* item) const {
    for (int row = 0; row < count(); ++row) {
        if (this->item(row)->data(Qt::UserRole).value<QObject*>() == item) return this->item(row);
    }
    return nullptr;
}

TdxRibbonBackstageViewGalleryItem::TdxRibbonBackstageViewGalleryItem(TComponent* owner)
    : QObject(nullptr), TComponent(this, owner) {}

TdxRibbonBackstageViewGalleryItem::~TdxRibbonBackstageViewGalleryItem() {
    delete Entry();
}

void TdxRibbonBackstageViewGalleryItem::SetCaption(const QString& caption) {
    caption_ = caption;
    if (QListWidgetItem* entry = Entry()) entry->setText(caption);
}

void TdxRibbonBackstageViewGalleryItem::SetHint(const QString& hint) {
    hint_ = hint;
    if (QListWidgetItem* entry = Entry()) entry->setToolTip(hint);
}
