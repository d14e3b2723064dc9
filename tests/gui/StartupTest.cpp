// Start-up and shutdown: the language setting, the language files, the
// menu texts, and shutdown after a failed start.
#include "GuiTestSupport.h"

#include "MainWnd/CMainFrame.h"
#include "uilib/CommandIds.h"
#include "util/ProfileFile.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

constexpr char appUnit[] = "MainWnd/Vantrel";

bool logged(const QStringList& entries, const QString& text, const char* unit)
{
    for (const QString& entry : entries)
        if (entry.startsWith(text) && entry.contains(QLatin1String(unit)))
            return true;
    return false;
}

struct LanguageCase {
    const char* name;
    const char* ini;          // null: no settings file
    const char* indexExtra;   // an extra index entry, or null
    int expectedIndex;
    int expectedMessageLanguage;
    bool chineseChecked;
    bool englishChecked;
    int menuLanguage;         // which file's texts the menus show
};

TEST(Startup, LanguageSettingPicksFileMessagesAndCheckMark)
{
    const LanguageCase cases[] = {
        {"no settings file", nullptr, nullptr, 0, 4, true, false, 0},
        {"LANGUAGEID 0", "[VantrelTool]\nLANGUAGEID=0\n", nullptr, 0, 4, true, false, 0},
        {"LANGUAGEID 1", "[VantrelTool]\nLANGUAGEID=1\n", nullptr, 1, 1033, false, true, 1},
        {"LANGUAGEID 2 listed in the index", "[VantrelTool]\nLANGUAGEID=2\n",
         "<Item ID=\"2\" Text=\"en_US.xml\"/>", 2, 4, false, false, 1},
        {"negative LANGUAGEID", "[vantreltool]\nlanguageid=-7\n", nullptr, 0, 4, true, false, 0},
    };
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(c.name);
        WorkFolder work;
        if (c.ini)
            work.writeFile(QStringLiteral("RoruDize.ini"), c.ini);
        if (c.indexExtra) {
            QByteArray index = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Language><Module Name=\"language\">"
                               "<Item ID=\"0\" Text=\"zh_CN.xml\"/><Item ID=\"1\" Text=\"en_US.xml\"/>";
            work.writeFile(QStringLiteral("Language/Language.xml"),
                           index + c.indexExtra + "</Module></Language>\n");
        }
        TestApp app;
        ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
        EXPECT_EQ(app.languageIndex, c.expectedIndex);
        EXPECT_EQ(app.messageLanguageId, c.expectedMessageLanguage);
        EXPECT_EQ(app.commandAction(cmd::LanguageChinese)->isChecked(), c.chineseChecked);
        EXPECT_EQ(app.commandAction(cmd::LanguageEnglish)->isChecked(), c.englishChecked);
        if (!c.ini || c.expectedIndex == 0) {
            // A missing or negative setting is written back as 0.
            EXPECT_EQ(ProfileFile(QStringLiteral("RoruDize.ini"))
                          .getString(QStringLiteral("VantrelTool"), QStringLiteral("LANGUAGEID"), QString()),
                      QStringLiteral("0"));
        }
        const QList<QAction*> titles = app.mainFrame()->menuBar()->actions();
        ASSERT_EQ(titles.size(), 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(titles[i]->text(), languageText(c.menuLanguage, langkeys::MenuBarTop, i + 1));
        EXPECT_TRUE(QFileInfo(app.tempFolderPath).isDir());
    }
}

struct FailureCase {
    const char* name;
    std::function<void(WorkFolder&)> prepare;
    const char* expectedLog;
};

TEST(Startup, MissingLanguageFilesEndStartupAndShutdownStillRuns)
{
    const FailureCase cases[] = {
        {"no language file of the chosen language",
         [](WorkFolder& w) { QFile::remove(w.path(QStringLiteral("Language/zh_CN.xml"))); },
         "Load current language file  failed."},
        {"no index file",
         [](WorkFolder& w) { QFile::remove(w.path(QStringLiteral("Language/Language.xml"))); },
         "Load the language ID corresponding file failed."},
        {"index without the chosen language",
         [](WorkFolder& w) { w.writeFile(QStringLiteral("RoruDize.ini"), "[VantrelTool]\nLANGUAGEID=5\n"); },
         "Load current language file  failed."},
        {"language file that is not XML",
         [](WorkFolder& w) { w.writeFile(QStringLiteral("Language/zh_CN.xml"), "<Language><Module"); },
         "Load current language file  failed."},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        WorkFolder work;
        c.prepare(work);
        MessageRecorder messages;
        TestApp app;
        EXPECT_FALSE(app.start(work.path(QStringLiteral("bin"))));
        EXPECT_EQ(app.mainFrame(), nullptr);
        app.shutdown();
        const QStringList log = work.logEntries();
        EXPECT_TRUE(logged(log, QString::fromLatin1(c.expectedLog), appUnit)) << log.join(u'\n').toStdString();
        // The temporary folder was never chosen; shutdown says so and goes on.
        EXPECT_TRUE(logged(log, QStringLiteral("delete temp folder failed."), appUnit));
        EXPECT_FALSE(logged(log, QStringLiteral("crUninstall error."), appUnit));
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_FALSE(QDir(work.path(QStringLiteral("bin/tempFile"))).exists());
    }
}

TEST(Startup, ShutdownRemovesTemporaryFolderAndWindowLayout)
{
    WorkFolder work;
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    const QString temp = app.tempFolderPath;
    EXPECT_EQ(temp, work.path(QStringLiteral("bin/tempFile")));
    work.writeFile(QStringLiteral("bin/tempFile/working-copy.db"), "x");
    app.mainFrame()->close(); // stores the layout, as closing the window does
    app.shutdown();
    EXPECT_FALSE(QFileInfo::exists(temp));
    QSettings settings(QStringLiteral("VantrelTool"), QStringLiteral("VantrelTool"));
    EXPECT_FALSE(settings.childGroups().contains(QStringLiteral("Workspace")));
    EXPECT_TRUE(work.logEntries().isEmpty()) << work.logEntries().join(u'\n').toStdString();
}

TEST(Startup, SecondStartInOneProcessInstallsCrashReportingAgain)
{
    // Shutdown uninstalls the crash handlers; a failed uninstall would show
    // as the next start failing at its first step.
    for (int run = 0; run < 2; ++run) {
        WorkFolder work;
        MessageRecorder messages;
        TestApp app;
        EXPECT_TRUE(app.start(work.path(QStringLiteral("bin"))));
        EXPECT_TRUE(messages.shown.empty());
    }
}

} // namespace
