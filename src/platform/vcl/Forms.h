#pragma once

#include "platform/vcl/Components.h"

#include <QWidget>

#include <vector>

class QMdiArea;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm };

// A window. Its Caption is the window title and its Hint the tooltip. A form class declares its
// components as fields and creates them owned by the form, which places them on itself:
//
//     class TfrmMain : public TForm {
//         Q_OBJECT
//     public:
//         explicit TfrmMain(TComponent* owner);
//         TImage* ProgramIcon;
//         TButton* btClose;
//     };
//
// An MDI form (fsMDIForm) shows its MDI children in a client area that fills what its aligned
// controls leave free; a form owned by it becomes one of them when its style is set to fsMDIChild.
class TForm : public QWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    QString Caption() const override { return windowTitle(); }
    void SetCaption(const QString& caption) override { setWindowTitle(caption); }

    TFormStyle FormStyle() const { return formStyle_; }
    // A normal form may become an MDI form, or, when its owner is an MDI form, an MDI child.
    // Throws EComponentError for anything else.
    void SetFormStyle(TFormStyle style);
    // The open MDI children in the order they became children; none unless an MDI form.
    int MDIChildCount() const { return static_cast<int>(mdiChildren_.size()); }
    TForm* MDIChildren(int index) const; // throws EComponentError out of range

    // Runs each time the form is shown.
    TNotifyEvent OnShow;

protected:
    QRect AlignControls() override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TFormStyle formStyle_ = fsNormal;
    QMdiArea* mdiArea_ = nullptr;     // MDI form only
    std::vector<TForm*> mdiChildren_; // MDI form only
    TForm* mdiForm_ = nullptr;        // MDI child only
};
