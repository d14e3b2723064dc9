// Adding and deleting records through the report view, and extracting a
// time range into a new file with the query dialog.
#include "DocumentFixture.h"

#include "EditWnd/CDataQueryDlg.h"
#include "EditWnd/CReportGridModel.h"
#include "MainWnd/CSelectorComboBox.h"
#include "common/TestFiles.h"
#include "uilib/CommandIds.h"
#include "uilib/ProgressRunner.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QDateTimeEdit>
#include <QDir>
#include <QItemSelectionModel>
#include <QTableView>

namespace {

// Sample files start at 2026-01-01 00:00:00 UTC, one record a second; the
// runner's TZ puts that at 08:00:00 local time.
const QDateTime firstRecordTime(QDate(2026, 1, 1), QTime(8, 0, 0));

class RecordCommandsTest : public DocumentFixture
{
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        CDataQueryDlg::lastStart = QDateTime();
        CDataQueryDlg::lastEnd = QDateTime();
    }

    CVantrelDoc* openSample(const QString& name, int rows, SampleOptions::Kind kind = SampleOptions::Samples)
    {
        path = sample(name, kind, rows);
        CVantrelDoc* doc = open(path);
        EXPECT_NE(doc, nullptr);
        return doc;
    }
    int recordsInFile(const QString& file, const QString& table = QStringLiteral("DataGrpData")) const
    {
        return queryRows(file, QStringLiteral("SELECT count(*) FROM ") + table).front().toInt();
    }
    void selectRow(CVantrelDoc* doc, int row)
    {
        QTableView* grid = reportView(doc)->grid();
        grid->selectionModel()->select(grid->model()->index(row, 1), QItemSelectionModel::ClearAndSelect);
    }
    QString queryText(int key) const { return languageText(1, langkeys::QueryDlg, key); }
    // Documents other than `doc`, by path.
    QStringList otherDocuments(CVantrelDoc* doc) const
    {
        QStringList paths;
        for (CDocument* other : app->documents())
            if (other != doc)
                paths << other->GetPathName();
        return paths;
    }
    // Data-record files in the sample folder.
    QStringList filesBeside() const
    {
        return QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    }
    // Runs the query command of `doc`'s report with the range `from` …
    // `to`, pressing OK. Straight to the view: the file a query opens
    // becomes the active document, and the next command would go to it.
    void query(CVantrelDoc* doc, const QDateTime& from, const QDateTime& to)
    {
        DialogAnswer answer([&](QDialog& dialog) {
            auto* queryDialog = dynamic_cast<CDataQueryDlg*>(&dialog);
            EXPECT_NE(queryDialog, nullptr);
            if (!queryDialog)
                return int(QDialog::Rejected);
            shownStart = queryDialog->startPicker->dateTime();
            shownEnd = queryDialog->endPicker->dateTime();
            queryDialog->startPicker->setDateTime(from);
            queryDialog->endPicker->setDateTime(to);
            queryDialog->OnOK();
            return queryDialog->result();
        });
        reportView(doc)->OnCmdMsg(cmd::Query);
    }

    QString path;
    QDateTime shownStart;
    QDateTime shownEnd;
};

