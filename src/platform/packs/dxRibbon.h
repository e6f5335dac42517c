#pragma once

// The ribbon: a row of tabs along the top of the form, and the backstage view, a column of tabs
// whose pages hold galleries of entries.

#include "platform/packs/TabPages.h"

#include <QListWidget>
#include <QPointer>

class TdxRibbonBackstageViewGalleryItem;

class TdxRibbon : public TCustomPageHost {
    Q_OBJECT
public:
    explicit TdxRibbon(TComponent* owner);
};

// A tab of the ribbon; its Caption is the tab's text. It has no hint of its own.
class TdxRibbonTab : public TCustomPage {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TdxRibbonTab(TComponent* owner) : TCustomPage(owner) {}

    TdxRibbon* Ribbon() const { return static_cast<TdxRibbon*>(Host()); }
    void SetRibbon(TdxRibbon* ribbon) { SetHost(ribbon); }
};

class TdxRibbonBackstageView : public TCustomPageHost {
    Q_OBJECT
public:
    explicit TdxRibbonBackstageView(TComponent* owner);
};

// A page of the backstage view, its Caption on its tab.
class TdxRibbonBackstageViewTabSheet : public TCustomPage {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    explicit TdxRibbonBackstageViewTabSheet(TComponent* owner) : TCustomPage(owner) {}

    TdxRibbonBackstageView* BackstageView() const { return static_cast<TdxRibbonBackstageView*>(Host()); }
    void SetBackstageView(TdxRibbonBackstageView* view) { SetHost(view); }
};

// A gallery placed on a backstage page: a list of entries to pick.
class TdxRibbonBackstageViewGalleryControl : public QListWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TdxRibbonBackstageViewGalleryControl(TComponent* owner);

    // Shows the item as the gallery's last entry (taking it from the gallery it was in).
    void AddItem(TdxRibbonBackstageViewGalleryItem* item);
    // The entry showing the item, or null.
    QListWidgetItem* EntryOf(const TdxRibbonBackstageViewGalleryItem* item) const;
};

// An entry of a gallery: Caption is its text, Hint its tooltip.
class TdxRibbonBackstageViewGalleryItem : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
public:
    explicit TdxRibbonBackstageViewGalleryItem(TComponent* owner);
    ~TdxRibbonBackstageViewGalleryItem() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);
    TdxRibbonBackstageViewGalleryControl* Gallery() const { return gallery_; }

private:
    friend class TdxRibbonBackstageViewGalleryControl;
    QListWidgetItem* Entry() const { return gallery_ ? gallery_->EntryOf(this) : nullptr; }

    QPointer<TdxRibbonBackstageViewGalleryControl> gallery_;
    QString caption_;
    QString hint_;
};
