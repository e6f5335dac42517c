#include "platform/packs/DBGridEh.h"

#include <QHeaderView>

TDBGridEh::TDBGridEh(TComponent* owner) : TDBGrid(owner) {
    titleFont_.OnChange = [this] { ShowTitleFont(); };
    ShowTitleFont();
}

// The header's own font, so that a change of the cells' font leaves the titles alone.
void TDBGridEh::ShowTitleFont() {
    QFont font = horizontalHeader()->font();
    font.setFamily(titleFont_.Name());
    if (titleFont_.Size() > 0) font.setPointSize(titleFont_.Size());
    horizontalHeader()->setFont(font);
}
