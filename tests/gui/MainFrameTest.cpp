// Page navigation, the page and language selectors and view switching,
// against documents whose page loading the test controls.
#include "GuiTestSupport.h"

#include "ControlEx/CChartLineView.h"
#include "EditWnd/CVantrelDoc.h"
#include "EditWnd/CVantrelView.h"
#include "MainWnd/CMainFrame.h"
#include "MainWnd/CSelectorComboBox.h"
#include "uilib/CDocTemplate.h"
#include "uilib/CMDIChildWnd.h"
#include "uilib/CommandIds.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A document whose pages "load" as the test says.
class FakeDoc : public CVantrelDoc
{
public:
    int openPage(const int& p) override
    {
        opened.push_back(p);
        if (failWith != 0)
            return failWith;
        currentPage = p;
        return 0;
    }
    std::vector<int> opened;
    int failWith = 0;
};

class MainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        work = std::make_unique<WorkFolder>();
        work->writeFile(QStringLiteral("RoruDize.ini"), "[VantrelTool]\nLANGUAGEID=1\n");
        app = std::make_unique<TestApp>();
        ASSERT_TRUE(app->start(work->path(QStringLiteral("bin"))));
        frame = static_cast<CMainFrame*>(app->mainFrame());
        QApplication::setActiveWindow(frame);
    }
    void TearDown() override
    {
        app.reset();
        work.reset();
    }

    FakeDoc* openDocument(int pages, int current, int kind = SampleData)
    {
        auto* doc = new FakeDoc;
        doc->pageCount = pages;
        doc->currentPage = current;
        doc->fileKind = kind;
        doc->SetTitle(QStringLiteral("fake%1.db").arg(++opened));
        app->pDocLogTemplate->AddDocument(doc);
        CMDIChildWnd* child = app->pDocLogTemplate->CreateNewFrame(doc, nullptr);
        app->pDocLogTemplate->InitialUpdateFrame(child, doc, true);
        frame->fillPageSelector(pages);
        frame->pageSelector()->setCurrentIndex(current - 1);
        frame->updateCommandUI();
        return doc;
    }

    QString info(int key) const { return languageText(1, langkeys::InfoDlg, key); }

    std::unique_ptr<WorkFolder> work;
    std::unique_ptr<TestApp> app;
    CMainFrame* frame = nullptr;
    int opened = 0;
};

TEST_F(MainFrameTest, NavigationOpensThePageOrRefusesAtTheEnds)
{
    const struct {
        const char* name;
        int command;
        int current;
        int expectedOpen; // 0: nothing read
        int expectedInfo; // 0: no message
        int expectedItem;
    } cases[] = {
        {"first from 2", cmd::FirstPage, 2, 1, 0, 0},
        {"first on 1", cmd::FirstPage, 1, 0, 7, 0},
        {"previous from 3", cmd::PreviousPage, 3, 2, 0, 1},
        {"previous on 1", cmd::PreviousPage, 1, 0, 7, 0},
        {"next from 1", cmd::NextPage, 1, 2, 0, 1},
        {"next on the last", cmd::NextPage, 3, 0, 8, 2},
        {"last from 1", cmd::LastPage, 1, 3, 0, 2},
        {"last on the last", cmd::LastPage, 3, 0, 8, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDoc* doc = openDocument(3, c.current);
        MessageRecorder messages;
        EXPECT_TRUE(frame->routeCommand(c.command));
        if (c.expectedOpen) {
            EXPECT_EQ(doc->opened, std::vector<int>{c.expectedOpen});
            EXPECT_EQ(doc->currentPage, c.expectedOpen);
        } else {
            EXPECT_TRUE(doc->opened.empty());
            EXPECT_EQ(doc->currentPage, c.current);
        }
        if (c.expectedInfo) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, info(c.expectedInfo));
            EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Vantrel"));
            EXPECT_EQ(messages.shown[0].owner, frame);
        } else {
            EXPECT_TRUE(messages.shown.empty());
        }
        EXPECT_EQ(frame->pageSelector()->currentIndex(), c.expectedItem);
        doc->OnCloseDocument();
        flushDeferredDeletes();
    }
}

TEST_F(MainFrameTest, FailedPageLoadSaysSoAndTheSelectorShowsThePageStillShown)
{
    FakeDoc* doc = openDocument(4, 2);
    doc->failWith = -2;
    MessageRecorder messages;
    frame->routeCommand(cmd::LastPage);
    EXPECT_EQ(doc->opened, std::vector<int>{4});
    EXPECT_EQ(messages.texts(), QStringList{info(9)});
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 1);

    messages.shown.clear();
    EXPECT_EQ(frame->gotoLastPage(), -2);
    EXPECT_EQ(messages.texts(), QStringList{info(9)});
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 1);
}

