#pragma once
#include "uilib/CMDIChildWnd.h"

// The frame of every document window, report or curves: a tab of the main
// frame, always maximised, without a system menu.
class CChildFrame : public CMDIChildWnd
{
    Q_OBJECT
public:
    CChildFrame();

    bool PreCreateWindow() override;
    void ActivateFrame(int showCommand = -1) override;
};
