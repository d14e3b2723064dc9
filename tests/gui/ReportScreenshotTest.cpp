// Pictures of the report grid for a person to look at: a file of each kind
// open in both languages. Runs only when VANTREL_SCREENSHOT_DIR names a
// folder, and writes PNGs there.
#include "GuiTestSupport.h"

#include "MainWnd/CMainFrame.h"
#include "MainWnd/CSelectorComboBox.h"
#include "store/SampleGenerator.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(Screenshots, ReportGridOfEachKindInBothLanguages)
{
    const QString folder = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "set VANTREL_SCREENSHOT_DIR to write screenshots";
    QDir().mkpath(folder);
    const struct {
        SampleOptions::Kind kind;
        const char* name;
        const char* file;
    } kinds[] = {
        {SampleOptions::Samples, "samples", "Line1.db"},
        {SampleOptions::Alarms, "alarms", "Alarm.db"},
        {SampleOptions::OperationLogs, "oplog", "OperLog.db"},
    };
    for (int language : {0, 1}) {
        const QString suffix = language == 0 ? QStringLiteral("zh") : QStringLiteral("en");
        for (const auto& k : kinds) {
            WorkFolder work;
            work.writeFile(QStringLiteral("RoruDize.ini"),
                           QStringLiteral("[VantrelTool]\nLANGUAGEID=%1\n").arg(language).toUtf8());
            TestApp app;
            ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
            auto* frame = static_cast<CMainFrame*>(app.mainFrame());
            frame->resize(1100, 640);
            SampleOptions options;
            options.kind = k.kind;
            options.rows = 2500;
            const QString path = work.path(QString::fromUtf8(k.file));
            ASSERT_EQ(writeSampleFile(path, options), 0);
            ASSERT_NE(app.OpenDocumentFile(path), nullptr);
            // Alarm texts in the language of the window.
            emit frame->languageSelector()->activated(language);
            frame->languageSelector()->setCurrentIndex(language);
            frame->routeCommand(1056); // next page, so the selector shows a page of its own
            frame->updateCommandUI();
            QTest::qWait(50);
            EXPECT_TRUE(frame->grab().save(
                QDir(folder).filePath(QStringLiteral("report-%1-%2.png").arg(QString::fromUtf8(k.name), suffix))));
            app.shutdown();
        }
    }
}

} // namespace
