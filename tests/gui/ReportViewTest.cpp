// The report grid: its columns, the read-only setting, alarm texts in the
// selected language, in-place edits accepted and refused, failed writes,
// and showing the report again.
#include "DocumentFixture.h"

#include "ControlEx/CChartLineView.h"
#include "EditWnd/CReportGridModel.h"
#include "MainWnd/CSelectorComboBox.h"
#include "common/TestFiles.h"
#include "uilib/CMDIChildWnd.h"
#include "uilib/CommandIds.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTableView>

#include <sqlite3.h>

namespace {

class ReportViewTest : public DocumentFixture
{
protected:
    QByteArray settingsFile() const override { return settings; }

    // Restarts the application with `text` as its settings file.
    void restartWith(const QByteArray& text)
    {
        app.reset();
        settings = text;
        work->writeFile(QStringLiteral("RoruDize.ini"), settings);
        app = std::make_unique<TestApp>();
        ASSERT_TRUE(app->start(work->path(QStringLiteral("bin"))));
        frame = static_cast<CMainFrame*>(app->mainFrame());
    }

    bool edit(CVantrelDoc* doc, int row, int column, const QString& text)
    {
        CReportGridModel* model = reportView(doc)->gridModel();
        return model->setData(model->index(row, column), text, Qt::EditRole);
    }
    QString shown(CVantrelDoc* doc, int row, int column) const
    {
        const CReportGridModel* model = reportView(doc)->gridModel();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }

    QByteArray settings = "[VantrelTool]\nLANGUAGEID=1\n[EditCellMode]\nREADONLY=0\n";
};

TEST_F(ReportViewTest, ColumnsShowKeyFirstCentredAndTimesInFull)
{
    const struct {
        SampleOptions::Kind kind;
        std::vector<int> timeColumns;
    } cases[] = {
        {SampleOptions::Samples, {1}},
        {SampleOptions::Alarms, {2, 5}},
        {SampleOptions::OperationLogs, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        SampleOptions options;
        options.kind = c.kind;
        options.rows = 40;
        options.ullTime = c.kind == SampleOptions::Samples;
        options.firstKey = 100;
        CVantrelDoc* doc = open(sample(QStringLiteral("kind%1.db").arg(int(c.kind)), options));
        ASSERT_NE(doc, nullptr);
        CVantrelView* view = reportView(doc);
        const CReportGridModel* model = view->gridModel();
        // ullTime is never shown.
        EXPECT_FALSE(model->columns().contains(QStringLiteral("ullTime")));
        EXPECT_EQ(model->columns(), doc->page.columns);
        EXPECT_EQ(model->rowCount(), 40);
        // The first column shows the record key, not a row number.
        EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toInt(), 100);
        EXPECT_EQ(model->data(model->index(39, 0), Qt::DisplayRole).toInt(), 139);
        EXPECT_EQ(model->data(model->index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));

        const QTableView* grid = view->grid();
        const QFontMetrics metrics = grid->fontMetrics();
        for (int i = 0; i < model->columnCount(); ++i) {
            const bool time = std::find(c.timeColumns.begin(), c.timeColumns.end(), i) != c.timeColumns.end();
            EXPECT_GE(grid->columnWidth(i), time ? 160 : 100) << i;
            const QString text = model->data(model->index(0, i), Qt::DisplayRole).toString();
            EXPECT_GT(grid->columnWidth(i), metrics.horizontalAdvance(text)) << i << " " << text.toStdString();
            if (time) {
                EXPECT_TRUE(CVantrelView::isDateTimeText(text)) << text.toStdString();
            }
        }
        close(doc);
    }
}

TEST_F(ReportViewTest, ReadOnlySettingDecidesWhetherCellsEdit)
{
    const struct {
        const char* settings;
        bool editable;
    } cases[] = {
        {"", false},
        {"[EditCellMode]\n", false},
        {"[EditCellMode]\nREADONLY=0\n", true},
        {"[EditCellMode]\nREADONLY=1\n", false},
        {"[EditCellMode]\nREADONLY=-1\n", false},
        {"[editcellmode]\nreadonly=0\n", true},
    };
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 5);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        restartWith(QByteArray("[VantrelTool]\nLANGUAGEID=1\n") + c.settings);
        CVantrelDoc* doc = open(path);
        ASSERT_NE(doc, nullptr);
        const CReportGridModel* model = reportView(doc)->gridModel();
        EXPECT_EQ(model->readOnly(), !c.editable);
        EXPECT_EQ(bool(model->flags(model->index(0, 2)) & Qt::ItemIsEditable), c.editable);
        // The key column never edits.
        EXPECT_FALSE(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);
        close(doc);
    }
}

