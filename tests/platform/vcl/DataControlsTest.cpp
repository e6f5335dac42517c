// The data-aware classes: their class names and published texts, controls that show and write the
// current record's field, the grid and the data set actions.
#include "platform/vcl/DB.h"
#include "platform/vcl/DBActns.h"
#include "platform/vcl/DBCtrls.h"
#include "platform/vcl/DBGrids.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <QRadioButton>

#include <functional>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// What the translator relies on: the exact class name, and which texts are published by name.
TEST(DataClassesTest, ClassNamesAndPublishedTexts) {
    using Make = std::function<TComponent*(TComponent*)>;
    struct Case {
        const char* className;
        Make make;
        QStringList published;
        QStringList absent;
    };
    const QStringList label = {"DisplayLabel"};
    const QStringList noTexts = {"Caption", "Hint", "Items"};
    const Case cases[] = {
        {"TIntegerField", [](TComponent* o) { return new TIntegerField(o); }, label, noTexts},
        {"TLargeIntField", [](TComponent* o) { return new TLargeIntField(o); }, label, noTexts},
        {"TWordField", [](TComponent* o) { return new TWordField(o); }, label, noTexts},
        {"TSmallintField", [](TComponent* o) { return new TSmallintField(o); }, label, noTexts},
        {"TWideStringField", [](TComponent* o) { return new TWideStringField(o); }, label, noTexts},
        {"TDateTimeField", [](TComponent* o) { return new TDateTimeField(o); }, label, noTexts},
        {"TStringField", [](TComponent* o) { return new TStringField(o); }, label, noTexts},
        {"TAutoIncField", [](TComponent* o) { return new TAutoIncField(o); }, label, noTexts},
        {"TBooleanField", [](TComponent* o) { return new TBooleanField(o); }, label, noTexts},
        {"TBCDField", [](TComponent* o) { return new TBCDField(o); }, label, noTexts},
        {"TCurrencyField", [](TComponent* o) { return new TCurrencyField(o); }, label, noTexts},
        {"TFloatField", [](TComponent* o) { return new TFloatField(o); }, label, noTexts},
        {"TWideMemoField", [](TComponent* o) { return new TWideMemoField(o); }, label, noTexts},
        {"TDBCheckBox", [](TComponent* o) { return new TDBCheckBox(o); }, {"Caption", "Hint"}, {"Items"}},
        {"TDBRadioGroup",
         [](TComponent* o) { return new TDBRadioGroup(o); },
         {"Caption", "Hint", "Items"},
         {}},
        {"TDBComboBox", [](TComponent* o) { return new TDBComboBox(o); }, {"Hint", "Items"}, {"Caption"}},
        {"TDBText", [](TComponent* o) { return new TDBText(o); }, {}, {"Caption", "Items"}},
        {"TDBEdit", [](TComponent* o) { return new TDBEdit(o); }, {}, {"Caption", "Items"}},
        {"TDBGrid", [](TComponent* o) { return new TDBGrid(o); }, {}, {"Caption", "Items"}},
        {"TDataSetInsert",
         [](TComponent* o) { return new TDataSetInsert(o); },
         {"Caption", "Hint"},
         {"Items"}},
        {"TDataSetDelete",
         [](TComponent* o) { return new TDataSetDelete(o); },
         {"Caption", "Hint"},
         {"Items"}},
        {"TDataSetEdit", [](TComponent* o) { return new TDataSetEdit(o); }, {"Caption", "Hint"}, {"Items"}},
        {"TDataSetPost", [](TComponent* o) { return new TDataSetPost(o); }, {"Caption", "Hint"}, {"Items"}},
        {"TDataSetCancel",
         [](TComponent* o) { return new TDataSetCancel(o); },
         {"Caption", "Hint"},
         {"Items"}},
        {"TDataSet", [](TComponent* o) { return new TDataSet(o); }, {}, noTexts},
        {"TDataSource", [](TComponent* o) { return new TDataSource(o); }, {}, noTexts},
    };
    TForm form(nullptr);
    TStringList entries;
    entries.Add("first");
    for (const Case& c : cases) {
        TComponent* component = c.make(&form);
        EXPECT_EQ(component->ClassName(), c.className);
        for (const QString& name : c.published) {
            if (name == "Items") {
                SetStringsProp(component, name, &entries);
                EXPECT_EQ(GetStringsProp(component, name)->Text(), "first\n") << c.className;
            } else {
                SetStrProp(component, name, "text");
                EXPECT_EQ(component->Object()->property(name.toLatin1()).toString(), "text") << c.className;
            }
        }
        for (const QString& name : c.absent)
            EXPECT_FALSE(IsPublishedProp(component, name)) << c.className << " " << name.toStdString();
    }
    // The read-only text is a control, so the form's font reaches it.
    EXPECT_NE(dynamic_cast<TControl*>(new TDBText(&form)), nullptr);
}

