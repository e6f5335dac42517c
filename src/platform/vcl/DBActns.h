#pragma once

// Actions on a data source's data set. Each is enabled exactly while it can act on the set, and
// follows the set's state; executing one acts on the set unless OnExecute is given another
// handler.

#include "platform/vcl/ActnList.h"
#include "platform/vcl/DB.h"

#include <QPointer>

#include <vector>

class TDataSetAction : public TAction {
    Q_OBJECT
public:
    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
    // Enables the action when its data set is open and it can act on it now.
    void UpdateTarget();

protected:
    explicit TDataSetAction(TComponent* owner);
    virtual bool CanExecute(const TDataSet& dataSet) const = 0;
    virtual void ExecuteTarget(TDataSet& dataSet) = 0;

private:
    QPointer<TDataSource> source_;
    std::vector<QMetaObject::Connection> connections_;
};

// Inserts a new record; while not editing.
class TDataSetInsert : public TDataSetAction {
    Q_OBJECT
public:
    explicit TDataSetInsert(TComponent* owner) : TDataSetAction(owner) {}

protected:
    bool CanExecute(const TDataSet& dataSet) const override;
    void ExecuteTarget(TDataSet& dataSet) override { dataSet.Insert(); }
};

// Deletes the current record; while there is one.
class TDataSetDelete : public TDataSetAction {
    Q_OBJECT
public:
    explicit TDataSetDelete(TComponent* owner) : TDataSetAction(owner) {}

protected:
    bool CanExecute(const TDataSet& dataSet) const override;
    void ExecuteTarget(TDataSet& dataSet) override { dataSet.Delete(); }
};

// Edits the current record; while not editing.
class TDataSetEdit : public TDataSetAction {
    Q_OBJECT
public:
    explicit TDataSetEdit(TComponent* owner) : TDataSetAction(owner) {}

protected:
    bool CanExecute(const TDataSet& dataSet) const override;
    void ExecuteTarget(TDataSet& dataSet) override { dataSet.Edit(); }
};

// Posts the record; while editing or inserting.
class TDataSetPost : public TDataSetAction {
    Q_OBJECT
public:
    explicit TDataSetPost(TComponent* owner) : TDataSetAction(owner) {}

protected:
    bool CanExecute(const TDataSet& dataSet) const override;
    void ExecuteTarget(TDataSet& dataSet) override { dataSet.Post(); }
};

// Drops the changes or the new record; while editing or inserting.
class TDataSetCancel : public TDataSetAction {
    Q_OBJECT
public:
    explicit TDataSetCancel(TComponent* owner) : TDataSetAction(owner) {}

protected:
    bool CanExecute(const TDataSet& dataSet) const override;
    void ExecuteTarget(TDataSet& dataSet) override { dataSet.Cancel(); }
};
