#include "uilib/CDocument.h"

#include "uilib/CDocTemplate.h"
#include "uilib/CMDIChildWnd.h"
#include "uilib/CView.h"
#include "uilib/CWinApp.h"
#include "uilib/CommandIds.h"

#include <QFileInfo>
#include <QMdiArea>

CDocument::CDocument()
{
    onCommand(cmd::FileClose, [this] { OnFileClose(); });
}

CDocument::~CDocument()
{
    for (CView* view : viewList)
        view->setDocument(nullptr);
    if (docTemplate)
        docTemplate->RemoveDocument(this);
}

bool CDocument::OnNewDocument()
{
    return true;
}

bool CDocument::OnOpenDocument(const QString&)
{
    return true;
}

bool CDocument::OnSaveDocument(const QString&)
{
    return true;
}

bool CDocument::SaveModified()
{
    return true;
}

void CDocument::OnCloseDocument()
{
    if (closing)
        return;
    closing = true;
    const QList<CMDIChildWnd*> closingFrames = frames();
    // The views go with their frames; detach them first so that nothing
    // routes a command or an update to a document on its way out.
    for (CView* view : viewList)
        view->setDocument(nullptr);
    viewList.clear();
    for (CMDIChildWnd* frame : closingFrames)
        frame->destroyFrame();
    if (docTemplate) {
        docTemplate->RemoveDocument(this);
        docTemplate = nullptr;
    }
    if (CWinApp* app = CWinApp::instance())
        app->scheduleCommandUpdate();
    deleteLater();
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* sender, long hint, QObject* hintObject)
{
    // A view may open or close other views while it updates.
    const QList<CView*> current = viewList;
    for (CView* view : current) {
        if (view != sender && viewList.contains(view))
            view->OnUpdate(sender, hint, hintObject);
    }
    if (CWinApp* app = CWinApp::instance())
        app->scheduleCommandUpdate();
}

void CDocument::AddView(CView* view)
{
    if (!view || viewList.contains(view))
        return;
    viewList.append(view);
    view->setDocument(this);
}

void CDocument::RemoveView(CView* view)
{
    if (viewList.removeOne(view))
        view->setDocument(nullptr);
}

QList<CMDIChildWnd*> CDocument::frames() const
{
    QList<CMDIChildWnd*> result;
    for (CView* view : viewList) {
        CMDIChildWnd* frame = view->GetParentFrame();
        if (frame && !result.contains(frame))
            result.append(frame);
    }
    return result;
}

void CDocument::SetPathName(const QString& path, bool addToRecentFiles)
{
    pathName = path;
    SetTitle(QFileInfo(path).fileName());
    if (addToRecentFiles) {
        if (CWinApp* app = CWinApp::instance())
            app->AddToRecentFileList(path);
    }
}

void CDocument::SetTitle(const QString& newTitle)
{
    if (title == newTitle)
        return;
    title = newTitle;
    emit titleChanged();
}
