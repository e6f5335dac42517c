// Translating a form: one query for its rows, the key search, the rules by exact class name, the
// font rules, MDI children, and a failure that stops the form where it happened.
#include "FormFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"

class TRoundButton : public TButton {
    Q_OBJECT
public:
    using TButton::TButton;
};

namespace {


// GetFormString through the caption of a label: whole keys in any letter case, the first row, the
// ENGLISH_US text when the language's is empty.
TEST_F(FormTranslatorTest, CaptionIsTheFirstRowOfItsKey) {
    struct Case {
        const char* what;
        QString column;
        std::vector<Row> rows;
        QString caption;
    };
    const QString kept = "Designer lbName";
    const std::vector<Case> cases = {
        {"no row", "FRENCH", {}, kept},
        {"language text", "FRENCH", {{"frmTest", "lbName", "Caption", "Name", "Nom"}}, "Nom"},
        {"empty language text", "FRENCH", {{"frmTest", "lbName", "Caption", "Name", ""}}, "Name"},
        {"NULL language text", "FRENCH", {{"frmTest", "lbName", "Caption", "Name", std::nullopt}}, "Name"},
        {"both empty", "FRENCH", {{"frmTest", "lbName", "Caption", "", ""}}, ""},
        {"both NULL", "FRENCH", {{"frmTest", "lbName", "Caption", std::nullopt, std::nullopt}}, ""},
        {"ENGLISH_US column", "ENGLISH_US", {{"frmTest", "lbName", "Caption", "Name", "Nom"}}, "Name"},
        {"ENGLISH_US column, empty", "ENGLISH_US", {{"frmTest", "lbName", "Caption", "", "Nom"}}, ""},
        {"letter case of the key", "FRENCH", {{"frmTest", "LBNAME", "cAPTION", "Name", "Nom"}}, "Nom"},
        {"beginnings and extensions of the key",
         "FRENCH",
         {{"frmTest", "lbName", "Capt", "", "1"},
          {"frmTest", "lbNam", "Caption", "", "2"},
          {"frmTest", "lbName", "Caption2", "", "3"},
          {"frmTest", "lbName2", "Caption", "", "4"},
          {"frmTest", "lbName ", "Caption", "", "5"}},
         kept},
        {"first of two rows",
         "FRENCH",
         {{"frmTest", "lbName", "Caption", "", "Premier"}, {"frmTest", "LBNAME", "CAPTION", "", "Second"}},
         "Premier"},
        {"another form's row", "FRENCH", {{"frmOther", "lbName", "Caption", "", "Nom"}}, kept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFormStrings(c.rows);
        LanguageSettings.LanguageColumn = c.column;
        TfrmTest form(nullptr);
        auto* label = Control<TLabel>(&form, "lbName");
        TranslateForm(3, &form, true);
        EXPECT_EQ(label->Caption(), c.caption);
        EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Open);
        EXPECT_FALSE(LanguageQuery()->Active());
    }
}

TEST_F(FormTranslatorTest, OneStatementForTheFormsRows) {
    struct Case {
        QString column, form, statement;
    };
    const Case cases[] = {
        {"FRENCH", "frmTest",
         "select ControlName, PropertyName, ENGLISH_US, FRENCH from FormStrings where FormName='frmTest'"},
        {"ENGLISH_US", "frmTest",
         "select ControlName, PropertyName, ENGLISH_US from FormStrings where FormName='frmTest'"},
        {"english_us", "frmTest",
         "select ControlName, PropertyName, ENGLISH_US, english_us from FormStrings where "
         "FormName='frmTest'"},
        {"FRENCH", "O'Brien",
         "select ControlName, PropertyName, ENGLISH_US, FRENCH from FormStrings where FormName='O''Brien'"},
    };
    WriteFormStrings({{"frmTest", "frmTest", "Caption", "Test", "Essai"},
                      {"frmTest", "frmTest", "Hint", "", ""},
                      {"O'Brien", "O'Brien", "Caption", "O'Brien's", "D'O'Brien"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement.toStdString());
        LanguageSettings.LanguageColumn = c.column;
        TfrmTest form(nullptr, c.form);
        TranslateForm(3, &form, true);
        EXPECT_EQ(LanguageQuery()->SQL.join(""), c.statement);
        const bool french = c.column == "FRENCH";
        if (c.form == "O'Brien") {
            EXPECT_EQ(form.Caption(), french ? "D'O'Brien" : "O'Brien's");
            EXPECT_EQ(form.Hint(), "Designer hint");
        } else {
            EXPECT_EQ(form.Caption(), french ? "Essai" : "Test");
            EXPECT_EQ(form.Hint(), "");
        }
    }
}

// Each class name the rules know, exactly; anything else, a derived class included, is untouched.
TEST_F(FormTranslatorTest, ComponentsAreTranslatedByTheirExactClassName) {
    TfrmTest form(nullptr);
    const std::vector<std::pair<TControl*, bool>> cases = {
        {Control<TLabel>(&form, "lbName"), true},         {Control<TButton>(&form, "btClose"), true},
        {Control<TCheckBox>(&form, "cbAgain"), true},     {Control<TPanel>(&form, "pnTop"), true},
        {Control<TRoundButton>(&form, "btRound"), false}, {Named(new TImage(&form), "imHeader"), false},
    };
    cases.back().first->SetHint("Designer hint of imHeader");
    std::vector<Row> rows;
    for (const auto& [control, translated] : cases) {
        control->SetParentFont(false);
        control->Font()->SetCharset(0);
        rows.push_back({"frmTest", control->Name(), "Caption", "", "Text of " + control->Name()});
        rows.push_back({"frmTest", control->Name(), "Hint", "", "Hint of " + control->Name()});
    }
    WriteFormStrings(rows);
    std::vector<QString> captions;
    for (const auto& [control, translated] : cases)
        captions.push_back(control->Caption());

    TranslateForm(3, &form, true);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [control, translated] = cases[i];
        SCOPED_TRACE(control->ClassName().toStdString());
        EXPECT_EQ(control->Caption(), translated ? "Text of " + control->Name() : captions[i]);
        EXPECT_EQ(control->Hint(),
                  translated ? "Hint of " + control->Name() : "Designer hint of " + control->Name());
        EXPECT_EQ(control->Font()->Charset(), translated ? 1 : 0);
    }
}

struct FontState {
    int Charset;
    QString Name;
    int Size;
    bool ParentFont;
    bool operator==(const FontState&) const = default;
};

void PrintTo(const FontState& s, std::ostream* os) {
    *os << s.Charset << ' ' << s.Name.toStdString() << ' ' << s.Size << (s.ParentFont ? " parent" : " own");
}

FontState StateOf(TControl* control) {
    TFont* f = control->Font();
    return {f->Charset(), f->Name(), f->Size(), control->ParentFont()};
}

void SetFont(TControl* control, int charset, const QString& name, int size) {
    control->Font()->SetCharset(static_cast<std::uint8_t>(charset));
    control->Font()->SetName(name);
    control->Font()->SetSize(size);
}

// The form's font first, then each control's in the walk's order. A parent-font control whose
// parent has already given it the character set keeps following its parent; one that gets a new
// character set has a font of its own from then on, and also gets the face and the minimum size.
TEST_F(FormTranslatorTest, FontRules) {
    WriteFormStrings({});
    for (bool applyFonts : {true, false}) {
        SCOPED_TRACE(applyFonts ? "applyFonts" : "character sets only");
        TfrmTest form(nullptr);
        auto* lbFollows = Control<TLabel>(&form, "lbFollows");
        auto* lbOwn = Control<TLabel>(&form, "lbOwn");
        SetFont(lbOwn, 0, "Courier", 6);
        auto* lbLarge = Control<TLabel>(&form, "lbLarge");
        SetFont(lbLarge, 1, "Courier", 14);
        auto* lbBeforePanel = Control<TLabel>(&form, "lbBeforePanel"); // walked before its parent
        auto* pnOwn = Control<TPanel>(&form, "pnOwn");
        SetFont(pnOwn, 0, "Courier", 6);
        auto* lbAfterPanel = Control<TLabel>(&form, "lbAfterPanel");
        lbBeforePanel->SetParent(pnOwn);
        lbAfterPanel->SetParent(pnOwn);
        auto* imOwn = Named(new TImage(&form), "imOwn");
        SetFont(imOwn, 0, "Courier", 6);

        TranslateForm(3, &form, applyFonts);

        const FontState formFont =
            applyFonts ? FontState{1, "MS Sans Serif", 8, false} : FontState{1, "Arial", 12, false};
        const QString face = applyFonts ? "MS Sans Serif" : "Courier";
        const int small = applyFonts ? 8 : 6;
        EXPECT_EQ(StateOf(&form), formFont);
        EXPECT_EQ(StateOf(lbFollows), (FontState{1, formFont.Name, formFont.Size, true}));
        EXPECT_EQ(StateOf(lbOwn), (FontState{1, face, small, false}));
        EXPECT_EQ(StateOf(lbLarge), (FontState{1, face, 14, false}));
        EXPECT_EQ(StateOf(pnOwn), (FontState{1, face, small, false}));
        EXPECT_EQ(StateOf(lbBeforePanel), (FontState{1, face, small, false}));
        EXPECT_EQ(StateOf(lbAfterPanel), (FontState{1, face, small, true}));
        EXPECT_EQ(StateOf(imOwn), (FontState{0, "Courier", 6, false}));
        EXPECT_EQ(lbOwn->font().pointSize(), small);
        EXPECT_EQ(lbOwn->Caption(), "Designer lbOwn");
        EXPECT_EQ(form.Caption(), "Designer caption");
    }
}

// Without the database the form keeps its texts and has its own font, its components keep theirs,
// and the next translation starts afresh.
TEST_F(FormTranslatorTest, MissingDatabase) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        TfrmTest form(nullptr);
        auto* lbOwn = Control<TLabel>(&form, "lbOwn");
        SetFont(lbOwn, 0, "Courier", 6);
        TranslateForm(3, &form, true);
        EXPECT_EQ(StateOf(&form), (FontState{1, "MS Sans Serif", 8, false}));
        EXPECT_EQ(StateOf(lbOwn), (FontState{0, "Courier", 6, false}));
        EXPECT_EQ(form.Caption(), "Designer caption");
        EXPECT_EQ(lbOwn->Caption(), "Designer lbOwn");
        EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Absent);
    }
    WriteFormStrings({{"frmTest", "lbOwn", "Caption", "", "Nom"}});
    TfrmTest form(nullptr);
    auto* lbOwn = Control<TLabel>(&form, "lbOwn");
    TranslateForm(3, &form, true);
    EXPECT_EQ(lbOwn->Caption(), "Nom");
}

