// Opening, saving and closing data-record files: the backup working copy,
// the refusals in their order, the settings read at open and what closing
// a changed file keeps or restores.
#include "DocumentFixture.h"

#include "EditWnd/CReportGridModel.h"
#include "EditWnd/CSetMaxRowDlg.h"
#include "MainWnd/CSelectorComboBox.h"
#include "common/TestFiles.h"
#include "uilib/CommandIds.h"

#include <QFile>
#include <QLineEdit>
#include <QTableView>

namespace {

class DocumentTest : public DocumentFixture
{
protected:
    QByteArray settingsFile() const override
    {
        return "[VantrelTool]\nLANGUAGEID=1\n[EditCellMode]\nREADONLY=0\n"
               "[LineSet]\nRANGETYPE=2\nRANGEMIN=-5.5\nRANGEMAX=120\n";
    }

    // Edits value column 2 of the first row through the grid.
    bool editFirstValue(CVantrelDoc* doc, const QString& text)
    {
        CReportGridModel* model = reportView(doc)->gridModel();
        return model->setData(model->index(0, 2), text, Qt::EditRole);
    }
};

TEST_F(DocumentTest, OpenReadsTheFileIntoTheDocumentAndTheWindow)
{
    // A dot in the folder name must not cut the title.
    const QString path = sample(QStringLiteral("line.v2/tank.db"), SampleOptions::Samples, 2500);
    CVantrelDoc* doc = openThroughDialog(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(messages->shown.empty());

    EXPECT_EQ(doc->fileKind, SampleData);
    EXPECT_EQ(doc->recordCount, 2500);
    EXPECT_EQ(doc->rowsPerPage, 1000);
    EXPECT_EQ(doc->pageCount, 3);
    EXPECT_EQ(doc->currentPage, 1);
    EXPECT_EQ(doc->rebuildColumns, 1);
    EXPECT_EQ(doc->fileTitle, QStringLiteral("tank"));
    EXPECT_EQ(doc->userFilePath, path);
    EXPECT_EQ(doc->page.rows.size(), 1000u);
    EXPECT_EQ(doc->displayColumnCount, doc->page.columns.size());

    // Every displayed column is offered as a shown curve, black and solid.
    ASSERT_EQ(doc->curveList.size(), size_t(doc->page.columns.size()));
    int i = 0;
    for (const CurveSelection& curve : doc->curveList) {
        EXPECT_EQ(curve.name, doc->page.columns[i++]);
        EXPECT_EQ(curve.shown, 1);
        EXPECT_EQ(doc->curveStyles.at(curve.name).colour, 0);
        EXPECT_EQ(doc->curveStyles.at(curve.name).lineType, 0);
    }
    EXPECT_EQ(doc->rangeType, 2);
    EXPECT_EQ(doc->rangeMin, QStringLiteral("-5.5"));
    EXPECT_EQ(doc->rangeMax, QStringLiteral("120"));
    EXPECT_EQ(doc->rangeUnit, QStringLiteral("0.0"));

    // The backup is a copy of the file in this process's temporary folder.
    EXPECT_EQ(QFileInfo(doc->workingCopyPath).absolutePath(), QFileInfo(app->tempFolderPath).absoluteFilePath());
    EXPECT_EQ(readAll(doc->workingCopyPath), readAll(path));

    EXPECT_EQ(app->recentFileList().files().value(0), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(frame->pageSelector()->count(), 3);
    EXPECT_EQ(frame->pageSelector()->currentIndex(), 0);

    CVantrelView* view = reportView(doc);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->shownPage(), 1);
    EXPECT_EQ(view->gridModel()->rowCount(), 1000);

    // While the document is active its pages and views are usable; the
    // page size is not.
    for (int id : {cmd::FirstPage, cmd::PreviousPage, cmd::NextPage, cmd::LastPage, cmd::PageSelector,
                   cmd::ShowReport, cmd::DrawCurves, cmd::MergeFiles, cmd::LanguageSelector}) {
        EXPECT_TRUE(frame->queryCommandState(id).enabled) << id;
    }
    EXPECT_FALSE(frame->queryCommandState(cmd::RowsPerPage).enabled);
    EXPECT_TRUE(frame->pageSelector()->isEnabled());
}

TEST_F(DocumentTest, RefusedFilesSayWhyOnceAndLeaveNoDocument)
{
    const QString notThere = work->path(QStringLiteral("data/missing.db"));
    const QString text = work->path(QStringLiteral("data/notes.db"));
    work->writeFile(QStringLiteral("data/notes.db"), "this is a text file, not a database\n");
    const QString empty = sample(QStringLiteral("empty.db"), SampleOptions::Samples, 1);
    execSql(empty, QStringLiteral("DELETE FROM DataGrpData"));
    const QString noTable = work->path(QStringLiteral("data/blank.db"));
    execSql(noTable, QStringLiteral("PRAGMA user_version = 1"));

    const struct {
        const char* name;
        QString path;
        int info;          // 0: no message
        const char* log;   // nullptr: nothing logged
        bool recent;       // in the recent-file list afterwards
    } cases[] = {
        {"nothing at the path", notThere, 0, "File is not exists .", false},
        {"a text file named .db", text, 4, nullptr, true},
        {"a database without tables", noTable, 4, nullptr, true},
        {"an empty DataGrpData table", empty, 2, nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages->shown.clear();
        EXPECT_EQ(open(c.path), nullptr);
        flushDeferredDeletes();
        if (c.info) {
            EXPECT_EQ(messages->texts(), QStringList{info(c.info)});
        } else {
            EXPECT_TRUE(messages->shown.empty());
        }
        if (c.log) {
            EXPECT_TRUE(logged(QString::fromUtf8(c.log)));
        }
        EXPECT_EQ(app->recentFileList().files().contains(QFileInfo(c.path).absoluteFilePath()), c.recent);
        EXPECT_TRUE(app->documents().empty());
        EXPECT_EQ(frame->GetActiveDocument(), nullptr);
    }
}

TEST_F(DocumentTest, BackupThatCannotBeWrittenEndsTheOpenWithoutTouchingTheFile)
{
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 10);
    const QByteArray before = readAll(path);
    app->tempFolderPath = work->path(QStringLiteral("no/such/folder"));
    EXPECT_EQ(open(path), nullptr);
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_TRUE(logged(QStringLiteral("Copy temp file failed .")));
    EXPECT_TRUE(app->recentFileList().files().contains(QFileInfo(path).absoluteFilePath()));
    EXPECT_EQ(readAll(path), before);
}

TEST_F(DocumentTest, PageSizeComesFromTheSettingAtOpen)
{
    // The setting is read at start-up; a value the rows-per-page dialog
    // would refuse counts as the default, so files still open.
    const struct {
        const char* maxRow; // nullptr: no MaxRowSinglePage section
        int records;
        int rowsPerPage;
        int pages;
        int lastPageRows;
    } cases[] = {
        {nullptr, 2500, 1000, 3, 500},
        {nullptr, 2000, 1000, 2, 1000},
        {nullptr, 1, 1000, 1, 1},
        {"250", 1000, 250, 4, 250},
        {"100000", 2500, 100000, 1, 2500},
        {"0", 2500, 1000, 3, 500},
        {"-5", 2500, 1000, 3, 500},
        {"abc", 2500, 1000, 3, 500},
        {"100001", 2500, 1000, 3, 500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxRow ? c.maxRow : "no setting");
        app.reset();
        QByteArray settings = "[VantrelTool]\nLANGUAGEID=1\n";
        if (c.maxRow)
            settings += QByteArray("[MaxRowSinglePage]\nMAXROW=") + c.maxRow + "\n";
        work->writeFile(QStringLiteral("RoruDize.ini"), settings);
        app = std::make_unique<TestApp>();
        ASSERT_TRUE(app->start(work->path(QStringLiteral("bin"))));
        frame = static_cast<CMainFrame*>(app->mainFrame());

        CVantrelDoc* doc = open(sample(QStringLiteral("records.db"), SampleOptions::Samples, c.records));
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->rowsPerPage, c.rowsPerPage);
        EXPECT_EQ(doc->pageCount, c.pages);
        EXPECT_EQ(frame->pageSelector()->count(), c.pages);
        EXPECT_EQ(doc->openPage(c.pages), 0);
        EXPECT_EQ(doc->page.rows.size(), size_t(c.lastPageRows));
        EXPECT_EQ(doc->openPage(c.pages + 1), -1);
        EXPECT_EQ(doc->currentPage, c.pages);
        close(doc);
    }
    EXPECT_TRUE(logged(QStringLiteral("Current page error.")));
}

TEST_F(DocumentTest, NewPageSizeServesFilesOpenedAfterwards)
{
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 900);
    CVantrelDoc* first = open(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pageCount, 1);
    close(first);

