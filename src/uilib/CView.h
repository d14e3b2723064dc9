#pragma once
#include "uilib/CCmdTarget.h"

#include <QWidget>

class CDocument;
class CMDIChildWnd;
class QPainter;

// A window onto a document. The document tells its views to update; each
// view decides in OnUpdate (or in OnDraw, when it paints itself) whether
// what it shows is out of date. Commands reach the active view first.
class CView : public QWidget, public CCmdTarget
{
    Q_OBJECT
public:
    explicit CView(QWidget* parent = nullptr);
    ~CView() override;

    CDocument* GetDocument() const { return document; }
    // Set by CDocument::AddView and RemoveView only.
    void setDocument(CDocument* doc) { document = doc; }
    CMDIChildWnd* GetParentFrame() const;

    // Runs once when the frame is first shown; the default is an update.
    virtual void OnInitialUpdate();
    // The default repaints the view, which runs OnDraw. A view whose
    // content is a child widget (a grid, a chart) covers itself, so Qt
    // may never paint it: such views refresh in OnUpdate instead.
    virtual void OnUpdate(CView* sender, long hint, QObject* hintObject);

protected:
    virtual void OnDraw(QPainter* painter);
    void paintEvent(QPaintEvent* event) override;

private:
    CDocument* document = nullptr;
};
