#include "EditWnd/CVantrelView.h"

CVantrelView::CVantrelView(QWidget* parent) : CView(parent)
{
    setAutoFillBackground(true);
}
