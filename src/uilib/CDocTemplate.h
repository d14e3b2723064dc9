#pragma once
#include <QList>
#include <QString>

#include <functional>

class CDocument;
class CMDIChildWnd;
class CView;
class QMenuBar;

// Makes documents, their child frames and views of one kind. The document
// string has the fields of the panel maker's resources, separated by
// '\n': window title, document name, new-file name, file-dialog filter
// name, extension, file type id, file type name.
class CDocTemplate
{
public:
    using DocumentFactory = std::function<CDocument*()>;
    using FrameFactory = std::function<CMDIChildWnd*()>;
    using ViewFactory = std::function<CView*()>;

    CDocTemplate(int resourceId, const QString& documentString, DocumentFactory makeDocument,
                 FrameFactory makeFrame, ViewFactory makeView);
    ~CDocTemplate();
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    int resourceId() const { return resource; }
    // Field n (from 0) of the document string, or empty.
    QString documentStringField(int n) const;
    // "DB data File (*.db)" as a Qt file-dialog filter, or empty when the
    // template has no filter (it then opens no files).
    QString fileDialogFilter() const;

    // Makes a document with a frame and view, then opens `path` (or makes
    // a new document for an empty path). On failure the frame and the
    // document go and the result is null.
    CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true);
    // A new child frame with a new view on `doc`, not yet shown; `other`
    // is accepted for the frame's size and is not used otherwise.
    CMDIChildWnd* CreateNewFrame(CDocument* doc, CMDIChildWnd* other);
    // Puts the frame into the main frame's MDI area, runs the view's first
    // update and, when asked, shows and activates the frame.
    void InitialUpdateFrame(CMDIChildWnd* frame, CDocument* doc, bool makeVisible = true);

    const QList<CDocument*>& documents() const { return documentList; }
    void AddDocument(CDocument* doc);
    void RemoveDocument(CDocument* doc);
    void CloseAllDocuments();

    // The menu child frames of this template show; not owned.
    QMenuBar* sharedMenu() const { return menu; }
    void setSharedMenu(QMenuBar* shared) { menu = shared; }

private:
    int resource;
    QStringList fields;
    DocumentFactory makeDocument;
    FrameFactory makeFrame;
    ViewFactory makeView;
    QList<CDocument*> documentList;
    QMenuBar* menu = nullptr;
};
