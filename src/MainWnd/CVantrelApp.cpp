#include "MainWnd/CVantrelApp.h"

#include "ControlEx/CChartLineView.h"
#include "EditWnd/CSetMaxRowDlg.h"
#include "EditWnd/CVantrelDoc.h"
#include "EditWnd/CVantrelView.h"
#include "MainWnd/CAboutDlg.h"
#include "MainWnd/CChildFrame.h"
#include "MainWnd/CMainFrame.h"
#include "MainWnd/CrashReport.h"
#include "MainWnd/MenuLayout.h"
#include "MainWnd/ToolbarIcons.h"
#include "merge/CMergeDlg.h"
#include "uilib/CDocTemplate.h"
#include "uilib/CommandIds.h"
#include "uilib/DialogSeam.h"
#include "uilib/MessageSeam.h"
#include "util/DataFiles.h"
#include "util/Log.h"
#include "util/PathUtil.h"
#include "util/ProfileFile.h"
#include "winbaselib/src/i18n/LangKeys.h"
#include "winbaselib/src/i18n/QtTranslations.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

#include <unistd.h>

namespace {

constexpr char unit[] = "MainWnd/Vantrel";
const QString settingsFile = QString::fromUtf16(SettingsFile);
const QString appSection = QStringLiteral("VantrelTool");
const QString languageKey = QStringLiteral("LANGUAGEID");
const QString rowsSection = QStringLiteral("MaxRowSinglePage");
const QString rowsKey = QStringLiteral("MAXROW");
constexpr int rowsLimit = 100000;

QString module(const char16_t* name)
{
    return QString::fromUtf16(name);
}

int onCrash(CR_CRASH_CALLBACK_INFOW*)
{
    return 1;
}

// Whether a new folder can be made in `folder`: tried, not guessed from
// permission bits, which say nothing for root or for read-only mounts.
bool takesNewFolder(const QString& folder)
{
    const QString probe =
        QDir(folder).filePath(QStringLiteral(".vantrel-probe-%1").arg(QCoreApplication::applicationPid()));
    QDir dir;
    if (!dir.mkdir(probe))
        return false;
    dir.rmdir(probe);
    return true;
}

} // namespace

CVantrelApp* theApp()
{
    return qobject_cast<CVantrelApp*>(CWinApp::instance());
}

QString langText(const QString& moduleName, int key)
{
    CVantrelApp* app = theApp();
    return app ? app->getLangText(moduleName, key) : QString();
}

QString langText(const char16_t* moduleName, int key)
{
    return langText(QString::fromUtf16(moduleName), key);
}

CVantrelApp::CVantrelApp()
{
    // A size outside the dialog's own limits (0, negative, text) would make
    // every later open fail without a word; the default serves instead.
    const int rows = ProfileFile(settingsFile).getInt(rowsSection, rowsKey, 1000);
    maxRowsPerPage = rows >= 1 && rows <= rowsLimit ? rows : 1000;

    onCommand(cmd::AppAbout, [this] { OnAppAbout(); });
    onCommand(cmd::LanguageChinese, [this] { OnLanguageSwitch(0); });
    onCommand(cmd::LanguageEnglish, [this] { OnLanguageSwitch(1); });
    onUpdateCommand(cmd::LanguageChinese, [this](CCmdUI& ui) { ui.SetCheck(languageIndex == 0); });
    onUpdateCommand(cmd::LanguageEnglish, [this](CCmdUI& ui) { ui.SetCheck(languageIndex == 1); });
    onCommand(cmd::RowsPerPage, [this] { OnSetMaxRows(); });
    onCommand(cmd::FilePrintSetup, [this] { OnFilePrintSetup(); });
    onCommand(cmd::MergeFiles, [this] { OnMergeFiles(); });
}

CVantrelApp::~CVantrelApp()
{
    CloseAllDocuments();
    delete mainFrame();
}

