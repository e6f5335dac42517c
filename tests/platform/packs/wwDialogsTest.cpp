// The grid pack's locate and filter dialogs over a small data set, driven as a user would: what
// they find and filter, the notices they show, and their texts from a language database written
// at test time.
#include "platform/packs/wwDialogs.h"
#include "platform/packs/wwFilterDlg.h"
#include "platform/packs/wwLocateDlg.h"

#include "frame/PublicUnit.h"
#include "localisation/Languages.h"
#include "platform/jet/DatabaseWriter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

struct Box {
    TMsgDlgType Type;
    QString Text;
    TMsgDlgButtons Buttons;
    bool operator==(const Box&) const = default;
};

[[maybe_unused]] void PrintTo(const Box& box, std::ostream* os) {
    *os << "{type " << box.Type << ", \"" << box.Text.toStdString() << "\", "
        << (box.Buttons == TMsgDlgButtons{mbOK} ? "OK" : "other buttons") << "}";
}

} // namespace

[[maybe_unused]] static void PrintTo(const TwwFieldInfo& info, std::ostream* os) {
    *os << "{" << info.FieldName.toStdString() << ", \"" << info.SearchValue.toStdString() << "\", match "
        << info.MatchType << (info.CaseSensitive ? ", case sensitive}" : "}");
}

namespace {

Box Information(const QString& text) {
    return {mtInformation, text, {mbOK}};
}

const QString NoSearchedFields = "Aucun critère de recherche";
const QString NoMatch = "Aucune correspondance";
const QString NoNextMatch = "Plus aucune correspondance";

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-dialogs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        AppSettings.AppFolder = QString::fromStdString(folder.string()) + '/';
        AppSettings.ProviderName = "Microsoft.Jet.OLEDB.4.0";
        saved = LanguageSettings;
        LanguageSettings.LanguageIndex = 5;
        LanguageSettings.LanguageColumn = "FRENCH";
        DropLanguageDatabase();
        WriteLanguageDatabase();
        MessageDlgHandler = [this](TMsgDlgType type, const QString& text, TMsgDlgButtons buttons) {
            boxes.push_back({type, text, buttons});
            return int(mrOk);
        };

