#pragma once

// Data held in memory: a data set of records with typed fields, the data source that data-aware
// controls read it through, and a table model for grids.
//
// A field is a component of its own (a form owns it, as the designer made it) that belongs to one
// data set and reads and writes the value of that set's current record:
//
//     auto* ID = new TIntegerField(form);
//     ID->SetFieldName("ID");
//     ID->SetDataSet(Customers);
//     Customers->Open();
//     Customers->AppendRecord({1});

#include "platform/vcl/Components.h"

#include <QAbstractTableModel>
#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class TDataSet;
class TDataSource;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

enum TLocateOption { loCaseInsensitive = 0x1, loPartialKey = 0x2 };
Q_DECLARE_FLAGS(TLocateOptions, TLocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TLocateOptions)

// A field without a type of its own keeps any value as given. The typed fields below check and
// convert what they are given and throw EComponentError, naming the field, for what they cannot
// hold; an empty or null value makes any of them null, and an empty text a non-text field null.
class TField : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString DisplayLabel READ DisplayLabel WRITE SetDisplayLabel)
public:
    explicit TField(TComponent* owner);
    ~TField() override;

    QString FieldName() const { return fieldName_; }
    // Throws EComponentError when the data set already has a field of that name.
    void SetFieldName(const QString& fieldName);
    // The column title; the field name until a label is set.
    QString DisplayLabel() const { return displayLabelSet_ ? displayLabel_ : fieldName_; }
    void SetDisplayLabel(const QString& displayLabel);
    // In characters; each kind of field has its own default.
    int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : DefaultWidth(); }
    void SetDisplayWidth(int displayWidth);
    // Hidden fields keep their values but get no column.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    TDataSet* DataSet() const { return dataSet_; }
    // Joins the field to the end of the set's fields (leaving the one it was in); only while the
    // set is closed. Null leaves it.
    void SetDataSet(TDataSet* dataSet);
    // The field's position among its data set's fields, -1 without one.
    int Index() const;

    // The value in the current record (null when there is none). Writing needs the data set in
    // edit or insert mode.
    QVariant Value() const;
    void SetValue(const QVariant& value);
    QString AsString() const { return Text(Value()); }
    void SetAsString(const QString& text) { SetValue(text); }
    bool IsNull() const { return Value().isNull(); }
    void Clear() { SetValue(QVariant()); }

    // A value as this field holds it; throws EComponentError for one it cannot hold.
    virtual QVariant Convert(const QVariant& value) const;
    // A held value as text, as AsString gives it; null is empty.
    virtual QString Text(const QVariant& value) const;
    virtual Qt::Alignment Alignment() const { return Qt::AlignLeft; }

protected:
    virtual int DefaultWidth() const { return 10; }
    EComponentError ValueError(const QVariant& value, const QString& kind) const;
    // Null, or a text of nothing but blanks: what a field that does not hold text takes as null.
    static bool IsBlank(const QVariant& value);
    // Null stays null; throws for a value that has no text.
    QString ToText(const QVariant& value) const;

private:
    friend class TDataSet;

    TDataSet* dataSet_ = nullptr;
    QString fieldName_;
    QString displayLabel_;
    bool displayLabelSet_ = false;
    int displayWidth_ = 0;
    bool visible_ = true;
};

// Whole numbers in a range; Value is an int.
class TIntegerField : public TField {
    Q_OBJECT
public:
    explicit TIntegerField(TComponent* owner) : TIntegerField(owner, INT32_MIN, INT32_MAX) {}
    QVariant Convert(const QVariant& value) const override;
    Qt::Alignment Alignment() const override { return Qt::AlignRight; }

protected:
    TIntegerField(TComponent* owner, qint64 min, qint64 max) : TField(owner), min_(min), max_(max) {}
    int DefaultWidth() const override { return 11; }

private:
    qint64 min_;
    qint64 max_;
};

class TSmallintField : public TIntegerField {
    Q_OBJECT
public:
    explicit TSmallintField(TComponent* owner) : TIntegerField(owner, -32768, 32767) {}

protected:
    int DefaultWidth() const override { return 6; }
};

class TWordField : public TIntegerField {
    Q_OBJECT
public:
    explicit TWordField(TComponent* owner) : TIntegerField(owner, 0, 65535) {}

protected:
    int DefaultWidth() const override { return 5; }
};

// Posting a new record with no value numbers it one past the highest number in the set.
class TAutoIncField : public TIntegerField {
    Q_OBJECT
public:
    explicit TAutoIncField(TComponent* owner) : TIntegerField(owner) {}
};

