#pragma once

// The second grid pack's controls: check box, radio button and radio group as the standard ones,
// and the non-visual locate and filter dialog components.

#include "platform/vcl/DB.h"
#include "platform/vcl/StdCtrls.h"

#include <QPointer>

class TwwCheckBox : public TCheckBox {
    Q_OBJECT
public:
    explicit TwwCheckBox(TComponent* owner) : TCheckBox(owner) {}
};

class TwwRadioButton : public TRadioButton {
    Q_OBJECT
public:
    explicit TwwRadioButton(TComponent* owner) : TRadioButton(owner) {}
};

class TwwRadioGroup : public TRadioGroup {
    Q_OBJECT
public:
    explicit TwwRadioGroup(TComponent* owner) : TRadioGroup(owner) {}
};

// A dialog over the data set of DataSource, opened on demand. Caption is the title of its window;
// it has no hint. Execute, which opens the window, comes with the dialogs themselves.
class TwwDataDialog : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption) { caption_ = caption; }
    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* dataSource) { dataSource_ = dataSource; }

protected:
    explicit TwwDataDialog(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {}

private:
    QString caption_;
    QPointer<TDataSource> dataSource_;
};


