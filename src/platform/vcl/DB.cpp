#include "platform/vcl/DB.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool ToInteger(const QVariant& value, qint64& result) {
    bool ok = false;
    switch (value.typeId()) {
    case QMetaType::QString:
        result = value.toString().trimmed().toLongLong(&ok);
        return ok;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        // Only whole numbers that fit; 2^63 itself does not.
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) >= 9223372036854775808.0) return false;
        result = static_cast<qint64>(d);
        return true;
    }
    case QMetaType::ULongLong:
        if (value.toULongLong() > static_cast<quint64>(std::numeric_limits<qint64>::max())) return false;
        break;
    default:
        break;
    }
    result = value.toLongLong(&ok);
    return ok;
}

bool ToFloat(const QVariant& value, double& result) {
    bool ok = false;
    if (value.typeId() == QMetaType::QString)
        result = QLocale::c().toDouble(value.toString().trimmed(), &ok);
    else
        result = value.toDouble(&ok);
    return ok && std::isfinite(result);
}

double RoundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

EComponentError IndexError(int index) {
    return EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

} // namespace

TField::TField(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {}

TField::~TField() {
    if (dataSet_) dataSet_->RemoveField(this);
}

void TField::SetFieldName(const QString& fieldName) {
    if (dataSet_) {
        TField* other = dataSet_->FindField(fieldName);
        if (other && other != this)
            throw dataSet_->Error(QStringLiteral("Duplicate field name '%1'").arg(fieldName));
    }
    fieldName_ = fieldName;
    if (dataSet_) dataSet_->FieldsChanged();
}

void TField::SetDisplayLabel(const QString& displayLabel) {
    displayLabel_ = displayLabel;
    displayLabelSet_ = true;
    if (dataSet_) dataSet_->FieldsChanged();
}

void TField::SetDisplayWidth(int displayWidth) {
    displayWidth_ = displayWidth;
    if (dataSet_) dataSet_->FieldsChanged();
}

void TField::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (dataSet_) dataSet_->FieldsChanged();
}

void TField::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    for (const TDataSet* set : {dataSet_, dataSet}) {
        if (set && set->Active())
            throw set->Error(QStringLiteral("Cannot perform this operation on an open dataset"));
    }
    if (dataSet && !fieldName_.isEmpty() && dataSet->FindField(fieldName_))
        throw dataSet->Error(QStringLiteral("Duplicate field name '%1'").arg(fieldName_));
    if (dataSet_) dataSet_->RemoveField(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->AddField(this);
}

int TField::Index() const {
    if (!dataSet_) return -1;
    const auto& fields = dataSet_->fields_;
    return static_cast<int>(std::find(fields.begin(), fields.end(), this) - fields.begin());
}

QVariant TField::Value() const {
    const TDataSet::TRecord* record = dataSet_ ? dataSet_->ActiveRecord() : nullptr;
    return record ? (*record)[static_cast<std::size_t>(Index())] : QVariant();
}

void TField::SetValue(const QVariant& value) {
    if (!dataSet_) throw EComponentError(QStringLiteral("Field '%1' has no dataset").arg(fieldName_));
    dataSet_->WriteValue(this, value);
}

QVariant TField::Convert(const QVariant& value) const {
    return value.isNull() ? QVariant() : value;
}

QString TField::Text(const QVariant& value) const {
    return value.isNull() ? QString() : value.toString();
}

EComponentError TField::ValueError(const QVariant& value, const QString& kind) const {
    return EComponentError(QStringLiteral("'%1' is not a valid %2 value for field '%3'")
                               .arg(value.toString(), kind, fieldName_));
}

QString TField::ToText(const QVariant& value) const {
    if (value.isNull()) return {};
    if (!value.canConvert<QString>()) throw ValueError(value, QStringLiteral("text"));
    const QString text = value.toString();
    return text.isNull() ? QStringLiteral("") : text; // an empty text is no null
}

bool TField::IsBlank(const QVariant& value) {
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty());
}

QVariant TIntegerField::Convert(const QVariant& value) const {
    if (IsBlank(value)) return {};
    qint64 n = 0;
    if (!ToInteger(value, n)) throw ValueError(value, QStringLiteral("integer"));
    if (n < min_ || n > max_)
        throw EComponentError(
            QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                .arg(n)
                .arg(FieldName())
                .arg(min_)
                .arg(max_));
    return static_cast<int>(n);
}

