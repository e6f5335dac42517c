#pragma once

#include "platform/vcl/Forms.h"

#include <QStringList>

class TDataSet;
class TPageControl;
class TDataSource;
class TTabSheet;
class TfrxReport;
class TOpenDialog;
class TwwFilterDialog;
class TwwLocateDialog;

// A window owning a component of every class the translator has a rule for, laid out on three
// pages, with an MDI child below them. It is translated while it is being created, as the
// program's own windows are.
class TfrmGallery : public TForm {
    Q_OBJECT
public:
    explicit TfrmGallery(TComponent* owner);

    // What each component shows, read back from the widgets, one line each:
    // "<class> <name> <what>: <text>", line breaks in a text written as \n.
    QStringList VisibleTexts();
    // Brings page 0 (standard controls), 1 (data) or 2 (component packs) to the front.
    void ShowPage(int index);

private:
    void CreateStandardPage(TTabSheet* page);
    void CreateDataPage(TTabSheet* page);
    void CreatePacksPage(TTabSheet* page);
    void FormCreate();

    TPageControl* pcPages = nullptr;
    TDataSet* tblEvents = nullptr;
    TDataSource* dsEvents = nullptr;
    TOpenDialog* odOpen = nullptr;
    TfrxReport* rptSummary = nullptr;
    TwwLocateDialog* wwLocate = nullptr;
    TwwFilterDialog* wwFilter = nullptr;
};

// The gallery's MDI child: a window of its own inside the gallery, translated after it.
class TfrmGalleryChild : public TForm {
    Q_OBJECT
public:
    explicit TfrmGalleryChild(TComponent* owner);
};
