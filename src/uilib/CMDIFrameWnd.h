#pragma once
#include "uilib/CCmdTarget.h"

#include <QMainWindow>
#include <QTimer>

#include <map>
#include <vector>

class CDocument;
class CMDIChildWnd;
class CView;
class QMdiArea;

// The main window: a tabbed MDI area for the child frames, the command
// router and the keeper of command states. A command goes to the active
// view, its document, the active child frame, this frame and the
// application, in that order, and the first that handles it runs it.
// States are brought up to date the same way: the first update handler
// on the route decides; where none sets the enabled state, a command is
// enabled exactly when somebody on the route handles it.
class CMDIFrameWnd : public QMainWindow, public CCmdTarget
{
    Q_OBJECT
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    QMdiArea* mdiArea() const { return area; }
    // The current child frame; it stays current while a dialog or message
    // box has the focus, as commands from those still mean that document.
    CMDIChildWnd* GetActiveFrame() const;
    CView* GetActiveView() const;
    CDocument* GetActiveDocument() const;

    std::vector<CCmdTarget*> commandRoute() const;
    // True when some target ran the command.
    bool routeCommand(int id);
    // The state of `id` as the route decides it.
    CCmdUI queryCommandState(int id) const;
    // Brings every registered action and control up to date now.
    void updateCommandUI();
    // Does it once control is back in the event loop; calls coalesce.
    void scheduleCommandUpdate();
    // A control (combo box) whose enabled state follows command `id`.
    void registerControl(int id, QWidget* control);

protected:
    // Applies a state to a registered control; frames with controls that
    // show more than enabled/disabled override it.
    virtual void applyControlState(int id, QWidget* control, const CCmdUI& state);
    // Stores the window layout; the application removes it at exit, so it
    // is never read back (a layout of a crashed or older run can't trap
    // the user with hidden bars).
    virtual void SaveMDIState();
    void closeEvent(QCloseEvent* event) override;

private:
    QMdiArea* area;
    QTimer commandUpdateTimer;
    std::map<int, QWidget*> controls;
};
