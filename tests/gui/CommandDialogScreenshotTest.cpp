// Pictures of the query, merge and progress windows in both languages for
// a person to look at: runs only when VANTREL_SCREENSHOT_DIR names a
// folder, and writes PNGs there.
#include "GuiTestSupport.h"

#include "EditWnd/CDataQueryDlg.h"
#include "MainWnd/CMainFrame.h"
#include "merge/CMergeDlg.h"
#include "uilib/ProgressRunner.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QDir>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(Screenshots, QueryMergeAndProgressWindowsInBothLanguages)
{
    const QString folder = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "set VANTREL_SCREENSHOT_DIR to write screenshots";
    QDir().mkpath(folder);
    const auto save = [&](QWidget& widget, const QString& name) {
        widget.show();
        QTest::qWait(50);
        EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(name)));
        widget.hide();
    };
    for (int language : {0, 1}) {
        const QString suffix = language == 0 ? QStringLiteral("zh") : QStringLiteral("en");
        WorkFolder work;
        work.writeFile(QStringLiteral("RoruDize.ini"),
                       QStringLiteral("[VantrelTool]\nLANGUAGEID=%1\n").arg(language).toUtf8());
        TestApp app;
        ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));

        CDataQueryDlg::lastStart = QDateTime(QDate(2026, 1, 1), QTime(8, 0, 0));
        CDataQueryDlg::lastEnd = QDateTime(QDate(2026, 1, 1), QTime(8, 41, 39));
        CDataQueryDlg query;
        save(query, QStringLiteral("query-%1.png").arg(suffix));

        CMergeDlg merge;
        merge.chosenFile = QStringLiteral("/home/operator/records/Line 1/Line 1_12.db");
        merge.outputPath = QStringLiteral("/home/operator/merged/Line 1Merge.db");
        merge.fileEdit->setText(merge.chosenFile);
        merge.outputEdit->setText(merge.outputPath);
        save(merge, QStringLiteral("merge-%1.png").arg(suffix));

        const QString cancel = app.getLangText(QString::fromUtf16(langkeys::QueryDlg), 3);
        ProgressRunner progress(app.mainFrame(), app.getLangText(QString::fromUtf16(langkeys::MergeDlg), 1),
                                cancel);
        QProgressDialog* window = progress.window();
        window->show();
        // Past the delay before the window appears, so report() fills it.
        QTest::qWait(450);
        progress.report(1750000, 5000000);
        save(*window, QStringLiteral("progress-%1.png").arg(suffix));
    }
}

} // namespace
