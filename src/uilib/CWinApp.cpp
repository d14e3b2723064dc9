#include "uilib/CWinApp.h"

#include "uilib/CDocTemplate.h"
#include "uilib/CDocument.h"
#include "uilib/CMDIChildWnd.h"
#include "uilib/CMDIFrameWnd.h"
#include "uilib/CView.h"
#include "uilib/CommandIds.h"
#include "uilib/FileDialogSeam.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

CWinApp* CWinApp::current = nullptr;

CWinApp::CWinApp()
{
    current = this;
    onCommand(cmd::FileOpen, [this] { OnFileOpen(); });
    onUpdateCommand(cmd::FileMruFirst, [this](CCmdUI& ui) {
        ui.Enable(!recentFiles.files().isEmpty());
    });
}

CWinApp::~CWinApp()
{
    // Documents are QObjects deleted later; close what is still open so
    // none outlives its template.
    CloseAllDocuments();
    if (current == this)
        current = nullptr;
}

CWinApp* CWinApp::instance()
{
    return current;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate)
{
    templates.emplace_back(docTemplate);
}

std::vector<CDocument*> CWinApp::documents() const
{
    std::vector<CDocument*> all;
    for (const auto& t : templates)
        for (CDocument* doc : t->documents())
            all.push_back(doc);
    return all;
}

QString CWinApp::GetRegSectionPath(const QString& section) const
{
    return section.isEmpty() ? QStringLiteral("Workspace")
                             : QStringLiteral("Workspace/") + section;
}

void CWinApp::LoadStdProfileSettings(int maxRecentFiles)
{
    recentFiles = CRecentFileList(maxRecentFiles);
    QSettings settings(registry, registry);
    recentFiles.ReadList(settings);
    rebuildRecentFilesMenu();
}

void CWinApp::AddToRecentFileList(const QString& path)
{
    recentFiles.Add(QFileInfo(path).absoluteFilePath());
    writeRecentFileList();
}

void CWinApp::writeRecentFileList()
{
    if (!registry.isEmpty()) {
        QSettings settings(registry, registry);
        recentFiles.WriteList(settings);
    }
    rebuildRecentFilesMenu();
    scheduleCommandUpdate();
}

QMenu* CWinApp::recentFilesMenu()
{
    if (!recentMenu) {
        recentMenu = std::make_unique<QMenu>();
        QAction* action = recentMenu->menuAction();
        action->setData(cmd::FileMruFirst);
        actions[cmd::FileMruFirst] = action;
        rebuildRecentFilesMenu();
    }
    return recentMenu.get();
}

void CWinApp::rebuildRecentFilesMenu()
{
    if (!recentMenu)
        return;
    recentMenu->clear();
    const QStringList& files = recentFiles.files();
    for (int i = 0; i < files.size(); ++i) {
        // "&1 path": the number is the mnemonic, so a path holding '&'
        // must have it doubled to show.
        QString shown = QDir::toNativeSeparators(files[i]);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* entry = recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(entry, &QAction::triggered, this, [this, i] { OnOpenRecentFile(i); });
    }
}

CDocument* CWinApp::OpenDocumentFile(const QString& path)
{
    if (templates.empty())
        return nullptr;
    const QString absolute = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    if (!absolute.isEmpty()) {
        for (CDocument* doc : documents()) {
            if (QFileInfo(doc->GetPathName()).absoluteFilePath() == absolute) {
                if (CView* view = doc->firstView())
                    if (CMDIChildWnd* f = view->GetParentFrame())
                        f->ActivateFrame(-1);
                return doc;
            }
        }
    }
    return templates.front()->OpenDocumentFile(path, true);
}

void CWinApp::OnFileOpen()
{
    const QString filter = templates.empty() ? QString() : templates.front()->fileDialogFilter();
    const QString path = uilib::getOpenFileName(frame, QString(), QString(), filter);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CWinApp::OnOpenRecentFile(int index)
{
    const QStringList& files = recentFiles.files();
    if (index < 0 || index >= files.size())
        return;
    // A file that no longer opens leaves the list, so the list does not
    // keep offering it.
    if (!OpenDocumentFile(files[index])) {
        recentFiles.Remove(index);
        writeRecentFileList();
    }
}

void CWinApp::CloseAllDocuments()
{
    for (const auto& t : templates)
        t->CloseAllDocuments();
}

QAction* CWinApp::commandAction(int id)
{
    auto it = actions.find(id);
    if (it != actions.end())
        return it->second;
    auto* action = new QAction(this);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { routeCommand(id); });
    actions[id] = action;
    return action;
}

bool CWinApp::routeCommand(int id)
{
    if (frame)
        return frame->routeCommand(id);
    return OnCmdMsg(id);
}

void CWinApp::scheduleCommandUpdate()
{
    if (frame)
        frame->scheduleCommandUpdate();
}
