// The component model: class names of the objects' own classes, owners apart from parents, fonts
// that follow the parent's until written, published properties by name, MDI children.
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Found by the test framework through QString's namespace.
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class TfrmSample : public TForm {
    Q_OBJECT
public:
    using TForm::TForm;
};

class TRoundButton : public TButton {
    Q_OBJECT
public:
    using TButton::TButton;
};

// A list control the way the list classes publish their entries.
class TItemsBox : public QWidget, public TControl {
    Q_OBJECT
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TItemsBox(TComponent* owner) : QWidget(nullptr), TControl(this, owner) {}
    TStrings* Items() { return &items_; }
    void SetItems(TStrings* items) {
        items_.Assign(*items);
        ++Assignments;
    }
    int Assignments = 0;

private:
    TStringList items_;
};

namespace {

TEST(ComponentTest, ClassNameIsTheObjectsOwnClass) {
    TfrmSample form(nullptr);
    const std::pair<TComponent*, QString> cases[] = {
        {&form, "TfrmSample"},
        {new TForm(&form), "TForm"},
        {new TLabel(&form), "TLabel"},
        {new TButton(&form), "TButton"},
        {new TRoundButton(&form), "TRoundButton"},
        {new TCheckBox(&form), "TCheckBox"},
        {new TPanel(&form), "TPanel"},
        {new TImage(&form), "TImage"},
    };
    for (const auto& [component, name] : cases)
        EXPECT_EQ(component->ClassName(), name);
    TStringList list;
    EXPECT_STREQ(list.metaObject()->className(), "TStringList");
}

// The owner destroys what it owns and lists it in creation order, wherever it is shown; the
// parent shows it and destroys what it shows.
TEST(ComponentTest, OwnerListsAreApartFromParents) {
    auto* form = new TfrmSample(nullptr);
    auto* panel = new TPanel(form);
    auto* label = new TLabel(form);
    auto* button = new TButton(panel);
    label->SetParent(panel);

    ASSERT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->Components(0), panel);
    EXPECT_EQ(form->Components(1), label);
    EXPECT_THROW(form->Components(2), EComponentError);
    ASSERT_EQ(panel->ComponentCount(), 1);
    EXPECT_EQ(panel->Components(0), button);
    EXPECT_EQ(button->Owner(), panel);

    ASSERT_EQ(form->ControlCount(), 1);
    EXPECT_EQ(form->Controls(0), panel);
    ASSERT_EQ(panel->ControlCount(), 2);
    EXPECT_EQ(panel->Controls(0), button);
    EXPECT_EQ(panel->Controls(1), label);
    EXPECT_EQ(label->Parent(), panel);
    EXPECT_EQ(label->parentWidget(), panel);
    EXPECT_EQ(label->Owner(), form);

    // A form owned by another is a window of its own, not a control on its owner.
    auto* other = new TfrmSample(form);
    EXPECT_EQ(other->Parent(), nullptr);
    EXPECT_TRUE(other->isWindow());
    auto* stray = new TLabel(other);
    stray->SetParent(panel);

    delete other; // takes the label it owns off the panel it is shown on
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(panel->ControlCount(), 2);

    QPointer<QWidget> shownOnPanel(label), ownedByPanel(button);
    delete panel; // takes the button it owns and the label it shows
    EXPECT_TRUE(ownedByPanel.isNull());
    EXPECT_TRUE(shownOnPanel.isNull());
    EXPECT_EQ(form->ComponentCount(), 0);
    EXPECT_EQ(form->ControlCount(), 0);

    QPointer<QWidget> last(new TCheckBox(form));
    delete form;
    EXPECT_TRUE(last.isNull());
}

TEST(ComponentTest, StringListsKeepTextsWithTheirObjects) {
    QObject first, second;
    TStringList list;
    list.AddObject("one", &first);
    list.Add("three");
    list.InsertObject(1, "two", &second);
    TStringList copy;
    copy.Add("old");
    copy.Assign(list);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Text(), "one\ntwo\nthree\n");
    EXPECT_EQ(copy.Objects(0), &first);
    EXPECT_EQ(copy.Objects(1), &second);
    EXPECT_EQ(copy.Objects(2), nullptr);

    copy.SetText("a\r\nb\nc\r");
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Strings(2), "c");
    copy.SetText("a\n\nb");
    EXPECT_EQ(copy.Strings(1), "");

    for (int index : {-1, 3}) {
        EXPECT_THROW(copy.Strings(index), EComponentError) << index;
        EXPECT_THROW(copy.SetStrings(index, "x"), EComponentError) << index;
        EXPECT_THROW(copy.Delete(index), EComponentError) << index;
    }
    EXPECT_THROW(copy.Insert(4, "x"), EComponentError);
    copy.Insert(3, "end");
    EXPECT_EQ(copy.Strings(3), "end");
}

