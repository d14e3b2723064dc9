// The GUI runner: one QApplication for every test. Settings and cache go
// to a temporary folder so tests never touch the user's own. A few tests
// run this program again as a child for what must happen in a separate
// process (a crash, a second process of the same name).
#include "MainWnd/CVantrelApp.h"
#include "MainWnd/CrashReport.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int runChild(const char* mode)
{
    if (std::strcmp(mode, "crash") == 0) {
        CR_INSTALL_INFOW info;
        info.cb = sizeof(info);
        info.pszAppName = u"Corvane";
        info.pszAppVersion = u"V1.0.0";
        info.dwFlags = 0xBFFF;
        info.pszErrorReportSaveDir = u"./dump_report";
        if (crInstall(&info) != 0)
            return 3;
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        return 4;
    }
    if (std::strcmp(mode, "process-running") == 0) {
        std::printf("%d\n", CVantrelApp::isProcessRunning(
                                QFileInfo(QCoreApplication::applicationFilePath()).fileName()) ? 1 : 0);
        return 0;
    }
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!std::getenv("VANTREL_GUI_CHILD")) {
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Tests close main windows without an event loop to end.
    QApplication::setQuitOnLastWindowClosed(false);
    if (const char* mode = std::getenv("VANTREL_GUI_CHILD"))
        return runChild(mode);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
