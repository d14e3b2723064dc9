#include "EditWnd/CsvFileCommands.h"

#include "EditWnd/CVantrelDoc.h"
#include "EditWnd/CVantrelView.h"
#include "MainWnd/CVantrelApp.h"
#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "uilib/CMDIFrameWnd.h"
#include "uilib/FileDialogSeam.h"
#include "uilib/MessageSeam.h"
#include "uilib/ProgressRunner.h"
#include "util/Log.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace csvfilecommands {
namespace {

constexpr char unit[] = "EditWnd/VantrelView";
const QString csvFilter = QStringLiteral("CSV (*.csv)");

// A menu item's text as a window title: no accelerator mark ("(&A)" or
// "&"), no shortcut hint, no trailing dots.
QString menuTitle(int key)
{
    QString title = langText(langkeys::MenuBar, key).section(u'\t', 0, 0);
    static const QRegularExpression mark(QStringLiteral("\\(&.\\)"));
    title.remove(mark);
    title.remove(u'&');
    while (title.endsWith(u'.'))
        title.chop(1);
    return title.trimmed();
}

QWidget* mainWindow()
{
    CVantrelApp* app = theApp();
    return app ? app->mainFrame() : nullptr;
}

// The message of the result, with what went wrong in plain words under it
// when the core says more than the language text (the record that was too
// long, the reason the file could not be written).
void showResult(const CsvResult& result)
{
    if (result.cancelled || result.module.isEmpty())
        return;
    QString message = langText(result.module, result.key);
    if (!result.ok && !result.detail.isEmpty()) {
        VLOG_ERROR(unit, result.detail);
        message += QStringLiteral("\n\n") + result.detail;
    }
    uilib::showMessage(mainWindow(), message);
}

} // namespace

void OnSaveAsCsv(CVantrelView& view, bool allPages)
{
    CVantrelDoc* doc = view.getDocument();
    if (!doc || !doc->hasExportableData())
        return;
    QString path = uilib::getSaveFileName(mainWindow(), langText(langkeys::ExportDlg, 19), QString(), csvFilter);
    if (path.isEmpty())
        return;
    // The default extension: a name typed without one gets ".csv".
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");

    // The texts the grid shows in the alarm-text column, so the file says
    // what the user sees.
    CsvExport::AlarmTextMap alarmTexts;
    const auto texts = doc->store.alarmTexts.find(view.shownAlarmTextLanguage());
    if (texts != doc->store.alarmTexts.end())
        alarmTexts = texts->second;
    const CsvExport::PageView page{doc->page, doc->fileKind, doc->displayColumnCount, alarmTexts};

    if (!allPages) {
        showResult(CsvExport::exportPage(path, page));
        return;
    }
    ProgressRunner progress(mainWindow(), menuTitle(7), langText(langkeys::QueryDlg, 3));
    const qint64 records = std::max(doc->recordCount, 0);
    const qint64 perPage = std::max(doc->rowsPerPage, 1);
    const CsvResult result = CsvExport::exportAll(
        path, doc->store, doc->currentPage, page, [&](qint64 pagesDone, qint64 pages) {
            // Counted in records: pages mean little to someone waiting.
            const qint64 total = records > 0 ? records : pages;
            const qint64 done = records > 0 ? std::min(pagesDone * perPage, records) : pagesDone;
            return progress.report(done, total);
        });
    showResult(result);
}

void OnImportCsv(CVantrelDoc&)
{
    const QString path =
        uilib::getOpenFileName(mainWindow(), langText(langkeys::ExportDlg, 20), QString(), csvFilter);
    if (path.isEmpty())
        return;
    ProgressRunner progress(mainWindow(), menuTitle(5), langText(langkeys::QueryDlg, 3));
    const CsvResult result = CsvImport::importCsv(
        path, QString(), [&](qint64 bytes, qint64 size) { return progress.report(bytes, size, false); });
    if (!result.ok) {
        showResult(result);
        return;
    }
    if (CVantrelApp* app = theApp())
        app->OpenDocumentFile(result.newPath);
}

} // namespace csvfilecommands