        ID = new TIntegerField(Customers.get());
        ID->SetFieldName("ID");
        ID->SetDataSet(Customers.get());
        Name = new TStringField(Customers.get());
        Name->SetFieldName("Name");
        Name->SetDisplayLabel("Surname");
        Name->SetDataSet(Customers.get());
        City = new TStringField(Customers.get());
        City->SetFieldName("City");
        City->SetDataSet(Customers.get());
        Customers->Open();
        Customers->AppendRecord({1, "Smith", "Berlin"});
        Customers->AppendRecord({2, "smithers", "Paris"});
        Customers->AppendRecord({3, "Jones", "Bern"});
        Customers->AppendRecord({4, "SMITH", "Oslo"});
        Customers->AppendRecord({5, "Blacksmith", "Bergen"});
        Customers->First();
        Source->SetDataSet(Customers.get());
    }
    void TearDown() override {
        MessageDlgHandler = nullptr;
        TwwDialogForm::ShowModalHandler = nullptr;
        LanguageSettings = saved;
        DropLanguageDatabase();
        std::filesystem::remove_all(folder);
    }

    void WriteLanguageDatabase() {
        using jet::ColumnType;
        struct FormRow {
            const char16_t *Form, *Control, *Property, *English, *French;
        };
        const FormRow formRows[] = {
            {u"wwLocateDlg", u"wwLocateDlg", u"Caption", u"Locate Field Value", u"Rechercher une valeur"},
            {u"wwLocateDlg", u"FieldNameLabel", u"Caption", u"&Field name:", u"Nom du &champ :"},
            {u"wwLocateDlg", u"MatchTypeGroup", u"Caption", u"Match type", u"Type de correspondance"},
            {u"wwLocateDlg", u"MatchTypeGroup", u"Items1", u"Partial match at beginning", u"Au début"},
            {u"wwLocateDlg", u"FirstButton", u"Caption", u"Fi&rst", u"&Premier"},
            {u"wwLocateDlg", u"NextButton", u"Caption", u"&Next", u"&Suivant"},
            {u"wwFilterDlg", u"wwFilterDlg", u"Caption", u"Filter", u"Filtre"},
            {u"wwFilterDlg", u"tsSearched", u"Caption", u"&Searched", u"&Recherchés"},
            {u"wwFilterDlg", u"ViewButton", u"Caption", u"View Su&mmary", u"Voir le ré&sumé"},
            {u"wwFilterDlg", u"MatchTypeGroup", u"Items1", u"Partial match at beginning", u"Au début"},
            {u"wwFilterDlg", u"MatchTypeGroup", u"Items2", u"Partial match anywhere", u"N'importe où"},
            {u"wwFilterDlg", u"CaseSensitiveCheckBox", u"Caption", u"&Case sensitive",
             u"Respecter la c&asse"},
        };
        jet::DatabaseWriter w(folder / "languages.mdb");
        w.BeginTable(u"FormStrings", {{u"FormName", ColumnType::Text},
                                      {u"ControlName", ColumnType::Text},
                                      {u"PropertyName", ColumnType::Text},
                                      {u"ENGLISH_US", ColumnType::LongText},
                                      {u"FRENCH", ColumnType::LongText}});
        for (const FormRow& r : formRows)
            w.AddRow(std::vector<jet::Value>{std::u16string(r.Form), std::u16string(r.Control),
                                             std::u16string(r.Property), std::u16string(r.English),
                                             std::u16string(r.French)});
        w.BeginTable(u"MessageStrings", {{u"StringID", ColumnType::LongInteger},
                                         {u"ENGLISH_US", ColumnType::LongText},
                                         {u"FRENCH", ColumnType::LongText}});
        w.AddRow(std::vector<jet::Value>{207, u"No criteria", NoSearchedFields.toStdU16String()});
        w.AddRow(std::vector<jet::Value>{208, u"No match", NoMatch.toStdU16String()});
        w.AddRow(std::vector<jet::Value>{209, u"No more matches", NoNextMatch.toStdU16String()});
        w.Commit();
    }

    void RemoveLanguageDatabase() {
        DropLanguageDatabase();
        std::filesystem::remove(folder / "languages.mdb");
    }

    std::unique_ptr<TwwLocateDlg> LocateDlg() {
        auto dialog = std::make_unique<TwwLocateDlg>(nullptr);
        dialog->SetDataSource(Source.get());
        return dialog;
    }
    std::unique_ptr<TwwFilterDlg> FilterDlg() {
        auto dialog = std::make_unique<TwwFilterDlg>(nullptr);
        dialog->SetDataSource(Source.get());
        return dialog;
    }

    // The user's criteria in the locate dialog.
    void Enter(TwwLocateDlg& dialog, const TwwFieldInfo& criteria) {
        dialog.FieldNameComboBox->SetItemIndex(
            dialog.FieldNameComboBox->findText(Customers->FieldByName(criteria.FieldName)->DisplayLabel()));
        dialog.FieldValueEdit->SetText(criteria.SearchValue);
        dialog.MatchTypeGroup->Buttons(criteria.MatchType)->click();
        dialog.CaseSensitiveCheckBox->SetChecked(criteria.CaseSensitive);
    }
    // The user's criteria for one field in the filter dialog: the field chosen on the page shown.
    void Enter(TwwFilterDlg& dialog, const TwwFieldInfo& criteria) {
        TListBox* list = dialog.FieldTabSet->ActivePage() == dialog.tsAll ? dialog.AllFieldsListBox
                                                                          : dialog.SearchedFieldsListBox;
        const QString label = Customers->FieldByName(criteria.FieldName)->DisplayLabel();
        list->setCurrentItem(list->findItems(label, Qt::MatchExactly).value(0));
        dialog.SearchValueEdit->SetText(criteria.SearchValue);
        dialog.MatchTypeGroup->Buttons(criteria.MatchType)->click();
        dialog.CaseSensitiveCheckBox->SetChecked(criteria.CaseSensitive);
    }
    // A click on the tab of the other page.
    static void ClickTab(TwwFilterDlg& dialog, TTabSheet* page) {
        dialog.FieldTabSet->tabBar()->setCurrentIndex(page->PageIndex());
    }

    QStringList VisibleNames() const {
        QStringList names;
        for (int recNo = 1; recNo <= Customers->RecordCount(); ++recNo)
            names << Customers->FieldValue(recNo, Name).toString();
        return names;
    }

    std::filesystem::path folder;
    LanguageSettingsRecord saved;
    std::vector<Box> boxes;
    std::unique_ptr<TDataSet> Customers = std::make_unique<TDataSet>(nullptr);
    std::unique_ptr<TDataSource> Source = std::make_unique<TDataSource>(nullptr);
    TField* ID = nullptr;
    TField* Name = nullptr;
    TField* City = nullptr;
};

