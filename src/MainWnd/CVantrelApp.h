#pragma once
#include "uilib/CWinApp.h"
#include "winbaselib/src/i18n/CMultiLang.h"

#include <QString>

#include <memory>
#include <vector>

class CDocTemplate;
class QMenu;
class QMenuBar;
class QPrinter;

// The application: process-wide settings (message language, rows per page,
// temporary folder, language texts), the two document templates, start-up
// and shutdown, and the application-level commands (language switch, rows
// per page, about box, file open, print setup).
class CVantrelApp : public CWinApp
{
    Q_OBJECT
public:
    CVantrelApp();
    ~CVantrelApp() override;

    // Start-up in the fixed order; false ends start-up, and the caller
    // then destroys the main frame and runs ExitInstance.
    bool InitInstance() override;
    // Shutdown: window layout removed, temporary folder deleted, crash
    // reporting uninstalled. Runs once however often it is called.
    int ExitInstance() override;
    bool SaveAllModified() override;
    void OnFileNew();

    int initMenuLanguage();
    int setMenuItemText(QMenuBar* menu, const QString& module, int count);

    // Chooses and creates this process's temporary folder next to the
    // executable (or in the user's cache folder when the executable's
    // folder takes no new folder).
    bool setTempFolderPath();
    // The choice itself, from a base name such as ".../tempFile" and
    // whether another process of this program runs.
    bool setTempFolderPath(const QString& baseName, bool running);
    // Where the temporary folder goes: "<executable folder>/tempFile", or
    // the cache folder's when that folder takes no new folder.
    QString tempFolderBaseName() const;
    // The folder the executable is taken to lie in; tests point it
    // elsewhere.
    void setExecutableFolder(const QString& folder) { executableFolder = folder; }

    QString getLangText(const QString& module, int key);
    QString getLangText(int key);
    // Deletes the files directly in the folder, then the folder; false
    // when nothing is there or the folder could not be removed (it still
    // holds a subfolder or an undeletable file).
    bool deleteFolder(const QString& path);
    // Whether another process runs this program's executable (by file
    // name). The calling process does not count, so the leftover folder of
    // a crashed run is cleaned at the next start.
    bool isProcessRunning() const;
    static bool isProcessRunning(const QString& executableName);

    void OnAppAbout();
    void OnLanguageSwitch(int target);
    void OnSetMaxRows();
    void OnMergeFiles();
    void OnFilePrintSetup();
    QPrinter& printer();

    int messageLanguageId = 4;
    int maxRowsPerPage = 1000;
    QString tempFolderPath;
    int languageIndex = 0;
    std::unique_ptr<CMultiLang> multiLang;
    CDocTemplate* pDocLogTemplate = nullptr;
    CDocTemplate* pDocLineTemplate = nullptr;

protected:
    // Starts the executable again for the language switch.
    virtual bool restartProcess();
    // Ends the run with `exitCode` once the current command returns.
    virtual void endProcess(int exitCode);

private:
    void buildDocumentMenu();

    QString executableFolder;
    bool exitInstanceDone = false;
    std::unique_ptr<QMenuBar> documentMenu;
    std::vector<std::unique_ptr<QMenu>> documentMenus;
    std::unique_ptr<QPrinter> sharedPrinter;
};

// The running application object, or null.
CVantrelApp* theApp();

// The settings file in the working directory: language, rows per page,
// edit mode and curve range.
inline constexpr char16_t SettingsFile[] = u"./RoruDize.ini";

// Text `key` of the language module `module` (a langkeys name), or an
// empty text when no application runs.
QString langText(const char16_t* module, int key);
QString langText(const QString& module, int key);