class MdiTest : public FormTranslatorTest {
protected:
    // frmHost, an MDI form, with a label, and two children with a label each; every text has a row.
    void SetUp() override {
        FormTranslatorTest::SetUp();
        host = new TfrmTest(nullptr, "frmHost");
        host->SetFormStyle(fsMDIForm);
        std::vector<Row> rows;
        for (const QString name : {"frmHost", "frmChildA", "frmChildB"}) {
            TfrmTest* form = host;
            if (name != "frmHost") {
                form = new TfrmTest(host, name);
                form->SetFormStyle(fsMDIChild);
            }
            QObject::connect(form, &QWidget::windowTitleChanged, [this, name] { translated << name; });
            labels.push_back(Control<TLabel>(form, "lbFirst"));
            rows.push_back({name, name, "Caption", "", "Title of " + name});
            rows.push_back({name, "lbFirst", "Caption", "", "First of " + name});
            rows.push_back({name, "lbLast", "Caption", "", "Last of " + name});
        }
        WriteFormStrings(rows);
    }
    void TearDown() override {
        delete host;
        FormTranslatorTest::TearDown();
    }

    TfrmTest* host = nullptr;
    std::vector<TLabel*> labels;
    QStringList translated; // forms in the order their captions were set
};

TEST_F(MdiTest, MdiFormTranslatesItsChildrenAfterItself) {
    TranslateForm(3, host, true);
    EXPECT_EQ(translated, QStringList({"frmHost", "frmChildA", "frmChildB"}));
    for (TLabel* label : labels)
        EXPECT_EQ(label->Caption(), "First of " + label->Owner()->Name());
    EXPECT_EQ(host->MDIChildren(1)->Caption(), "Title of frmChildB");
}