bool CVantrelApp::InitInstance()
{
    CR_INSTALL_INFOW info;
    info.cb = sizeof(CR_INSTALL_INFOW);
    info.pszAppName = u"Corvane";
    info.pszAppVersion = u"V1.0.0";
    info.dwFlags = 0xBFFF;
    info.pszErrorReportSaveDir = u"./dump_report";
    info.pszLangFilePath = u"./lang_files/crashrpt_lang_CN.ini";
    if (crInstall(&info) != 0) {
        char16_t message[256];
        crGetLastErrorMsg(message, 256);
        uilib::showMessage(nullptr, QString::fromUtf16(message));
        return false;
    }
    crSetCrashCallback(onCrash, nullptr);

    const QString logConfig = findDataFile(QStringLiteral("log4cplus.cfg"));
    if (!logConfig.isEmpty())
        vlog::configure(logConfig.toStdString());

    multiLang = std::make_unique<CMultiLang>();

    ProfileFile settings(settingsFile);
    languageIndex = settings.getInt(appSection, languageKey, -1);
    if (languageIndex < 0) {
        languageIndex = 0;
        settings.writeString(appSection, languageKey, QStringLiteral("0"));
    }
    if (languageIndex == 1)
        messageLanguageId = 1033;

    QString indexFile = findDataFile(QStringLiteral("Language/Language.xml"));
    if (indexFile.isEmpty())
        indexFile = QStringLiteral("./Language/Language.xml");
    if (multiLang->setLangFile(indexFile) < 0) {
        VLOG_ERROR(unit, "Load the language ID corresponding file failed.");
        return false;
    }
    // The language files lie beside the index file, wherever that was
    // found; an index without this language gives the folder itself,
    // which is refused as not being an XML file.
    const QString languageFile = QStringLiteral("%1/%2").arg(
        QFileInfo(indexFile).path(), getLangText(module(langkeys::LanguageIndex), languageIndex));
    if (multiLang->setLangFile(languageFile) < 0) {
        VLOG_ERROR(unit, "Load current language file  failed.");
        return false;
    }
    installQtTranslations(*QCoreApplication::instance(), languageIndex);

    SetRegistryKey(appSection);
    LoadStdProfileSettings(4);

    pDocLogTemplate = new CDocTemplate(
        129,
        QStringLiteral("Vantrel\nVantrel\nVantrel\nDB data File (*.db)\n.db\nVantrel.Document\nVantrel.Document"),
        [] { return new CVantrelDoc; }, [] { return new CChildFrame; },
        [] { return new CVantrelView; });
    AddDocTemplate(pDocLogTemplate);
    pDocLineTemplate = new CDocTemplate(
        128, QStringLiteral("Vantrel"), [] { return new CVantrelDoc; },
        [] { return new CChildFrame; }, [] { return new CChartLineView; });
    AddDocTemplate(pDocLineTemplate);
    buildDocumentMenu();
    pDocLogTemplate->setSharedMenu(documentMenu.get());

    if (initMenuLanguage() < 0) {
        VLOG_ERROR(unit, "Menu text init failed.");
        return false;
    }

    auto* frame = new CMainFrame;
    setMainFrame(frame);
    if (!frame->LoadFrame()) {
        return false;
    }

    // The frame's menu bar holds the document menu's own actions, whose
    // texts initMenuLanguage set.
    pDocLineTemplate->setSharedMenu(pDocLogTemplate->sharedMenu());
    frame->menuBar()->adjustSize();

    frame->show();
    frame->updateCommandUI();

    return setTempFolderPath();
}

