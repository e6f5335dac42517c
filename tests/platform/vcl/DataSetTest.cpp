// The in-memory data set: navigation, editing, typed fields, filter, search, and the table model
// that grids show it through.
#include "platform/vcl/DB.h"

#include <gtest/gtest.h>

#include <QDate>

#include <functional>
#include <memory>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Customers: ID (numbered on posting), Name (at most 10 characters), Member, Born, Balance.
class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        Customers = new TDataSet(&owner);
        Customers->SetName("Customers");
        AddField(new TAutoIncField(&owner), "ID");
        auto* name = new TStringField(&owner);
        name->SetSize(10);
        AddField(name, "Name");
        AddField(new TBooleanField(&owner), "Member");
        AddField(new TDateTimeField(&owner), "Born");
        AddField(new TCurrencyField(&owner), "Balance");
        Customers->Open();
        Customers->AppendRecord({{}, "Anna", true, QDate(1980, 5, 1), 12.5});
        Customers->AppendRecord({{}, "bob", false, QDate(1975, 1, 2), 0});
        Customers->AppendRecord({{}, "Bert", true, QDate(1990, 7, 3), -3});
        Customers->AppendRecord({{}, "Carl", {}, {}, 100});
        Customers->First();
    }

    void AddField(TField* field, const QString& name) {
        field->SetFieldName(name);
        field->SetDataSet(Customers);
    }

    QString Current(const char* field = "Name") const { return Customers->FieldByName(field)->AsString(); }

    // The visible records' values of one field, walked as callers walk a data set.
    QStringList Column(const char* field = "Name") const {
        QStringList values;
        for (Customers->First(); !Customers->Eof(); Customers->Next())
            values << Current(field);
        return values;
    }

    struct TOwner : TComponent {
        TOwner() : TComponent(&object, nullptr) {}
        QObject object;
    } owner;
    TDataSet* Customers = nullptr;
};

TEST_F(DataSetTest, NavigationMovesAmongTheRecordsAndMarksBothEnds) {
    struct Step {
        const char* what;
        std::function<void()> move;
        int recNo;
        bool bof, eof;
    };
    TDataSet& d = *Customers;
    const Step steps[] = {
        {"opened", [] {}, 1, true, false},
        {"next", [&] { d.Next(); }, 2, false, false},
        {"last", [&] { d.Last(); }, 4, false, true},
        {"next at the end", [&] { d.Next(); }, 4, false, true},
        {"prior", [&] { d.Prior(); }, 3, false, false},
        {"first", [&] { d.First(); }, 1, true, false},
        {"prior at the start", [&] { d.Prior(); }, 1, true, false},
        {"to record 3", [&] { d.SetRecNo(3); }, 3, false, false},
    };
    for (const Step& step : steps) {
        step.move();
        EXPECT_EQ(d.RecNo(), step.recNo) << step.what;
        EXPECT_EQ(d.Bof(), step.bof) << step.what;
        EXPECT_EQ(d.Eof(), step.eof) << step.what;
    }
    EXPECT_EQ(Current(), "Bert");
    EXPECT_EQ(Column(), QStringList({"Anna", "bob", "Bert", "Carl"}));
    EXPECT_EQ(Column("ID"), QStringList({"1", "2", "3", "4"}));
    for (int recNo : {0, 5})
        EXPECT_THROW(d.SetRecNo(recNo), EComponentError) << recNo;

    // Closed, it shows nothing and refuses to move; its records wait for it to open again.
    d.Close();
    EXPECT_EQ(d.State(), dsInactive);
    EXPECT_EQ(d.RecordCount(), 0);
    EXPECT_TRUE(Customers->FieldByName("Name")->IsNull());
    const std::function<void()> refused[] = {[&] { d.First(); }, [&] { d.Next(); }, [&] { d.Edit(); },
                                             [&] { d.AppendRecord({}); }};
    for (const auto& move : refused)
        EXPECT_THROW(move(), EComponentError);
    d.Open();
    EXPECT_EQ(d.RecordCount(), 4);
    EXPECT_EQ(Current(), "Anna");

    d.EmptyDataSet();
    EXPECT_EQ(d.RecNo(), 0);
    EXPECT_TRUE(d.Bof() && d.Eof() && d.IsEmpty());
    d.Next();
    EXPECT_TRUE(d.Bof() && d.Eof());
    EXPECT_THROW(d.Delete(), EComponentError);
}

