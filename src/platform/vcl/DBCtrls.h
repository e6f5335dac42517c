#pragma once

// Data-aware controls: each shows one field of its data source's current record and follows the
// record as it moves or changes. Controls that edit put the data set into edit mode and write the
// field as the user changes them; posting is left to the data set or an action.

#include "platform/vcl/Components.h"
#include "platform/vcl/DB.h"
#include "platform/vcl/StdCtrls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <vector>

class QRadioButton;
class QVBoxLayout;

// Shows the field's value as text.
class TDBText : public QLabel, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TDBText(TComponent* owner);

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& fieldName) { link_.SetFieldName(fieldName); }
    TField* Field() const { return link_.Field(); }

private:
    void DataChange();

    TFieldDataLink link_;
};

// Edits the field as text; a text the field refuses is shown until editing ends, then the field's
// value again.
class TDBEdit : public QLineEdit, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TDBEdit(TComponent* owner);

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& fieldName) { link_.SetFieldName(fieldName); }
    TField* Field() const { return link_.Field(); }

private:
    void DataChange();
    void Edited(const QString& text);

    TFieldDataLink link_;
    bool writing_ = false;
};

// Checked while the (boolean) field is true; clicking writes true or false.
class TDBCheckBox : public QCheckBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TDBCheckBox(TComponent* owner);

    QString Caption() const override { return text(); }
    void SetCaption(const QString& caption) override { setText(caption); }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& fieldName) { link_.SetFieldName(fieldName); }
    TField* Field() const { return link_.Field(); }

private:
    void DataChange();

    TFieldDataLink link_;
};

// An editable combo box over Items: the field's text is shown, and choosing an entry or typing
// writes the field.
class TDBComboBox : public QComboBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
public:
    explicit TDBComboBox(TComponent* owner);

    TStrings* Items() { return &items_; }
    void SetItems(TStrings* items) { items_.Assign(*items); }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& fieldName) { link_.SetFieldName(fieldName); }
    TField* Field() const { return link_.Field(); }

private:
    void ItemsChanged();
    void DataChange();
    void Edited(const QString& text);

    TNotifyStringList items_;
    TFieldDataLink link_;
    bool updating_ = false;
    bool writing_ = false;
};

// A group of radio buttons, one per entry of Items. The checked one is the entry whose value
// equals the field's text, the value being the entry of Values at the same index when there is
// one, else the entry's own text (so translated entries keep their values); clicking one writes
// its value.
class TDBRadioGroup : public QGroupBox, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
public:
    explicit TDBRadioGroup(TComponent* owner);

    QString Caption() const override { return title(); }
    void SetCaption(const QString& caption) override { setTitle(caption); }
    TStrings* Items() { return &items_; }
    void SetItems(TStrings* items) { items_.Assign(*items); }
    TStrings* Values() { return &values_; }
    // The checked entry, -1 when none is.
    int ItemIndex() const { return group_.checkedId(); }
    QRadioButton* Button(int index) const; // null out of range
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& fieldName) { link_.SetFieldName(fieldName); }
    TField* Field() const { return link_.Field(); }

private:
    QString ValueAt(int index) const;
    void ItemsChanged();
    void DataChange();

    TNotifyStringList items_;
    TNotifyStringList values_;
    QButtonGroup group_;
    QVBoxLayout* layout_;
    std::vector<QRadioButton*> buttons_;
    TFieldDataLink link_;
};