QVariant TLargeIntField::Convert(const QVariant& value) const {
    if (IsBlank(value)) return {};
    qint64 n = 0;
    if (!ToInteger(value, n)) throw ValueError(value, QStringLiteral("integer"));
    return static_cast<qlonglong>(n);
}

QVariant TFloatField::Convert(const QVariant& value) const {
    if (IsBlank(value)) return {};
    double d = 0;
    if (!ToFloat(value, d)) throw ValueError(value, QStringLiteral("floating point"));
    return d;
}

QString TFloatField::Text(const QVariant& value) const {
    return value.isNull() ? QString() : QString::number(value.toDouble(), 'g', 15);
}

QVariant TCurrencyField::Convert(const QVariant& value) const {
    const QVariant d = TFloatField::Convert(value);
    return d.isNull() ? d : RoundTo(d.toDouble(), 4);
}

QString TCurrencyField::Text(const QVariant& value) const {
    return value.isNull() ? QString() : QString::number(value.toDouble(), 'f', 2);
}

QVariant TBCDField::Convert(const QVariant& value) const {
    if (IsBlank(value)) return {};
    double d = 0;
    if (!ToFloat(value, d)) throw ValueError(value, QStringLiteral("BCD"));
    return RoundTo(d, size_);
}

QString TBCDField::Text(const QVariant& value) const {
    if (value.isNull()) return {};
    QString text = QString::number(value.toDouble(), 'f', size_);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QVariant TBooleanField::Convert(const QVariant& value) const {
    if (IsBlank(value)) return {};
    if (value.typeId() == QMetaType::Bool) return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("yes") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("no") || text == QLatin1String("0"))
            return false;
    } else {
        double d = 0;
        if (ToFloat(value, d)) return d != 0;
    }
    throw ValueError(value, QStringLiteral("boolean"));
}

QString TBooleanField::Text(const QVariant& value) const {
    if (value.isNull()) return {};
    return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
}

QVariant TDateTimeField::Convert(const QVariant& value) const {
    if (IsBlank(value)) return {};
    QDateTime result;
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        result = value.toDateTime();
        break;
    case QMetaType::QDate:
        result = value.toDate().startOfDay();
        break;
    case QMetaType::QString: {
        QString text = value.toString().trimmed();
        if (text.size() > 10 && text[10] == QLatin1Char(' ')) text[10] = QLatin1Char('T');
        result = QDateTime::fromString(text, Qt::ISODate);
        if (!result.isValid()) result = QDate::fromString(text, Qt::ISODate).startOfDay();
        break;
    }
    default:
        break;
    }
    if (!result.isValid()) throw ValueError(value, QStringLiteral("date and time"));
    return result;
}

