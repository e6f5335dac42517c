#pragma once

// Reports: a report owns the objects on its page (its Components, each with a Name), and shows
// them in a preview window.
//
//     auto* Report = new TfrxReport(form);
//     auto* Title = new TfrxMemoView(Report);
//     Title->Memo()->SetText("Monthly summary");
//     Report->ShowReport();

#include "platform/vcl/Components.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"

#include <QObject>
#include <QRect>

#include <memory>

class QWidget;
class TfrxReport;

// An object on a report's page; its bounds are in pixels of the page.
class TfrxView : public QObject, public TComponent {
    Q_OBJECT
public:
    ~TfrxView() override;

    QRect Bounds() const { return bounds_; }
    void SetBounds(int left, int top, int width, int height);
    // The report that owns the object, or null.
    TfrxReport* Report() const;

protected:
    explicit TfrxView(TComponent* owner);
    // Tells the report that the object looks different now.
    void Changed();

private:
    QRect bounds_{0, 0, 200, 20};
};

// Lines of text in a font.
class TfrxMemoView : public TfrxView {
    Q_OBJECT
public:
    explicit TfrxMemoView(TComponent* owner);

    TFont* Font() { return &font_; }
    TStrings* Memo() { return &memo_; }

private:
    TFont font_;
    TNotifyStringList memo_;
};

class TfrxPictureView : public TfrxView {
    Q_OBJECT
public:
    explicit TfrxPictureView(TComponent* owner);

    TPicture* Picture() { return &picture_; }

private:
    TPicture picture_;
};

class TfrxReport : public QObject, public TComponent {
    Q_OBJECT
public:
    explicit TfrxReport(TComponent* owner);
    ~TfrxReport() override;

    // Opens the preview window, a page showing the report's objects where they lie; it follows
    // later changes of the objects until it is closed.
    void ShowReport();
    // Null until the report has been shown.
    QWidget* PreviewWindow() const { return preview_.get(); }

private:
    friend class TfrxView;
    void ObjectChanged();
    void BuildPage();

    std::unique_ptr<QWidget> preview_;
    QWidget* page_ = nullptr;
    bool rebuildPending_ = false;
};
