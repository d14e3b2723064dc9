// Paging a real file through the toolbar, the page selector and a typed
// page number, and a page that fails to load.
#include "DocumentFixture.h"

#include "EditWnd/CReportGridModel.h"
#include "MainWnd/CSelectorComboBox.h"
#include "common/TestFiles.h"
#include "uilib/CommandIds.h"

namespace {

class PagingTest : public DocumentFixture
{
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 2500);
        doc = open(path);
        ASSERT_NE(doc, nullptr);
        view = reportView(doc);
        ASSERT_NE(view, nullptr);
    }

    // First and last record key the grid shows.
    std::pair<int, int> shownKeys() const
    {
        const CReportGridModel* model = view->gridModel();
        if (model->rowCount() == 0)
            return {0, 0};
        return {model->keyAt(0), model->keyAt(model->rowCount() - 1)};
    }

    QString path;
    CVantrelDoc* doc = nullptr;
    CVantrelView* view = nullptr;
};

TEST_F(PagingTest, ToolbarPagesThroughTheFileAndRefusesAtTheEnds)
{
    const struct {
        const char* name;
        int command;
        int page;        // after the command
        int info;        // 0: no message
        std::pair<int, int> keys;
    } steps[] = {
        {"previous on the first page", cmd::PreviousPage, 1, 7, {1, 1000}},
        {"first on the first page", cmd::FirstPage, 1, 7, {1, 1000}},
        {"next", cmd::NextPage, 2, 0, {1001, 2000}},
        {"last", cmd::LastPage, 3, 0, {2001, 2500}},
        {"next on the last page", cmd::NextPage, 3, 8, {2001, 2500}},
        {"last on the last page", cmd::LastPage, 3, 8, {2001, 2500}},
        {"previous", cmd::PreviousPage, 2, 0, {1001, 2000}},
        {"first", cmd::FirstPage, 1, 0, {1, 1000}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        messages->shown.clear();
        EXPECT_TRUE(frame->routeCommand(s.command));
        EXPECT_EQ(doc->currentPage, s.page);
        EXPECT_EQ(view->shownPage(), s.page);
        EXPECT_EQ(shownKeys(), s.keys);
        EXPECT_EQ(frame->pageSelector()->currentIndex(), s.page - 1);
        if (s.info) {
            EXPECT_EQ(messages->texts(), QStringList{info(s.info)});
        } else {
            EXPECT_TRUE(messages->shown.empty());
        }
    }
    // Columns were built at open; page changes keep them.
    EXPECT_EQ(doc->rebuildColumns, 0);
    EXPECT_EQ(view->gridModel()->columns(), doc->page.columns);
}

TEST_F(PagingTest, SelectorAndTypedNumbersOpenPages)
{
    CSelectorComboBox* selector = frame->pageSelector();
    emit selector->activated(2);
    EXPECT_EQ(doc->currentPage, 3);
    EXPECT_EQ(shownKeys(), (std::pair<int, int>{2001, 2500}));
    EXPECT_TRUE(messages->shown.empty());

    EXPECT_EQ(frame->setCurPage(2), 0);
    EXPECT_EQ(doc->currentPage, 2);
    EXPECT_EQ(selector->currentIndex(), 1);

    // Beyond the last page: the document stays where it is.
    EXPECT_EQ(frame->setCurPage(4), 0);
    EXPECT_EQ(messages->texts(), QStringList{info(6)});
    EXPECT_EQ(doc->currentPage, 2);
    EXPECT_EQ(shownKeys(), (std::pair<int, int>{1001, 2000}));

    // 0 is only logged.
    messages->shown.clear();
    EXPECT_EQ(frame->setCurPage(0), -1);
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_TRUE(logged(QStringLiteral("Current page error .")));
    EXPECT_EQ(doc->currentPage, 2);
}

TEST_F(PagingTest, FailedPageLoadKeepsThePageShownAndItsNumber)
{
    // Another program removes the records of the last page while the file
    // is open: the page boundaries found at open point at nothing.
    execSql(path, QStringLiteral("DELETE FROM DataGrpData WHERE RecordNo > 2000"));
    EXPECT_TRUE(frame->routeCommand(cmd::NextPage));
    ASSERT_EQ(doc->currentPage, 2);

    messages->shown.clear();
    EXPECT_TRUE(frame->routeCommand(cmd::LastPage));
    EXPECT_EQ(messages->texts(), QStringList{info(9)});
    EXPECT_TRUE(logged(QStringLiteral("Failed to load data of current page.")));
    EXPECT_EQ(doc->currentPage, 2);
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 1);
    EXPECT_EQ(view->shownPage(), 2);
    EXPECT_EQ(shownKeys(), (std::pair<int, int>{1001, 2000}));
    EXPECT_EQ(doc->page.rows.begin()->first, 1001);

    // The same through the selector and a typed number.
    messages->shown.clear();
    emit frame->pageSelector()->activated(2);
    EXPECT_EQ(frame->setCurPage(3), 0);
    EXPECT_EQ(messages->texts(), (QStringList{info(9), info(9)}));
    EXPECT_EQ(doc->currentPage, 2);
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 1);

    // The pages that are there still load.
    messages->shown.clear();
    EXPECT_TRUE(frame->routeCommand(cmd::FirstPage));
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_EQ(shownKeys(), (std::pair<int, int>{1, 1000}));
}

TEST_F(PagingTest, SelectorFollowsTheActiveDocumentsPage)
{
    CVantrelDoc* other = open(sample(QStringLiteral("alarms.db"), SampleOptions::Alarms, 1500));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(frame->pageSelector()->count(), 2);
    EXPECT_TRUE(frame->routeCommand(cmd::NextPage));
    EXPECT_EQ(other->currentPage, 2);
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 1);
    // The first document was not touched.
    EXPECT_EQ(doc->currentPage, 1);
}

} // namespace
