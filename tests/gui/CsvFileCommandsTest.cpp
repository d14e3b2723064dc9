// The CSV commands in the window: saving the current page and all pages,
// importing an exported file and a plain one, and cancelling long work.
#include "DocumentFixture.h"

#include "EditWnd/CReportGridModel.h"
#include "common/TestFiles.h"
#include "uilib/CommandIds.h"
#include "uilib/FileDialogSeam.h"
#include "uilib/ProgressRunner.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QDir>

namespace {

class CsvFileCommandsTest : public DocumentFixture
{
protected:
    // Answers every file dialog with `path`, recording its caption.
    void answerFilesWith(const QString& path)
    {
        uilib::setFileDialogResponder([this, path](const uilib::FileDialogRequest& request) {
            captions << request.caption;
            return path;
        });
    }
    void TearDown() override
    {
        uilib::setFileDialogResponder({});
        uilib::setProgressResponder({});
        DocumentFixture::TearDown();
    }
    QString exportText(int key) const { return languageText(1, langkeys::ExportDlg, key); }
    static QList<QByteArray> lines(const QString& csv)
    {
        QList<QByteArray> all = readAll(csv).split('\n');
        if (!all.isEmpty() && all.back().isEmpty())
            all.pop_back();
        return all;
    }
    QStringList folderEntries(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }

    QStringList captions;
};

TEST_F(CsvFileCommandsTest, SavesThePageOrAllPagesWithTheTextsTheGridShows)
{
    const struct {
        const char* name;
        SampleOptions::Kind kind;
        int records;
        int command;
        int lines;     // header included
        bool marker;   // header ends in 0x02
    } cases[] = {
        {"sample page", SampleOptions::Samples, 2500, cmd::ExportPageCsv, 1001, true},
        {"sample all", SampleOptions::Samples, 2500, cmd::ExportAllCsv, 2501, true},
        {"alarm page", SampleOptions::Alarms, 30, cmd::ExportPageCsv, 31, false},
        {"alarm all", SampleOptions::Alarms, 1500, cmd::ExportAllCsv, 1501, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = sample(QStringLiteral("f%1.db").arg(++n), c.kind, c.records);
        CVantrelDoc* doc = open(path);
        ASSERT_NE(doc, nullptr);
        // Alarm texts of the second language in the grid.
        doc->alarmTextLanguage = 1;
        doc->UpdateAllViews(nullptr, 0, nullptr);
        const auto pageBefore = doc->page.rows;
        // A name typed without extension gets ".csv".
        const QString csv = work->path(QStringLiteral("out%1").arg(n));
        captions.clear();
        messages->shown.clear();
        answerFilesWith(csv);
        std::vector<qint64> reported;
        uilib::setProgressResponder([&](const uilib::ProgressRequest& r) {
            reported.push_back(r.done);
            EXPECT_EQ(r.total, c.records);
            return true;
        });
        frame->routeCommand(c.command);

        EXPECT_EQ(captions, QStringList{exportText(19)});
        EXPECT_EQ(messages->texts(), QStringList{exportText(13)});
        const QList<QByteArray> written = lines(csv + QStringLiteral(".csv"));
        ASSERT_EQ(written.size(), c.lines);
        EXPECT_EQ(written.front().endsWith("\x02\"\r"), c.marker);
        EXPECT_TRUE(written.back().endsWith('\r'));
        if (c.command == cmd::ExportAllCsv) {
            EXPECT_EQ(reported.back(), c.records);
        } else {
            EXPECT_TRUE(reported.empty());
        }
        // The document still holds the page it shows.
        EXPECT_EQ(doc->page.rows, pageBefore);
        if (c.kind == SampleOptions::Alarms) {
            // The fourth field is the text the grid shows, not the key.
            const CReportGridModel* model = reportView(doc)->gridModel();
            const QString shown = model->data(model->index(0, 3), Qt::DisplayRole).toString();
            EXPECT_NE(shown, doc->page.rows.begin()->second.value(2));
            const QList<QByteArray> fields = written[1].split(',');
            ASSERT_GT(fields.size(), 3);
            EXPECT_EQ(QString::fromUtf8(fields[3]), u'"' + shown + u'"');
        }
        close(doc);
    }
}

TEST_F(CsvFileCommandsTest, NothingToExportAndCancelledDialogWriteNothing)
{
    // Two shown columns are too few to export.
    const QString narrow = work->path(QStringLiteral("data/narrow.db"));
    QDir().mkpath(work->path(QStringLiteral("data")));
    execSql(narrow, QStringLiteral("CREATE TABLE Notes(No INTEGER PRIMARY KEY, Text TEXT);"
                                   "INSERT INTO Notes VALUES(1, 'a');"));
    CVantrelDoc* doc = open(narrow);
    ASSERT_NE(doc, nullptr);
    answerFilesWith(work->path(QStringLiteral("never.csv")));
    frame->routeCommand(cmd::ExportPageCsv);
    EXPECT_TRUE(captions.isEmpty());
    EXPECT_EQ(messages->texts(), QStringList{info(7)});
    close(doc);

    doc = open(sample(QStringLiteral("s.db"), SampleOptions::Samples, 10));
    ASSERT_NE(doc, nullptr);
    messages->shown.clear();
    answerFilesWith(QString());
    frame->routeCommand(cmd::ExportAllCsv);
    EXPECT_EQ(captions.size(), 1);
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_FALSE(QFileInfo::exists(work->path(QStringLiteral("never.csv"))));
}

TEST_F(CsvFileCommandsTest, CancelledExportOfAllPagesKeepsTheOldFile)
{
    CVantrelDoc* doc = open(sample(QStringLiteral("big.db"), SampleOptions::Samples, 6000));
    ASSERT_NE(doc, nullptr);
    const QString folder = work->path(QStringLiteral("csv"));
    QDir().mkpath(folder);
    const QString csv = QDir(folder).filePath(QStringLiteral("old.csv"));
    writeAll(csv, "what was there before\r\n");
    answerFilesWith(csv);
    int calls = 0;
    uilib::setProgressResponder([&](const uilib::ProgressRequest& r) {
        EXPECT_LT(r.done, r.total);
        return ++calls < 3;
    });
    frame->routeCommand(cmd::ExportAllCsv);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(messages->shown.empty()) << messages->texts().join(u'|').toStdString();
    EXPECT_EQ(readAll(csv), QByteArray("what was there before\r\n"));
    // The file the export had begun is gone.
    EXPECT_EQ(folderEntries(folder), QStringList{QStringLiteral("old.csv")});
}

TEST_F(CsvFileCommandsTest, ImportOpensTheNewFileAsADocument)
{
    CVantrelDoc* source = open(sample(QStringLiteral("line.db"), SampleOptions::Samples, 40));
    ASSERT_NE(source, nullptr);
    const QString exported = work->path(QStringLiteral("csv/line.csv"));
    QDir().mkpath(work->path(QStringLiteral("csv")));
    answerFilesWith(exported);
    frame->routeCommand(cmd::ExportPageCsv);
    work->writeFile(QStringLiteral("csv/plain.csv"), "ID,Name,Value\r\n1,pump,3.5\r\n2,valve,\r\n3,\"fan, left\",7\r\n");

    const struct {
        const char* name;
        QString csv;
        int kind;
        const char* table;
        int records;
    } cases[] = {
        {"exported sample page", exported, SampleData, "DataGrpData", 40},
        {"plain CSV", work->path(QStringLiteral("csv/plain.csv")), OperationLog, "Data", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<CDocument*> before = app->documents();
        captions.clear();
        messages->shown.clear();
        answerFilesWith(c.csv);
        frame->routeCommand(cmd::ImportCsv);
        EXPECT_EQ(captions, QStringList{exportText(20)});
        EXPECT_TRUE(messages->shown.empty()) << messages->texts().join(u'|').toStdString();
        CVantrelDoc* imported = nullptr;
        for (CDocument* d : app->documents())
            if (std::find(before.begin(), before.end(), d) == before.end())
                imported = qobject_cast<CVantrelDoc*>(d);
        ASSERT_NE(imported, nullptr);
        EXPECT_EQ(QFileInfo(imported->GetPathName()).absolutePath(), QFileInfo(c.csv).absolutePath());
        EXPECT_EQ(imported->fileKind, c.kind);
        EXPECT_EQ(imported->store.tableName, QString::fromUtf8(c.table));
        EXPECT_EQ(imported->recordCount, c.records);
        if (c.kind == SampleData) {
            // The page comes back cell for cell.
            EXPECT_EQ(imported->page.rows, source->page.rows);
        }
    }
}

TEST_F(CsvFileCommandsTest, FailedOrCancelledImportLeavesNoFileBehind)
{
    CVantrelDoc* doc = open(sample(QStringLiteral("s.db"), SampleOptions::Samples, 10));
    ASSERT_NE(doc, nullptr);
    const QString folder = work->path(QStringLiteral("in"));
    QDir().mkpath(folder);
    work->writeFile(QStringLiteral("in/long.csv"), "a,b\r\n1,2\r\n1,2,3\r\n");
    QByteArray many = "a,b\r\n";
    for (int i = 0; i < 20000; ++i)
        many += QByteArray::number(i) + ",x\r\n";
    work->writeFile(QStringLiteral("in/many.csv"), many);

    const struct {
        const char* name;
        QString csv;
        bool cancel;
        int message;         // ExportDlg key, 0 none
        const char* detail;  // what the message says under the language text
    } cases[] = {
        {"missing file", QDir(folder).filePath(QStringLiteral("none.csv")), false, 21, "no such file"},
        {"record longer than the header", QDir(folder).filePath(QStringLiteral("long.csv")), false, 23, "record 3"},
        {"cancelled", QDir(folder).filePath(QStringLiteral("many.csv")), true, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = folderEntries(folder);
        const size_t documents = app->documents().size();
        messages->shown.clear();
        answerFilesWith(c.csv);
        bool asked = false;
        uilib::setProgressResponder([&](const uilib::ProgressRequest&) {
            asked = true;
            return !c.cancel;
        });
        frame->routeCommand(cmd::ImportCsv);
        EXPECT_EQ(asked, c.cancel);
        if (c.message == 0) {
            EXPECT_TRUE(messages->shown.empty());
        } else {
            ASSERT_EQ(messages->shown.size(), 1u);
            const QString text = messages->shown.front().text;
            EXPECT_TRUE(text.startsWith(exportText(c.message))) << text.toStdString();
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.detail))) << text.toStdString();
        }
        EXPECT_EQ(folderEntries(folder), before);
        EXPECT_EQ(app->documents().size(), documents);
    }
}

} // namespace
