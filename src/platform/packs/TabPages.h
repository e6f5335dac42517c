#pragma once

#include "platform/vcl/Components.h"

#include <QTabWidget>
#include <QWidget>

class TCustomPage;

// A control of pages under tabs, one page shown at a time.
class TCustomPageHost : public QTabWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    int PageCount() const { return count(); }
    TCustomPage* Pages(int index) const; // throws EComponentError out of range

protected:
    explicit TCustomPageHost(TComponent* owner);
};

// A page of a page host: its Caption is the text of its tab and its Hint the tooltip of the page
// and its tab. Owned like any control, it joins a host through the setter of its own class;
// controls placed on it show on the page.
class TCustomPage : public QWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    void SetCaption(const QString& caption) override;
    int PageIndex() const; // -1 when on no host

protected:
    explicit TCustomPage(TComponent* owner);

    TCustomPageHost* Host() const { return host_; }
    // Leaves the host it was on; null shows it on none.
    void SetHost(TCustomPageHost* host);

    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TCustomPageHost* host_ = nullptr;
};