// 64-bit whole numbers; Value is a qlonglong.
class TLargeIntField : public TField {
    Q_OBJECT
public:
    explicit TLargeIntField(TComponent* owner) : TField(owner) {}
    QVariant Convert(const QVariant& value) const override;
    Qt::Alignment Alignment() const override { return Qt::AlignRight; }

protected:
    int DefaultWidth() const override { return 15; }
};

class TFloatField : public TField {
    Q_OBJECT
public:
    explicit TFloatField(TComponent* owner) : TField(owner) {}
    QVariant Convert(const QVariant& value) const override;
    QString Text(const QVariant& value) const override;
    Qt::Alignment Alignment() const override { return Qt::AlignRight; }
};

// Money: kept to four decimals, shown with two.
class TCurrencyField : public TFloatField {
    Q_OBJECT
public:
    explicit TCurrencyField(TComponent* owner) : TFloatField(owner) {}
    QVariant Convert(const QVariant& value) const override;
    QString Text(const QVariant& value) const override;
};

// A decimal kept to Size decimals (4 unless set), shown without trailing zeros.
class TBCDField : public TField {
    Q_OBJECT
public:
    explicit TBCDField(TComponent* owner) : TField(owner) {}
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }
    QVariant Convert(const QVariant& value) const override;
    QString Text(const QVariant& value) const override;
    Qt::Alignment Alignment() const override { return Qt::AlignRight; }

private:
    int size_ = 4;
};

// Takes booleans, numbers (zero is false) and the texts True/False, Yes/No, 1/0 in any case;
// shows True or False.
class TBooleanField : public TField {
    Q_OBJECT
public:
    explicit TBooleanField(TComponent* owner) : TField(owner) {}
    QVariant Convert(const QVariant& value) const override;
    QString Text(const QVariant& value) const override;

protected:
    int DefaultWidth() const override { return 5; }
};

// Takes dates and times and their ISO texts; shows yyyy-MM-dd, with hh:mm:ss unless midnight.
class TDateTimeField : public TField {
    Q_OBJECT
public:
    explicit TDateTimeField(TComponent* owner) : TField(owner) {}
    QVariant Convert(const QVariant& value) const override;
    QString Text(const QVariant& value) const override;

protected:
    int DefaultWidth() const override { return 19; }
};

// Text cut to Size characters (20 unless set).
class TStringField : public TField {
    Q_OBJECT
public:
    explicit TStringField(TComponent* owner) : TField(owner) {}
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }
    QVariant Convert(const QVariant& value) const override;

protected:
    int DefaultWidth() const override { return size_; }

private:
    int size_ = 20;
};

class TWideStringField : public TStringField {
    Q_OBJECT
public:
    explicit TWideStringField(TComponent* owner) : TStringField(owner) {}
};

// Text of any length.
class TWideMemoField : public TField {
    Q_OBJECT
public:
    explicit TWideMemoField(TComponent* owner) : TField(owner) {}
    QVariant Convert(const QVariant& value) const override;
};

// Records held in memory, with a current record among the visible ones (those the filter lets
// through). RecNo counts visible records from 1. Moving to another record, filtering, searching
// and closing first post (or, closing, cancel) a record being edited.
class TDataSet : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool Filtered READ Filtered WRITE SetFiltered)
public:
    using TFilter = std::function<bool(TDataSet&)>;

    explicit TDataSet(TComponent* owner);
    ~TDataSet() override;

    // The records stay while the set is closed; a closed set shows none.
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return state_; }

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField* Fields(int index) const; // throws EComponentError out of range
    // Names are compared without case.
    TField* FindField(const QString& fieldName) const;
    TField* FieldByName(const QString& fieldName) const; // throws EComponentError naming it

    // Each of these throws EComponentError while the set is closed.
    void First();
    void Last();
    void Next();  // at the last record sets Eof and stays
    void Prior(); // at the first record sets Bof and stays
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const { return visible_.empty(); }
    int RecordCount() const { return static_cast<int>(visible_.size()); }
    int RecNo() const { return current_ + 1; } // 0 when there is no record
    void SetRecNo(int recNo);                  // throws EComponentError out of range

    // A new empty record before the current one (Insert) or at the end (Append), in dsInsert.
    void Insert();
    void Append();
    // dsEdit on the current record; on an empty set it appends instead.
    void Edit();
    // Keeps the record; throws EComponentError unless editing or inserting. A posted record the
    // filter does not let through leaves the visible ones.
    void Post();
    // Drops the changes, or the new record; nothing when not editing.
    void Cancel();
    // Removes the current record (a new one is just dropped); throws EComponentError when empty.
    void Delete();
    // Appends and posts a record of these values, field by field; nothing is added when a value
    // is refused or there are more values than fields.
    void AppendRecord(const QVariantList& values);
    // Removes every record.
    void EmptyDataSet();

    // The filter is called with each candidate record current, and only the records it accepts
    // are visible while Filtered is on. Changing either keeps the current record when it stays
    // visible, else goes to the first.
    void SetFilter(TFilter filter);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool filtered);

    // Goes to the first visible record whose field matches value: without options, the value as
    // the field would hold it (so "7" finds 7); with options, the field's text, without case for
    // loCaseInsensitive and at its beginning for loPartialKey. A null value finds a null. False,
    // and no move, when none matches.
    bool Locate(const QString& fieldName, const QVariant& value, TLocateOptions options = {});
    // Goes to the first visible record from fromRecNo on that predicate accepts (called with the
    // candidate current) and returns its RecNo; 0, and no move, when none does.
    int FindRecord(int fromRecNo, const TFilter& predicate);

    // A field's value in visible record recNo, without moving there.
    QVariant FieldValue(int recNo, const TField* field) const; // throws EComponentError out of range