    {
        DialogAnswer answer([](QDialog& dialog) {
            auto& rows = static_cast<CSetMaxRowDlg&>(dialog);
            rows.edit->setText(QStringLiteral("300"));
            rows.OnOK();
            return dialog.result();
        });
        EXPECT_TRUE(frame->routeCommand(cmd::RowsPerPage));
    }
    EXPECT_EQ(app->maxRowsPerPage, 300);
    CVantrelDoc* second = open(path);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->rowsPerPage, 300);
    EXPECT_EQ(second->pageCount, 3);
}

TEST_F(DocumentTest, SavedEditsCloseWithoutAQuestion)
{
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 10);
    CVantrelDoc* doc = open(path);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(editFirstValue(doc, QStringLiteral("42.5")));
    EXPECT_TRUE(doc->dataModified);
    EXPECT_TRUE(frame->routeCommand(cmd::FileSave));
    EXPECT_FALSE(doc->dataModified);
    close(doc);
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_EQ(queryRows(path, QStringLiteral("SELECT Value1 FROM DataGrpData WHERE RecordNo = 1")),
              std::vector<QString>{QStringLiteral("42.5")});
}

TEST_F(DocumentTest, ClosingAChangedFileKeepsOrRestoresIt)
{
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "OK keeps the changes" : "Cancel restores the file");
        const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 2500);
        const QByteArray atOpen = readAll(path);
        CVantrelDoc* doc = open(path);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(editFirstValue(doc, QStringLiteral("-7.25")));
        ASSERT_EQ(doc->store.deleteRecord(2), 0);
        const QString backup = doc->workingCopyPath;
        const QByteArray changed = readAll(path);
        ASSERT_NE(changed, atOpen);

        messages->shown.clear();
        messages->answers.push_back(keep ? uilib::MessageAnswer::Ok : uilib::MessageAnswer::Cancel);
        close(doc);
        ASSERT_EQ(messages->shown.size(), 1u);
        EXPECT_EQ(messages->shown[0].text, info(16));
        EXPECT_EQ(messages->shown[0].buttons, uilib::MessageButtons::OkCancel);
        EXPECT_EQ(readAll(path), keep ? changed : atOpen);
        // The backup stays until the application ends.
        EXPECT_TRUE(QFile::exists(backup));
        EXPECT_TRUE(app->documents().empty());
    }
}

