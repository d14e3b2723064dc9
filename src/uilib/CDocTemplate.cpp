#include "uilib/CDocTemplate.h"

#include "uilib/CDocument.h"
#include "uilib/CMDIChildWnd.h"
#include "uilib/CMDIFrameWnd.h"
#include "uilib/CView.h"
#include "uilib/CWinApp.h"

#include <QMdiArea>

CDocTemplate::CDocTemplate(int resourceId, const QString& documentString,
                           DocumentFactory makeDocument, FrameFactory makeFrame,
                           ViewFactory makeView)
    : resource(resourceId),
      fields(documentString.split(u'\n')),
      makeDocument(std::move(makeDocument)),
      makeFrame(std::move(makeFrame)),
      makeView(std::move(makeView))
{
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument* doc : documentList)
        doc->setDocTemplate(nullptr);
}

QString CDocTemplate::documentStringField(int n) const
{
    return n >= 0 && n < fields.size() ? fields[n] : QString();
}

QString CDocTemplate::fileDialogFilter() const
{
    // The filter name already carries its pattern in brackets, which is
    // the form QFileDialog reads.
    return documentStringField(3);
}

CDocument* CDocTemplate::OpenDocumentFile(const QString& path, bool makeVisible)
{
    CDocument* doc = makeDocument();
    if (!doc)
        return nullptr;
    AddDocument(doc);
    // The frame and its view exist before the file is read, so the
    // document's UpdateAllViews at the end of opening reaches them.
    CMDIChildWnd* frame = CreateNewFrame(doc, nullptr);
    if (!frame) {
        RemoveDocument(doc);
        delete doc;
        return nullptr;
    }
    const bool opened = path.isEmpty() ? doc->OnNewDocument() : doc->OnOpenDocument(path);
    if (!opened) {
        // Detach the views first, on both sides: deleting the frame deletes
        // them, so neither may the views report back to the document nor
        // the document's destructor reach for views already gone.
        const auto views = doc->views();
        for (CView* view : views)
            doc->RemoveView(view);
        delete frame;
        RemoveDocument(doc);
        delete doc;
        return nullptr;
    }
    if (!path.isEmpty())
        doc->SetPathName(path, false);
    else
        doc->SetTitle(documentStringField(2));
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}

CMDIChildWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CMDIChildWnd*)
{
    CMDIChildWnd* frame = makeFrame();
    if (!frame)
        return nullptr;
    if (!frame->PreCreateWindow()) {
        delete frame;
        return nullptr;
    }
    CView* view = makeView();
    if (!view) {
        delete frame;
        return nullptr;
    }
    frame->setView(view);
    if (doc)
        doc->AddView(view);
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CMDIChildWnd* frame, CDocument* doc, bool makeVisible)
{
    if (!frame)
        return;
    CWinApp* app = CWinApp::instance();
    CMDIFrameWnd* mainFrame = app ? app->mainFrame() : nullptr;
    if (mainFrame && !frame->mdiArea())
        mainFrame->mdiArea()->addSubWindow(frame);
    if (doc) {
        QObject::connect(doc, &CDocument::titleChanged, frame, [doc] {
            for (CMDIChildWnd* f : doc->frames())
                f->updateTitle();
        });
        for (CMDIChildWnd* f : doc->frames())
            f->updateTitle();
    }
    if (CView* view = frame->GetActiveView())
        view->OnInitialUpdate();
    if (makeVisible)
        frame->ActivateFrame(-1);
    if (app)
        app->scheduleCommandUpdate();
}

void CDocTemplate::AddDocument(CDocument* doc)
{
    if (!documentList.contains(doc)) {
        documentList.append(doc);
        doc->setDocTemplate(this);
    }
}

void CDocTemplate::RemoveDocument(CDocument* doc)
{
    documentList.removeOne(doc);
}

void CDocTemplate::CloseAllDocuments()
{
    const QList<CDocument*> open = documentList;
    for (CDocument* doc : open)
        doc->OnCloseDocument();
}
