#include "uilib/CView.h"

#include "uilib/CDocument.h"
#include "uilib/CMDIChildWnd.h"

#include <QPainter>

CView::CView(QWidget* parent) : QWidget(parent) {}

CView::~CView()
{
    if (document)
        document->RemoveView(this);
}

CMDIChildWnd* CView::GetParentFrame() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CMDIChildWnd*>(w))
            return frame;
    }
    return nullptr;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, long, QObject*)
{
    update();
}

void CView::OnDraw(QPainter*) {}

void CView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    OnDraw(&painter);
}