TEST_F(DataSetTest, FieldsAreFoundByNameWithoutCase) {
    EXPECT_EQ(Customers->FieldCount(), 5);
    EXPECT_EQ(Customers->FieldByName("name"), Customers->Fields(1));
    EXPECT_EQ(Customers->Fields(1)->Index(), 1);
    EXPECT_EQ(Customers->FindField("Missing"), nullptr);
    try {
        Customers->FieldByName("Missing");
        ADD_FAILURE() << "no error";
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "Customers: Field 'Missing' not found");
    }
    EXPECT_THROW(Customers->Fields(5), EComponentError);

    TField* name = Customers->FieldByName("Name");
    EXPECT_EQ(name->DisplayLabel(), "Name");
    name->SetDisplayLabel("Customer");
    EXPECT_EQ(name->DisplayLabel(), "Customer");
    name->SetDisplayLabel("");
    EXPECT_EQ(name->DisplayLabel(), ""); // once set, even empty, it is the label

    EXPECT_THROW(Customers->FieldByName("ID")->SetFieldName("NAME"), EComponentError);
    auto* extra = new TIntegerField(&owner);
    extra->SetFieldName("Extra");
    EXPECT_THROW(extra->SetDataSet(Customers), EComponentError); // the set is open
    Customers->Close();
    extra->SetDataSet(Customers);
    Customers->Open();
    EXPECT_EQ(Customers->FieldCount(), 6);
    EXPECT_TRUE(extra->IsNull()); // the records have room for it
    EXPECT_EQ(Current(), "Anna");

    // A field that goes leaves the set and takes its values with it.
    delete Customers->FieldByName("Member");
    EXPECT_EQ(Customers->FieldCount(), 5);
    EXPECT_EQ(Current("Born"), "1980-05-01");
    EXPECT_THROW(extra->SetValue(1), EComponentError); // browsing, not editing
    delete Customers;
    EXPECT_EQ(extra->DataSet(), nullptr);
    EXPECT_TRUE(extra->IsNull());
}