QString TDateTimeField::Text(const QVariant& value) const {
    if (value.isNull()) return {};
    const QDateTime dateTime = value.toDateTime();
    if (dateTime.time() == QTime(0, 0)) return dateTime.date().toString(Qt::ISODate);
    return dateTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QVariant TStringField::Convert(const QVariant& value) const {
    const QString text = ToText(value);
    if (text.isNull()) return {};
    return size_ > 0 ? text.left(size_) : text;
}

QVariant TWideMemoField::Convert(const QVariant& value) const {
    const QString text = ToText(value);
    return text.isNull() ? QVariant() : QVariant(text);
}

TDataSet::TDataSet(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {}

TDataSet::~TDataSet() {
    for (TField* field : fields_)
        field->dataSet_ = nullptr;
}

EComponentError TDataSet::Error(const QString& message) const {
    return EComponentError(Name().isEmpty() ? message : Name() + QStringLiteral(": ") + message);
}

void TDataSet::CheckActive() const {
    if (!Active()) throw Error(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) Post();
}

void TDataSet::SetState(TDataSetState state) {
    if (state_ == state) return;
    state_ = state;
    emit StateChanged();
}

void TDataSet::MoveTo(int index) {
    if (index == current_) return;
    current_ = index;
    emit CurrentChanged();
}

TField* TDataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount()) throw IndexError(index);
    return fields_[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(const QString& fieldName) const {
    for (TField* field : fields_) {
        if (field->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0) return field;
    }
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& fieldName) const {
    TField* field = FindField(fieldName);
    if (!field) throw Error(QStringLiteral("Field '%1' not found").arg(fieldName));
    return field;
}

void TDataSet::AddField(TField* field) {
    fields_.push_back(field);
    for (auto& record : records_)
        record->emplace_back();
    FieldsChanged();
}

void TDataSet::RemoveField(TField* field) {
    const auto it = std::find(fields_.begin(), fields_.end(), field);
    if (it == fields_.end()) return;
    const auto index = it - fields_.begin();
    fields_.erase(it);
    for (auto& record : records_)
        record->erase(record->begin() + index);
    if (!backup_.empty()) backup_.erase(backup_.begin() + index);
    FieldsChanged();
}

const TDataSet::TRecord* TDataSet::ActiveRecord() const {
    if (candidate_) return candidate_;
    return current_ >= 0 ? visible_[static_cast<std::size_t>(current_)] : nullptr;
}

void TDataSet::WriteValue(const TField* field, const QVariant& value) {
    if (state_ != dsEdit && state_ != dsInsert)
        throw Error(QStringLiteral("Dataset not in edit or insert mode"));
    const QVariant converted = field->Convert(value);
    (*visible_[static_cast<std::size_t>(current_)])[static_cast<std::size_t>(field->Index())] = converted;
    emit RecordChanged(RecNo());
}

QVariant TDataSet::FieldValue(int recNo, const TField* field) const {
    if (recNo < 1 || recNo > RecordCount()) throw IndexError(recNo);
    if (!field || field->DataSet() != this) throw Error(QStringLiteral("Field of another dataset"));
    return (*visible_[static_cast<std::size_t>(recNo - 1)])[static_cast<std::size_t>(field->Index())];
}

bool TDataSet::Accepts(const TRecord* record) {
    if (!filtered_ || !filter_) return true;
    const TRecord* saved = candidate_;
    candidate_ = record;
    struct Restore {
        const TRecord*& slot;
        const TRecord* saved;
        ~Restore() { slot = saved; }
    } restore{candidate_, saved};
    return filter_(*this);
}

void TDataSet::SetActive(bool active) {
    if (active == Active()) return;
    if (active) {
        std::vector<TRecord*> visible;
        for (auto& record : records_) {
            if (Accepts(record.get())) visible.push_back(record.get());
        }
        visible_ = std::move(visible);
        current_ = visible_.empty() ? -1 : 0;
        state_ = dsBrowse;
    } else {
        Cancel();
        visible_.clear();
        current_ = -1;
        state_ = dsInactive;
    }
    bof_ = true;
    eof_ = visible_.empty();
    emit StateChanged();
    emit DataChanged();
    emit CurrentChanged();
}

void TDataSet::First() {
    CheckBrowseMode();
    bof_ = true;
    eof_ = IsEmpty();
    MoveTo(IsEmpty() ? -1 : 0);
}

void TDataSet::Last() {
    CheckBrowseMode();
    bof_ = IsEmpty();
    eof_ = true;
    MoveTo(RecordCount() - 1);
}

void TDataSet::Next() {
    CheckBrowseMode();
    if (current_ + 1 >= RecordCount()) {
        bof_ = IsEmpty();
        eof_ = true;
        return;
    }
    bof_ = eof_ = false;
    MoveTo(current_ + 1);
}

void TDataSet::Prior() {
    CheckBrowseMode();
    if (current_ <= 0) {
        bof_ = true;
        eof_ = IsEmpty();
        return;
    }
    bof_ = eof_ = false;
    MoveTo(current_ - 1);
}

void TDataSet::SetRecNo(int recNo) {
    CheckActive();
    if (recNo < 1 || recNo > RecordCount()) throw Error(QStringLiteral("Record %1 out of range").arg(recNo));
    if (recNo == RecNo()) return;
    // Posting may hide the record being left, which moves the ones after it.
    const TRecord* target = visible_[static_cast<std::size_t>(recNo - 1)];
    CheckBrowseMode();
    bof_ = eof_ = false;
    MoveTo(static_cast<int>(std::find(visible_.begin(), visible_.end(), target) - visible_.begin()));
}

void TDataSet::Insert() {
    CheckBrowseMode();
    BeginInsert(false);
}

void TDataSet::Append() {
    CheckBrowseMode();
    BeginInsert(true);
}

void TDataSet::BeginInsert(bool atEnd) {
    beforeInsert_ = current_ >= 0 ? visible_[static_cast<std::size_t>(current_)] : nullptr;
    auto record = std::make_unique<TRecord>(fields_.size());
    TRecord* added = record.get();
    if (atEnd || !beforeInsert_) {
        records_.push_back(std::move(record));
        visible_.push_back(added);
        current_ = RecordCount() - 1;
    } else {
        const auto at = std::find_if(records_.begin(), records_.end(),
                                     [this](const auto& r) { return r.get() == beforeInsert_; });
        records_.insert(at, std::move(record));
        visible_.insert(visible_.begin() + current_, added);
    }
    bof_ = eof_ = false;
    state_ = dsInsert;
    emit StateChanged();
    emit DataChanged();
    emit CurrentChanged();
}

void TDataSet::Edit() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (IsEmpty()) {
        Append();
        return;
    }
    backup_ = *visible_[static_cast<std::size_t>(current_)];
    SetState(dsEdit);
}

void TDataSet::Post() {
    if (state_ != dsEdit && state_ != dsInsert)
        throw Error(QStringLiteral("Dataset not in edit or insert mode"));
    TRecord* record = visible_[static_cast<std::size_t>(current_)];
    bool numbered = false;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (!qobject_cast<TAutoIncField*>(fields_[i]) || !(*record)[i].isNull()) continue;
        int highest = 0;
        for (const auto& other : records_) {
            if (!(*other)[i].isNull()) highest = std::max(highest, (*other)[i].toInt());
        }
        (*record)[i] = highest + 1;
        numbered = true;
    }
    const bool stays = Accepts(record);
    backup_.clear();
    beforeInsert_ = nullptr;
    if (numbered) emit RecordChanged(RecNo());
    SetState(dsBrowse);
    if (stays) return;
    visible_.erase(visible_.begin() + current_);
    current_ = std::min(current_, RecordCount() - 1);
    bof_ = eof_ = IsEmpty();
    emit DataChanged();
    emit CurrentChanged();
}

