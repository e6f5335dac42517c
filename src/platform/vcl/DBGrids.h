#pragma once

#include "platform/vcl/Components.h"
#include "platform/vcl/DB.h"

#include <QTableView>

// A table of a data source's data set. The selected row is the current record: selecting a row
// moves the record, and moving the record selects its row. Columns are as wide as their fields'
// DisplayWidth in characters of the grid's font.
class TDBGrid : public QTableView, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TDBGrid(TComponent* owner);

    TDataSource* DataSource() const { return model_->DataSource(); }
    void SetDataSource(TDataSource* source) { model_->SetDataSource(source); }
    TDataSetModel* Model() const { return model_; }

private:
    void SelectCurrent(int row);
    void SizeColumns();

    TDataSetModel* model_;
    bool selecting_ = false;
};
