// The temporary folder: leftovers of earlier runs, numbered fallbacks,
// the cache folder when the executable's folder takes no new folder, and
// which processes count as another run.
#include "GuiTestSupport.h"

#include "winbaselib/src/i18n/LangKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

void makeFolder(const QString& path, bool withSubfolder)
{
    QDir().mkpath(path);
    QFile file(QDir(path).filePath(QStringLiteral("copy.db")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    if (withSubfolder)
        QDir().mkpath(QDir(path).filePath(QStringLiteral("sub")));
}

TEST(TempFolder, DeleteFolderRemovesOnlyTheFilesDirectlyInside)
{
    WorkFolder work;
    TestApp app; // not started: deleteFolder needs nothing else
    const QString plain = work.path(QStringLiteral("plain"));
    makeFolder(plain, false);
    EXPECT_TRUE(app.deleteFolder(plain));
    EXPECT_FALSE(QFileInfo::exists(plain));

    const QString nested = work.path(QStringLiteral("nested"));
    makeFolder(nested, true);
    EXPECT_FALSE(app.deleteFolder(nested));
    EXPECT_FALSE(QFileInfo::exists(QDir(nested).filePath(QStringLiteral("copy.db"))));
    EXPECT_TRUE(QFileInfo(QDir(nested).filePath(QStringLiteral("sub"))).isDir());

    EXPECT_FALSE(app.deleteFolder(work.path(QStringLiteral("missing"))));
}

TEST(TempFolder, LeftoversAndNumberedFallbacks)
{
    const struct {
        const char* name;
        int leftovers;      // base, then base-1 … as many as this
        bool subfolders;    // leftovers hold a subfolder (cannot be removed)
        bool running;       // another process of the program runs
        const char* chosen; // suffix of the folder chosen; null: start-up fails
    } cases[] = {
        {"nothing there", 0, false, false, ""},
        {"crashed run's folder is cleaned", 1, false, false, ""},
        {"another run owns the folder", 1, false, true, "-1"},
        {"folder that cannot be removed", 1, true, false, "-1"},
        {"first free number", 3, false, true, "-3"},
        {"last number", 98, false, true, "-98"},
        {"every name taken", 99, false, true, nullptr},
        {"every name taken, none removable", 99, true, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkFolder work;
        MessageRecorder messages;
        TestApp app;
        ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
        const QString base = work.path(QStringLiteral("other/tempFile"));
        QDir().mkpath(work.path(QStringLiteral("other")));
        for (int i = 0; i < c.leftovers; ++i)
            makeFolder(i == 0 ? base : QStringLiteral("%1-%2").arg(base).arg(i), c.subfolders);
        const bool result = app.setTempFolderPath(base, c.running);
        if (!c.chosen) {
            EXPECT_FALSE(result);
            EXPECT_EQ(messages.texts(), QStringList{languageText(0, langkeys::InfoDlg, 17)});
            EXPECT_FALSE(QFileInfo::exists(base + QStringLiteral("-99")));
            continue;
        }
        EXPECT_TRUE(result);
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(app.tempFolderPath, base + QString::fromLatin1(c.chosen));
        EXPECT_TRUE(QFileInfo(app.tempFolderPath).isDir());
        // A folder reused after cleaning starts empty.
        if (!c.subfolders && QString::fromLatin1(c.chosen).isEmpty()) {
            EXPECT_TRUE(QDir(app.tempFolderPath).isEmpty());
        }
    }
}

TEST(TempFolder, StartupCleansTheFolderOfACrashedRun)
{
    WorkFolder work;
    const QString base = work.path(QStringLiteral("bin/tempFile"));
    makeFolder(base, false);
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    EXPECT_EQ(app.tempFolderPath, base);
    EXPECT_TRUE(QDir(base).isEmpty());
}

TEST(TempFolder, FolderWithoutRoomForANewFolderFallsBackToTheCache)
{
    WorkFolder work;
    TestApp app;
    // Not even root makes folders in /proc.
    app.setExecutableFolder(QStringLiteral("/proc/self"));
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    EXPECT_EQ(app.tempFolderBaseName(), QDir(cache).filePath(QStringLiteral("vantrel/tempFile")));
    app.setExecutableFolder(work.path());
    EXPECT_EQ(app.tempFolderBaseName(), work.path(QStringLiteral("tempFile")));
}

// Copies `program` under `name` into `folder` and returns the copy's path.
QString copyProgram(const QString& program, const QString& folder, const QString& name)
{
    QDir().mkpath(folder);
    const QString copy = QDir(folder).filePath(name);
    EXPECT_TRUE(QFile::copy(program, copy));
    QFile(copy).setPermissions(QFile(copy).permissions() | QFileDevice::ExeOwner);
    return copy;
}

TEST(TempFolder, AnotherProcessOfTheSameNameCountsTheCallerDoesNot)
{
    WorkFolder work;
    const QString name = QStringLiteral("vt-probe-%1").arg(QCoreApplication::applicationPid());
    const QString sleeper = copyProgram(QStringLiteral("/bin/sleep"), work.path(QStringLiteral("a")), name);
    const QString probe =
        copyProgram(QCoreApplication::applicationFilePath(), work.path(QStringLiteral("b")), name);

    EXPECT_FALSE(CVantrelApp::isProcessRunning(name));
    auto askChild = [&] {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VANTREL_GUI_CHILD"), QStringLiteral("process-running"));
        child.setProcessEnvironment(env);
        child.start(probe, {});
        EXPECT_TRUE(child.waitForFinished(30000));
        return QString::fromLatin1(child.readAllStandardOutput()).trimmed();
    };
    // The child is the only process of that name: it does not find itself.
    EXPECT_EQ(askChild(), QStringLiteral("0"));

    QProcess running;
    running.start(sleeper, {QStringLiteral("30")});
    ASSERT_TRUE(running.waitForStarted());
    EXPECT_TRUE(CVantrelApp::isProcessRunning(name));
    EXPECT_EQ(askChild(), QStringLiteral("1"));
    running.kill();
    running.waitForFinished();
    EXPECT_FALSE(CVantrelApp::isProcessRunning(name));
}

} // namespace
