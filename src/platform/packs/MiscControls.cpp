#include "platform/packs/MiscControls.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

TBrowseURL::TBrowseURL(TComponent* owner) : QLabel(nullptr), TControl(this, owner) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    QFont font = this->font();
    font.setUnderline(true);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    setPalette(palette);
}

void TBrowseURL::SetCaption(const QString& caption) {
    setText(caption);
    FontApplied();
}

void TBrowseURL::FontApplied() {
    if (Align() == alNone) adjustSize();
}

void TBrowseURL::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    if (!url_.isEmpty()) QDesktopServices::openUrl(QUrl::fromUserInput(url_));
}

TColorButton::TColorButton(TComponent* owner) : QPushButton(nullptr), TControl(this, owner) {
    SetColor(color_);
    connect(this, &QPushButton::clicked, this, &TColorButton::ChooseColor);
}

void TColorButton::SetColor(const QColor& color) {
    color_ = color;
    QPixmap swatch(iconSize());
    swatch.fill(color_);
    setIcon(QIcon(swatch));
}

void TColorButton::ChooseColor() {
    const QColor color = QColorDialog::getColor(color_, this, text());
    if (!color.isValid()) return; // cancelled
    SetColor(color);
    if (OnChange) OnChange(this);
}