void CVantrelApp::buildDocumentMenu()
{
    documentMenu = std::make_unique<QMenuBar>();
    documentMenus.clear();
    for (const menulayout::TopMenu& top : menulayout::documentMenu()) {
        auto menu = std::make_unique<QMenu>();
        for (int id : top.items) {
            if (id == 0)
                menu->addSeparator();
            else if (id == cmd::FileMruFirst)
                menu->addMenu(recentFilesMenu());
            else
                menu->addAction(commandAction(id));
        }
        documentMenu->addMenu(menu.get());
        documentMenus.push_back(std::move(menu));
    }
    for (int id : {cmd::ViewToolbar, cmd::ViewStatusBar, cmd::LanguageChinese, cmd::LanguageEnglish})
        commandAction(id)->setCheckable(true);
    // Keys of commands nobody serves are not taken from the focused
    // widget; of two entries with one key the first wins.
    QList<QKeySequence> taken;
    for (const menulayout::Accelerator& entry : menulayout::accelerators()) {
        if (taken.contains(entry.keys))
            continue;
        taken.append(entry.keys);
        if (!menulayout::isServedCommand(entry.command))
            continue;
        QAction* action = commandAction(entry.command);
        QList<QKeySequence> keys = action->shortcuts();
        keys.append(entry.keys);
        action->setShortcuts(keys);
    }
}

int CVantrelApp::ExitInstance()
{
    if (exitInstanceDone)
        return 0;
    exitInstanceDone = true;

    if (!registryKey().isEmpty()) {
        QSettings settings(registryKey(), registryKey());
        settings.remove(GetRegSectionPath(QString()));
    }
    if (!deleteFolder(tempFolderPath))
        VLOG_ERROR(unit, "delete temp folder failed.");
    if (crUninstall() != 0)
        VLOG_ERROR(unit, "crUninstall error.");
    return 0;
}

bool CVantrelApp::SaveAllModified()
{
    // Documents ask about their own changes when they close; the only
    // thing to do here is keep the window layout.
    return true;
}

void CVantrelApp::OnFileNew()
{
    if (!pDocLogTemplate) {
        VLOG_ERROR(unit, "pDocLogTemplate is NULL.");
        return;
    }
    pDocLogTemplate->OpenDocumentFile(QString(), true);
}

int CVantrelApp::initMenuLanguage()
{
    QMenuBar* menu = pDocLogTemplate ? pDocLogTemplate->sharedMenu() : nullptr;
    const int count = menu ? int(menu->actions().size()) : 0;
    if (count <= 0) {
        VLOG_ERROR(unit, "Menubar item count <= 0 .");
        return -1;
    }
    multiLang->setTrFindModule(module(langkeys::MenuBarTop));
    const QList<QAction*> titles = menu->actions();
    for (int p = 0; p < count; ++p)
        titles[p]->setText(getLangText(p + 1));
    if (setMenuItemText(menu, module(langkeys::MenuBar), count) < 0) {
        VLOG_ERROR(unit, "Set menu item text failed.");
        return -3;
    }
    return 0;
}

int CVantrelApp::setMenuItemText(QMenuBar* menu, const QString& moduleName, int count)
{
    if (!menu || moduleName.isEmpty() || count <= 0 || !multiLang) {
        VLOG_ERROR(unit, "Parameter error.");
        return -1;
    }
    multiLang->setTrFindModule(moduleName);
    const QList<QAction*> titles = menu->actions();
    int key = 0;
    for (int p = 0; p < count; ++p) {
        ++key; // the title's own number
        QMenu* dropDown = p < titles.size() ? titles[p]->menu() : nullptr;
        if (!dropDown || dropDown->actions().isEmpty())
            return -2;
        for (QAction* item : dropDown->actions()) {
            if (item->isSeparator())
                continue;
            ++key;
            item->setText(getLangText(key));
        }
        if (p == 2) {
            QAction* chinese = commandAction(cmd::LanguageChinese);
            QAction* english = commandAction(cmd::LanguageEnglish);
            chinese->setChecked(languageIndex == 0);
            english->setChecked(languageIndex == 1);
        }
    }
    return 0;
}

QString CVantrelApp::tempFolderBaseName() const
{
    const QString folder =
        executableFolder.isEmpty() ? QCoreApplication::applicationDirPath() : executableFolder;
    if (takesNewFolder(folder))
        return QDir(folder).filePath(QStringLiteral("tempFile"));
    // An install under /usr: the user's cache folder holds it instead.
    const QString cache = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
                              .filePath(QStringLiteral("vantrel"));
    QDir().mkpath(cache);
    return QDir(cache).filePath(QStringLiteral("tempFile"));
}

