// The file dialogs' filters and set-up, and the message dialogs: what they would show, seen
// without a modal loop.
#include "platform/vcl/Dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <map>
#include <optional>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

TEST(FileDialogTest, FilterBecomesNameFilters) {
    const std::pair<const char*, QStringList> cases[] = {
        {"Text files (*.txt)|*.txt|All files (*.*)|*.*", {"Text files (*.txt)", "All files (*.*)"}},
        {"Pictures|*.jpg;*.jpeg; *.png", {"Pictures (*.jpg *.jpeg *.png)"}},
        // Parentheses that do not hold the patterns would be taken for them.
        {"Pictures (JPEG)|*.jpg;*.jpeg", {"Pictures (JPEG) (*.jpg *.jpeg)"}},
        {"Sites (*.xml;*.csv)|*.xml;*.csv", {"Sites (*.xml;*.csv) (*.xml *.csv)"}},
        {"", {}},
        {"Text files", {"Text files (*)"}},
        {"Text files (*.txt)", {"Text files (*.txt)"}},
        {"Text files (*.txt)|*.txt|Logs", {"Text files (*.txt)", "Logs (*)"}},
        {"Text files (*.txt)|*.txt|", {"Text files (*.txt)"}},
        {"|*.log", {"*.log"}},
        {"||Logs|*.log", {"Logs (*.log)"}},
        {"|", {}},
    };
    TOpenDialog dialog(nullptr);
    for (const auto& [filter, expected] : cases) {
        dialog.SetFilter(filter);
        EXPECT_EQ(dialog.Filter(), filter);
        EXPECT_EQ(dialog.NameFilters(), expected) << filter;
    }
}

// FilterIndex counts the pairs of Filter from 1, empty ones included, both ways.
TEST(FileDialogTest, DialogIsSetUpFromTheProperties) {
    TSaveDialog save(nullptr);
    save.SetFilter("||Text files (*.txt)|*.txt|Logs|*.log");
    save.SetTitle("Export the sites");
    save.SetDefaultExt("txt");
    const std::pair<int, QString> indexes[] = {
        {3, "Logs (*.log)"}, {2, "Text files (*.txt)"}, {9, "Text files (*.txt)"}};
    for (const auto& [index, selected] : indexes) {
        save.SetFilterIndex(index);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        save.SetUpDialog(dialog);
        EXPECT_EQ(dialog.nameFilters(), QStringList({"Text files (*.txt)", "Logs (*.log)"}));
        EXPECT_EQ(dialog.selectedNameFilter(), selected) << index;
        EXPECT_EQ(dialog.windowTitle(), "Export the sites");
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.defaultSuffix(), "txt");

        dialog.selectNameFilter("Logs (*.log)");
        save.TakeChoice(dialog);
        EXPECT_EQ(save.FilterIndex(), 3);
    }
    TOpenDialog open(nullptr);
    QFileDialog dialog;
    open.SetUpDialog(dialog);
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
}

// Tests see what would be shown through the handler, which answers in place of the user.
TEST(MessageDialogTest, HandlerSeesWhatWouldBeShown) {
    struct Shown {
        TMsgDlgType type;
        QString text;
        TMsgDlgButtons buttons;
    };
    std::optional<Shown> shown;
    MessageDlgHandler = [&](TMsgDlgType type, const QString& text, TMsgDlgButtons buttons) {
        shown = Shown{type, text, buttons};
        return static_cast<int>(mrNo);
    };
    EXPECT_EQ(MessageDlg("Delete the site?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->type, mtConfirmation);
    EXPECT_EQ(shown->text, "Delete the site?");
    EXPECT_EQ(shown->buttons, (TMsgDlgButtons{mbNo, mbYes}));
    EXPECT_FALSE(shown->buttons.Contains(mbOK));

    ShowMessage("");
    EXPECT_EQ(shown->type, mtCustom);
    EXPECT_EQ(shown->text, "");
    EXPECT_EQ(shown->buttons, TMsgDlgButtons{mbOK});
    MessageDlgHandler = nullptr;
}

// The real box: the application's title, the text as given, the type's icon, one button per
// member of the set, each answering its own result.
TEST(MessageDialogTest, BoxShowsTextIconAndOneButtonPerMember) {
    const QString title = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName("Orvane");
    struct Case {
        TMsgDlgType type;
        QMessageBox::Icon icon;
        TMsgDlgButtons buttons;
        std::map<QString, int> results; // by the button's text without its accelerator
    };
    const Case cases[] = {
        {mtInformation, QMessageBox::Information, {mbOK}, {{"OK", mrOk}}},
        {mtWarning, QMessageBox::Warning, mbOKCancel, {{"OK", mrOk}, {"Cancel", mrCancel}}},
        {mtError,
         QMessageBox::Critical,
         mbAbortRetryIgnore,
         {{"Abort", mrAbort}, {"Retry", mrRetry}, {"Ignore", mrIgnore}}},
        {mtConfirmation,
         QMessageBox::Question,
         {mbYes, mbNo, mbAll, mbNoToAll, mbYesToAll},
         {{"Yes", mrYes},
          {"No", mrNo},
          {"All", mrAll},
          {"No to All", mrNoToAll},
          {"Yes to All", mrYesToAll}}},
        {mtCustom, QMessageBox::NoIcon, {mbHelp, mbClose}, {{"Help", mrHelp}, {"Close", mrClose}}},
        {mtCustom, QMessageBox::NoIcon, {}, {{"OK", mrOk}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icon);
        for (const QString& text : {QString(), QStringLiteral("Line <b>one</b>\nline two")}) {
            const auto box = CreateMessageDialog(text, c.type, c.buttons);
            EXPECT_EQ(box->windowTitle(), "Orvane");
            EXPECT_EQ(box->text(), text);
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->icon(), c.icon);
            std::map<QString, int> results;
            for (QAbstractButton* button : box->buttons())
                results[button->text().remove('&')] = button->property("ModalResult").toInt();
            EXPECT_EQ(results, c.results);
        }
    }
    QGuiApplication::setApplicationDisplayName(title);
}

} // namespace
