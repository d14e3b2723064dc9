#include "EditWnd/RecordCommands.h"

#include "EditWnd/CDataQueryDlg.h"
#include "EditWnd/CReportGridModel.h"
#include "EditWnd/CVantrelDoc.h"
#include "EditWnd/CVantrelView.h"
#include "MainWnd/CMainFrame.h"
#include "MainWnd/CVantrelApp.h"
#include "store/OutputNames.h"
#include "uilib/DialogSeam.h"
#include "uilib/MessageSeam.h"
#include "uilib/ProgressRunner.h"
#include "util/Log.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

namespace recordcommands {
namespace {

constexpr char unit[] = "EditWnd/VantrelView";

QWidget* mainWindow(CVantrelView& view)
{
    CVantrelApp* app = theApp();
    return app && app->mainFrame() ? static_cast<QWidget*>(app->mainFrame()) : view.window();
}

} // namespace

void OnAddRecord(CVantrelView& view)
{
    CReportGridModel* model = view.gridModel();
    CVantrelDoc* doc = view.getDocument();
    if (!model || model->columnCount() == 0 || !doc)
        return;
    QStringList record;
    if (doc->store.addRecord(record) < 0 || record.isEmpty()) {
        uilib::showMessage(view.window(), langText(langkeys::InfoDlg, 12));
        return;
    }
    CVantrelApp* app = theApp();
    auto* frame = app ? qobject_cast<CMainFrame*>(app->mainFrame()) : nullptr;
    if (!frame || frame->gotoLastPage() < 0)
        return;

    const int key = record.front().toInt();
    const QStringList cells = record.mid(1);
    // The last page may already hold the record (its read came after the
    // add); setting the entry either way shows the cells the store gave.
    doc->page.rows[key] = cells;
    CReportGridModel::Rows rows = model->rows();
    rows[key] = cells;
    // Every row the page holds, also past the page size: the page count
    // is not recounted until the file is opened again, so on a full last
    // page a grid cut to the page size would hide the record just added
    // where no page could reach it, while the page's CSV export wrote it.
    const int shown = int(rows.size());
    model->setRows(std::move(rows), shown);
    doc->UpdateAllViews(nullptr, 0, nullptr);
    doc->dataModified = true;

    // The new key is the largest, so its row is the last.
    const QModelIndex index = model->index(shown - 1, 0);
    view.grid()->scrollTo(index);
    view.grid()->setCurrentIndex(index);
}

void OnDeleteRecord(CVantrelView& view)
{
    CReportGridModel* model = view.gridModel();
    QTableView* grid = view.grid();
    if (!model || !grid || model->columnCount() == 0 || !grid->selectionModel())
        return;
    const QModelIndexList selected = grid->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const int row = selected.front().row();
    if (row < 0 || row >= model->rowCount())
        return;
    if (uilib::showCaptionedMessage(mainWindow(view), langText(langkeys::InfoDlg, 11),
                                    langText(langkeys::InfoDlg, 10), uilib::MessageButtons::OkCancel)
        != uilib::MessageAnswer::Ok)
        return;
    const int key = model->keyAt(row);
    CVantrelDoc* doc = view.getDocument();
    if (!doc)
        return;
    if (doc->store.deleteRecord(key) < 0) {
        uilib::showMessage(view.window(), langText(langkeys::InfoDlg, 13));
        return;
    }
    doc->page.rows.erase(key);
    CReportGridModel::Rows rows = model->rows();
    rows.erase(key);
    // All the rows left, as after an add (which may have grown the page).
    const int shown = int(rows.size());
    model->setRows(std::move(rows), shown);
    doc->UpdateAllViews(nullptr, 0, nullptr);
    doc->dataModified = true;
}

void OnQueryData(CVantrelView& view)
{
    CVantrelDoc* doc = view.getDocument();
    if (!doc) {
        VLOG_ERROR(unit, "document is NULL");
        return;
    }
    if (doc->fileKind != SampleData) {
        uilib::showMessage(view.window(), langText(langkeys::QueryDlg, 9));
        return;
    }
    CDataQueryDlg dialog(view.window());
    if (uilib::runModal(dialog) != QDialog::Accepted)
        return;
    if (dialog.startTime.toSecsSinceEpoch() > dialog.endTime.toSecsSinceEpoch()) {
        uilib::showMessage(view.window(), langText(langkeys::QueryDlg, 5));
        return;
    }
    // A free name: a second query in the same second would otherwise meet
    // the first one's file and fail, or worse open that file as its own.
    const QString path = queryOutputPath(doc->userFilePath, QDateTime::currentSecsSinceEpoch());
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");

    ProgressRunner progress(mainWindow(view), langText(langkeys::QueryDlg, 1), langText(langkeys::QueryDlg, 3));
    const qint64 total = doc->recordCount;
    const int result = doc->store.exportTimeRange(
        path, dialog.startTime.toString(format), dialog.endTime.toString(format),
        [&progress, total](qint64 copied) { return progress.report(copied, std::max(total, copied)); });
    if (result == -4)
        return; // cancelled: the store removed what it had begun
    if (result < 0) {
        // The store removed the file it began, so there is nothing to open:
        // opening the path anyway would only log a missing file, or open
        // an older file of that name as if it were this query's result.
        uilib::showMessage(view.window(), langText(langkeys::QueryDlg, 6));
        return;
    }
    if (CVantrelApp* app = theApp())
        app->OpenDocumentFile(path);
}

} // namespace recordcommands