TEST_F(DataSetTest, EditingInsertingAndDeleting) {
    TDataSet& d = *Customers;
    QStringList events;
    QObject::connect(&d, &TDataSet::StateChanged, [&] { events << QString("state %1").arg(d.State()); });
    QObject::connect(&d, &TDataSet::RecordChanged,
                     [&](int recNo) { events << QString("record %1").arg(recNo); });

    EXPECT_THROW(d.Post(), EComponentError);
    d.SetRecNo(2);
    d.Insert();
    EXPECT_EQ(d.State(), dsInsert);
    EXPECT_EQ(d.RecNo(), 2);
    EXPECT_EQ(d.RecordCount(), 5);
    EXPECT_TRUE(Customers->FieldByName("ID")->IsNull());
    Customers->FieldByName("Name")->SetAsString("Dora Marianne");
    d.Post();
    EXPECT_EQ(d.State(), dsBrowse);
    EXPECT_EQ(Current(), "Dora Maria");
    EXPECT_EQ(Current("ID"), "5");
    EXPECT_EQ(events, QStringList({"state 3", "record 2", "record 2", "state 1"}));

    // A change is dropped by Cancel and kept by moving on.
    d.Edit();
    Customers->FieldByName("Name")->SetValue("Dot");
    d.Cancel();
    EXPECT_EQ(Current(), "Dora Maria");
    d.Edit();
    Customers->FieldByName("Name")->SetValue("Dot");
    d.Next();
    EXPECT_EQ(d.State(), dsBrowse);
    EXPECT_EQ(Column(), QStringList({"Anna", "Dot", "bob", "Bert", "Carl"}));

    // Cancelling a new record goes back to the record that was current.
    d.SetRecNo(3);
    d.Append();
    EXPECT_EQ(d.RecNo(), 6);
    d.Cancel();
    EXPECT_EQ(d.RecNo(), 3);
    EXPECT_EQ(d.RecordCount(), 5);
    d.Insert();
    d.Delete(); // drops the new record
    EXPECT_EQ(d.RecordCount(), 5);
    EXPECT_EQ(Current(), "bob");

    d.Delete();
    EXPECT_EQ(Current(), "Bert"); // the next record takes its place
    d.Last();
    d.Edit();
    d.Delete(); // the last record, edited or not
    EXPECT_EQ(d.State(), dsBrowse);
    EXPECT_EQ(Current(), "Bert");
    EXPECT_EQ(Column(), QStringList({"Anna", "Dot", "Bert"}));

    // A refused value adds nothing.
    EXPECT_THROW(d.AppendRecord({{}, "Eve", "perhaps"}), EComponentError);
    EXPECT_THROW(d.AppendRecord({1, "a", true, {}, 1, "one too many"}), EComponentError);
    EXPECT_EQ(d.RecordCount(), 3);
    EXPECT_EQ(d.State(), dsBrowse);
    d.Edit();
    EXPECT_THROW(Customers->FieldByName("Balance")->SetValue("a lot"), EComponentError);
    EXPECT_EQ(d.State(), dsEdit);
    d.Cancel();

    // Editing an empty set appends.
    d.EmptyDataSet();
    d.Edit();
    EXPECT_EQ(d.State(), dsInsert);
    d.Post();
    EXPECT_EQ(Current("ID"), "1");
}

// Each kind of field takes what it can hold, as it holds it, and refuses the rest naming itself.
TEST(FieldTest, FieldsConvertTheirValues) {
    using Make = std::function<TField*(TComponent*)>;
    const Make integer = [](TComponent* o) { return new TIntegerField(o); };
    const Make smallint = [](TComponent* o) { return new TSmallintField(o); };
    const Make word = [](TComponent* o) { return new TWordField(o); };
    const Make largeint = [](TComponent* o) { return new TLargeIntField(o); };
    const Make floating = [](TComponent* o) { return new TFloatField(o); };
    const Make currency = [](TComponent* o) { return new TCurrencyField(o); };
    const Make bcd = [](TComponent* o) { return new TBCDField(o); };
    const Make boolean = [](TComponent* o) { return new TBooleanField(o); };
    const Make dateTime = [](TComponent* o) { return new TDateTimeField(o); };
    const Make string = [](TComponent* o) {
        auto* f = new TStringField(o);
        f->SetSize(5);
        return f;
    };
    const Make wide = [](TComponent* o) { return new TWideStringField(o); };
    const Make memo = [](TComponent* o) { return new TWideMemoField(o); };
    const QString refused = "(refused)";
    struct Case {
        Make make;
        QVariant value;
        QString shown;
    };
    const Case cases[] = {
        {integer, " 42 ", "42"},
        {integer, 3.0, "3"},
        {integer, "", ""},
        {integer, 2.5, refused},
        {integer, "4x", refused},
        {integer, 3000000000.0, refused},
        {smallint, -32768, "-32768"},
        {smallint, 40000, refused},
        {word, 65535, "65535"},
        {word, -1, refused},
        {largeint, "9000000000", "9000000000"},
        {largeint, QDate(2020, 1, 1), refused},
        {floating, "2.50", "2.5"},
        {floating, "2,5", refused},
        {currency, 1234.5, "1234.50"},
        {currency, "-0.1", "-0.10"},
        {bcd, 1.23456, "1.2346"},
        {bcd, "7.50", "7.5"},
        {boolean, "yes", "True"},
        {boolean, "FALSE", "False"},
        {boolean, 0, "False"},
        {boolean, "perhaps", refused},
        {dateTime, QDate(2020, 1, 2), "2020-01-02"},
        {dateTime, "2020-01-02 10:30:05", "2020-01-02 10:30:05"},
        {dateTime, "2020-01-02T10:30:05", "2020-01-02 10:30:05"},
        {dateTime, "2020-13-01", refused},
        {dateTime, 5, refused},
        {string, "abcdefgh", "abcde"},
        {string, 12, "12"},
        {wide, QString(40, QChar(0x416)), QString(20, QChar(0x416))},
        {memo, QString(300, 'm'), QString(300, 'm')},
    };
    for (const Case& c : cases) {
        TDataSet data(nullptr);
        std::unique_ptr<TField> field(c.make(nullptr));
        field->SetFieldName("Amount");
        field->SetDataSet(&data);
        data.Open();
        data.Append();
        const std::string what = field->ClassName().toStdString() + " " + c.value.toString().toStdString();
        if (c.shown == refused) {
            try {
                field->SetValue(c.value);
                ADD_FAILURE() << what << " taken as " << field->AsString().toStdString();
            } catch (const EComponentError& e) {
                EXPECT_NE(std::string(e.what()).find("'Amount'"), std::string::npos)
                    << what << ": " << e.what();
            }
            EXPECT_TRUE(field->IsNull()) << what;
            continue;
        }
        field->SetValue(c.value);
        data.Post();
        EXPECT_EQ(field->AsString(), c.shown) << what;
        EXPECT_EQ(field->IsNull(), c.shown.isEmpty()) << what;
    }
}

