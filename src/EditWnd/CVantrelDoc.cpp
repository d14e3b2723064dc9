#include "EditWnd/CVantrelDoc.h"

#include "EditWnd/CsvFileCommands.h"
#include "MainWnd/CMainFrame.h"
#include "MainWnd/CVantrelApp.h"
#include "store/OutputNames.h"
#include "uilib/CommandIds.h"
#include "uilib/MessageSeam.h"
#include "util/Log.h"
#include "util/PathUtil.h"
#include "util/ProfileFile.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

constexpr char unit[] = "EditWnd/VantrelDoc";

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Copies `from` over `to`. The copy goes to a temporary file beside `to`
// that is renamed over it only when complete: a copy that fails halfway
// (disk full) must not leave the user's file cut short.
bool copyOver(const QString& from, const QString& to)
{
    const std::filesystem::path target = fsPath(to);
    std::filesystem::path partial = target;
    partial += ".vantrel-copy";
    std::error_code error;
    if (!std::filesystem::copy_file(fsPath(from), partial,
                                    std::filesystem::copy_options::overwrite_existing, error)) {
        std::filesystem::remove(partial, error);
        return false;
    }
    std::filesystem::rename(partial, target, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return false;
    }
    return true;
}

} // namespace

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
    // Whichever view is active: the import makes a new file and leaves
    // this one alone.
    onCommand(cmd::ImportCsv, [this] { csvfilecommands::OnImportCsv(*this); });
}

CVantrelDoc::~CVantrelDoc() = default;

QString CVantrelDoc::workingCopyFor(const QString& path) const
{
    CVantrelApp* app = theApp();
    const QString folder = app ? app->tempFolderPath : QString();
    if (folder.isEmpty())
        return QString();
    const QFileInfo file(path);
    const auto taken = [&](const QString& candidate) {
        if (!app)
            return false;
        for (CDocument* other : app->documents()) {
            auto* doc = qobject_cast<CVantrelDoc*>(other);
            if (doc && doc != this && doc->workingCopyPath == candidate)
                return true;
        }
        return false;
    };
    // A restore copies the backup back over the user's file, so two open
    // files called data.db from two folders sharing one backup would put
    // one file's records into the other.
    QString candidate = QDir(folder).filePath(file.fileName());
    const QString suffix = file.suffix().isEmpty() ? QString() : u'.' + file.suffix();
    const QString stem = file.fileName().left(file.fileName().size() - suffix.size());
    for (int n = 1; taken(candidate); ++n)
        candidate = QDir(folder).filePath(QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(suffix));
    return candidate;
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
    workingCopyPath = workingCopyFor(path);
    if (workingCopyPath.isEmpty() || !copyOver(path, workingCopyPath)) {
        VLOG_ERROR(unit, "Copy temp file failed .");
        return false;
    }

    int kind = fileKind;
    if (store.openDataFile(path, kind) < 0) {
        showInfo(store.recordCount != 0 ? 4 : 2);
        return false;
    }
    fileKind = kind;
    recordCount = store.recordCount;
    if (recordCount == 0) {
        showInfo(2);
        return false;
    }

    curveList.clear();
    curveStyles.clear();
    page = store.page;
    displayColumnCount = shownColumnCount();
    rowsPerPage = store.rowsPerPage;
    if (page.columns.isEmpty() || page.rows.empty() || displayColumnCount <= 0 || rowsPerPage <= 0
        || recordCount <= 0)
        return false;

    for (const QString& name : page.columns) {
        curveList.push_back(CurveSelection{name, 1});
        curveStyles[name] = CurveStyle{};
    }
    readRangeSettings();
    pageCount = store.pageCount();
    // From the file name alone: a dot in a folder name ("v1.2/line.db")
    // would otherwise cut the title to "v1".
    fileTitle = ::fileTitle(path);
    if (app)
        if (auto* frame = qobject_cast<CMainFrame*>(app->mainFrame()))
            frame->fillPageSelector(pageCount);
    UpdateAllViews(nullptr, 0, nullptr);
    return true;
}

void CVantrelDoc::readRangeSettings()
{
    const ProfileFile settings(QString::fromUtf16(SettingsFile));
    const QString section = QStringLiteral("LineSet");
    const QString fallback = QStringLiteral("0.0");
    rangeType = settings.getInt(section, QStringLiteral("RANGETYPE"), 0);
    rangeMin = settings.getString(section, QStringLiteral("RANGEMIN"), fallback, 260);
    rangeMax = settings.getString(section, QStringLiteral("RANGEMAX"), fallback, 260);
    rangeUnit = settings.getString(section, QStringLiteral("RANGEUNIT"), fallback, 260);
}

bool CVantrelDoc::OnSaveDocument(const QString&)
{
    return true;
}

void CVantrelDoc::OnCloseDocument()
{
    if (isClosing())
        return;
    // The file is closed before it may be copied over, so no connection
    // of ours still holds it (or a journal) when the backup comes back.
    store.closeDataFile();
    if (dataModified) {
        CVantrelApp* app = theApp();
        if (uilib::showMessage(app ? app->mainFrame() : nullptr, langText(langkeys::InfoDlg, 16),
                               uilib::MessageButtons::OkCancel)
            == uilib::MessageAnswer::Cancel)
            restoreUserFile();
    }
    page = RecordPage();
    curveList.clear();
    CDocument::OnCloseDocument();
}

void CVantrelDoc::restoreUserFile()
{
    if (workingCopyPath.isEmpty() || !copyOver(workingCopyPath, userFilePath))
        VLOG_ERROR(unit, "Restore data failed .");
}

int CVantrelDoc::shownColumnCount() const
{
    // The store leaves a UllTime column out of the page it reads.
    return store.columnCount - (store.ullTimeIndex > 0 ? 1 : 0);
}

int CVantrelDoc::openPage(const int& p)
{
    if (p <= 0 || p > pageCount) {
        VLOG_ERROR(unit, "Current page error.");
        return -1;
    }
    // currentPage moves only with the rows: a page that fails to load
    // leaves the previous page on screen, and the number shown (here and
    // in the page selector) must still name it.
    if (store.readPage(p) < 0) {
        VLOG_ERROR(unit, "Failed to load data of current page.");
        return -2;
    }
    const int columns = shownColumnCount();
    if (store.page.columns.isEmpty() || store.page.rows.empty() || columns <= 0) {
        VLOG_ERROR(unit, "Failed to load data of current page.");
        return -3;
    }
    currentPage = p;
    page.columns = store.page.columns;
    page.rows = store.page.rows;
    displayColumnCount = columns;
    rebuildColumns = 0;
    UpdateAllViews(nullptr, 0, nullptr);
    return 0;
}

bool CVantrelDoc::hasExportableData()
{
    if (!page.columns.isEmpty() && !page.rows.empty() && displayColumnCount > 2)
        return true;
    showInfo(7);
    return false;
}

void CVantrelDoc::showInfo(int key) const
{
    CVantrelApp* app = theApp();
    uilib::showMessage(app ? app->mainFrame() : nullptr, langText(langkeys::InfoDlg, key));
}

void CVantrelDoc::OnFileSave()
{
    // Edits are written to the file as they are made; saving only accepts
    // them, so closing no longer offers to undo them.
    dataModified = false;
}
