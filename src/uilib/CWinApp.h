#pragma once
#include "uilib/CCmdTarget.h"
#include "uilib/CRecentFileList.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <vector>

class CDocTemplate;
class CDocument;
class CMDIFrameWnd;
class QAction;
class QMenu;

// The application object of the document/view layer: the templates, the
// main frame, the recent-file list and the one QAction per command that
// menus and toolbars share. There is one at a time; it must be created
// after the QApplication.
class CWinApp : public QObject, public CCmdTarget
{
    Q_OBJECT
public:
    CWinApp();
    ~CWinApp() override;

    static CWinApp* instance();

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }

    CMDIFrameWnd* mainFrame() const { return frame; }
    void setMainFrame(CMDIFrameWnd* mainFrame) { frame = mainFrame; }

    // Takes ownership. The first template added opens files.
    void AddDocTemplate(CDocTemplate* docTemplate);
    const std::vector<std::unique_ptr<CDocTemplate>>& docTemplates() const { return templates; }
    // Every open document of every template.
    std::vector<CDocument*> documents() const;

    // The settings key (QSettings organisation and application name).
    void SetRegistryKey(const QString& key) { registry = key; }
    const QString& registryKey() const { return registry; }
    // The settings group of the window layout under `section`.
    QString GetRegSectionPath(const QString& section) const;
    // Reads the recent-file list of `maxRecentFiles` entries.
    void LoadStdProfileSettings(int maxRecentFiles);
    void AddToRecentFileList(const QString& path);
    const CRecentFileList& recentFileList() const { return recentFiles; }
    // The submenu the recent files are listed in; made on first use.
    QMenu* recentFilesMenu();

    // Opens `path` with the first template; a document already open on the
    // same file is activated instead of opened twice.
    virtual CDocument* OpenDocumentFile(const QString& path);
    // The file-open dialog (through the file-dialog seam), then opening.
    void OnFileOpen();
    void OnOpenRecentFile(int index);

    // Asked before the main window closes; false keeps it open.
    virtual bool SaveAllModified() { return true; }
    void CloseAllDocuments();

    // The action of command `id`, made on first use; triggering it routes
    // the command through the main frame.
    QAction* commandAction(int id);
    const std::map<int, QAction*>& commandActions() const { return actions; }
    bool routeCommand(int id);
    void scheduleCommandUpdate();

private:
    void rebuildRecentFilesMenu();
    void writeRecentFileList();

    static CWinApp* current;
    CMDIFrameWnd* frame = nullptr;
    std::vector<std::unique_ptr<CDocTemplate>> templates;
    QString registry;
    CRecentFileList recentFiles;
    std::unique_ptr<QMenu> recentMenu;
    std::map<int, QAction*> actions;
};