TEST_F(DataSetTest, FilterShowsOnlyTheRecordsItAccepts) {
    TDataSet& d = *Customers;
    TField* member = d.FieldByName("Member");
    d.SetFilter([member](TDataSet&) { return member->Value().toBool(); });
    EXPECT_EQ(d.RecordCount(), 4); // not yet filtered
    d.SetRecNo(3);
    d.SetFiltered(true);
    EXPECT_EQ(d.RecordCount(), 2);
    EXPECT_EQ(Current(), "Bert"); // still visible, still current
    EXPECT_EQ(d.RecNo(), 2);
    EXPECT_EQ(Column(), QStringList({"Anna", "Bert"}));

    // A new or edited record the filter refuses leaves the visible ones when posted.
    d.AppendRecord({{}, "Dora", false});
    EXPECT_EQ(d.RecordCount(), 2);
    d.First();
    d.Edit();
    member->SetValue(false);
    d.Post();
    EXPECT_EQ(Column(), QStringList({"Bert"}));

    // A new filter that leaves the current record out goes to the first.
    d.SetFilter([](TDataSet& set) { return set.FieldByName("Name")->AsString().startsWith("B"); });
    EXPECT_EQ(Column(), QStringList({"Bert"}));
    d.SetFilter([](TDataSet& set) { return set.FieldByName("Balance")->Value().toDouble() >= 0; });
    EXPECT_EQ(Current(), "Anna");
    EXPECT_TRUE(d.Bof());

    // A filter that fails leaves things as they were.
    d.SetFiltered(false);
    d.SetFilter([](TDataSet& set) { return set.FieldByName("Missing")->IsNull(); });
    EXPECT_THROW(d.SetFiltered(true), EComponentError);
    EXPECT_FALSE(d.Filtered());
    EXPECT_EQ(Column(), QStringList({"Anna", "bob", "Bert", "Carl", "Dora"}));
}