signals:
    // Records were added or removed, the filter changed, the set opened or closed, or its fields
    // changed (names, labels, visibility).
    void DataChanged();
    // A value of visible record recNo changed.
    void RecordChanged(int recNo);
    // The current record is another one.
    void CurrentChanged();
    void StateChanged();

private:
    friend class TField;
    using TRecord = std::vector<QVariant>;

    void AddField(TField* field);
    void RemoveField(TField* field);
    void FieldsChanged() { emit DataChanged(); }
    const TRecord* ActiveRecord() const;
    void WriteValue(const TField* field, const QVariant& value);

    void CheckActive() const;
    void CheckBrowseMode();
    EComponentError Error(const QString& message) const;
    void SetState(TDataSetState state);
    void MoveTo(int index);
    void BeginInsert(bool atEnd);
    bool Accepts(const TRecord* record);
    // The visible records again after the filter or a record changed; keeps the current one
    // where it can.
    void Refilter();
    void RemoveRecord(const TRecord* record);

    std::vector<TField*> fields_;
    std::vector<std::unique_ptr<TRecord>> records_; // in their order
    std::vector<TRecord*> visible_;
    int current_ = -1; // index into visible_
    bool bof_ = true;
    bool eof_ = true;
    TDataSetState state_ = dsInactive;
    TRecord backup_;                     // the record as it was before Edit
    TRecord* beforeInsert_ = nullptr;    // the current record before Insert or Append
    const TRecord* candidate_ = nullptr; // the record a filter or search is looking at
    TFilter filter_;
    bool filtered_ = false;
};

// What data-aware controls show: a data set, or none.
class TDataSource : public QObject, public TComponent {
    Q_OBJECT
public:
    explicit TDataSource(TComponent* owner);

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    // The data set's state; dsInactive without one.
    TDataSetState State() const { return dataSet_ ? dataSet_->State() : dsInactive; }

signals:
    // The data set's signals, passed on; DataChanged and StateChanged also when the data set is
    // replaced or destroyed.
    void DataChanged();
    void RecordChanged(int recNo);
    void CurrentChanged();
    void StateChanged();

private:
    QPointer<TDataSet> dataSet_;
    std::vector<QMetaObject::Connection> connections_;
};

// Ties a data-aware control to one field of a data source. OnDataChange runs whenever what the
// control shows may have changed: the data, the current record, the state, the source.
class TFieldDataLink : public QObject {
    Q_OBJECT
public:
    explicit TFieldDataLink(QObject* parent = nullptr);

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    QString FieldName() const { return fieldName_; }
    void SetFieldName(const QString& fieldName);

    TDataSet* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
    // The field of that name in the source's data set, or null.
    TField* Field() const;
    bool Active() const { return DataSet() && DataSet()->Active(); }
    // Puts the data set into edit mode when browsing and writes value to the field. False when
    // there is no field or the set is closed; throws EComponentError for a value the field
    // refuses.
    bool Write(const QVariant& value);

    std::function<void()> OnDataChange;

private:
    void Changed();

    QPointer<TDataSource> source_;
    QString fieldName_;
    std::vector<QMetaObject::Connection> connections_;
};

// A data source's data set as a table: one column per visible field, titled by its DisplayLabel,
// one row per visible record. The current record is CurrentRow; setting it moves the record.
// Edits of a cell are posted at once.
class TDataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDataSetModel(QObject* parent = nullptr);

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    TField* ColumnField(int column) const; // null out of range
    int CurrentRow() const;                // -1 when there is no record
    void SetCurrentRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void CurrentRowChanged(int row);

private:
    TDataSet* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
    void Reset();

    QPointer<TDataSource> source_;
    std::vector<QPointer<TField>> columns_;
    std::vector<QMetaObject::Connection> connections_;
};