TEST_F(DialogsTest, TranslatedWhenCreated) {
    const auto locate = LocateDlg();
    const auto filter = FilterDlg();
    struct Case {
        const char* what;
        QString shown;
        QString expected;
    };
    const Case cases[] = {
        {"locate title", locate->windowTitle(), "Rechercher une valeur"},
        {"label", locate->FieldNameLabel->text(), "Nom du &champ :"},
        {"label without a row", locate->FieldValueLabel->text(), "Field &value:"},
        {"radio group title", locate->MatchTypeGroup->title(), "Type de correspondance"},
        {"radio button with a row", locate->MatchTypeGroup->Buttons(1)->text(), "Au début"},
        {"radio button without a row", locate->MatchTypeGroup->Buttons(2)->text(), "Partial match anywhere"},
        {"first button", locate->FirstButton->text(), "&Premier"},
        {"next button", locate->NextButton->text(), "&Suivant"},
        {"close button without a row", locate->CloseButton->text(), "Close"},
        {"filter title", filter->windowTitle(), "Filtre"},
        {"tab without a row", filter->FieldTabSet->tabText(filter->tsAll->PageIndex()), "&All"},
        {"tab", filter->FieldTabSet->tabText(filter->tsSearched->PageIndex()), "&Recherchés"},
        {"view button", filter->ViewButton->text(), "Voir le ré&sumé"},
        {"filter's own radio rows", filter->MatchTypeGroup->Buttons(2)->text(), "N'importe où"},
        {"check box", filter->CaseSensitiveCheckBox->text(), "Respecter la c&asse"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shown, c.expected) << c.what;
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DialogsTest, LocateDialogMovesToEachMatchAndSaysWhenThereIsNone) {
    struct Case {
        const char* what;
        TwwFieldInfo criteria;
        std::vector<int> found; // RecNo after "Fi&rst", then after each "&Next"; 0 for no match
    };
    const Case cases[] = {
        {"exact, any case", {"Name", "smith", mtExactMatch, false}, {1, 4, 0}},
        {"exact, case counts", {"Name", "smith", mtExactMatch, true}, {0}},
        {"exact, case as written", {"Name", "SMITH", mtExactMatch, true}, {4, 0}},
        {"beginning, any case", {"Name", "smith", mtPartialMatchStart, false}, {1, 2, 4, 0}},
        {"beginning, case counts", {"Name", "smith", mtPartialMatchStart, true}, {2, 0}},
        {"anywhere, any case", {"Name", "SMITH", mtPartialMatchAny, false}, {1, 2, 4, 5, 0}},
        {"anywhere, case counts", {"Name", "smith", mtPartialMatchAny, true}, {2, 5, 0}},
        {"another field", {"City", "ber", mtPartialMatchStart, false}, {1, 3, 5, 0}},
        {"a number as the field holds it", {"ID", "03", mtExactMatch, false}, {3, 0}},
        {"a value no number field holds", {"ID", "three", mtExactMatch, false}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto dialog = LocateDlg();
        Enter(*dialog, c.criteria);
        EXPECT_EQ(dialog->Criteria(), c.criteria);
        Customers->SetRecNo(3);
        for (std::size_t step = 0; step < c.found.size(); ++step) {
            boxes.clear();
            const int before = Customers->RecNo();
            (step == 0 ? dialog->FirstButton : dialog->NextButton)->Click();
            if (c.found[step] > 0) {
                EXPECT_EQ(Customers->RecNo(), c.found[step]) << "step " << step;
                EXPECT_TRUE(boxes.empty()) << "step " << step;
            } else {
                EXPECT_EQ(Customers->RecNo(), before) << "step " << step;
                EXPECT_EQ(boxes, std::vector<Box>{Information(step == 0 ? NoMatch : NoNextMatch)})
                    << "step " << step;
            }
        }
    }
}

// The text as the database returns it, also when there is none to return; the dialogs open all
// the same, with their designer's texts.
TEST_F(DialogsTest, NoticesShowTheLookedUpTextAsReturned) {
    struct Trigger {
        const char* what;
        std::function<void()> run;
        QString notice;
    };
    const Trigger triggers[] = {
        {"locate: no first match",
         [&] {
             const auto dialog = LocateDlg();
             Enter(*dialog, {"Name", "Miller", mtExactMatch, false});
             dialog->FirstButton->Click();
         },
         NoMatch},
        {"locate: no next match",
         [&] {
             const auto dialog = LocateDlg();
             Enter(*dialog, {"Name", "Jones", mtExactMatch, false});
             dialog->FirstButton->Click();
             dialog->NextButton->Click();
         },
         NoNextMatch},
        {"filter: summary without criteria",
         [&] {
             const auto dialog = FilterDlg();
             dialog->ViewButton->Click();
         },
         NoSearchedFields},
        {"filter: to the searched page without criteria",
         [&] {
             const auto dialog = FilterDlg();
             ClickTab(*dialog, dialog->tsSearched);
             EXPECT_EQ(dialog->FieldTabSet->ActivePage(), dialog->tsAll);
             EXPECT_EQ(dialog->FieldTabSet->tabBar()->currentIndex(), dialog->tsAll->PageIndex());
         },
         NoSearchedFields},
    };
    for (const bool present : {true, false}) {
        if (!present) RemoveLanguageDatabase();
        for (const Trigger& t : triggers) {
            SCOPED_TRACE(std::string(t.what) + (present ? "" : ", database missing"));
            boxes.clear();
            t.run();
            EXPECT_EQ(boxes, std::vector<Box>{Information(present ? t.notice : QString())});
        }
    }
    EXPECT_EQ(LocateDlg()->windowTitle(), "Locate Field Value");
    EXPECT_EQ(FilterDlg()->ViewButton->text(), "View Su&mmary");
}

TEST_F(DialogsTest, LocateComponentSearchesWithItsValue) {
    struct Case {
        const char* what;
        bool next;
        QString value;
        bool showMessages;
        int from;
        bool found;
        int recNo; // afterwards
    };
    const Case cases[] = {
        {"first, found", false, "Jones", true, 1, true, 3},
        {"first, from the top", false, "smith", true, 4, true, 1},
        {"first, none", false, "Miller", true, 2, false, 2},
        {"first, none, quietly", false, "Miller", false, 2, false, 2},
        {"next, found", true, "smith", true, 1, true, 4},
        {"next, none after this one", true, "smith", true, 4, false, 4},
        {"next, none, quietly", true, "smith", false, 4, false, 4},
    };
    TwwDialogForm::ShowModalHandler = [](TwwDialogForm&) { ADD_FAILURE() << "a dialog opened"; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        Customers->SetRecNo(c.from);
        TwwLocateDialog locate(nullptr);
        locate.SetDataSource(Source.get());
        locate.SetSearchField("Name");
        locate.SetFieldValue(c.value);
        locate.SetShowMessages(c.showMessages);
        EXPECT_EQ(c.next ? locate.FindNext() : locate.FindFirst(), c.found);
        EXPECT_EQ(Customers->RecNo(), c.recNo);
        // Both searches say that no further match was found.
        EXPECT_EQ(boxes, !c.found && c.showMessages ? std::vector<Box>{Information(NoNextMatch)}
                                                    : std::vector<Box>{});
    }
}

TEST_F(DialogsTest, LocateComponentWithoutValueOpensTheDialog) {
    struct Case {
        const char* what;
        std::function<bool(TwwLocateDialog&)> call;
        bool nextIsDefault;
    };
    const Case cases[] = {
        {"FindFirst", [](TwwLocateDialog& l) { return l.FindFirst(); }, false},
        {"FindNext", [](TwwLocateDialog& l) { return l.FindNext(); }, true},
        {"Execute", [](TwwLocateDialog& l) { return l.Execute(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        Customers->First();
        TwwLocateDialog locate(nullptr);
        locate.SetDataSource(Source.get());
        locate.SetSearchField("City");
        locate.SetMatchType(mtPartialMatchStart);
        int opened = 0;
        TwwDialogForm::ShowModalHandler = [&](TwwDialogForm& form) {
            ++opened;
            auto* dialog = qobject_cast<TwwLocateDlg*>(&form);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Rechercher une valeur");
            EXPECT_EQ(dialog->FirstButton->Default(), !c.nextIsDefault);
            EXPECT_EQ(dialog->NextButton->Default(), c.nextIsDefault);
            EXPECT_EQ(dialog->Criteria(), (TwwFieldInfo{"City", "", mtPartialMatchStart, false}));
            dialog->FieldValueEdit->SetText("Os");
            dialog->FirstButton->Click();
            dialog->CloseButton->Click();
        };
        EXPECT_TRUE(c.call(locate));
        EXPECT_EQ(opened, 1);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(Customers->RecNo(), 4);
        // What the user searched for is the component's next search.
        EXPECT_EQ(locate.FieldValue(), "Os");
    }
    TwwLocateDialog named(nullptr);
    named.SetDataSource(Source.get());
    named.SetCaption("Find a customer");
    TwwDialogForm::ShowModalHandler = [](TwwDialogForm& form) {
        EXPECT_EQ(form.windowTitle(), "Find a customer");
    };
    EXPECT_FALSE(named.Execute());
}

TEST_F(DialogsTest, ComponentsWithoutAnActiveDataSetWarnInThePacksOwnWords) {
    const Box warning{mtWarning, "DataSource does not refer to an active table!", {mbOK}};
    TDataSource empty(nullptr);
    struct State {
        const char* what;
        TDataSource* source;
        bool open;
    };
    const State states[] = {
        {"no data source", nullptr, true}, {"no data set", &empty, true}, {"closed", Source.get(), false}};
    struct Operation {
        const char* what;
        std::function<bool(TDataSource*)> run;
    };
    const Operation operations[] = {
        {"FindFirst with a value",
         [](TDataSource* s) {
             TwwLocateDialog l(nullptr);
             l.SetDataSource(s);
             l.SetFieldValue("Smith");
             return l.FindFirst();
         }},
        {"FindNext without a value",
         [](TDataSource* s) {
             TwwLocateDialog l(nullptr);
             l.SetDataSource(s);
             return l.FindNext();
         }},
        {"locate Execute",
         [](TDataSource* s) {
             TwwLocateDialog l(nullptr);
             l.SetDataSource(s);
             return l.Execute();
         }},
        {"filter Execute",
         [](TDataSource* s) {
             TwwFilterDialog f(nullptr);
             f.SetDataSource(s);
             return f.Execute();
         }},
    };
    TwwDialogForm::ShowModalHandler = [](TwwDialogForm&) { ADD_FAILURE() << "a dialog opened"; };
    for (const State& s : states) {
        Customers->SetActive(s.open);
        for (const Operation& o : operations) {
            SCOPED_TRACE(std::string(s.what) + ", " + o.what);
            boxes.clear();
            EXPECT_FALSE(o.run(s.source));
            EXPECT_EQ(boxes, std::vector<Box>{warning});
        }
    }
}

TEST_F(DialogsTest, FilterDialogSummarisesCriteriaAndListsTheSearchedFields) {
    const auto dialog = FilterDlg();
    EXPECT_EQ(dialog->CurrentField(), "ID");
    Enter(*dialog, {"Name", "smith", mtPartialMatchStart, false});
    Enter(*dialog, {"City", "er", mtPartialMatchAny, true}); // takes the surname's criteria over
    dialog->ViewButton->Click();
    EXPECT_EQ(boxes, std::vector<Box>{Information("Surname: \"smith\" (Au début)\n"
                                                  "City: \"er\" (N'importe où, Respecter la casse)")});

    boxes.clear();
    ClickTab(*dialog, dialog->tsSearched);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialog->FieldTabSet->ActivePage(), dialog->tsSearched);
    ASSERT_EQ(dialog->SearchedFieldsListBox->Items()->Count(), 2);
    EXPECT_EQ(dialog->SearchedFieldsListBox->Items()->Strings(0), "Surname");
    EXPECT_EQ(dialog->SearchedFieldsListBox->Items()->Strings(1), "City");
    EXPECT_EQ(dialog->SearchedFieldsListBox->currentRow(), 1);

    // Choosing a field shows its criteria; emptying its value drops it from the searched ones.
    dialog->SearchedFieldsListBox->setCurrentRow(0);
    EXPECT_EQ(dialog->SearchValueEdit->Text(), "smith");
    EXPECT_EQ(dialog->MatchTypeGroup->ItemIndex(), mtPartialMatchStart);
    EXPECT_FALSE(dialog->CaseSensitiveCheckBox->Checked());
    dialog->SearchValueEdit->SetText("");
    ClickTab(*dialog, dialog->tsAll);
    EXPECT_EQ(dialog->FieldTabSet->ActivePage(), dialog->tsAll);
    EXPECT_EQ(dialog->FieldInfo(), (std::vector<TwwFieldInfo>{{"City", "er", mtPartialMatchAny, true}}));
    EXPECT_EQ(dialog->SearchedFieldsListBox->Items()->Count(), 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DialogsTest, FilterDialogKeepsAFieldWhoseValueItCannotHold) {
    const auto dialog = FilterDlg();
    Enter(*dialog, {"ID", "three", mtExactMatch, false});
    ClickTab(*dialog, dialog->tsSearched);
    EXPECT_EQ(dialog->FieldTabSet->ActivePage(), dialog->tsAll);
    dialog->ViewButton->Click();
    dialog->AllFieldsListBox->setCurrentRow(1);
    EXPECT_EQ(dialog->CurrentField(), "ID");
    EXPECT_EQ(dialog->AllFieldsListBox->currentRow(), 0);
    dialog->OKButton->Click();
    EXPECT_EQ(dialog->ModalResult(), mrNone);
    // Refused without a notice: neither 207 nor a summary.
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(dialog->FieldInfo().empty());

    dialog->MatchTypeGroup->Buttons(mtPartialMatchAny)->click(); // a text can be looked for anywhere
    ClickTab(*dialog, dialog->tsSearched);
    EXPECT_EQ(dialog->FieldTabSet->ActivePage(), dialog->tsSearched);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DialogsTest, FilterComponentFiltersOnOkOnly) {
    TwwFilterDialog filter(nullptr);
    filter.SetDataSource(Source.get());
    struct Case {
        const char* what;
        std::vector<TwwFieldInfo> entered;
        TButton* TwwFilterDlg::*button;
        QStringList visible;
    };
    const Case cases[] = {
        {"cancelled",
         {{"Name", "Jones", mtExactMatch, false}},
         &TwwFilterDlg::CancelButton,
         {"Smith", "smithers", "Jones", "SMITH", "Blacksmith"}},
        {"one field",
         {{"Name", "smith", mtPartialMatchStart, false}},
         &TwwFilterDlg::OKButton,
         {"Smith", "smithers", "SMITH"}},
        {"all criteria count",
         {{"Name", "smith", mtPartialMatchAny, false}, {"City", "Ber", mtPartialMatchStart, true}},
         &TwwFilterDlg::OKButton,
         {"Smith", "Blacksmith"}},
        {"a number", {{"ID", "4", mtExactMatch, false}}, &TwwFilterDlg::OKButton, {"SMITH"}},
        {"cancelled again", {{"ID", "1", mtExactMatch, false}}, &TwwFilterDlg::CancelButton, {"SMITH"}},
    };
    std::vector<TwwFieldInfo> kept;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TwwDialogForm::ShowModalHandler = [&](TwwDialogForm& form) {
            auto* dialog = qobject_cast<TwwFilterDlg*>(&form);
            ASSERT_NE(dialog, nullptr);
            // The dialog starts from the criteria applied last.
            EXPECT_EQ(dialog->FieldInfo(), kept);
            for (const TwwFieldInfo& info : kept)
                Enter(*dialog, {info.FieldName, "", mtExactMatch, false});
            for (const TwwFieldInfo& info : c.entered)
                Enter(*dialog, info);
            (dialog->*c.button)->Click();
        };
        const bool ok = c.button == &TwwFilterDlg::OKButton;
        EXPECT_EQ(filter.Execute(), ok);
        if (ok) kept = c.entered;
        EXPECT_EQ(filter.FieldInfo(), kept);
        EXPECT_EQ(Customers->Filtered(), !kept.empty());
        EXPECT_EQ(VisibleNames(), c.visible);
    }
    filter.SetFieldInfo({});
    filter.ApplyFilter();
    EXPECT_FALSE(Customers->Filtered());
    EXPECT_EQ(VisibleNames().size(), 5);
    EXPECT_TRUE(boxes.empty());
}

// Without the handler the dialog runs its own modal loop until a button or the window ends it.
TEST_F(DialogsTest, ModalLoopEndsWithTheResultGiven) {
    struct Case {
        const char* what;
        std::function<void(TwwFilterDlg&)> act;
        int result;
    };
    const Case cases[] = {
        {"OK", [](TwwFilterDlg& d) { d.OKButton->Click(); }, mrOk},
        {"Cancel", [](TwwFilterDlg& d) { d.CancelButton->Click(); }, mrCancel},
        {"window closed", [](TwwFilterDlg& d) { d.close(); }, mrCancel},
        {"Escape",
         [](TwwFilterDlg& d) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&d, &escape);
         },
         mrCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto dialog = FilterDlg();
        QTimer::singleShot(0, dialog.get(), [&] { c.act(*dialog); });
        EXPECT_EQ(dialog->ShowModal(), c.result);
        EXPECT_FALSE(dialog->isVisible());
    }
}

} // namespace