// A component that lacks what its rule needs ends its form's translation there: what was set
// stays set, the rest keeps the designer's texts and fonts, and the database is dropped. A child's
// failure is its own; the next child is translated.
TEST_F(MdiTest, FailureStopsTheFormWhereItHappened) {
    std::vector<TLabel*> lastLabels;
    for (TForm* form : {static_cast<TForm*>(host), host->MDIChildren(0)}) {
        Named(new TStandIn(form, "TButton"), "btStandIn");
        lastLabels.push_back(Control<TLabel>(form, "lbLast"));
        SetFont(lastLabels.back(), 0, "Courier", 6);
    }
    TranslateForm(3, host, true);
    EXPECT_EQ(translated, QStringList({"frmHost"}));
    EXPECT_EQ(labels[0]->Caption(), "First of frmHost");
    TLabel* lbLast = lastLabels[0];
    EXPECT_EQ(lbLast->Caption(), "Designer lbLast");
    EXPECT_EQ(StateOf(lbLast), (FontState{0, "Courier", 6, false}));
    EXPECT_EQ(labels[1]->Caption(), "Designer lbFirst");
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Absent);

    translated.clear();
    for (int i = 0; i < host->MDIChildCount(); ++i)
        TranslateForm(3, host->MDIChildren(i), true);
    EXPECT_EQ(translated, QStringList({"frmChildA", "frmChildB"}));
    EXPECT_EQ(labels[1]->Caption(), "First of frmChildA");
    EXPECT_EQ(labels[2]->Caption(), "First of frmChildB");
    EXPECT_EQ(CurrentLanguageDatabaseState(), LanguageDatabaseState::Open);
}

} // namespace

#include "FormTranslatorTest.moc"
