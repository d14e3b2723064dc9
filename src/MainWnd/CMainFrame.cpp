#include "MainWnd/CMainFrame.h"

#include "ControlEx/CChartLineView.h"
#include "EditWnd/CVantrelDoc.h"
#include "EditWnd/CVantrelView.h"
#include "MainWnd/CMainToolBar.h"
#include "MainWnd/CPageListModel.h"
#include "MainWnd/CSelectorComboBox.h"
#include "MainWnd/CVantrelApp.h"
#include "MainWnd/CommandTextTable.h"
#include "MainWnd/ToolbarIcons.h"
#include "uilib/CDocTemplate.h"
#include "uilib/CMDIChildWnd.h"
#include "uilib/CommandIds.h"
#include "uilib/MessageSeam.h"
#include "util/Log.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QAction>
#include <QListView>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>

namespace {

constexpr char unit[] = "MainWnd/MainFrm";

QString module(const char16_t* name)
{
    return QString::fromUtf16(name);
}

// The toolbar in order; 0 is a separator. The selectors take the places
// of their command ids.
constexpr int toolbarLayout[] = {
    cmd::FileOpen, cmd::ShowReport, cmd::DrawCurves, cmd::CurveSettings, 0,
    cmd::AddRecord, cmd::DeleteRecord, 0,
    cmd::FilePrint, cmd::PrintCurves, cmd::AppAbout, 0,
    cmd::FirstPage, cmd::PreviousPage, cmd::PageLabelBefore, cmd::PageSelector, cmd::PageLabelAfter,
    cmd::NextPage, cmd::LastPage, cmd::RowsPerPage, cmd::MergeFiles, 0,
    cmd::LanguageLabelBefore, cmd::LanguageSelector, cmd::LanguageLabelAfter,
};

constexpr int pageSelectorWidth = 104;

} // namespace