TEST_F(ReportViewTest, AlarmTextsFollowTheLanguageSelectorAndStayReadOnly)
{
    const QString path = sample(QStringLiteral("alarms.db"), SampleOptions::Alarms, 20);
    // A record whose alarm has no text in the file.
    execSql(path, QStringLiteral("UPDATE AlarmTable SET AlarmID = '99' WHERE AlarmNo = 3"));
    CVantrelDoc* doc = open(path);
    ASSERT_NE(doc, nullptr);
    CVantrelView* view = reportView(doc);
    EXPECT_TRUE(view->gridModel()->readOnly());
    EXPECT_EQ(doc->page.columns.value(3), QStringLiteral("AlarmID"));

    const struct {
        int language;
        const char* first; // text of alarm 1
    } cases[] = {
        {0, "1号罐液位过高"},
        {1, "Tank 1 level high"},
        {2, "L3 alarm 1"},
        {0, "1号罐液位过高"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        emit frame->languageSelector()->activated(c.language);
        EXPECT_EQ(doc->alarmTextLanguage, c.language);
        EXPECT_EQ(view->shownAlarmTextLanguage(), c.language);
        EXPECT_EQ(shown(doc, 0, 3), QString::fromUtf8(c.first));
        EXPECT_EQ(shown(doc, 2, 3), QString());
        // The file keeps its keys.
        EXPECT_EQ(doc->page.rows.at(1).value(2), QStringLiteral("1"));
    }
    EXPECT_FALSE(edit(doc, 0, 4, QStringLiteral("1")));
}

TEST_F(ReportViewTest, EditsAreCheckedForTheirColumn)
{
    const struct {
        SampleOptions::Kind kind;
        int column;
        const char* text;
        bool accepted;
    } cases[] = {
        {SampleOptions::Samples, 1, "2021-02-30 10:00:00", true},
        {SampleOptions::Samples, 1, "2021-01-05 10:00:00.5", true},
        {SampleOptions::Samples, 1, "2021-01-05 10:00:00.123", true},
        {SampleOptions::Samples, 1, "2021-01-05  10:00:00", true},
        {SampleOptions::Samples, 1, "2021-1-5 10:00:00", false},
        {SampleOptions::Samples, 1, "2021-01-05T10:00:00", false},
        {SampleOptions::Samples, 1, "2021-01-05 10:00:00.1234", false},
        {SampleOptions::Samples, 1, "2021-01-05 24:00:00", false},
        {SampleOptions::Samples, 1, "0999-01-05 10:00:00", false},
        {SampleOptions::Samples, 1, "12.5", false},
        {SampleOptions::Samples, 2, "-12.5", true},
        {SampleOptions::Samples, 2, "0.25", true},
        {SampleOptions::Samples, 2, "12", true},
        {SampleOptions::Samples, 2, "12.", false},
        {SampleOptions::Samples, 2, ".5", false},
        {SampleOptions::Samples, 2, "", false},
        {SampleOptions::Samples, 2, "-", false},
        {SampleOptions::Samples, 2, "1e3", false},
        {SampleOptions::Samples, 2, "+1", false},
        {SampleOptions::Samples, 2, "1,5", false},
        {SampleOptions::Samples, 2, " 1", false},
        {SampleOptions::Samples, 2, "1.2.3", false},
        {SampleOptions::Samples, 2, "2021-01-05 10:00:00", false},
        {SampleOptions::OperationLogs, 1, "2024-06-30 23:59:59", true},
        {SampleOptions::OperationLogs, 1, "7", false},
        {SampleOptions::OperationLogs, 2, "7", true},
        {SampleOptions::OperationLogs, 2, "admin", false},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(QStringLiteral("kind %1 column %2 '%3'").arg(int(c.kind)).arg(c.column).arg(text).toStdString());
        const QString path = sample(QStringLiteral("edit.db"), c.kind, 5);
        const QByteArray before = readAll(path);
        CVantrelDoc* doc = open(path);
        ASSERT_NE(doc, nullptr);
        const QString old = shown(doc, 1, c.column);
        messages->shown.clear();

        EXPECT_EQ(edit(doc, 1, c.column, text), c.accepted);
        EXPECT_EQ(doc->dataModified, c.accepted);
        EXPECT_EQ(shown(doc, 1, c.column), c.accepted ? text : old);
        if (c.accepted) {
            EXPECT_TRUE(messages->shown.empty());
            const QString table = doc->store.tableName;
            const QString column = doc->page.columns[c.column];
            // Compared with the column's own affinity: "12" in a REAL
            // column reads back as 12.0.
            EXPECT_EQ(queryRows(path, QStringLiteral("SELECT count(*) FROM \"%1\" WHERE rowid = 2 AND \"%2\" = '%3'")
                                          .arg(table, column, text)),
                      std::vector<QString>{QStringLiteral("1")});
        } else {
            EXPECT_EQ(messages->texts(), QStringList{info(15)});
            EXPECT_EQ(readAll(path), before);
        }
        messages->answers.push_back(uilib::MessageAnswer::Ok);
        close(doc);
    }
}

TEST_F(ReportViewTest, EditsThatChangeNothingWriteNothing)
{
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 5);
    const QByteArray before = readAll(path);
    CVantrelDoc* doc = open(path);
    ASSERT_NE(doc, nullptr);
    // The same text again, and the key column.
    EXPECT_FALSE(edit(doc, 0, 2, shown(doc, 0, 2)));
    EXPECT_FALSE(edit(doc, 0, 0, QStringLiteral("77")));
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_FALSE(doc->dataModified);
    EXPECT_EQ(readAll(path), before);
}