TEST(ComponentTest, PublishedPropertiesByName) {
    TfrmSample form(nullptr);
    auto* label = new TLabel(&form);
    auto* button = new TButton(&form);
    auto* image = new TImage(&form);
    auto* box = new TItemsBox(&form);

    SetStrProp(label, "Caption", "Name");
    EXPECT_EQ(label->text(), "Name");
    SetStrProp(button, "Hint", "Closes the window");
    EXPECT_EQ(button->toolTip(), "Closes the window");
    SetStrProp(&form, "Caption", "Title");
    EXPECT_EQ(form.windowTitle(), "Title");

    EXPECT_EQ(GetStringsProp(box, "Items"), box->Items());
    QObject tag;
    TStringList list;
    list.AddObject("first", &tag);
    list.Add("second");
    SetStringsProp(box, "Items", &list);
    EXPECT_EQ(box->Assignments, 1); // through the box's own setter, which copies
    EXPECT_EQ(box->Items()->Text(), "first\nsecond\n");
    EXPECT_EQ(box->Items()->Objects(0), &tag);

    EXPECT_TRUE(IsPublishedProp(label, "Caption"));
    EXPECT_FALSE(IsPublishedProp(image, "Caption"));
    const std::pair<const char*, std::function<void()>> failures[] = {
        {"no Caption on an image", [&] { SetStrProp(image, "Caption", "x"); }},
        {"names are exact", [&] { SetStrProp(label, "caption", "x"); }},
        {"a flag is no text", [&] { SetStrProp(label, "ParentFont", "x"); }},
        {"a list is no text", [&] { SetStrProp(box, "Items", "x"); }},
        {"no Items on a button", [&] { GetStringsProp(button, "Items"); }},
        {"a text is no list", [&] { GetStringsProp(box, "Caption"); }},
        {"no Items to assign", [&] { SetStringsProp(button, "Items", &list); }},
        {"no list to assign to", [&] { SetStringsProp(box, "Caption", &list); }},
    };
    for (const auto& [what, call] : failures)
        EXPECT_THROW(call(), EComponentError) << what;
    EXPECT_EQ(label->text(), "Name");
    EXPECT_EQ(box->Assignments, 1);
}

struct FontState {
    int Charset;
    QString Name;
    int Size;
    bool ParentFont;
    bool operator==(const FontState&) const = default;
};

FontState StateOf(TControl* control) {
    TFont* f = control->Font();
    return {f->Charset(), f->Name(), f->Size(), control->ParentFont()};
}

void PrintTo(const FontState& s, std::ostream* os) {
    *os << s.Charset << ' ' << s.Name.toStdString() << ' ' << s.Size << (s.ParentFont ? " parent" : " own");
}

// A parent-font control follows its parent through every level until a value is written to its
// own font; a value it already has changes nothing.
TEST(ComponentTest, ParentFontFollowsTheParentUntilTheFontIsWritten) {
    TfrmSample form(nullptr);
    form.Font()->SetCharset(0);
    form.Font()->SetName("Arial");
    form.Font()->SetSize(12);
    auto* panel = new TPanel(&form);
    auto* label = new TLabel(&form);
    label->SetParent(panel);
    EXPECT_FALSE(form.ParentFont());
    EXPECT_EQ(StateOf(label), (FontState{0, "Arial", 12, true}));

    form.Font()->SetCharset(134);
    EXPECT_EQ(StateOf(panel), (FontState{134, "Arial", 12, true}));
    EXPECT_EQ(StateOf(label), (FontState{134, "Arial", 12, true}));

    label->Font()->SetCharset(134); // what the parent gave it already
    EXPECT_TRUE(label->ParentFont());
    label->Font()->SetCharset(0);
    EXPECT_EQ(StateOf(label), (FontState{0, "Arial", 12, false}));

    form.Font()->SetSize(14);
    EXPECT_EQ(StateOf(panel), (FontState{134, "Arial", 14, true}));
    EXPECT_EQ(StateOf(label), (FontState{0, "Arial", 12, false}));
    EXPECT_EQ(label->font().pointSize(), 12);

    label->SetParentFont(true);
    EXPECT_EQ(StateOf(label), (FontState{134, "Arial", 14, true}));
    EXPECT_EQ(label->font().pointSize(), 14);

    label->Font()->SetName("Courier");
    EXPECT_EQ(StateOf(label), (FontState{134, "Courier", 14, false}));
    EXPECT_EQ(label->font().family(), "Courier");

    // Moved onto another parent, a parent-font control takes that parent's font.
    auto* button = new TButton(&form);
    form.Font()->SetName("Times");
    button->SetParent(panel);
    EXPECT_EQ(StateOf(button), (FontState{134, "Times", 14, true}));
}

