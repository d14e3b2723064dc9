// Pictures of the window for a person to look at: runs only when
// VANTREL_SCREENSHOT_DIR names a folder, and writes PNGs there.
#include "GuiTestSupport.h"

#include "EditWnd/CSetMaxRowDlg.h"
#include "MainWnd/CAboutDlg.h"
#include "MainWnd/CMainFrame.h"
#include "MainWnd/CSelectorComboBox.h"
#include "store/SampleGenerator.h"

#include <QAbstractItemView>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(Screenshots, MainWindowMenusAndDialogsInBothLanguages)
{
    const QString folder = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "set VANTREL_SCREENSHOT_DIR to write screenshots";
    QDir().mkpath(folder);
    for (int language : {0, 1}) {
        const QString suffix = language == 0 ? QStringLiteral("zh") : QStringLiteral("en");
        WorkFolder work;
        work.writeFile(QStringLiteral("RoruDize.ini"),
                       QStringLiteral("[VantrelTool]\nLANGUAGEID=%1\n").arg(language).toUtf8());
        TestApp app;
        ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
        auto* frame = static_cast<CMainFrame*>(app.mainFrame());
        frame->resize(1100, 640);
        QTest::qWait(50);
        EXPECT_TRUE(frame->grab().save(QDir(folder).filePath(QStringLiteral("main-%1.png").arg(suffix))));

        int index = 0;
        for (QAction* title : frame->menuBar()->actions()) {
            QMenu* menu = title->menu();
            menu->popup(frame->mapToGlobal(QPoint(10, 30)));
            QTest::qWait(50);
            menu->grab().save(QDir(folder).filePath(QStringLiteral("menu%1-%2.png").arg(++index).arg(suffix)));
            menu->hide();
        }
        SampleOptions options;
        options.rows = 2500;
        ASSERT_EQ(writeSampleFile(work.path(QStringLiteral("Line1.db")), options), 0);
        ASSERT_NE(app.OpenDocumentFile(work.path(QStringLiteral("Line1.db"))), nullptr);
        frame->updateCommandUI();
        QTest::qWait(50);
        EXPECT_TRUE(frame->grab().save(QDir(folder).filePath(QStringLiteral("document-%1.png").arg(suffix))));

        CSetMaxRowDlg rows(1000, frame);
        rows.show();
        QTest::qWait(50);
        rows.grab().save(QDir(folder).filePath(QStringLiteral("rows-%1.png").arg(suffix)));
        CAboutDlg about(frame);
        about.show();
        QTest::qWait(50);
        about.grab().save(QDir(folder).filePath(QStringLiteral("about-%1.png").arg(suffix)));
        frame->languageSelector()->showPopup();
        QTest::qWait(50);
        frame->languageSelector()->view()->window()->grab().save(
            QDir(folder).filePath(QStringLiteral("language-popup-%1.png").arg(suffix)));
        frame->languageSelector()->hidePopup();
    }
}

} // namespace
