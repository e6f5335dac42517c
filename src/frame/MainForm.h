#pragma once

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

#include <QStringList>

// The main window: the header picture across the top and the Close button. Creating it runs the
// start-up sequence; showing it loads the header picture.
class TfrmMain : public TForm {
    Q_OBJECT
public:
    // parameters: the command line without the program path, as Qt leaves it.
    TfrmMain(TComponent* owner, const QStringList& parameters);

    TImage* ProgramIcon;
    TButton* btClose;

private:
    void FormCreate(const QStringList& parameters);
    void FormShow(TComponent* sender);
    void btCloseClick(TComponent* sender);
};

// The window the program shows; set while it exists.
inline TfrmMain* frmMain = nullptr;
