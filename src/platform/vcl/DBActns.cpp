#include "platform/vcl/DBActns.h"

namespace {

bool Editing(const TDataSet& dataSet) {
    return dataSet.State() == dsEdit || dataSet.State() == dsInsert;
}

} // namespace

TDataSetAction::TDataSetAction(TComponent* owner) : TAction(owner) {
    OnExecute = [this](TComponent*) {
        if (TDataSet* dataSet = DataSet()) ExecuteTarget(*dataSet);
    };
    setEnabled(false); // nothing to act on yet
}

void TDataSetAction::SetDataSource(TDataSource* source) {
    if (source == source_) return;
    for (const auto& connection : connections_)
        disconnect(connection);
    connections_.clear();
    source_ = source;
    if (source) {
        connections_ = {
            connect(source, &TDataSource::StateChanged, this, &TDataSetAction::UpdateTarget),
            connect(source, &TDataSource::DataChanged, this, &TDataSetAction::UpdateTarget),
            connect(source, &QObject::destroyed, this, &TDataSetAction::UpdateTarget),
        };
    }
    UpdateTarget();
}

void TDataSetAction::UpdateTarget() {
    const TDataSet* dataSet = DataSet();
    setEnabled(dataSet && dataSet->Active() && CanExecute(*dataSet));
}

bool TDataSetInsert::CanExecute(const TDataSet& dataSet) const {
    return !Editing(dataSet);
}

bool TDataSetDelete::CanExecute(const TDataSet& dataSet) const {
    return !dataSet.IsEmpty();
}

bool TDataSetEdit::CanExecute(const TDataSet& dataSet) const {
    return !Editing(dataSet);
}

bool TDataSetPost::CanExecute(const TDataSet& dataSet) const {
    return Editing(dataSet);
}

bool TDataSetCancel::CanExecute(const TDataSet& dataSet) const {
    return Editing(dataSet);
}
