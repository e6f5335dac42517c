#pragma once

#include "platform/vcl/Components.h"

#include <QFrame>
#include <QImage>
#include <QWidget>

#include <functional>

// A raised panel that shows its caption in the middle and lays out the controls on it.
class TPanel : public QFrame, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TPanel(TComponent* owner);

    void SetCaption(const QString& caption) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// The picture of an image control.
class TPicture {
public:
    // The file's kind follows from its extension. Throws EComponentError when the extension names
    // no known kind or the file cannot be read as one; the picture is then unchanged.
    void LoadFromFile(const QString& fileName);
    const QImage& Image() const { return image_; }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

    std::function<void()> OnChange;

private:
    QImage image_;
};

// Shows its picture, stretched to its bounds when Stretch is set. With AutoSize it takes the
// picture's size, except the side its alignment fixes: aligned to the top, it takes the height.
class TImage : public QWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
public:
    explicit TImage(TComponent* owner);

    TPicture* Picture() { return &picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PictureChanged();

    TPicture picture_;
    bool stretch_ = false;
    bool autoSize_ = false;
};