TEST_F(DataSetTest, LocateFindsTheFirstMatchAndStaysWhenNoneMatches) {
    struct Case {
        const char* field;
        QVariant value;
        TLocateOptions options;
        const char* found; // the Name then current; null: not found
    };
    const Case cases[] = {
        {"Name", "Bert", {}, "Bert"},
        {"Name", "bert", {}, nullptr},
        {"Name", "bert", loCaseInsensitive, "Bert"},
        {"Name", "Be", {}, nullptr},
        {"Name", "B", loPartialKey, "Bert"},
        {"Name", "b", loPartialKey, "bob"},
        {"name", "a", {loPartialKey, loCaseInsensitive}, "Anna"},
        {"ID", 3, {}, "Bert"},
        {"ID", "4", {}, "Carl"},
        {"ID", "four", {}, nullptr},
        {"Born", QDate(1975, 1, 2), {}, "bob"},
        {"Born", "1975-01-02", {}, "bob"},
        {"Balance", "-3.00", loPartialKey, "Bert"},
        {"Member", QVariant(), {}, "Carl"},
        {"Member", false, {}, "bob"},
    };
    for (const Case& c : cases) {
        Customers->Last();
        const std::string what = std::string(c.field) + " " + c.value.toString().toStdString();
        EXPECT_EQ(Customers->Locate(c.field, c.value, c.options), c.found != nullptr) << what;
        EXPECT_EQ(Current(), c.found ? c.found : "Carl") << what;
    }
    EXPECT_THROW(Customers->Locate("Missing", 1), EComponentError);

    // The next match after the current record, as a search onward finds it.
    const auto startsWithB = [](TDataSet& set) {
        return set.FieldByName("Name")->AsString().startsWith("b", Qt::CaseInsensitive);
    };
    EXPECT_EQ(Customers->FindRecord(1, startsWithB), 2);
    EXPECT_EQ(Customers->FindRecord(Customers->RecNo() + 1, startsWithB), 3);
    EXPECT_EQ(Customers->FindRecord(Customers->RecNo() + 1, startsWithB), 0);
    EXPECT_EQ(Current(), "Bert");
}

TEST_F(DataSetTest, ModelShowsTheVisibleFieldsAndRecordsAndFollowsTheCurrentRecord) {
    TDataSource source(&owner);
    TDataSetModel model;
    std::vector<int> currentRows;
    QObject::connect(&model, &TDataSetModel::CurrentRowChanged, [&](int row) { currentRows.push_back(row); });
    model.SetDataSource(&source);
    EXPECT_EQ(model.columnCount(), 0);
    source.SetDataSet(Customers);
    Customers->FieldByName("Born")->SetVisible(false);
    Customers->FieldByName("Name")->SetDisplayLabel("Customer");

    ASSERT_EQ(model.columnCount(), 4);
    ASSERT_EQ(model.rowCount(), 4);
    QStringList headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers << model.headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(headers, QStringList({"ID", "Customer", "Member", "Balance"}));
    EXPECT_EQ(model.data(model.index(2, 1)).toString(), "Bert");
    EXPECT_EQ(model.data(model.index(0, 3)).toString(), "12.50");
    EXPECT_EQ(model.data(model.index(0, 3), Qt::EditRole).toDouble(), 12.5);
    EXPECT_EQ(model.data(model.index(3, 2)).toString(), "");

    currentRows.clear();
    Customers->Last();
    model.SetCurrentRow(1);
    EXPECT_EQ(Current(), "bob");
    EXPECT_EQ(model.CurrentRow(), 1);
    EXPECT_EQ(currentRows, std::vector<int>({3, 1}));

    // An edited cell is posted at once; a refused value leaves the cell as it was.
    int changedRow = -1;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& topLeft) { changedRow = topLeft.row(); });
    EXPECT_TRUE(model.setData(model.index(2, 1), "Berta"));
    EXPECT_EQ(changedRow, 2);
    EXPECT_EQ(Customers->State(), dsBrowse);
    EXPECT_EQ(model.CurrentRow(), 2);
    EXPECT_FALSE(model.setData(model.index(2, 3), "lots"));
    EXPECT_EQ(model.data(model.index(2, 3)).toString(), "-3.00");
    EXPECT_EQ(Customers->State(), dsBrowse);

    Customers->SetFilter([](TDataSet& set) { return set.FieldByName("Balance")->Value().toDouble() > 0; });
    Customers->SetFiltered(true);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), "Carl");
    Customers->Close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.CurrentRow(), -1);
    EXPECT_EQ(model.columnCount(), 4); // the titles stay
    delete Customers;
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(model.columnCount(), 0);
}

} // namespace
