#include "ControlEx/CChartLineView.h"

CChartLineView::CChartLineView(QWidget* parent) : CView(parent)
{
    setAutoFillBackground(true);
}