TEST_F(DocumentTest, RestoreWithoutItsBackupLogsAndKeepsTheChangedFile)
{
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 10);
    CVantrelDoc* doc = open(path);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(editFirstValue(doc, QStringLiteral("4.5")));
    const QByteArray changed = readAll(path);
    ASSERT_TRUE(QFile::remove(doc->workingCopyPath));
    messages->answers.push_back(uilib::MessageAnswer::Cancel);
    close(doc);
    EXPECT_TRUE(logged(QStringLiteral("Restore data failed .")));
    EXPECT_EQ(readAll(path), changed);
    EXPECT_TRUE(app->documents().empty());
}

TEST_F(DocumentTest, TwoFilesOfOneNameKeepTheirOwnBackups)
{
    const QString a = sample(QStringLiteral("line1/data.db"), SampleOptions::Samples, 20);
    SampleOptions other;
    other.rows = 30;
    other.valueColumns = 2;
    const QString b = sample(QStringLiteral("line2/data.db"), other);
    const QByteArray aBefore = readAll(a);
    const QByteArray bBefore = readAll(b);

    CVantrelDoc* docA = open(a);
    CVantrelDoc* docB = open(b);
    ASSERT_NE(docA, nullptr);
    ASSERT_NE(docB, nullptr);
    EXPECT_NE(docA->workingCopyPath, docB->workingCopyPath);
    EXPECT_EQ(readAll(docA->workingCopyPath), aBefore);
    EXPECT_EQ(readAll(docB->workingCopyPath), bBefore);

    ASSERT_TRUE(editFirstValue(docA, QStringLiteral("1.5")));
    ASSERT_TRUE(editFirstValue(docB, QStringLiteral("2.5")));
    messages->answers = {uilib::MessageAnswer::Cancel, uilib::MessageAnswer::Cancel};
    close(docA);
    close(docB);
    EXPECT_EQ(readAll(a), aBefore);
    EXPECT_EQ(readAll(b), bBefore);
}

TEST_F(DocumentTest, RecentFilesListTheOpenedFilesNewestFirst)
{
    const QString a = sample(QStringLiteral("a.db"), SampleOptions::Samples, 5);
    const QString b = sample(QStringLiteral("b.db"), SampleOptions::Alarms, 5);
    CVantrelDoc* docA = openThroughDialog(a);
    CVantrelDoc* docB = openThroughDialog(b);
    ASSERT_NE(docA, nullptr);
    ASSERT_NE(docB, nullptr);
    EXPECT_EQ(app->recentFileList().files().mid(0, 2),
              (QStringList{QFileInfo(b).absoluteFilePath(), QFileInfo(a).absoluteFilePath()}));
    close(docA);

    // Opening from the list opens the file again as a new document.
    app->OnOpenRecentFile(1);
    CVantrelDoc* again = findDocument(a);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->userFilePath, QFileInfo(a).absoluteFilePath());
    EXPECT_EQ(again->fileKind, SampleData);
    EXPECT_EQ(app->recentFileList().files().value(0), QFileInfo(a).absoluteFilePath());
}

} // namespace
