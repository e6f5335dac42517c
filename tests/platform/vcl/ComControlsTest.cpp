// The common controls: list view columns and rows, pages of a page control, tabs, tool bars.
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPointer>

[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

QStringList HeaderTexts(QTreeWidget* view) {
    QStringList texts;
    for (int i = 0; i < view->columnCount(); ++i)
        texts << view->headerItem()->text(i);
    return texts;
}

QStringList RowTexts(QTreeWidget* view, int row) {
    QStringList texts;
    for (int i = 0; i < view->columnCount(); ++i)
        texts << view->topLevelItem(row)->text(i);
    return texts;
}

TEST(ListViewTest, ColumnsAreTheHeader) {
    TForm form(nullptr);
    auto* view = new TListView(&form);
    TListColumns* columns = view->Columns();
    EXPECT_EQ(HeaderTexts(view), QStringList({""}));
    for (const char* caption : {"Site", "Address", "State"}) {
        TListColumn* column = columns->Add();
        column->SetCaption(caption);
    }
    columns->Items(1)->SetWidth(120);
    ASSERT_EQ(columns->Count(), 3);
    EXPECT_EQ(HeaderTexts(view), QStringList({"Site", "Address", "State"}));
    EXPECT_EQ(view->header()->sectionSize(0), 50);
    EXPECT_EQ(view->header()->sectionSize(1), 120);
    EXPECT_EQ(view->header()->sectionSize(2), 50);

    columns->Items(2)->SetCaption("Zustand");
    EXPECT_EQ(HeaderTexts(view), QStringList({"Site", "Address", "Zustand"}));
    columns->Delete(0);
    EXPECT_EQ(HeaderTexts(view), QStringList({"Address", "Zustand"}));
    EXPECT_EQ(columns->Items(0)->Index(), 0);
    EXPECT_EQ(view->header()->sectionSize(0), 120);
    EXPECT_THROW(columns->Items(2), EComponentError);
    EXPECT_THROW(columns->Delete(-1), EComponentError);
}

TEST(ListViewTest, ItemsShowAsRowsWithTheirSubItems) {
    TForm form(nullptr);
    auto* view = new TListView(&form);
    for (int i = 0; i < 3; ++i)
        view->Columns()->Add();
    TListItem* first = view->Items()->Add();
    first->SetCaption("North gate");
    first->SubItems()->Add("12 Main St");
    first->SubItems()->Add("open");
    TListItem* second = view->Items()->Add();
    second->SetCaption("Yard");
    ASSERT_EQ(view->topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(view, 0), QStringList({"North gate", "12 Main St", "open"}));
    EXPECT_EQ(RowTexts(view, 1), QStringList({"Yard", "", ""}));

    first->SubItems()->Delete(0); // the later sub-items move left, the last column empties
    EXPECT_EQ(RowTexts(view, 0), QStringList({"North gate", "open", ""}));
    view->Items()->Delete(0);
    ASSERT_EQ(view->topLevelItemCount(), 1);
    EXPECT_EQ(view->Items()->Item(0)->Caption(), "Yard");
    view->Items()->Clear();
    EXPECT_EQ(view->topLevelItemCount(), 0);
    EXPECT_THROW(view->Items()->Item(0), EComponentError);
}

// Sheets are owned by the form, shown on the page control they are given to, with their captions
// on the tabs; controls placed on a sheet show on its page.
TEST(PageControlTest, SheetsArePagesWithTheirCaptionsOnTheTabs) {
    TForm form(nullptr);
    form.Font()->SetSize(11);
    auto* pages = new TPageControl(&form);
    auto* general = new TTabSheet(&form);
    auto* advanced = new TTabSheet(&form);
    general->SetCaption("&General");
    general->SetPageControl(pages);
    advanced->SetPageControl(pages);
    advanced->SetCaption("&Advanced");
    auto* panel = new TPanel(&form);
    panel->SetParent(advanced);

    ASSERT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->tabText(0), "&General");
    EXPECT_EQ(pages->tabText(1), "&Advanced");
    EXPECT_EQ(pages->Pages(1), advanced);
    EXPECT_EQ(general->Owner(), &form);
    EXPECT_EQ(advanced->Parent(), pages);
    EXPECT_EQ(panel->Font()->Size(), 11); // the sheet passes its page control's font on
    EXPECT_TRUE(pages->isAncestorOf(panel));
    EXPECT_EQ(advanced->PageIndex(), 1);
    EXPECT_THROW(pages->Pages(2), EComponentError);

    auto* other = new TPageControl(&form);
    general->SetPageControl(other);
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(pages->Pages(0), advanced);
    EXPECT_EQ(other->tabText(0), "&General");
    general->SetPageControl(nullptr);
    EXPECT_EQ(other->PageCount(), 0);
    EXPECT_EQ(general->PageIndex(), -1);

    delete advanced; // its tab goes with it
    EXPECT_EQ(pages->PageCount(), 0);
}

// OnChange tells of the user's choice of page or tab, not of the program's.
TEST(PageControlTest, OnChangeIsTheUsersChoiceOnly) {
    TForm form(nullptr);
    auto* pages = new TPageControl(&form);
    TTabSheet* sheets[3];
    for (TTabSheet*& sheet : sheets) {
        sheet = new TTabSheet(&form);
        sheet->SetPageControl(pages);
    }
    auto* tabs = new TTabControl(&form);
    tabs->Tabs()->SetText("One\nTwo\nThree");
    int pageChanges = 0, tabChanges = 0;
    pages->OnChange = [&](TComponent*) { ++pageChanges; };
    tabs->OnChange = [&](TComponent*) { ++tabChanges; };

    pages->SetActivePage(sheets[2]);
    pages->SetActivePageIndex(1);
    tabs->SetTabIndex(2);
    tabs->Tabs()->Delete(2);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(pageChanges, 0);
    EXPECT_EQ(tabChanges, 0);

    pages->tabBar()->setCurrentIndex(0); // as a click on the tab does
    tabs->setCurrentIndex(0);
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    EXPECT_EQ(pageChanges, 1);
    EXPECT_EQ(tabChanges, 1);

    TTabSheet elsewhere(nullptr);
    pages->SetActivePage(&elsewhere);
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
}

// A tool bar shows what is placed on it in a row, in the order it was placed, whether placed on
// creation or moved there later.
TEST(ToolBarTest, ShowsItsButtonsInARow) {
    TForm form(nullptr);
    form.resize(400, 300);
    auto* bar = new TToolBar(&form);
    bar->SetAlign(alTop);
    auto* later = new TToolButton(&form);
    auto* first = new TToolButton(bar);
    auto* second = new TToolButton(bar);
    later->SetParent(bar);
    first->SetCaption("Open");
    second->SetCaption("Save");
    later->SetCaption("Print");
    form.show();

    EXPECT_EQ(bar->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(bar->width(), 400);
    EXPECT_TRUE(first->isVisible());
    EXPECT_LT(first->x(), second->x());
    EXPECT_LT(second->x(), later->x());
    EXPECT_EQ(first->y(), second->y());
    EXPECT_TRUE(bar->geometry().contains(later->geometry().translated(bar->pos())));

    // Taken off again, the rest closes up; destroyed, it leaves no gap either.
    const int secondX = second->x();
    later->SetParent(&form);
    delete first;
    QApplication::processEvents(); // the bar lays out again
    EXPECT_LT(second->x(), secondX);
    EXPECT_FALSE(bar->isAncestorOf(later));
}

} // namespace
