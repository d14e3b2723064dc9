#pragma once
#include "uilib/CMDIFrameWnd.h"

#include <QString>

class CMainToolBar;
class CPageListModel;
class CSelectorComboBox;
class CVantrelDoc;

// The main window: the document menu, the toolbar with the page selector
// and the alarm-text language selector, the status bar with its prompts,
// page navigation and switching between the report and the curves of the
// active document.
class CMainFrame : public CMDIFrameWnd
{
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Builds the window; false (with the reason logged) when a step failed.
    bool LoadFrame();
    // 0, or the negative number of the creation step that failed.
    int OnCreate();

    // Empties the page selector, gives it `pages` items and selects the first.
    void fillPageSelector(int pages);
    // Opens the last page for a record just added: -1 no document, 0 done
    // (or already there), -2 the page did not load.
    int gotoLastPage();
    // Opens a typed page number: -1 for 0 or less (logged), else 0.
    int setCurPage(const int& page);
    // The status bar prompt of a command.
    QString GetMessageString(int command) const;
    // The toolbar tooltip of a command.
    QString toolTipText(int command) const;

    CVantrelDoc* activeVantrelDoc() const;
    CSelectorComboBox* pageSelector() const { return pageBox; }
    CSelectorComboBox* languageSelector() const { return languageBox; }
    CMainToolBar* toolBar() const { return mainToolBar; }
    int selectedPage = 0;
    int selectorPageCount = 0;

protected:
    void applyControlState(int id, QWidget* control, const CCmdUI& state) override;
    bool event(QEvent* event) override;

private:
    void createToolBar();
    void createSelectors();
    void registerHandlers();
    void navigate(int command);
    void showView(bool curves);
    void OnPageSelected(int index);
    // Opens `page` of `doc`, the selector already on its item: 0, or -2
    // when it did not load (said in a message, the selector back on the
    // page still shown).
    int openSelectedPage(CVantrelDoc& doc, int page);
    void OnPageSelectorFocus();
    void OnLanguageSelected(int index);
    QString pageItemFormat() const;
    void showInfo(int key);

    CMainToolBar* mainToolBar = nullptr;
    CSelectorComboBox* pageBox = nullptr;
    CSelectorComboBox* languageBox = nullptr;
    CPageListModel* pageModel = nullptr;
    QString idlePrompt;
};
