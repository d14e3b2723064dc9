// Vantrel: viewer and editor of HMI data-record files.
#include "MainWnd/CMainFrame.h"
#include "MainWnd/CVantrelApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    CVantrelApp app;
    if (!app.InitInstance()) {
        delete app.mainFrame();
        app.ExitInstance();
        // A failed start is not a success: scripts and desktop launchers
        // see it in the exit status.
        return 1;
    }
    const int result = qtApp.exec();
    delete app.mainFrame();
    app.ExitInstance();
    return result;
}