CMainFrame::CMainFrame()
{
    setWindowTitle(QStringLiteral("Vantrel"));
    resize(1180, 760);
    registerHandlers();
    connect(mdiArea(), &QMdiArea::subWindowActivated, this, [this] {
        CDocument* doc = GetActiveDocument();
        setWindowTitle(doc ? QStringLiteral("Vantrel - %1").arg(doc->GetTitle())
                           : QStringLiteral("Vantrel"));
    });
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::LoadFrame()
{
    return OnCreate() == 0;
}

int CMainFrame::OnCreate()
{
    CVantrelApp* app = theApp();
    toolbaricons::prepareIconTheme();
    setWindowIcon(toolbaricons::applicationIcon());

    // The frame's menu is the document menu: the same menus, so the same
    // texts and states, whichever child frame is active.
    QMenuBar* bar = menuBar();
    if (app && app->pDocLogTemplate && app->pDocLogTemplate->sharedMenu())
        bar->addActions(app->pDocLogTemplate->sharedMenu()->actions());
    if (!app || app->setMenuItemText(bar, module(langkeys::MenuBar), int(bar->actions().size())) < 0) {
        VLOG_ERROR(unit, "Failed to set menu item text .");
        return -3;
    }

    createToolBar();
    createSelectors();

    idlePrompt = GetMessageString(0);
    statusBar()->showMessage(idlePrompt);
    for (const auto& [id, action] : app->commandActions()) {
        action->setStatusTip(GetMessageString(id));
        // Every command is reachable by key while the main window is
        // active, also when its menu is closed.
        if (!action->shortcuts().isEmpty())
            addAction(action);
    }
    for (const auto& [id, action] : app->commandActions())
        if (commandtexts::keyOf(id) != 0)
            action->setToolTip(toolTipText(id));
    return 0;
}

void CMainFrame::createToolBar()
{
    CVantrelApp* app = theApp();
    mainToolBar = new CMainToolBar(this);
    mainToolBar->setObjectName(QStringLiteral("Standard"));
    mainToolBar->setWindowTitle(QStringLiteral("Standard"));
    pageBox = new CSelectorComboBox(mainToolBar);
    languageBox = new CSelectorComboBox(mainToolBar);
    for (int id : toolbarLayout) {
        if (id == 0) {
            mainToolBar->addSeparator();
        } else if (id == cmd::PageSelector) {
            mainToolBar->addWidget(pageBox);
        } else if (id == cmd::LanguageSelector) {
            mainToolBar->addWidget(languageBox);
        } else {
            QAction* action = app->commandAction(id);
            action->setIcon(toolbaricons::icon(id));
            mainToolBar->addAction(action);
        }
    }
    addToolBar(Qt::TopToolBarArea, mainToolBar);
}

void CMainFrame::createSelectors()
{
    pageModel = new CPageListModel(this);
    pageBox->setObjectName(QStringLiteral("pageSelector"));
    pageBox->setEditable(true);
    pageBox->setModel(pageModel);
    // The popup lists every page: uniform rows let it show millions of
    // items without measuring each.
    if (auto* list = qobject_cast<QListView*>(pageBox->view()))
        list->setUniformItemSizes(true);
    pageBox->setMaxVisibleItems(20);
    pageBox->setFixedWidth(pageSelectorWidth);
    pageBox->setEnabled(false);
    connect(pageBox, &QComboBox::activated, this, &CMainFrame::OnPageSelected);
    connect(pageBox, &CSelectorComboBox::focusEntered, this, &CMainFrame::OnPageSelectorFocus);
    connect(pageBox, &CSelectorComboBox::pageNumberEntered, this,
            [this](int page) { setCurPage(page); });
    registerControl(cmd::PageSelector, pageBox);

    languageBox->setObjectName(QStringLiteral("languageSelector"));
    languageBox->setEnterGoesToPage(false);
    for (int i = 1; i <= 8; ++i)
        languageBox->addItem(QStringLiteral("Language%1").arg(i));
    languageBox->setCurrentIndex(0);
    // As wide as its own place and three more buttons, and never narrower
    // than its longest item.
    QWidget* openButton = mainToolBar->widgetForAction(theApp()->commandAction(cmd::FileOpen));
    const int buttonWidth = openButton ? openButton->sizeHint().width() : 28;
    languageBox->setFixedWidth(std::max(buttonWidth * 4, languageBox->sizeHint().width()));
    connect(languageBox, &QComboBox::activated, this, &CMainFrame::OnLanguageSelected);
    registerControl(cmd::LanguageSelector, languageBox);
}

void CMainFrame::registerHandlers()
{
    onCommand(cmd::FirstPage, [this] { navigate(cmd::FirstPage); });
    onCommand(cmd::PreviousPage, [this] { navigate(cmd::PreviousPage); });
    onCommand(cmd::NextPage, [this] { navigate(cmd::NextPage); });
    onCommand(cmd::LastPage, [this] { navigate(cmd::LastPage); });
    onCommand(cmd::ShowReport, [this] { showView(false); });
    onCommand(cmd::DrawCurves, [this] { showView(true); });
    onCommand(cmd::AppExit, [this] { close(); });
    for (int id : {cmd::FirstPage, cmd::PreviousPage, cmd::PageSelector, cmd::NextPage,
                   cmd::LastPage, cmd::ShowReport, cmd::DrawCurves}) {
        onUpdateCommand(id, [this](CCmdUI& ui) {
            if (!GetActiveView())
                ui.Enable(false);
        });
    }
    onCommand(cmd::ViewToolbar, [this] { mainToolBar->setVisible(!mainToolBar->isVisible()); });
    onUpdateCommand(cmd::ViewToolbar, [this](CCmdUI& ui) {
        ui.SetCheck(mainToolBar && mainToolBar->isVisible());
    });
    onCommand(cmd::ViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
    onUpdateCommand(cmd::ViewStatusBar, [this](CCmdUI& ui) { ui.SetCheck(statusBar()->isVisible()); });
}

void CMainFrame::applyControlState(int id, QWidget* control, const CCmdUI& state)
{
    CMDIFrameWnd::applyControlState(id, control, state);
    // With no document the selector keeps the items of the document shown
    // last but shows no page number.
    if (id == cmd::PageSelector && !state.enabled && pageBox)
        pageBox->setEditText(QString());
}

CVantrelDoc* CMainFrame::activeVantrelDoc() const
{
    return qobject_cast<CVantrelDoc*>(GetActiveDocument());
}

void CMainFrame::showInfo(int key)
{
    uilib::showMessage(this, langText(langkeys::InfoDlg, key));
}

QString CMainFrame::pageItemFormat() const
{
    return langText(langkeys::OtherMsg, langkeys::PageItemFormat);
}

void CMainFrame::fillPageSelector(int pages)
{
    pageModel->setPages(pages, pageItemFormat());
    pageBox->setCurrentIndex(0);
}

void CMainFrame::OnPageSelectorFocus()
{
    CVantrelDoc* doc = activeVantrelDoc();
    if (!doc)
        return;
    pageModel->setPages(doc->pageCount, pageItemFormat());
    selectorPageCount = doc->pageCount;
    pageBox->setCurrentIndex(doc->currentPage - 1);
}

void CMainFrame::OnPageSelected(int index)
{
    CVantrelDoc* doc = activeVantrelDoc();
    if (!doc)
        return;
    selectedPage = index + 1;
    openSelectedPage(*doc, selectedPage);
}

int CMainFrame::openSelectedPage(CVantrelDoc& doc, int page)
{
    if (doc.openPage(page) == 0)
        return 0;
    showInfo(9);
    // The rows shown are still those of the page the document kept.
    pageBox->setCurrentIndex(doc.currentPage - 1);
    return -2;
}

void CMainFrame::OnLanguageSelected(int index)
{
    CVantrelDoc* doc = activeVantrelDoc();
    if (!doc)
        return;
    doc->alarmTextLanguage = index;
    doc->UpdateAllViews(nullptr, 0, nullptr);
}

void CMainFrame::navigate(int command)
{
    CVantrelDoc* doc = activeVantrelDoc();
    if (!doc)
        return;
    const int c = doc->currentPage;
    const int n = doc->pageCount;
    bool refused = false;
    int refusalItem = c - 1;
    int refusalKey = 7;
    int target = 1;
    switch (command) {
    case cmd::FirstPage:
        refused = c == 1;
        refusalItem = 0;
        target = 1;
        break;
    case cmd::PreviousPage:
        refused = c == 1;
        target = c - 1;
        break;
    case cmd::NextPage:
        refused = c == n;
        refusalKey = 8;
        target = c + 1;
        break;
    case cmd::LastPage:
        refused = c == n;
        refusalKey = 8;
        target = n;
        break;
    default:
        return;
    }
    if (refused) {
        pageBox->setCurrentIndex(refusalItem);
        pageBox->setFocus();
        showInfo(refusalKey);
        return;
    }
    pageBox->setCurrentIndex(target - 1);
    openSelectedPage(*doc, target);
}

int CMainFrame::gotoLastPage()
{
    CVantrelDoc* doc = activeVantrelDoc();
    if (!doc)
        return -1;
    if (doc->currentPage == doc->pageCount)
        return 0;
    pageBox->setCurrentIndex(doc->pageCount - 1);
    return openSelectedPage(*doc, doc->pageCount);
}

int CMainFrame::setCurPage(const int& page)
{
    if (page <= 0) {
        VLOG_ERROR(unit, "Current page error .");
        return -1;
    }
    CVantrelDoc* doc = activeVantrelDoc();
    if (!doc)
        return 0;
    if (page > doc->pageCount) {
        showInfo(6);
        // Back to the page whose rows are shown, not to the item before
        // whatever was selected when the number was typed.
        pageBox->setCurrentIndex(doc->currentPage - 1);
        return 0;
    }
    pageBox->setCurrentIndex(page - 1);
    openSelectedPage(*doc, page);
    return 0;
}

void CMainFrame::showView(bool curves)
{
    CVantrelDoc* doc = activeVantrelDoc();
    CVantrelApp* app = theApp();
    if (!doc || !app)
        return;
    if (curves && doc->fileKind != SampleData) {
        uilib::showMessage(this, app->getLangText(module(langkeys::LineChart), 2));
        return;
    }
    for (CView* view : doc->views()) {
        const bool wanted = curves ? qobject_cast<CChartLineView*>(view) != nullptr
                                   : qobject_cast<CVantrelView*>(view) != nullptr;
        if (wanted) {
            if (CMDIChildWnd* frame = view->GetParentFrame())
                frame->ActivateFrame(-1);
            return;
        }
        view->update();
    }
    CDocTemplate* docTemplate = curves ? app->pDocLineTemplate : app->pDocLogTemplate;
    if (!docTemplate)
        return;
    if (CMDIChildWnd* frame = docTemplate->CreateNewFrame(doc, nullptr))
        docTemplate->InitialUpdateFrame(frame, doc, true);
}

QString CMainFrame::GetMessageString(int command) const
{
    return langText(langkeys::StatusBar, commandtexts::keyOf(command));
}

QString CMainFrame::toolTipText(int command) const
{
    CVantrelApp* app = theApp();
    if (!app)
        return QString();
    const int key = commandtexts::keyOf(command);
    const QString text = key ? app->getLangText(module(langkeys::ToolBar), key) : QString();
    return CMainToolBar::toolTipFor(command, CMainToolBar::libraryToolTip(app->commandAction(command)),
                                    text);
}

bool CMainFrame::event(QEvent* event)
{
    // Leaving a menu item or button clears the prompt; the idle prompt
    // takes its place instead of an empty status bar.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        statusBar()->showMessage(tip.isEmpty() ? idlePrompt : tip);
        return true;
    }
    return CMDIFrameWnd::event(event);
}