void TDataSet::Cancel() {
    if (state_ == dsEdit) {
        *visible_[static_cast<std::size_t>(current_)] = std::move(backup_);
        backup_.clear();
        SetState(dsBrowse);
        emit RecordChanged(RecNo());
    } else if (state_ == dsInsert) {
        RemoveRecord(visible_[static_cast<std::size_t>(current_)]);
        const auto back = std::find(visible_.begin(), visible_.end(), beforeInsert_);
        current_ = back != visible_.end() ? static_cast<int>(back - visible_.begin())
                                          : std::min(current_, RecordCount() - 1);
        beforeInsert_ = nullptr;
        bof_ = eof_ = IsEmpty();
        state_ = dsBrowse;
        emit StateChanged();
        emit DataChanged();
        emit CurrentChanged();
    }
}

void TDataSet::RemoveRecord(const TRecord* record) {
    visible_.erase(std::remove(visible_.begin(), visible_.end(), record), visible_.end());
    records_.erase(std::find_if(records_.begin(), records_.end(),
                                [record](const auto& r) { return r.get() == record; }));
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    if (IsEmpty()) throw Error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    backup_.clear();
    RemoveRecord(visible_[static_cast<std::size_t>(current_)]);
    current_ = std::min(current_, RecordCount() - 1);
    bof_ = eof_ = IsEmpty();
    SetState(dsBrowse);
    emit DataChanged();
    emit CurrentChanged();
}

void TDataSet::AppendRecord(const QVariantList& values) {
    CheckActive();
    if (values.size() > FieldCount())
        throw Error(QStringLiteral("%1 values for %2 fields").arg(values.size()).arg(FieldCount()));
    TRecord converted(fields_.size());
    for (qsizetype i = 0; i < values.size(); ++i)
        converted[static_cast<std::size_t>(i)] = fields_[static_cast<std::size_t>(i)]->Convert(values[i]);
    Append();
    *visible_[static_cast<std::size_t>(current_)] = std::move(converted);
    emit RecordChanged(RecNo());
    Post();
}

