#include "platform/vcl/CheckLst.h"

TCheckListBox::TCheckListBox(TComponent* owner) : TListBox(owner, true) {}

QListWidgetItem* TCheckListBox::Entry(int index) const {
    if (index < 0 || index >= count())
        throw EComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return item(index);
}

bool TCheckListBox::Checked(int index) const {
    return Entry(index)->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int index, bool checked) {
    Entry(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}
