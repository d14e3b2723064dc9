#pragma once
#include "uilib/CView.h"

// The history-curve view: the value columns of the current page as curves.
class CChartLineView : public CView
{
    Q_OBJECT
public:
    explicit CChartLineView(QWidget* parent = nullptr);
};