void TDataSet::EmptyDataSet() {
    const bool hadRecords = !records_.empty();
    records_.clear();
    visible_.clear();
    backup_.clear();
    beforeInsert_ = nullptr;
    current_ = -1;
    bof_ = eof_ = true;
    if (Active()) SetState(dsBrowse);
    if (!hadRecords) return;
    emit DataChanged();
    emit CurrentChanged();
}

void TDataSet::Refilter() {
    if (!Active()) return;
    CheckBrowseMode();
    std::vector<TRecord*> visible;
    for (auto& record : records_) {
        if (Accepts(record.get())) visible.push_back(record.get());
    }
    const TRecord* current = ActiveRecord();
    visible_ = std::move(visible);
    const auto kept = std::find(visible_.begin(), visible_.end(), current);
    if (kept != visible_.end()) {
        current_ = static_cast<int>(kept - visible_.begin());
    } else {
        current_ = IsEmpty() ? -1 : 0;
        bof_ = true;
        eof_ = IsEmpty();
    }
    emit DataChanged();
    if (ActiveRecord() != current) emit CurrentChanged();
}

void TDataSet::SetFilter(TFilter filter) {
    std::swap(filter_, filter);
    try {
        if (filtered_) Refilter();
    } catch (...) {
        std::swap(filter_, filter);
        throw;
    }
}

void TDataSet::SetFiltered(bool filtered) {
    if (filtered_ == filtered) return;
    filtered_ = filtered;
    try {
        Refilter();
    } catch (...) {
        filtered_ = !filtered;
        throw;
    }
}

int TDataSet::FindRecord(int fromRecNo, const TFilter& predicate) {
    CheckBrowseMode();
    const TRecord* saved = candidate_;
    struct Restore {
        const TRecord*& slot;
        const TRecord* saved;
        ~Restore() { slot = saved; }
    } restore{candidate_, saved};
    for (int index = std::max(fromRecNo, 1) - 1; index < RecordCount(); ++index) {
        candidate_ = visible_[static_cast<std::size_t>(index)];
        if (!predicate(*this)) continue;
        candidate_ = saved;
        bof_ = eof_ = false;
        MoveTo(index);
        return index + 1;
    }
    return 0;
}

