#pragma once

#include "platform/vcl/Components.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <memory>

class QFileDialog;
class QMessageBox;

// Asks the user for a file to open. Filter lists pairs of a description and its patterns, all
// separated by '|', the patterns of one pair by ';':
//     "Text files (*.txt)|*.txt|All files (*.*)|*.*"
// FilterIndex counts the pairs from 1.
class TOpenDialog : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(int FilterIndex READ FilterIndex WRITE SetFilterIndex)
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QString InitialDir READ InitialDir WRITE SetInitialDir)
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE SetDefaultExt)
public:
    explicit TOpenDialog(TComponent* owner);

    QString Filter() const { return filter_; }
    void SetFilter(const QString& filter) { filter_ = filter; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    QString FileName() const { return fileName_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    QString InitialDir() const { return initialDir_; }
    void SetInitialDir(const QString& dir) { initialDir_ = dir; }
    QString DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const QString& ext) { defaultExt_ = ext; }

    // Filter as the file dialog's name filters, "Text files (*.txt)", one per pair. A pair whose
    // description does not end in its patterns gets them appended; a description without
    // patterns shows every file; empty pairs are left out.
    QStringList NameFilters() const;

    // Shows the dialog and waits; true when the user chose a file, which is then FileName.
    bool Execute();
    // How Execute sets up the file dialog, and takes the user's choice from it.
    virtual void SetUpDialog(QFileDialog& dialog) const;
    void TakeChoice(const QFileDialog& dialog);

private:
    QString filter_;
    int filterIndex_ = 1;
    QString fileName_;
    QString title_;
    QString initialDir_;
    QString defaultExt_;
};

// Asks the user for a file to save to.
class TSaveDialog : public TOpenDialog {
    Q_OBJECT
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

    void SetUpDialog(QFileDialog& dialog) const override;
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};

// A set of buttons: MessageDlg(text, mtConfirmation, {mbYes, mbNo}, 0).
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (TMsgDlgBtn button : buttons)
            bits_ |= Bit(button);
    }
    constexpr bool Contains(TMsgDlgBtn button) const { return (bits_ & Bit(button)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;

private:
    static constexpr unsigned Bit(TMsgDlgBtn button) { return 1u << static_cast<unsigned>(button); }
    unsigned bits_ = 0;
};

inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// What a message dialog answers: the button chosen.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrHelp = 9,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14,
};

// Takes the place of the message box when set (tests see what would be shown): it gets the
// type, the text and the buttons, and returns the modal result.
using TMessageDlgHandler = std::function<int(TMsgDlgType type, const QString& text, TMsgDlgButtons buttons)>;
extern TMessageDlgHandler MessageDlgHandler;

// Shows text as given in a modal box with the application's title as caption, the type's icon
// and one button per member of buttons (an OK button when there are none), and returns the modal
// result of the button chosen (mrCancel when the box is closed otherwise). There is no help to
// show: helpCtx is not used.
int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx);
// A box with an OK button and no icon.
void ShowMessage(const QString& msg);
// The box MessageDlg shows; each button carries its modal result in the property "ModalResult".
std::unique_ptr<QMessageBox> CreateMessageDialog(const QString& msg, TMsgDlgType type,
                                                 TMsgDlgButtons buttons);
