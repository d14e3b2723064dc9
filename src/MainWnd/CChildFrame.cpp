#include "MainWnd/CChildFrame.h"

CChildFrame::CChildFrame() = default;

bool CChildFrame::PreCreateWindow()
{
    if (!CMDIChildWnd::PreCreateWindow())
        return false;
    // The menu itself goes; the window flag cannot, as a sub-window always
    // puts the system-menu hint back.
    setSystemMenu(nullptr);
    return true;
}

void CChildFrame::ActivateFrame(int)
{
    // Whatever the caller asks for, a document window opens maximised.
    CMDIChildWnd::ActivateFrame(3);
}
