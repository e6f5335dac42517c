#include "platform/packs/dxDocking.h"

#include <QLabel>

TdxDockingManager::TdxDockingManager(TComponent* owner) : TdxManager(owner) {}

TdxDockPanel::TdxDockPanel(TComponent* owner)
    : QFrame(nullptr), TControl(this, owner), title_(new QLabel(this)) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    title_->setTextFormat(Qt::PlainText);
    title_->setAutoFillBackground(true);
    title_->setBackgroundRole(QPalette::Highlight);
    title_->setForegroundRole(QPalette::HighlightedText);
    title_->setContentsMargins(4, 2, 4, 2);
    PlaceTitle();
}

TdxDockPanel::~TdxDockPanel() {
    if (manager_) manager_->RemoveClient(this);
}

QString TdxDockPanel::Caption() const {
    return title_->text();
}

void TdxDockPanel::SetCaption(const QString& caption) {
    title_->setText(caption);
}

void TdxDockPanel::SetManager(TdxDockingManager* manager) {
    if (manager == manager_) return;
    if (manager_) manager_->RemoveClient(this);
    manager_ = manager;
    if (manager_) manager_->AddClient(this);
}

void TdxDockPanel::FontApplied() {
    PlaceTitle();
}

void TdxDockPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    PlaceTitle();
}

// The title bar takes the top of the panel; the margin it leaves keeps aligned controls below it.
void TdxDockPanel::PlaceTitle() {
    const int frame = frameWidth();
    const int height = title_->sizeHint().height();
    title_->setGeometry(frame, frame, width() - 2 * frame, height);
    setContentsMargins(0, height, 0, 0);
    AlignControls();
}