TEST_F(MainFrameTest, GotoLastPage)
{
    EXPECT_EQ(frame->gotoLastPage(), -1); // no document
    FakeDoc* doc = openDocument(3, 3);
    EXPECT_EQ(frame->gotoLastPage(), 0);
    EXPECT_TRUE(doc->opened.empty());
    doc->currentPage = 1;
    EXPECT_EQ(frame->gotoLastPage(), 0);
    EXPECT_EQ(doc->opened, std::vector<int>{3});
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 2);
}

TEST_F(MainFrameTest, ChoosingAnItemOpensItsPage)
{
    FakeDoc* doc = openDocument(8, 1);
    emit frame->pageSelector()->activated(5);
    EXPECT_EQ(doc->opened, std::vector<int>{6});
    EXPECT_EQ(frame->selectedPage, 6);
}

TEST_F(MainFrameTest, TypedPageNumbers)
{
    const struct {
        const char* typed;
        int expectedOpen;
        int expectedInfo;
        bool expectedLog;
    } cases[] = {
        {"4", 4, 0, false},
        {"7", 0, 6, false},          // beyond the 5 pages
        {"0", 0, 0, true},           // logged, nothing else
        {"99999999999", 0, 6, false}, // clamped, not wrapped round to a page
        {"x3y", 3, 0, false},         // letters never reach the box
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        FakeDoc* doc = openDocument(5, 2);
        const int logBefore = int(work->logEntries().size());
        MessageRecorder messages;
        QLineEdit* edit = frame->pageSelector()->lineEdit();
        ASSERT_NE(edit, nullptr);
        edit->clear();
        QTest::keyClicks(edit, QString::fromLatin1(c.typed));
        QTest::keyClick(edit, Qt::Key_Return);
        if (c.expectedOpen)
            EXPECT_EQ(doc->opened, std::vector<int>{c.expectedOpen});
        else
            EXPECT_TRUE(doc->opened.empty());
        if (c.expectedInfo) {
            EXPECT_EQ(messages.texts(), QStringList{info(c.expectedInfo)});
            EXPECT_EQ(frame->pageSelector()->currentIndex(), doc->currentPage - 1);
        } else {
            EXPECT_TRUE(messages.shown.empty());
        }
        const QStringList log = work->logEntries().mid(logBefore);
        if (c.expectedLog) {
            ASSERT_EQ(log.size(), 1);
            EXPECT_TRUE(log[0].startsWith(QStringLiteral("Current page error .")));
            EXPECT_TRUE(log[0].contains(QStringLiteral("MainWnd/MainFrm")));
        } else {
            EXPECT_TRUE(log.isEmpty()) << log.join(u'\n').toStdString();
        }
        doc->OnCloseDocument();
        flushDeferredDeletes();
    }
}

TEST_F(MainFrameTest, SelectorKeyFilterLetsOnlyDigitsAndBackspaceThrough)
{
    openDocument(5, 1);
    QLineEdit* edit = frame->pageSelector()->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1a-2.3 "));
    EXPECT_EQ(edit->text(), QStringLiteral("123"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("12"));

    EXPECT_EQ(CSelectorComboBox::leadingNumber(QStringLiteral("  12abc")), 12);
    EXPECT_EQ(CSelectorComboBox::leadingNumber(QStringLiteral("第3页")), 0);
    EXPECT_EQ(CSelectorComboBox::leadingNumber(QStringLiteral("-4")), -4);
}

TEST_F(MainFrameTest, RefocusRefillsTheSelectorFromTheActiveDocument)
{
    FakeDoc* first = openDocument(3, 2);
    FakeDoc* second = openDocument(7, 5);
    (void)second;
    first->firstView()->GetParentFrame()->ActivateFrame(-1);
    emit frame->pageSelector()->focusEntered();
    EXPECT_EQ(frame->pageSelector()->count(), 3);
    EXPECT_EQ(frame->selectorPageCount, 3);
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 1);
}

TEST_F(MainFrameTest, PageSelectorCopesWithMillionsOfPages)
{
    // One row per page on a large file: the items are made when shown.
    frame->fillPageSelector(5000000);
    EXPECT_EQ(frame->pageSelector()->count(), 5000000);
    EXPECT_EQ(frame->pageSelector()->itemText(4999999), QStringLiteral("5000000"));
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 0);
}

TEST_F(MainFrameTest, LanguageSelectorSetsTheAlarmTextLanguage)
{
    FakeDoc* doc = openDocument(2, 1, AlarmData);
    emit frame->languageSelector()->activated(2);
    EXPECT_EQ(doc->alarmTextLanguage, 2);
}

