#include "platform/vcl/StdCtrls.h"

TLabel::TLabel(TComponent* owner) : QLabel(nullptr), TControl(this, owner) {
    setTextFormat(Qt::PlainText); // a caption is shown as written, never as markup
}

void TLabel::SetCaption(const QString& caption) {
    setText(caption);
    FontApplied();
}

void TLabel::FontApplied() {
    if (Align() == alNone) adjustSize();
}

TButton::TButton(TComponent* owner) : QPushButton(nullptr), TControl(this, owner) {
    setAutoDefault(true); // Enter clicks the focused button, not only in dialogs
    connect(this, &QPushButton::clicked, this, [this] {
        if (OnClick) OnClick(this);
    });
}

bool TButton::DialogKey(int key) {
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !Default() || !isVisible() || !isEnabled())
        return false;
    click();
    return true;
}

TCheckBox::TCheckBox(TComponent* owner) : QCheckBox(nullptr), TControl(this, owner) {}