bool TDataSet::Locate(const QString& fieldName, const QVariant& value, TLocateOptions options) {
    const TField* field = FieldByName(fieldName);
    if (value.isNull()) return FindRecord(1, [field](TDataSet&) { return field->IsNull(); }) > 0;
    if (!options) {
        QVariant wanted;
        try {
            wanted = field->Convert(value);
        } catch (const EComponentError&) {
            return false; // no record can hold it
        }
        return FindRecord(1, [field, &wanted](TDataSet&) { return field->Value() == wanted; }) > 0;
    }
    const QString text = value.toString();
    const Qt::CaseSensitivity cs =
        options.testFlag(loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool partial = options.testFlag(loPartialKey);
    return FindRecord(1, [&](TDataSet&) {
               const QString shown = field->AsString();
               return partial ? shown.startsWith(text, cs) : shown.compare(text, cs) == 0;
           }) > 0;
}

TDataSource::TDataSource(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    for (const auto& connection : connections_)
        disconnect(connection);
    connections_.clear();
    dataSet_ = dataSet;
    if (dataSet) {
        connections_ = {
            connect(dataSet, &TDataSet::DataChanged, this, &TDataSource::DataChanged),
            connect(dataSet, &TDataSet::RecordChanged, this, &TDataSource::RecordChanged),
            connect(dataSet, &TDataSet::CurrentChanged, this, &TDataSource::CurrentChanged),
            connect(dataSet, &TDataSet::StateChanged, this, &TDataSource::StateChanged),
            connect(dataSet, &QObject::destroyed, this,
                    [this] {
                        connections_.clear();
                        emit DataChanged();
                        emit StateChanged();
                    }),
        };
    }
    emit DataChanged();
    emit StateChanged();
}

TFieldDataLink::TFieldDataLink(QObject* parent) : QObject(parent) {}

void TFieldDataLink::SetDataSource(TDataSource* source) {
    if (source == source_) return;
    for (const auto& connection : connections_)
        disconnect(connection);
    connections_.clear();
    source_ = source;
    if (source) {
        connections_ = {
            connect(source, &TDataSource::DataChanged, this, &TFieldDataLink::Changed),
            connect(source, &TDataSource::RecordChanged, this, &TFieldDataLink::Changed),
            connect(source, &TDataSource::CurrentChanged, this, &TFieldDataLink::Changed),
            connect(source, &TDataSource::StateChanged, this, &TFieldDataLink::Changed),
            connect(source, &QObject::destroyed, this, &TFieldDataLink::Changed),
        };
    }
    Changed();
}

void TFieldDataLink::SetFieldName(const QString& fieldName) {
    fieldName_ = fieldName;
    Changed();
}

TField* TFieldDataLink::Field() const {
    TDataSet* dataSet = DataSet();
    return dataSet ? dataSet->FindField(fieldName_) : nullptr;
}

bool TFieldDataLink::Write(const QVariant& value) {
    TField* field = Field();
    if (!field || !Active()) return false;
    const QVariant converted = field->Convert(value);
    if (DataSet()->State() == dsBrowse) DataSet()->Edit();
    field->SetValue(converted);
    return true;
}

void TFieldDataLink::Changed() {
    if (OnDataChange) OnDataChange();
}

TDataSetModel::TDataSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDataSetModel::SetDataSource(TDataSource* source) {
    if (source == source_) return;
    for (const auto& connection : connections_)
        disconnect(connection);
    connections_.clear();
    source_ = source;
    if (source) {
        connections_ = {
            connect(source, &TDataSource::DataChanged, this, &TDataSetModel::Reset),
            connect(source, &TDataSource::RecordChanged, this,
                    [this](int recNo) {
                        if (columns_.empty() || recNo < 1 || recNo > rowCount()) return;
                        emit dataChanged(index(recNo - 1, 0),
                                         index(recNo - 1, static_cast<int>(columns_.size()) - 1));
                    }),
            connect(source, &TDataSource::CurrentChanged, this,
                    [this] { emit CurrentRowChanged(CurrentRow()); }),
            connect(source, &QObject::destroyed, this, &TDataSetModel::Reset),
        };
    }
    Reset();
}

void TDataSetModel::Reset() {
    beginResetModel();
    columns_.clear();
    if (TDataSet* dataSet = DataSet()) {
        for (int i = 0; i < dataSet->FieldCount(); ++i) {
            if (dataSet->Fields(i)->Visible()) columns_.emplace_back(dataSet->Fields(i));
        }
    }
    endResetModel();
    emit CurrentRowChanged(CurrentRow());
}

TField* TDataSetModel::ColumnField(int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return nullptr;
    return columns_[static_cast<std::size_t>(column)];
}

int TDataSetModel::CurrentRow() const {
    TDataSet* dataSet = DataSet();
    return dataSet && dataSet->Active() ? dataSet->RecNo() - 1 : -1;
}

void TDataSetModel::SetCurrentRow(int row) {
    if (row < 0 || row >= rowCount() || row == CurrentRow()) return;
    DataSet()->SetRecNo(row + 1);
}

int TDataSetModel::rowCount(const QModelIndex& parent) const {
    TDataSet* dataSet = DataSet();
    return !parent.isValid() && dataSet && dataSet->Active() ? dataSet->RecordCount() : 0;
}

int TDataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const {
    TField* field = ColumnField(index.column());
    if (!field || index.row() < 0 || index.row() >= rowCount() || field->DataSet() != DataSet()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return field->Text(DataSet()->FieldValue(index.row() + 1, field));
    case Qt::EditRole:
        return DataSet()->FieldValue(index.row() + 1, field);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(field->Alignment() | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        if (TField* field = ColumnField(section)) return field->DisplayLabel();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TDataSetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid()) flags |= Qt::ItemIsEditable;
    return flags;
}

bool TDataSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TField* field = ColumnField(index.column());
    if (role != Qt::EditRole || !field || index.row() < 0 || index.row() >= rowCount()) return false;
    TDataSet* dataSet = DataSet();
    try {
        dataSet->SetRecNo(index.row() + 1);
        dataSet->Edit();
        field->SetValue(value);
        dataSet->Post();
    } catch (const EComponentError&) {
        dataSet->Cancel();
        return false;
    }
    return true;
}
