#pragma once

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"

#include <QToolButton>

enum TBitBtnKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};

// A push button with a picture beside its caption: its own Glyph, or the standard icon of its
// Kind. A Kind also gives an empty caption its standard text; OK and Yes make it the Default.
class TBitBtn : public TButton {
    Q_OBJECT
public:
    explicit TBitBtn(TComponent* owner);

    TPicture* Glyph() { return &glyph_; }
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind);

private:
    void ShowPicture();

    TPicture glyph_;
    TBitBtnKind kind_ = bkCustom;
};

// A flat button, as on tool bars. With a GroupIndex other than 0 it stays Down when clicked, and
// puts up the other speed buttons of the same group on the same parent; the one down stays down
// when clicked again unless AllowAllUp.
class TSpeedButton : public QToolButton, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
public:
    explicit TSpeedButton(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    TPicture* Glyph() { return &glyph_; }
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    // Only a button of a group can be down.
    bool Down() const { return isChecked(); }
    void SetDown(bool down);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow) { allowAllUp_ = allow; }
    TAction* Action() const { return link_.Action(); }
    void SetAction(TAction* action);
    void Click() { click(); }

    TNotifyEvent OnClick;

private:
    void Clicked();
    void PutUpOthers();

    TPicture glyph_;
    TActionLink link_;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
};
