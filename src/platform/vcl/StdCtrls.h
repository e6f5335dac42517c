#pragma once

#include "platform/vcl/Components.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

// A text that fits itself to its caption and font.
class TLabel : public QLabel, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TLabel(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override;

protected:
    void FontApplied() override;
};

// A push button. Enter pressed on its form clicks it when it is the Default button, as it clicks
// any button that has the focus.
class TButton : public QPushButton, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
public:
    explicit TButton(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    bool Default() const { return isDefault(); }
    void SetDefault(bool value) { setDefault(value); }
    void Click() { click(); }

    TNotifyEvent OnClick;

protected:
    bool DialogKey(int key) override;
};

class TCheckBox : public QCheckBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
public:
    explicit TCheckBox(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }
};
