#pragma once

#include "platform/vcl/StdCtrls.h"

#include <QColor>
#include <QLabel>
#include <QPushButton>

// A memo that shows its TextHint greyed while it holds no text.
class THintMemo : public TMemo {
    Q_OBJECT
    Q_PROPERTY(QString TextHint READ TextHint WRITE SetTextHint)
public:
    explicit THintMemo(TComponent* owner) : TMemo(owner) {}

    QString TextHint() const { return placeholderText(); }
    void SetTextHint(const QString& hint) { setPlaceholderText(hint); }
};

// A link: Caption is the text shown, and clicking it opens URL in the desktop's browser.
class TBrowseURL : public QLabel, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(QString URL READ URL WRITE SetURL)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TBrowseURL(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override;
    QString URL() const { return url_; }
    void SetURL(const QString& url) { url_ = url; }

protected:
    void FontApplied() override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString url_;
};

// A button showing a swatch of its colour beside its caption; clicking it lets the user choose
// another colour.
class TColorButton : public QPushButton, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TColorButton(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    // Runs when the user has chosen a colour.
    TNotifyEvent OnChange;

private:
    void ChooseColor();

    QColor color_ = Qt::black;
};
