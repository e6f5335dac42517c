#include "platform/vcl/DBGrids.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScopedValueRollback>

#include <algorithm>

TDBGrid::TDBGrid(TComponent* owner)
    : QTableView(nullptr), TControl(this, owner), model_(new TDataSetModel(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->hide();
    connect(model_, &TDataSetModel::CurrentRowChanged, this, &TDBGrid::SelectCurrent);
    connect(model_, &QAbstractItemModel::modelReset, this, &TDBGrid::SizeColumns);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (selecting_ || !current.isValid()) return;
                try {
                    model_->SetCurrentRow(current.row());
                } catch (const EComponentError&) {
                    SelectCurrent(model_->CurrentRow()); // the record could not be left
                }
            });
}

void TDBGrid::SelectCurrent(int row) {
    QScopedValueRollback selecting(selecting_, true);
    if (row < 0) {
        selectionModel()->clear();
        return;
    }
    const int column = std::max(currentIndex().column(), 0);
    const QModelIndex index = model_->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void TDBGrid::SizeColumns() {
    const int charWidth = fontMetrics().averageCharWidth();
    for (int column = 0; column < model_->columnCount(); ++column)
        setColumnWidth(column, model_->ColumnField(column)->DisplayWidth() * charWidth + 8);
}
