#pragma once
#include "uilib/CCmdTarget.h"

#include <QList>
#include <QObject>
#include <QString>

class CDocTemplate;
class CMDIChildWnd;
class CView;

// One open file. The document owns what it read from the file; its views
// register with it and are told to bring themselves up to date through
// UpdateAllViews, so a view never reaches into another view. The template
// that made the document keeps it in its list until OnCloseDocument.
class CDocument : public QObject, public CCmdTarget
{
    Q_OBJECT
public:
    CDocument();
    ~CDocument() override;

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path);
    // Closes the frames of every view, leaves the template's list and
    // deletes the document once control is back in the event loop, so a
    // caller inside one of those frames' handlers is not pulled from under
    // its own feet.
    virtual void OnCloseDocument();
    // Whether the document may close. The default never asks: documents
    // that hold unsaved changes ask in their own OnCloseDocument.
    virtual bool SaveModified();

    // Calls OnUpdate of every view except `sender`.
    void UpdateAllViews(CView* sender, long hint = 0, QObject* hintObject = nullptr);

    const QList<CView*>& views() const { return viewList; }
    CView* firstView() const { return viewList.isEmpty() ? nullptr : viewList.front(); }
    void AddView(CView* view);
    void RemoveView(CView* view);
    // The child frames showing this document, one per view, in view order.
    QList<CMDIChildWnd*> frames() const;

    const QString& GetPathName() const { return pathName; }
    // Sets the path and the title (the file name); adds the path to the
    // application's recent-file list when asked.
    void SetPathName(const QString& path, bool addToRecentFiles = true);
    const QString& GetTitle() const { return title; }
    void SetTitle(const QString& newTitle);

    CDocTemplate* GetDocTemplate() const { return docTemplate; }
    void setDocTemplate(CDocTemplate* owner) { docTemplate = owner; }
    bool isClosing() const { return closing; }

    // The close command: SaveModified, then OnCloseDocument.
    void OnFileClose();

signals:
    void titleChanged();

private:
    QList<CView*> viewList;
    QString pathName;
    QString title;
    CDocTemplate* docTemplate = nullptr;
    bool closing = false;
};