// Texts written by name show where the user sees them.
TEST(DataClassesTest, PublishedTextsShowOnScreen) {
    TForm form(nullptr);
    auto* check = new TDBCheckBox(&form);
    SetStrProp(check, "Caption", "Member");
    SetStrProp(check, "Hint", "Belongs to the club");
    EXPECT_EQ(check->text(), "Member");
    EXPECT_EQ(check->toolTip(), "Belongs to the club");

    auto* group = new TDBRadioGroup(&form);
    group->Items()->Add("Red");
    group->Items()->Add("Green");
    SetStrProp(group, "Caption", "Colour");
    SetStrProp(group, "Hint", "Pick one");
    QObject tag;
    TStringList translated;
    translated.AddObject("Rot", &tag);
    translated.Add("Grün");
    translated.Add("Blau");
    SetStringsProp(group, "Items", &translated);
    EXPECT_EQ(group->title(), "Colour");
    EXPECT_EQ(group->toolTip(), "Pick one");
    ASSERT_NE(group->Button(2), nullptr);
    EXPECT_EQ(group->Button(0)->text(), "Rot");
    EXPECT_EQ(group->Button(2)->text(), "Blau");
    EXPECT_EQ(group->Button(3), nullptr);
    EXPECT_EQ(group->Items()->Objects(0), &tag);
    group->Items()->SetStrings(1, "Gruen");
    EXPECT_EQ(group->Button(1)->text(), "Gruen");

    auto* combo = new TDBComboBox(&form);
    combo->Items()->Add("old");
    SetStringsProp(combo, "Items", &translated);
    SetStrProp(combo, "Hint", "Colour");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(1), "Grün");
    EXPECT_EQ(combo->toolTip(), "Colour");

    auto* post = new TDataSetPost(&form);
    SetStrProp(post, "Caption", "Save");
    SetStrProp(post, "Hint", "Saves the record");
    EXPECT_EQ(post->text(), "Save");
    EXPECT_EQ(post->toolTip(), "Saves the record");

    // A field's label is its column's title.
    TDataSet data(&form);
    auto* field = new TStringField(&form);
    field->SetFieldName("Colour");
    field->SetDataSet(&data);
    auto* source = new TDataSource(&form);
    source->SetDataSet(&data);
    auto* grid = new TDBGrid(&form);
    grid->SetDataSource(source);
    SetStrProp(field, "DisplayLabel", "Farbe");
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Farbe");
}

// What the controls bound to one pet show.
struct Shown {
    QString name, age;
    bool vaccinated;
    QString kind;
    int kindIndex;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
    *os << s.name.toStdString() << " | " << s.age.toStdString() << " | " << s.vaccinated << " | "
        << s.kind.toStdString() << " | " << s.kindIndex;
}

class DataControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Pets = new TDataSet(&form);
        auto add = [this](TField* field, const char* name) {
            field->SetFieldName(name);
            field->SetDataSet(Pets);
        };
        add(new TStringField(&form), "Name");
        add(new TStringField(&form), "Kind");
        add(new TBooleanField(&form), "Vaccinated");
        add(new TIntegerField(&form), "Age");
        Pets->Open();
        Pets->AppendRecord({"Rex", "dog", true, 3});
        Pets->AppendRecord({"Tom", "cat", false, 5});
        Pets->AppendRecord({"Polly", "parrot", {}, {}});
        Pets->First();
        Source = new TDataSource(&form);
        Source->SetDataSet(Pets);

        Name = new TDBText(&form);
        Age = new TDBEdit(&form);
        Vaccinated = new TDBCheckBox(&form);
        Kind = new TDBComboBox(&form);
        Kind->Items()->SetText("cat\ndog\n");
        KindGroup = new TDBRadioGroup(&form);
        KindGroup->Items()->SetText("Cat\nDog\n");
        KindGroup->Values()->SetText("cat\ndog\n");
        Bind(Name, "Name");
        Bind(Age, "Age");
        Bind(Vaccinated, "Vaccinated");
        Bind(Kind, "Kind");
        Bind(KindGroup, "Kind");
    }

    template <class Control> void Bind(Control* control, const char* field) {
        control->SetDataSource(Source);
        control->SetDataField(field);
    }

    Shown Showing() const {
        return {Name->text(), Age->text(), Vaccinated->isChecked(), Kind->currentText(),
                KindGroup->ItemIndex()};
    }

    TForm form{nullptr};
    TDataSet* Pets = nullptr;
    TDataSource* Source = nullptr;
    TDBText* Name = nullptr;
    TDBEdit* Age = nullptr;
    TDBCheckBox* Vaccinated = nullptr;
    TDBComboBox* Kind = nullptr;
    TDBRadioGroup* KindGroup = nullptr;
};

TEST_F(DataControlsTest, ControlsShowTheCurrentRecord) {
    const std::pair<int, Shown> records[] = {
        {1, {"Rex", "3", true, "dog", 1}},
        {2, {"Tom", "5", false, "cat", 0}},
        {3, {"Polly", "", false, "parrot", -1}}, // a kind no entry has
        {1, {"Rex", "3", true, "dog", 1}},
    };
    for (const auto& [recNo, shown] : records) {
        Pets->SetRecNo(recNo);
        EXPECT_EQ(Showing(), shown) << recNo;
    }

    // Changes made elsewhere show at once.
    Pets->Edit();
    Pets->FieldByName("Name")->SetValue("Rexy");
    Pets->FieldByName("Kind")->SetValue("cat");
    EXPECT_EQ(Showing(), (Shown{"Rexy", "3", true, "cat", 0}));
    Pets->Cancel();
    EXPECT_EQ(Showing(), (Shown{"Rex", "3", true, "dog", 1}));

    // A field that is not there, a closed set, a source without a set: nothing to show.
    Name->SetDataField("Owner");
    EXPECT_EQ(Name->text(), "");
    Name->SetDataField("Name");
    Pets->Close();
    EXPECT_EQ(Showing(), (Shown{"", "", false, "", -1}));
    Pets->Open();
    EXPECT_EQ(Name->text(), "Rex");
    Source->SetDataSet(nullptr);
    EXPECT_EQ(Name->text(), "");
    Source->SetDataSet(Pets);
    EXPECT_EQ(Name->text(), "Rex");
    delete Pets;
    EXPECT_EQ(Showing(), (Shown{"", "", false, "", -1}));
}

TEST_F(DataControlsTest, EditingAControlWritesTheFieldInEditMode) {
    Pets->SetRecNo(2);
    Vaccinated->click();
    EXPECT_EQ(Pets->State(), dsEdit);
    EXPECT_EQ(Pets->FieldByName("Vaccinated")->AsString(), "True");

    KindGroup->Button(1)->click();
    EXPECT_EQ(Pets->FieldByName("Kind")->AsString(), "dog"); // the value, not the entry's text
    EXPECT_EQ(Kind->currentText(), "dog");
    Kind->setCurrentIndex(0);
    EXPECT_EQ(Pets->FieldByName("Kind")->AsString(), "cat");
    EXPECT_EQ(KindGroup->ItemIndex(), 0);
    Kind->setEditText("hamster");
    EXPECT_EQ(Pets->FieldByName("Kind")->AsString(), "hamster");
    EXPECT_EQ(KindGroup->ItemIndex(), -1);

    // A text the field refuses stays in the edit, unwritten, until editing ends.
    Age->setText("07");
    emit Age->textEdited("07");
    EXPECT_EQ(Pets->FieldByName("Age")->AsString(), "7");
    EXPECT_EQ(Age->text(), "07");
    Age->setText("7x");
    emit Age->textEdited("7x");
    EXPECT_EQ(Age->text(), "7x");
    EXPECT_EQ(Pets->FieldByName("Age")->AsString(), "7");
    emit Age->editingFinished();
    EXPECT_EQ(Age->text(), "7");

    Pets->Post();
    Pets->First();
    Pets->Next();
    EXPECT_EQ(Showing(), (Shown{"Tom", "7", true, "hamster", -1}));

    // Without a record to write to, a click changes nothing.
    Pets->Close();
    Vaccinated->click();
    EXPECT_FALSE(Vaccinated->isChecked());
    KindGroup->Button(0)->click();
    EXPECT_EQ(KindGroup->ItemIndex(), -1);
}