bool CVantrelApp::setTempFolderPath()
{
    return setTempFolderPath(tempFolderBaseName(), isProcessRunning());
}

bool CVantrelApp::setTempFolderPath(const QString& baseName, bool running)
{
    tempFolderPath = baseName;
    QString candidate = baseName;
    if (pathExists(candidate)) {
        int n = 1;
        for (;;) {
            if (!running && deleteFolder(candidate))
                break;
            candidate = QStringLiteral("%1-%2").arg(baseName).arg(n);
            ++n;
            if (n == 100) {
                uilib::showMessage(mainFrame(), getLangText(module(langkeys::InfoDlg), 17));
                return false;
            }
            if (!pathExists(candidate))
                break;
        }
    }
    tempFolderPath = candidate;
    if (!QDir().mkdir(candidate)) {
        VLOG_ERROR(unit, "create temp file failed.");
        return false;
    }
    return true;
}

QString CVantrelApp::getLangText(const QString& moduleName, int key)
{
    if (!multiLang)
        return QString();
    multiLang->setTrFindModule(moduleName);
    return multiLang->findText(key);
}

QString CVantrelApp::getLangText(int key)
{
    return multiLang ? multiLang->findText(key) : QString();
}

bool CVantrelApp::deleteFolder(const QString& path)
{
    if (!pathExists(path))
        return false;
    QDir dir(path);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries)
        QFile::remove(entry.absoluteFilePath());
    return QDir().rmdir(path);
}

bool CVantrelApp::isProcessRunning() const
{
    return isProcessRunning(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

bool CVantrelApp::isProcessRunning(const QString& executableName)
{
    QDir proc(QStringLiteral("/proc"));
    if (!proc.exists())
        return true; // cannot tell: assume the folder may be in use
    const QString self = QString::number(::getpid());
    const QString deleted = QStringLiteral(" (deleted)");
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry == self || entry.isEmpty() || !entry.front().isDigit())
            continue;
        // A rebuilt executable still running shows as "… (deleted)".
        QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(entry));
        if (target.endsWith(deleted))
            target.chop(deleted.size());
        if (!target.isEmpty() && QFileInfo(target).fileName() == executableName)
            return true;
    }
    return false;
}

void CVantrelApp::OnAppAbout()
{
    CAboutDlg dialog(mainFrame());
    uilib::runModal(dialog);
}

void CVantrelApp::OnLanguageSwitch(int target)
{
    if (languageIndex == target)
        return;
    languageIndex = target;
    ProfileFile(settingsFile).writeString(appSection, languageKey, QString::number(target));
    uilib::showMessage(mainFrame(), getLangText(module(langkeys::InfoDlg), 3));
    // Open documents close the normal way first, so a changed one can
    // still ask whether to keep its changes; otherwise they would be kept
    // without a word.
    CloseAllDocuments();
    restartProcess();
    ExitInstance();
    endProcess(0);
}

void CVantrelApp::OnSetMaxRows()
{
    CSetMaxRowDlg dialog(maxRowsPerPage, mainFrame());
    if (uilib::runModal(dialog) != QDialog::Accepted)
        return;
    maxRowsPerPage = dialog.value;
    ProfileFile(settingsFile).writeString(rowsSection, rowsKey, QString::number(maxRowsPerPage));
}

void CVantrelApp::OnMergeFiles()
{
    // No parent, as the merge works on files and not on any open document.
    CMergeDlg dialog;
    uilib::runModal(dialog);
}

QPrinter& CVantrelApp::printer()
{
    if (!sharedPrinter)
        sharedPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *sharedPrinter;
}

void CVantrelApp::OnFilePrintSetup()
{
    QPrintDialog dialog(&printer(), mainFrame());
    uilib::runModal(dialog);
}

bool CVantrelApp::restartProcess()
{
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), QStringList());
}

void CVantrelApp::endProcess(int exitCode)
{
    QCoreApplication::exit(exitCode);
}