TEST_F(MainFrameTest, CommandStatesFollowTheActiveDocument)
{
    FakeDoc* doc = openDocument(4, 1);
    const struct {
        int command;
        bool enabled;
    } cases[] = {
        {cmd::FirstPage, true},  {cmd::PreviousPage, true}, {cmd::NextPage, true},
        {cmd::LastPage, true},   {cmd::ShowReport, true},   {cmd::DrawCurves, true},
        {cmd::RowsPerPage, false}, {cmd::FileClose, true},  {cmd::FileSave, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app->commandAction(c.command)->isEnabled(), c.enabled) << c.command;
    EXPECT_TRUE(frame->pageSelector()->isEnabled());
    EXPECT_TRUE(frame->languageSelector()->isEnabled());
    EXPECT_FALSE(frame->routeCommand(cmd::RowsPerPage));

    doc->OnCloseDocument();
    flushDeferredDeletes();
    frame->updateCommandUI();
    EXPECT_FALSE(app->commandAction(cmd::NextPage)->isEnabled());
    EXPECT_TRUE(app->commandAction(cmd::RowsPerPage)->isEnabled());
    EXPECT_FALSE(frame->pageSelector()->isEnabled());
    // The items of the document shown last stay; no page number shows.
    EXPECT_EQ(frame->pageSelector()->count(), 4);
    EXPECT_EQ(frame->pageSelector()->currentText(), QString());
}

TEST_F(MainFrameTest, SaveCommandAcceptsTheChanges)
{
    FakeDoc* doc = openDocument(1, 1);
    doc->dataModified = true;
    EXPECT_TRUE(frame->routeCommand(cmd::FileSave));
    EXPECT_FALSE(doc->dataModified);
}

TEST_F(MainFrameTest, ViewSwitching)
{
    MessageRecorder messages;
    FakeDoc* alarms = openDocument(1, 1, AlarmData);
    frame->routeCommand(cmd::DrawCurves);
    EXPECT_EQ(messages.texts(), QStringList{languageText(1, langkeys::LineChart, 2)});
    EXPECT_EQ(alarms->views().size(), 1);

    messages.shown.clear();
    FakeDoc* samples = openDocument(1, 1, SampleData);
    frame->routeCommand(cmd::DrawCurves);
    ASSERT_EQ(samples->views().size(), 2);
    EXPECT_NE(qobject_cast<CChartLineView*>(samples->views()[1]), nullptr);
    EXPECT_EQ(frame->GetActiveView(), samples->views()[1]);

    // The report exists: it is brought to the front, not made again.
    frame->routeCommand(cmd::ShowReport);
    EXPECT_EQ(samples->views().size(), 2);
    EXPECT_EQ(frame->GetActiveView(), samples->views()[0]);
    frame->routeCommand(cmd::DrawCurves);
    EXPECT_EQ(samples->views().size(), 2);
    EXPECT_EQ(frame->GetActiveView(), samples->views()[1]);
    EXPECT_TRUE(messages.shown.empty());

    // Both windows of the document show its title, numbered.
    EXPECT_EQ(samples->views()[0]->GetParentFrame()->windowTitle(), samples->GetTitle() + QStringLiteral(":1"));

    // Closing one of two windows leaves the document open.
    samples->views()[1]->GetParentFrame()->close();
    flushDeferredDeletes();
    EXPECT_EQ(samples->views().size(), 1);
    EXPECT_EQ(app->pDocLogTemplate->documents().size(), 2);
    // Closing its last window closes the document.
    samples->views()[0]->GetParentFrame()->close();
    flushDeferredDeletes();
    EXPECT_EQ(app->pDocLogTemplate->documents().size(), 1);
}

TEST_F(MainFrameTest, ChildFramesAreMaximisedTabsWithoutSystemMenu)
{
    FakeDoc* doc = openDocument(1, 1);
    CMDIChildWnd* child = doc->firstView()->GetParentFrame();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->isMaximized());
    EXPECT_EQ(child->systemMenu(), nullptr);
    EXPECT_EQ(frame->mdiArea()->viewMode(), QMdiArea::TabbedView);
    child->ActivateFrame(1); // any show command gives a maximised window
    EXPECT_TRUE(child->isMaximized());
}

TEST_F(MainFrameTest, ClosingTheMainWindowClosesEveryDocument)
{
    openDocument(1, 1);
    openDocument(2, 1);
    frame->close();
    flushDeferredDeletes();
    EXPECT_TRUE(app->documents().empty());
}

} // namespace