TEST_F(RecordCommandsTest, AddGoesToTheLastPageAndShowsTheNewRecord)
{
    const struct {
        const char* name;
        int records;
        int startPage;
        int lastPage;
        int shownRows;  // rows the grid shows afterwards
        int pageRows;   // rows the view holds, shown or not
    } cases[] = {
        {"from a middle page", 2500, 2, 3, 501, 501},
        {"already on the last page", 2500, 3, 3, 501, 501},
        // A full last page grows by the record rather than hide it where
        // no page reaches it.
        {"full last page", 2000, 1, 2, 1001, 1001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVantrelDoc* doc = openSample(QStringLiteral("add%1.db").arg(c.startPage * 10000 + c.records), c.records);
        ASSERT_NE(doc, nullptr);
        ASSERT_EQ(doc->openPage(c.startPage), 0);
        messages->shown.clear();
        EXPECT_TRUE(frame->routeCommand(cmd::AddRecord));

        CReportGridModel* model = reportView(doc)->gridModel();
        EXPECT_EQ(doc->currentPage, c.lastPage);
        EXPECT_EQ(frame->pageSelector()->currentIndex(), c.lastPage - 1);
        EXPECT_EQ(model->rowCount(), c.shownRows);
        EXPECT_EQ(int(model->rows().size()), c.pageRows);
        const int newKey = c.records + 1;
        EXPECT_EQ(model->rows().rbegin()->first, newKey);
        EXPECT_EQ(model->keyAt(c.shownRows - 1), newKey);
        EXPECT_EQ(reportView(doc)->grid()->currentIndex().row(), c.shownRows - 1);
        EXPECT_EQ(doc->page.rows.count(newKey), 1u);
        EXPECT_TRUE(doc->dataModified);
        EXPECT_EQ(recordsInFile(path), c.records + 1);
        // Counts stay as they were at open.
        EXPECT_EQ(doc->recordCount, c.records);
        EXPECT_TRUE(messages->shown.empty());
        close(doc);
    }
}

TEST_F(RecordCommandsTest, AddToAFileEmptiedMeanwhileSaysItFailed)
{
    CVantrelDoc* doc = openSample(QStringLiteral("emptied.db"), 10);
    ASSERT_NE(doc, nullptr);
    execSql(path, QStringLiteral("DELETE FROM DataGrpData"));
    frame->routeCommand(cmd::AddRecord);
    EXPECT_EQ(messages->texts(), QStringList{info(12)});
    EXPECT_FALSE(doc->dataModified);
    EXPECT_EQ(reportView(doc)->gridModel()->rowCount(), 10);
}

TEST_F(RecordCommandsTest, DeleteAsksAndDeletesOnlyOnOk)
{
    const struct {
        const char* name;
        bool select;
        bool goneMeanwhile;    // the record was deleted behind our back
        uilib::MessageAnswer answer;
        QStringList messages;  // texts shown
        bool deleted;
    } cases[] = {
        {"no row selected", false, false, uilib::MessageAnswer::Ok, {}, false},
        {"Cancel", true, false, uilib::MessageAnswer::Cancel, {info(10)}, false},
        {"OK", true, false, uilib::MessageAnswer::Ok, {info(10)}, true},
        {"record already gone", true, true, uilib::MessageAnswer::Ok, {info(10), info(13)}, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVantrelDoc* doc = openSample(QStringLiteral("delete%1.db").arg(++n), 30);
        ASSERT_NE(doc, nullptr);
        CReportGridModel* model = reportView(doc)->gridModel();
        const int key = model->keyAt(4);
        const int keyAfter = model->keyAt(5);
        if (c.select)
            selectRow(doc, 4);
        if (c.goneMeanwhile)
            execSql(path, QStringLiteral("DELETE FROM DataGrpData WHERE RecordNo = %1").arg(key));
        messages->shown.clear();
        messages->answers = {c.answer};
        frame->routeCommand(cmd::DeleteRecord);

        EXPECT_EQ(messages->texts(), c.messages);
        if (!messages->shown.empty()) {
            EXPECT_EQ(messages->shown.front().caption, info(11));
            EXPECT_EQ(messages->shown.front().buttons, uilib::MessageButtons::OkCancel);
            EXPECT_EQ(messages->shown.front().owner, frame);
        }
        EXPECT_EQ(doc->dataModified, c.deleted);
        EXPECT_EQ(model->rowCount(), c.deleted ? 29 : 30);
        EXPECT_EQ(doc->page.rows.count(key), c.deleted ? 0u : 1u);
        // The rows after the deleted one move up.
        EXPECT_EQ(model->keyAt(4), c.deleted ? keyAfter : key);
        if (!c.goneMeanwhile) {
            EXPECT_EQ(recordsInFile(path), c.deleted ? 29 : 30);
        }
        messages->answers.clear();
        close(doc);
    }
}

TEST_F(RecordCommandsTest, QueryOfARangeOpensTheNewFileBesideTheOld)
{
    CVantrelDoc* doc = openSample(QStringLiteral("tank.db"), 100);
    ASSERT_NE(doc, nullptr);
    const struct {
        const char* name;
        int fromSecond;
        int toSecond;
        int records;  // in the new file; -1 no new file
        QStringList messages;
    } cases[] = {
        {"start after end", 20, 10, -1, {queryText(5)}},
        {"equal times", 10, 10, 1, {}},
        {"ten seconds", 10, 19, 10, {}},
        {"nothing in the range", 1000, 2000, -1, {queryText(6)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = filesBeside();
        const QStringList documentsBefore = otherDocuments(doc);
        messages->shown.clear();
        query(doc, firstRecordTime.addSecs(c.fromSecond), firstRecordTime.addSecs(c.toSecond));
        if (&c == &cases[0]) {
            // The first query of the run shows now in both pickers.
            const QDateTime now = QDateTime::currentDateTime();
            EXPECT_LE(std::abs(shownStart.secsTo(now)), 5);
            EXPECT_LE(std::abs(shownEnd.secsTo(now)), 5);
        }
        EXPECT_EQ(messages->texts(), c.messages);
        QStringList added = filesBeside();
        for (const QString& name : before)
            added.removeAll(name);
        QStringList opened = otherDocuments(doc);
        for (const QString& name : documentsBefore)
            opened.removeAll(name);
        if (c.records < 0) {
            // Nothing made, nothing left behind, nothing opened.
            EXPECT_TRUE(added.isEmpty()) << added.join(u' ').toStdString();
            EXPECT_TRUE(opened.isEmpty());
            continue;
        }
        ASSERT_EQ(added.size(), 1);
        EXPECT_TRUE(added.front().startsWith(QStringLiteral("tank_"))) << added.front().toStdString();
        const QString newFile = QFileInfo(path).absoluteDir().filePath(added.front());
        EXPECT_EQ(recordsInFile(newFile), c.records);
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(QFileInfo(opened.front()).absoluteFilePath(), QFileInfo(newFile).absoluteFilePath());
        auto* queried = qobject_cast<CVantrelDoc*>(findDocument(newFile));
        ASSERT_NE(queried, nullptr);
        EXPECT_EQ(queried->recordCount, c.records);
    }
    // The dialog shows the range accepted last, also when its query found
    // nothing.
    query(doc, firstRecordTime, firstRecordTime);
    EXPECT_EQ(shownStart, firstRecordTime.addSecs(1000));
    EXPECT_EQ(shownEnd, firstRecordTime.addSecs(2000));
}

TEST_F(RecordCommandsTest, TwoQueriesInOneSecondMakeTwoFilesAndOverwriteNothing)
{
    CVantrelDoc* doc = openSample(QStringLiteral("line.db"), 50);
    ASSERT_NE(doc, nullptr);
    // Files already holding the names of this second and the next: the
    // queries must pass them by, not fail on them or open them.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QStringList taken;
    for (qint64 s : {now, now + 1}) {
        taken << work->path(QStringLiteral("data/line_%1.db").arg(quint32(s)));
        work->writeFile(QStringLiteral("data/line_%1.db").arg(quint32(s)), "not ours");
    }
    query(doc, firstRecordTime, firstRecordTime.addSecs(4));
    query(doc, firstRecordTime.addSecs(5), firstRecordTime.addSecs(7));
    EXPECT_TRUE(messages->shown.empty()) << messages->texts().join(u'|').toStdString();
    for (const QString& file : taken)
        EXPECT_EQ(readAll(file), QByteArray("not ours"));
    const QStringList opened = otherDocuments(doc);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_NE(opened[0], opened[1]);
    std::vector<int> counts;
    for (const QString& file : opened) {
        EXPECT_FALSE(taken.contains(file));
        counts.push_back(recordsInFile(file));
    }
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<int>{3, 5}));
}

TEST_F(RecordCommandsTest, QueryOfAnAlarmFileOrLogIsRefusedBeforeTheDialog)
{
    for (auto kind : {SampleOptions::Alarms, SampleOptions::OperationLogs}) {
        CVantrelDoc* doc = openSample(QStringLiteral("other%1.db").arg(int(kind)), 20, kind);
        ASSERT_NE(doc, nullptr);
        bool asked = false;
        DialogAnswer answer([&](QDialog&) {
            asked = true;
            return int(QDialog::Rejected);
        });
        messages->shown.clear();
        frame->routeCommand(cmd::Query);
        EXPECT_FALSE(asked);
        EXPECT_EQ(messages->texts(), QStringList{queryText(9)});
        close(doc);
    }
}

TEST_F(RecordCommandsTest, CancelledExtractionLeavesNoFileAndOpensNothing)
{
    CVantrelDoc* doc = openSample(QStringLiteral("long.db"), 20000);
    ASSERT_NE(doc, nullptr);
    const QStringList before = filesBeside();
    std::vector<qint64> reported;
    const uilib::ProgressResponder previous = uilib::setProgressResponder([&](const uilib::ProgressRequest& r) {
        reported.push_back(r.done);
        return reported.size() < 2;
    });
    query(doc, firstRecordTime, firstRecordTime.addSecs(20000));
    uilib::setProgressResponder(previous);
    EXPECT_EQ(reported.size(), 2u);
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_EQ(filesBeside(), before);
    EXPECT_TRUE(otherDocuments(doc).isEmpty());
}

TEST_F(RecordCommandsTest, RecordCommandsFollowTheActiveView)
{
    CVantrelDoc* doc = openSample(QStringLiteral("states.db"), 10);
    ASSERT_NE(doc, nullptr);
    frame->updateCommandUI();
    for (int id : {cmd::AddRecord, cmd::DeleteRecord, cmd::Query, cmd::ExportPageCsv, cmd::ExportAllCsv,
                   cmd::ImportCsv, cmd::MergeFiles}) {
        EXPECT_TRUE(frame->queryCommandState(id).enabled) << id;
    }
    close(doc);
    // With no document only the merge, an application command, is left.
    for (int id : {cmd::AddRecord, cmd::DeleteRecord, cmd::Query, cmd::ExportPageCsv, cmd::ExportAllCsv,
                   cmd::ImportCsv}) {
        EXPECT_FALSE(frame->queryCommandState(id).enabled) << id;
    }
    EXPECT_TRUE(frame->queryCommandState(cmd::MergeFiles).enabled);
}

} // namespace
