#include "MainWnd/CChildFrame.h"

CChildFrame::CChildFrame() = default;

bool CChildFrame::PreCreateWindow()
{
    if (!CMDIChildWnd::PreCreateWindow())
        return false;
    setSystemMenu(nullptr);
    setWindowFlag(Qt::WindowSystemMenuHint, false);
    return true;
}

void CChildFrame::ActivateFrame(int)
{
    // Whatever the caller asks for, a document window opens maximised.
    CMDIChildWnd::ActivateFrame(3);
}