TEST_F(ReportViewTest, ChangingACellBackWritesTheOldValueAgain)
{
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 5);
    CVantrelDoc* doc = open(path);
    ASSERT_NE(doc, nullptr);
    const QString original = shown(doc, 0, 2);
    ASSERT_TRUE(edit(doc, 0, 2, QStringLiteral("1.5")));
    ASSERT_TRUE(edit(doc, 0, 2, original));
    EXPECT_EQ(queryRows(path, QStringLiteral("SELECT Value1 FROM DataGrpData WHERE RecordNo = 1")),
              std::vector<QString>{original});
    EXPECT_EQ(shown(doc, 0, 2), original);
}

TEST_F(ReportViewTest, FailedWriteShowsWhatTheFileHolds)
{
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 5);
    CVantrelDoc* doc = open(path);
    ASSERT_NE(doc, nullptr);

    // Refused by the file itself, before and after an accepted edit.
    execSql(path, QStringLiteral("CREATE TRIGGER no_update BEFORE UPDATE OF Value2 ON DataGrpData "
                                 "BEGIN SELECT RAISE(ABORT, 'read only'); END"));
    for (const bool changedBefore : {false, true}) {
        SCOPED_TRACE(changedBefore ? "after an accepted edit" : "unchanged document");
        if (changedBefore) {
            ASSERT_TRUE(edit(doc, 0, 2, QStringLiteral("3.5")));
        }
        const QString held = shown(doc, 0, 3);
        messages->shown.clear();
        EXPECT_FALSE(edit(doc, 0, 3, QStringLiteral("9.75")));
        EXPECT_EQ(messages->texts(), QStringList{info(14)});
        EXPECT_EQ(shown(doc, 0, 3), held);
        EXPECT_EQ(doc->dataModified, changedBefore);
    }

    // Locked by another process for longer than the store waits.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    doc->store.db.setBusyTimeout(50);
    messages->shown.clear();
    EXPECT_FALSE(edit(doc, 1, 2, QStringLiteral("8.5")));
    EXPECT_EQ(messages->texts(), QStringList{info(14)});
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(std::vector<QString>{shown(doc, 1, 2)},
              queryRows(path, QStringLiteral("SELECT Value1 FROM DataGrpData WHERE RecordNo = 2")));
    EXPECT_EQ(shown(doc, 0, 2), QStringLiteral("3.5"));
}

