#include "EditWnd/CVantrelDoc.h"

#include "MainWnd/CMainFrame.h"
#include "MainWnd/CVantrelApp.h"
#include "store/OutputNames.h"
#include "uilib/CommandIds.h"
#include "uilib/MessageSeam.h"
#include "util/Log.h"
#include "util/PathUtil.h"
#include "winbaselib/src/i18n/LangKeys.h"

namespace {
constexpr char unit[] = "EditWnd/VantrelDoc";
}

CVantrelDoc::CVantrelDoc()
{
    // While a document is active its pages, views and selectors are
    // usable; the page size is not, because an open document keeps the
    // size it was opened with and a change would only confuse.
    for (int id : {cmd::FirstPage, cmd::PreviousPage, cmd::NextPage, cmd::LastPage,
                   cmd::PageSelector, cmd::ShowReport, cmd::DrawCurves, cmd::MergeFiles,
                   cmd::LanguageSelector})
        onUpdateCommand(id, [](CCmdUI& ui) { ui.Enable(true); });
    onUpdateCommand(cmd::RowsPerPage, [](CCmdUI& ui) { ui.Enable(false); });
    onCommand(cmd::FileSave, [this] { OnFileSave(); });
}

CVantrelDoc::~CVantrelDoc() = default;

bool CVantrelDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

bool CVantrelDoc::OnOpenDocument(const QString& path)
{
    if (!pathExists(path)) {
        VLOG_ERROR(unit, "File is not exists .");
        return false;
    }
    CVantrelApp* app = theApp();
    if (app)
        app->AddToRecentFileList(path);
    store.setRowsPerPage(app ? app->maxRowsPerPage : 1000);
    userFilePath = path;
    int kind = fileKind;
    if (store.openDataFile(path, kind) < 0 || store.recordCount <= 0)
        return false;
    fileKind = kind;
    recordCount = store.recordCount;
    page = store.page;
    displayColumnCount = store.columnCount - (store.ullTimeIndex > 0 ? 1 : 0);
    rowsPerPage = store.rowsPerPage;
    if (page.columns.isEmpty() || page.rows.empty() || displayColumnCount <= 0 || rowsPerPage <= 0)
        return false;
    curveList.clear();
    curveStyles.clear();
    for (const QString& name : page.columns) {
        curveList.push_back(CurveSelection{name, 1});
        curveStyles[name] = CurveStyle{};
    }
    pageCount = recordCount / rowsPerPage + (recordCount % rowsPerPage ? 1 : 0);
    fileTitle = ::fileTitle(path);
    if (app)
        if (auto* frame = qobject_cast<CMainFrame*>(app->mainFrame()))
            frame->fillPageSelector(pageCount);
    UpdateAllViews(nullptr, 0, nullptr);
    return true;
}

bool CVantrelDoc::OnSaveDocument(const QString&)
{
    return true;
}

void CVantrelDoc::OnCloseDocument()
{
    store.closeDataFile();
    page = RecordPage();
    curveList.clear();
    CDocument::OnCloseDocument();
}

int CVantrelDoc::openPage(const int& p)
{
    if (p <= 0 || p > pageCount) {
        VLOG_ERROR(unit, "Current page error.");
        return -1;
    }
    if (store.readPage(p) < 0) {
        VLOG_ERROR(unit, "Failed to load data of current page.");
        return -2;
    }
    const int columns = store.columnCount - (store.ullTimeIndex > 0 ? 1 : 0);
    if (store.page.columns.isEmpty() || store.page.rows.empty() || columns <= 0) {
        VLOG_ERROR(unit, "Failed to load data of current page.");
        return -3;
    }
    currentPage = p;
    page = store.page;
    displayColumnCount = columns;
    rebuildColumns = 0;
    UpdateAllViews(nullptr, 0, nullptr);
    return 0;
}

bool CVantrelDoc::hasExportableData()
{
    if (!page.columns.isEmpty() && !page.rows.empty() && displayColumnCount > 2)
        return true;
    CVantrelApp* app = theApp();
    uilib::showMessage(app ? app->mainFrame() : nullptr,
                       app ? app->getLangText(QString::fromUtf16(langkeys::InfoDlg), 7) : QString());
    return false;
}

void CVantrelDoc::getRange(QString& min, QString& max, QString& unitText) const
{
    min = rangeMin;
    max = rangeMax;
    unitText = rangeUnit;
}

void CVantrelDoc::OnFileSave()
{
    // Edits are written to the file as they are made; saving only accepts
    // them, so closing no longer offers to undo them.
    dataModified = false;
}