TEST(ComponentTest, MdiFormShowsTheFormsItOwnsAsChildren) {
    auto* host = new TfrmSample(nullptr);
    EXPECT_EQ(host->MDIChildCount(), 0);
    host->SetFormStyle(fsMDIForm);
    auto* first = new TfrmSample(host);
    auto* second = new TfrmSample(host);
    auto* notAChild = new TfrmSample(host);
    first->SetFormStyle(fsMDIChild);
    second->SetFormStyle(fsMDIChild);

    ASSERT_EQ(host->MDIChildCount(), 2);
    EXPECT_EQ(host->MDIChildren(0), first);
    EXPECT_EQ(host->MDIChildren(1), second);
    EXPECT_THROW(host->MDIChildren(2), EComponentError);
    EXPECT_TRUE(host->isAncestorOf(first));
    EXPECT_FALSE(host->isAncestorOf(notAChild));
    EXPECT_EQ(first->MDIChildCount(), 0);

    // Only a normal form owned by an MDI form can become its child.
    TfrmSample lone(nullptr);
    EXPECT_THROW(lone.SetFormStyle(fsMDIChild), EComponentError);
    auto* ownedByChild = new TfrmSample(first);
    EXPECT_THROW(ownedByChild->SetFormStyle(fsMDIChild), EComponentError);
    EXPECT_THROW(first->SetFormStyle(fsMDIForm), EComponentError);

    delete first;
    ASSERT_EQ(host->MDIChildCount(), 1);
    EXPECT_EQ(host->MDIChildren(0), second);

    QPointer<QWidget> child(second);
    delete host;
    EXPECT_TRUE(child.isNull());
}

TEST(ComponentTest, EnterClicksTheDefaultButtonOrTheFocusedOne) {
    TfrmSample form(nullptr);
    auto* btOk = new TButton(&form);
    auto* btOther = new TButton(&form);
    btOk->SetDefault(true);
    QStringList clicked;
    btOk->OnClick = [&](TComponent* sender) { clicked << sender->Name(); };
    btOther->OnClick = [&](TComponent* sender) { clicked << sender->Name(); };
    btOk->SetName("btOk");
    btOther->SetName("btOther");
    form.show();

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QApplication::sendEvent(btOther, &enter);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&form, &escape);
    btOk->setEnabled(false);
    QApplication::sendEvent(&form, &enter);
    EXPECT_EQ(clicked, QStringList({"btOk", "btOther"}));
}

// The main window's header: aligned to the top, it takes the picture's height and keeps the
// window's width; what is aligned below moves down.
TEST(ComponentTest, AutoSizedImageAlignedToTheTopTakesThePicturesHeight) {
    QTemporaryDir folder;
    const QString picture = folder.filePath("QV_About.jpg");
    QImage(50, 30, QImage::Format_RGB32).save(picture, "JPG");

    TfrmSample form(nullptr);
    form.resize(400, 300);
    auto* image = new TImage(&form);
    image->SetAlign(alTop);
    image->SetBounds(0, 0, 400, 72);
    image->SetStretch(true);
    image->SetAutoSize(true);
    auto* panel = new TPanel(&form);
    panel->SetAlign(alClient);
    form.show();
    EXPECT_EQ(image->geometry(), QRect(0, 0, 400, 72));
    EXPECT_EQ(panel->geometry(), QRect(0, 72, 400, 228));

    image->Picture()->LoadFromFile(picture);
    EXPECT_EQ(image->geometry(), QRect(0, 0, 400, 30));
    EXPECT_EQ(panel->geometry(), QRect(0, 30, 400, 270));

    QFile text(folder.filePath("text.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    EXPECT_THROW(image->Picture()->LoadFromFile(text.fileName()), EComponentError);
    EXPECT_THROW(image->Picture()->LoadFromFile(folder.filePath("QV_About.xyz")), EComponentError);
    EXPECT_EQ(image->Picture()->Height(), 30);
}

} // namespace

#include "ComponentsTest.moc"