TEST_F(ReportViewTest, TableOfTwoColumnsShowsNoRows)
{
    const QString path = work->path(QStringLiteral("narrow.db"));
    execSql(path, QStringLiteral("CREATE TABLE Log(LogNo INTEGER PRIMARY KEY, OperateTime TEXT);"
                                 "INSERT INTO Log VALUES(1, '2026-01-01 08:00:00');"));
    CVantrelDoc* doc = open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->displayColumnCount, 2);
    EXPECT_EQ(reportView(doc)->gridModel()->rowCount(), 0);
}

TEST_F(ReportViewTest, ShowReportActivatesTheGridOrMakesANewOne)
{
    CVantrelDoc* doc = open(sample(QStringLiteral("tank.db"), SampleOptions::Samples, 2500));
    ASSERT_NE(doc, nullptr);
    CVantrelView* first = reportView(doc);
    EXPECT_TRUE(frame->routeCommand(cmd::ShowReport));
    EXPECT_EQ(doc->views().size(), 1);

    EXPECT_TRUE(frame->routeCommand(cmd::NextPage));
    EXPECT_TRUE(frame->routeCommand(cmd::DrawCurves));
    ASSERT_EQ(doc->views().size(), 2);
    // Closing the report leaves the document open with its curves.
    first->GetParentFrame()->close();
    flushDeferredDeletes();
    ASSERT_EQ(doc->views().size(), 1);
    EXPECT_TRUE(messages->shown.empty());

    EXPECT_TRUE(frame->routeCommand(cmd::ShowReport));
    CVantrelView* second = reportView(doc);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->shownPage(), 2);
    EXPECT_EQ(second->gridModel()->columns(), doc->page.columns);
    EXPECT_EQ(second->gridModel()->keyAt(0), 1001);
    EXPECT_GE(second->grid()->columnWidth(1), 160);
    EXPECT_EQ(frame->GetActiveView(), second);
}

} // namespace

namespace {

TEST_F(ReportViewTest, TypingIntoACellEndsInTheFileOrInInfo15)
{
    const QString path = sample(QStringLiteral("tank.db"), SampleOptions::Samples, 5);
    CVantrelDoc* doc = open(path);
    ASSERT_NE(doc, nullptr);
    CVantrelView* view = reportView(doc);
    QTableView* grid = view->grid();
    frame->show();
    grid->setFocus();

    const struct {
        const char* typed;
        const char* shownAfter; // nullptr: the old text
        int info;
    } cases[] = {
        {"33.25", "33.25", 0},
        {"abc", nullptr, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString old = shown(doc, 1, 2);
        messages->shown.clear();
        const QModelIndex cell = view->gridModel()->index(1, 2);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), old);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromUtf8(c.typed));
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits once control is back in the event loop.
        QCoreApplication::processEvents();
        EXPECT_EQ(shown(doc, 1, 2), c.shownAfter ? QString::fromUtf8(c.shownAfter) : old);
        if (c.info) {
            EXPECT_EQ(messages->texts(), QStringList{info(c.info)});
        } else {
            EXPECT_TRUE(messages->shown.empty());
        }
    }
    EXPECT_EQ(queryRows(path, QStringLiteral("SELECT Value1 FROM DataGrpData WHERE RecordNo = 2")),
              std::vector<QString>{QStringLiteral("33.25")});
    EXPECT_TRUE(doc->dataModified);

    // Keys that are accelerators elsewhere (Shift+C closes the document,
    // Ctrl+X ends the program) are text or editing keys inside the editor.
    const QModelIndex cell = view->gridModel()->index(0, 2);
    grid->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClick(editor, 'C', Qt::ShiftModifier);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(editor, 'V', Qt::ShiftModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(editor->text(), QStringLiteral("V"));
    EXPECT_EQ(app->documents().size(), 1u);
    EXPECT_TRUE(app->endCodes.empty());
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
}

} // namespace
