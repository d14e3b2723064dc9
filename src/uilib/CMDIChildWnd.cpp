#include "uilib/CMDIChildWnd.h"

#include "uilib/CDocument.h"
#include "uilib/CView.h"

#include <QCloseEvent>
#include <QMdiArea>

CMDIChildWnd::CMDIChildWnd()
{
    setAttribute(Qt::WA_DeleteOnClose);
}

bool CMDIChildWnd::PreCreateWindow()
{
    return true;
}

void CMDIChildWnd::ActivateFrame(int)
{
    showMaximized();
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
}

CView* CMDIChildWnd::GetActiveView() const
{
    return qobject_cast<CView*>(widget());
}

CDocument* CMDIChildWnd::GetActiveDocument() const
{
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

void CMDIChildWnd::setView(CView* view)
{
    setWidget(view);
}

void CMDIChildWnd::destroyFrame()
{
    if (QMdiArea* area = mdiArea())
        area->removeSubWindow(this);
    hide();
    deleteLater();
}

void CMDIChildWnd::updateTitle()
{
    CDocument* doc = GetActiveDocument();
    if (!doc)
        return;
    const QList<CMDIChildWnd*> frames = doc->frames();
    QString text = doc->GetTitle();
    if (frames.size() > 1)
        text += QStringLiteral(":%1").arg(frames.indexOf(this) + 1);
    setWindowTitle(text);
}

void CMDIChildWnd::closeEvent(QCloseEvent* event)
{
    CDocument* doc = GetActiveDocument();
    if (!doc || doc->isClosing() || doc->frames().size() > 1) {
        event->accept();
        return;
    }
    // The last frame of its document: the document closes, and destroys
    // this frame itself.
    event->ignore();
    doc->OnFileClose();
}
