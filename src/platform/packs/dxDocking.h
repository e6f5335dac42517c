#pragma once

#include "platform/packs/dxCore.h"

#include <QFrame>
#include <QPointer>

class QLabel;

// Gives its font to the panels it manages.
class TdxDockingManager : public TdxManager {
    Q_OBJECT
public:
    explicit TdxDockingManager(TComponent* owner);
};

// A panel with a title bar showing its Caption above the area where the controls placed on it
// are laid out.
class TdxDockPanel : public QFrame, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TdxDockPanel(TComponent* owner);
    ~TdxDockPanel() override;

    QString Caption() const override;
    void SetCaption(const QString& caption) override;

    TdxDockingManager* Manager() const { return manager_; }
    // The panel shows the manager's font from now on.
    void SetManager(TdxDockingManager* manager);

protected:
    void FontApplied() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceTitle();

    QLabel* title_;
    QPointer<TdxDockingManager> manager_;
};
