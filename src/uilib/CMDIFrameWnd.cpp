#include "uilib/CMDIFrameWnd.h"

#include "uilib/CDocument.h"
#include "uilib/CMDIChildWnd.h"
#include "uilib/CView.h"
#include "uilib/CWinApp.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QSettings>
#include <QTabBar>

CMDIFrameWnd::CMDIFrameWnd() : area(new QMdiArea(this))
{
    area->setViewMode(QMdiArea::TabbedView);
    area->setDocumentMode(true);
    area->setTabsClosable(true);
    area->setTabsMovable(true);
    area->setTabShape(QTabWidget::Rounded);
    // One open file would otherwise give one tab across the whole window,
    // which reads as a title bar rather than a tab.
    if (auto* tabs = area->findChild<QTabBar*>())
        tabs->setExpanding(false);
    setCentralWidget(area);
    connect(area, &QMdiArea::subWindowActivated, this, [this] { scheduleCommandUpdate(); });

    commandUpdateTimer.setSingleShot(true);
    commandUpdateTimer.setInterval(0);
    connect(&commandUpdateTimer, &QTimer::timeout, this, &CMDIFrameWnd::updateCommandUI);
}

CMDIFrameWnd::~CMDIFrameWnd()
{
    CWinApp* app = CWinApp::instance();
    if (app && app->mainFrame() == this)
        app->setMainFrame(nullptr);
}

CMDIChildWnd* CMDIFrameWnd::GetActiveFrame() const
{
    return qobject_cast<CMDIChildWnd*>(area->currentSubWindow());
}

CView* CMDIFrameWnd::GetActiveView() const
{
    CMDIChildWnd* frame = GetActiveFrame();
    return frame ? frame->GetActiveView() : nullptr;
}

CDocument* CMDIFrameWnd::GetActiveDocument() const
{
    CMDIChildWnd* frame = GetActiveFrame();
    return frame ? frame->GetActiveDocument() : nullptr;
}

std::vector<CCmdTarget*> CMDIFrameWnd::commandRoute() const
{
    std::vector<CCmdTarget*> route;
    if (CMDIChildWnd* frame = GetActiveFrame()) {
        if (CView* view = frame->GetActiveView()) {
            route.push_back(view);
            if (CDocument* doc = view->GetDocument(); doc && !doc->isClosing())
                route.push_back(doc);
        }
        route.push_back(frame);
    }
    route.push_back(const_cast<CMDIFrameWnd*>(this));
    if (CWinApp* app = CWinApp::instance())
        route.push_back(app);
    return route;
}

bool CMDIFrameWnd::routeCommand(int id)
{
    // Handlers run only for enabled commands, as a shortcut or a stale
    // toolbar state could otherwise run a command the document refuses.
    if (!queryCommandState(id).enabled)
        return false;
    bool handled = false;
    for (CCmdTarget* target : commandRoute()) {
        if (target->OnCmdMsg(id)) {
            handled = true;
            break;
        }
    }
    scheduleCommandUpdate();
    return handled;
}

CCmdUI CMDIFrameWnd::queryCommandState(int id) const
{
    CCmdUI ui(id);
    const std::vector<CCmdTarget*> route = commandRoute();
    for (CCmdTarget* target : route) {
        if (target->OnUpdateCmdUI(ui))
            break;
    }
    if (!ui.enableChanged) {
        bool handled = false;
        for (CCmdTarget* target : route)
            handled = handled || target->HasCommandHandler(id);
        ui.enabled = handled;
    }
    return ui;
}

void CMDIFrameWnd::updateCommandUI()
{
    commandUpdateTimer.stop();
    if (CWinApp* app = CWinApp::instance()) {
        for (const auto& [id, action] : app->commandActions()) {
            const CCmdUI state = queryCommandState(id);
            action->setEnabled(state.enabled);
            if (state.checkChanged) {
                action->setCheckable(true);
                action->setChecked(state.checked);
            }
        }
    }
    for (const auto& [id, control] : controls)
        applyControlState(id, control, queryCommandState(id));
}

void CMDIFrameWnd::scheduleCommandUpdate()
{
    commandUpdateTimer.start();
}

void CMDIFrameWnd::registerControl(int id, QWidget* control)
{
    controls[id] = control;
}

void CMDIFrameWnd::applyControlState(int, QWidget* control, const CCmdUI& state)
{
    control->setEnabled(state.enabled);
}

void CMDIFrameWnd::SaveMDIState()
{
    CWinApp* app = CWinApp::instance();
    if (!app)
        return;
    QSettings settings(app->registryKey(), app->registryKey());
    settings.beginGroup(app->GetRegSectionPath(QString()));
    settings.setValue(QStringLiteral("MainWindowState"), saveState());
    settings.setValue(QStringLiteral("MainWindowGeometry"), saveGeometry());
    settings.endGroup();
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event)
{
    SaveMDIState();
    if (CWinApp* app = CWinApp::instance()) {
        if (!app->SaveAllModified()) {
            event->ignore();
            return;
        }
        app->CloseAllDocuments();
    }
    event->accept();
}
