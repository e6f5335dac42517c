#pragma once

#include "platform/vcl/StdCtrls.h"

// A list box whose entries each carry a check box.
class TCheckListBox : public TListBox {
    Q_OBJECT
public:
    explicit TCheckListBox(TComponent* owner);

    // Each throws EComponentError for an index out of range.
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);

private:
    QListWidgetItem* Entry(int index) const;
};
