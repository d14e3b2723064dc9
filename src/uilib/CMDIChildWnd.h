#pragma once
#include "uilib/CCmdTarget.h"

#include <QMdiSubWindow>

class CDocument;
class CView;

// The frame of one view inside the main frame's tabbed MDI area.
// Closing the last frame of a document closes the document through its
// own close, so a changed document can still ask about its changes.
class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget
{
    Q_OBJECT
public:
    CMDIChildWnd();

    // Called once by the template before the frame is shown.
    virtual bool PreCreateWindow();
    // Shows and activates the frame; -1 means the default show command.
    virtual void ActivateFrame(int showCommand = -1);

    CView* GetActiveView() const;
    CDocument* GetActiveDocument() const;
    void setView(CView* view);

    // Takes the frame out of the MDI area at once and deletes it later.
    void destroyFrame();
    // Sets the tab title from the document: "title", or "title:n" when the
    // document has more than one frame.
    void updateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;
};
