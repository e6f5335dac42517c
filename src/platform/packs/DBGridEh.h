#pragma once

// The grid pack: a grid of a data set with a font of its own for the column titles, and a
// data-aware combo box.

#include "platform/vcl/DBCtrls.h"
#include "platform/vcl/DBGrids.h"

// Font (the control's) is the cells' font, TitleFont the column titles'.
class TDBGridEh : public TDBGrid {
    Q_OBJECT
public:
    explicit TDBGridEh(TComponent* owner);

    TFont* TitleFont() { return &titleFont_; }

private:
    void ShowTitleFont();

    TFont titleFont_;
};

class TDBComboBoxEh : public TDBComboBox {
    Q_OBJECT
public:
    explicit TDBComboBoxEh(TComponent* owner) : TDBComboBox(owner) {}
};
