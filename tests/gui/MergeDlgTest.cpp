// The merge dialog, run through the merge command: its choosers, the
// messages of each missing or wrong path, a series merged with the dialog
// staying open, and a cancelled merge.
#include "DocumentFixture.h"

#include "common/TestFiles.h"
#include "merge/CMergeDlg.h"
#include "uilib/CommandIds.h"
#include "uilib/FileDialogSeam.h"
#include "uilib/ProgressRunner.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace {

class MergeDlgTest : public DocumentFixture
{
protected:
    void TearDown() override
    {
        uilib::setFileDialogResponder({});
        uilib::setProgressResponder({});
        DocumentFixture::TearDown();
    }
    QString mergeText(int key) const { return languageText(1, langkeys::MergeDlg, key); }

    // Runs the merge command; the dialog chooses `file` and `folder` (each
    // only when not empty) and presses OK `presses` times.
    void runDialog(const QString& file, const QString& folder, int presses = 1)
    {
        uilib::setFileDialogResponder([&](const uilib::FileDialogRequest& request) {
            requests.push_back(request);
            return request.kind == uilib::FileDialogRequest::Folder ? folder : file;
        });
        DialogAnswer answer([&](QDialog& dialog) {
            auto* merge = dynamic_cast<CMergeDlg*>(&dialog);
            EXPECT_NE(merge, nullptr);
            if (!merge)
                return int(QDialog::Rejected);
            EXPECT_EQ(merge->parentWidget(), nullptr);
            if (!file.isEmpty())
                merge->sourceButton->click();
            if (!folder.isEmpty())
                merge->outputButton->click();
            for (int i = 0; i < presses; ++i) {
                merge->okButton->click();
                outputShown << merge->outputEdit->text();
            }
            chosenShown = merge->fileEdit->text();
            // OK never closes it.
            stayedOpen = merge->result() == 0;
            return int(QDialog::Rejected);
        });
        EXPECT_TRUE(frame->routeCommand(cmd::MergeFiles));
    }

    std::vector<uilib::FileDialogRequest> requests;
    QStringList outputShown;
    QString chosenShown;
    bool stayedOpen = false;
};

TEST_F(MergeDlgTest, MergesTheSeriesAndShowsTheNewPathEachTime)
{
    const QString series = work->path(QStringLiteral("log/Line 1"));
    const QString out = work->path(QStringLiteral("out"));
    QDir().mkpath(series);
    QDir().mkpath(out);
    SampleOptions options;
    options.rows = 50;
    ASSERT_EQ(writeSampleSeries(series, 3, options), 0);
    const QString chosen = QDir(series).filePath(QStringLiteral("Line 1_2.db"));

    runDialog(chosen, out, 2);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(chosenShown, chosen);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].kind, uilib::FileDialogRequest::OpenFile);
    EXPECT_EQ(requests[1].kind, uilib::FileDialogRequest::Folder);
    // A second OK makes a second file under the next free name.
    const QStringList expected{QDir(out).filePath(QStringLiteral("Line 1Merge.db")),
                               QDir(out).filePath(QStringLiteral("Line 1Merge1.db"))};
    EXPECT_EQ(outputShown, expected);
    EXPECT_EQ(messages->texts(), (QStringList{mergeText(11), mergeText(11)}));
    for (const QString& merged : expected) {
        EXPECT_EQ(queryRows(merged, QStringLiteral("SELECT count(*), min(RecordNo), max(RecordNo) FROM DataGrpData")),
                  std::vector<QString>{QStringLiteral("150|1|150")});
    }
    // No document is opened.
    EXPECT_TRUE(app->documents().empty());
}

TEST_F(MergeDlgTest, EachMissingOrWrongPathHasItsMessage)
{
    const QString out = work->path(QStringLiteral("out"));
    const QString lonely = work->path(QStringLiteral("lonely"));
    QDir().mkpath(out);
    QDir().mkpath(lonely);
    SampleOptions options;
    options.rows = 5;
    ASSERT_EQ(writeSampleFile(QDir(lonely).filePath(QStringLiteral("other.db")), options), 0);
    const QString plain = work->path(QStringLiteral("plain"));
    QDir().mkpath(plain);
    execSql(QDir(plain).filePath(QStringLiteral("plain_1.db")), QStringLiteral("CREATE TABLE Data(a, b)"));

    const struct {
        const char* name;
        QString file;
        QString folder;
        QString message;
    } cases[] = {
        {"nothing chosen", QString(), QString(), mergeText(7)},
        {"file at the root", QStringLiteral("/x.db"), out, mergeText(8)},
        {"no output folder", QDir(lonely).filePath(QStringLiteral("other.db")), QString(), mergeText(9)},
        {"no series in the folder", QDir(lonely).filePath(QStringLiteral("other.db")), out, mergeText(10)},
        {"chosen file without DataGrpData", QDir(plain).filePath(QStringLiteral("plain_1.db")), out,
         QStringLiteral("no such table")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages->shown.clear();
        outputShown.clear();
        runDialog(c.file, c.folder);
        ASSERT_EQ(messages->shown.size(), 1u);
        EXPECT_TRUE(messages->shown.front().text.contains(c.message))
            << messages->shown.front().text.toStdString();
        EXPECT_NE(messages->shown.front().owner, frame);
        EXPECT_TRUE(stayedOpen);
        // The output edit still shows the folder chosen, not a file.
        EXPECT_EQ(outputShown, QStringList{c.folder});
    }
    EXPECT_TRUE(QDir(out).isEmpty());
}

TEST_F(MergeDlgTest, CancelledMergeLeavesNoFile)
{
    const QString series = work->path(QStringLiteral("Tank"));
    const QString out = work->path(QStringLiteral("out"));
    QDir().mkpath(series);
    QDir().mkpath(out);
    SampleOptions options;
    options.rows = 20;
    ASSERT_EQ(writeSampleSeries(series, 4, options), 0);
    int calls = 0;
    uilib::setProgressResponder([&](const uilib::ProgressRequest& r) {
        EXPECT_EQ(r.total, 4);
        return ++calls < 2;
    });
    runDialog(QDir(series).filePath(QStringLiteral("Tank_1.db")), out);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_TRUE(QDir(out).isEmpty());
    EXPECT_EQ(outputShown, QStringList{out});
}

} // namespace
