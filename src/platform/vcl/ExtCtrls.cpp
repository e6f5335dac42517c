#include "platform/vcl/ExtCtrls.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

TPanel::TPanel(TComponent* owner) : QFrame(nullptr), TControl(this, owner) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
}

void TPanel::SetCaption(const QString& caption) {
    TControl::SetCaption(caption);
    update();
}

void TPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawText(contentsRect(), Qt::AlignCenter, Caption());
}

void TPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    AlignControls();
}

void TPicture::LoadFromFile(const QString& fileName) {
    const QByteArray kind = QFileInfo(fileName).suffix().toLower().toLatin1();
    if (kind.isEmpty() || !QImageReader::supportedImageFormats().contains(kind))
        throw EComponentError(
            QStringLiteral("Unknown picture file extension (.%1)").arg(QString::fromLatin1(kind)));
    QImageReader reader(fileName, kind);
    QImage image = reader.read();
    if (image.isNull()) throw EComponentError(QStringLiteral("%1: %2").arg(fileName, reader.errorString()));
    image_ = std::move(image);
    if (OnChange) OnChange();
}

TImage::TImage(TComponent* owner) : QWidget(nullptr), TControl(this, owner) {
    picture_.OnChange = [this] { PictureChanged(); };
}

void TImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    update();
}

void TImage::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    PictureChanged();
}

void TImage::PictureChanged() {
    if (autoSize_ && !picture_.Image().isNull()) {
        const bool keepWidth = Align() == alTop || Align() == alBottom || Align() == alClient;
        const bool keepHeight = Align() == alLeft || Align() == alRight || Align() == alClient;
        SetBounds(Left(), Top(), keepWidth ? Width() : picture_.Width(),
                  keepHeight ? Height() : picture_.Height());
    }
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.Image().isNull()) return;
    QPainter painter(this);
    if (stretch_)
        painter.drawImage(rect(), picture_.Image());
    else
        painter.drawImage(0, 0, picture_.Image());
}
