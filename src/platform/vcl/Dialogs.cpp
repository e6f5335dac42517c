#include "platform/vcl/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <utility>
#include <vector>

namespace {

struct NameFilter {
    int Index; // the pair's, from 1
    QString Text;
};

// The patterns a description ends in, "(*.txt)"; empty when it ends in none.
QString TrailingPatterns(const QString& description) {
    static const QRegularExpression trailing(QStringLiteral("\\(([^()]*)\\)$"));
    return trailing.match(description).captured(1);
}

std::vector<NameFilter> ParseFilter(const QString& filter) {
    std::vector<NameFilter> filters;
    if (filter.isEmpty()) return filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        if (i + 1 < parts.size()) {
            for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
                if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
            }
        }
        if (description.isEmpty() && patterns.isEmpty()) continue;
        // The file dialog takes the patterns from the parentheses at the end of a name filter,
        // separated by spaces, or reads a name filter without them as patterns.
        const QString joined = patterns.join(QLatin1Char(' '));
        QString text;
        if (patterns.isEmpty())
            text =
                TrailingPatterns(description).isEmpty() ? description + QStringLiteral(" (*)") : description;
        else if (description.isEmpty())
            text = joined;
        else if (TrailingPatterns(description) == joined)
            text = description;
        else
            text = QStringLiteral("%1 (%2)").arg(description, joined);
        filters.push_back({static_cast<int>(i / 2) + 1, text});
    }
    return filters;
}

} // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : QObject(nullptr), TComponent(this, owner) {}

QStringList TOpenDialog::NameFilters() const {
    QStringList texts;
    for (const NameFilter& filter : ParseFilter(filter_))
        texts << filter.Text;
    return texts;
}

bool TOpenDialog::Execute() {
    QFileDialog dialog(QApplication::activeWindow());
    SetUpDialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    TakeChoice(dialog);
    return true;
}

void TOpenDialog::SetUpDialog(QFileDialog& dialog) const {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!title_.isEmpty()) dialog.setWindowTitle(title_);
    if (!initialDir_.isEmpty()) dialog.setDirectory(initialDir_);
    dialog.setDefaultSuffix(defaultExt_);
    const std::vector<NameFilter> filters = ParseFilter(filter_);
    if (!filters.empty()) {
        QStringList texts;
        QString chosen = filters.front().Text; // for an index of no pair
        for (const NameFilter& filter : filters) {
            texts << filter.Text;
            if (filter.Index == filterIndex_) chosen = filter.Text;
        }
        dialog.setNameFilters(texts);
        dialog.selectNameFilter(chosen);
    }
    if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
}

void TOpenDialog::TakeChoice(const QFileDialog& dialog) {
    fileName_ = dialog.selectedFiles().value(0);
    const QString chosen = dialog.selectedNameFilter();
    for (const NameFilter& filter : ParseFilter(filter_)) {
        if (filter.Text == chosen) {
            filterIndex_ = filter.Index;
            break;
        }
    }
}

void TSaveDialog::SetUpDialog(QFileDialog& dialog) const {
    TOpenDialog::SetUpDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
}

TMessageDlgHandler MessageDlgHandler;

namespace {

struct ButtonLook {
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Standard; // NoButton: one of our own
    const char* Text;                     // for our own
    QMessageBox::ButtonRole Role;         // for our own
    TModalResult Result;
};

// In the order the buttons are offered.
constexpr ButtonLook ButtonLooks[] = {
    {mbYes, QMessageBox::Yes, nullptr, QMessageBox::YesRole, mrYes},
    {mbNo, QMessageBox::No, nullptr, QMessageBox::NoRole, mrNo},
    {mbOK, QMessageBox::Ok, nullptr, QMessageBox::AcceptRole, mrOk},
    {mbCancel, QMessageBox::Cancel, nullptr, QMessageBox::RejectRole, mrCancel},
    {mbAbort, QMessageBox::Abort, nullptr, QMessageBox::RejectRole, mrAbort},
    {mbRetry, QMessageBox::Retry, nullptr, QMessageBox::AcceptRole, mrRetry},
    {mbIgnore, QMessageBox::Ignore, nullptr, QMessageBox::AcceptRole, mrIgnore},
    {mbAll, QMessageBox::NoButton, "&All", QMessageBox::YesRole, mrAll},
    {mbNoToAll, QMessageBox::NoToAll, nullptr, QMessageBox::NoRole, mrNoToAll},
    {mbYesToAll, QMessageBox::YesToAll, nullptr, QMessageBox::YesRole, mrYesToAll},
    {mbHelp, QMessageBox::Help, nullptr, QMessageBox::HelpRole, mrHelp},
    {mbClose, QMessageBox::Close, nullptr, QMessageBox::RejectRole, mrClose},
};

QMessageBox::Icon IconOf(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    case mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

const char* const ModalResultProperty = "ModalResult";

} // namespace

std::unique_ptr<QMessageBox> CreateMessageDialog(const QString& msg, TMsgDlgType type,
                                                 TMsgDlgButtons buttons) {
    auto box = std::make_unique<QMessageBox>(QApplication::activeWindow());
    box->setWindowTitle(QGuiApplication::applicationDisplayName());
    box->setIcon(IconOf(type));
    box->setTextFormat(Qt::PlainText);
    box->setText(msg);
    if (buttons.Empty()) buttons = {mbOK};
    for (const ButtonLook& look : ButtonLooks) {
        if (!buttons.Contains(look.Button)) continue;
        QAbstractButton* button = look.Standard != QMessageBox::NoButton
                                      ? box->addButton(look.Standard)
                                      : box->addButton(QString::fromLatin1(look.Text), look.Role);
        button->setProperty(ModalResultProperty, static_cast<int>(look.Result));
    }
    return box;
}

int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpCtx*/) {
    if (MessageDlgHandler) return MessageDlgHandler(type, msg, buttons);
    const std::unique_ptr<QMessageBox> box = CreateMessageDialog(msg, type, buttons);
    box->exec();
    const QAbstractButton* chosen = box->clickedButton();
    return chosen ? chosen->property(ModalResultProperty).toInt() : static_cast<int>(mrCancel);
}

void ShowMessage(const QString& msg) {
    MessageDlg(msg, mtCustom, {mbOK}, 0);
}