TEST_F(DataControlsTest, GridSelectsTheCurrentRecordAndMovesItWhenARowIsSelected) {
    auto* grid = new TDBGrid(&form);
    grid->SetDataSource(Source);
    Pets->FieldByName("Kind")->SetVisible(false);
    ASSERT_EQ(grid->model()->columnCount(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 0);
    Pets->Last();
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(2, {}));

    grid->selectRow(1);
    EXPECT_EQ(Pets->RecNo(), 2);
    EXPECT_EQ(Name->text(), "Tom");

    // After the rows change the current record's row is selected again.
    Pets->Insert();
    EXPECT_EQ(grid->currentIndex().row(), 1);
    EXPECT_EQ(grid->model()->rowCount(), 4);
    Pets->Cancel();
    EXPECT_EQ(grid->currentIndex().row(), 1);
    EXPECT_GT(grid->columnWidth(0), grid->columnWidth(2)); // 20 characters against 11
}

// Each action is enabled only while it can act on the set, and acts on it when run.
TEST_F(DataControlsTest, DataSetActionsFollowTheStateAndActOnTheSet) {
    auto* insert = new TDataSetInsert(&form);
    auto* remove = new TDataSetDelete(&form);
    auto* edit = new TDataSetEdit(&form);
    auto* post = new TDataSetPost(&form);
    auto* cancel = new TDataSetCancel(&form);
    const std::vector<TDataSetAction*> actions = {insert, remove, edit, post, cancel};
    const auto enabled = [&] {
        QString flags;
        for (TDataSetAction* action : actions)
            flags += action->isEnabled() ? '1' : '0';
        return flags;
    };
    EXPECT_EQ(enabled(), "00000"); // no source yet
    for (TDataSetAction* action : actions)
        action->SetDataSource(Source);

    struct Step {
        const char* what;
        std::function<void()> run;
        const char* enabled; // insert, delete, edit, post, cancel
        TDataSetState state;
        int records;
    };
    const Step steps[] = {
        {"browsing", [] {}, "11100", dsBrowse, 3},
        {"edit", [&] { edit->trigger(); }, "01011", dsEdit, 3},
        {"cancel", [&] { cancel->trigger(); }, "11100", dsBrowse, 3},
        {"insert", [&] { insert->trigger(); }, "01011", dsInsert, 4},
        {"post", [&] { post->trigger(); }, "11100", dsBrowse, 4},
        {"delete", [&] { remove->trigger(); }, "11100", dsBrowse, 3},
        {"emptied", [&] { Pets->EmptyDataSet(); }, "10100", dsBrowse, 0},
        {"closed", [&] { Pets->Close(); }, "00000", dsInactive, 0},
        {"reopened", [&] { Pets->Open(); }, "10100", dsBrowse, 0},
        {"without a set", [&] { Source->SetDataSet(nullptr); }, "00000", dsInactive, 0},
    };
    for (const Step& step : steps) {
        step.run();
        EXPECT_EQ(enabled(), step.enabled) << step.what;
        EXPECT_EQ(Source->State(), step.state) << step.what;
        EXPECT_EQ(Pets->RecordCount(), step.records) << step.what;
    }
    EXPECT_FALSE(post->Execute()); // disabled, it does nothing

    // A handler of its own replaces the action's work on the set.
    Source->SetDataSet(Pets);
    int ran = 0;
    remove->OnExecute = [&](TComponent*) { ++ran; };
    Pets->AppendRecord({"Rex"});
    remove->trigger();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(Pets->RecordCount(), 1);
}

} // namespace
