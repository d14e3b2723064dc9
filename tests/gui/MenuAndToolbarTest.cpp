// What the user reads: menu items numbered over the whole menu, toolbar
// order and tooltips, status bar prompts, in both languages; and which
// commands are usable with no document open.
#include "GuiTestSupport.h"

#include "MainWnd/CMainFrame.h"
#include "MainWnd/CMainToolBar.h"
#include "MainWnd/CSelectorComboBox.h"
#include "uilib/CommandIds.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

QAction* findMenuItem(QMenuBar* bar, int command)
{
    for (QAction* title : bar->actions())
        for (QAction* item : title->menu()->actions())
            if (!item->isSeparator() && item->data().toInt() == command)
                return item;
    return nullptr;
}

class MenuTexts : public ::testing::TestWithParam<int>
{
};

TEST_P(MenuTexts, ItemsToolbarAndPromptsFollowTheLanguageFile)
{
    const int language = GetParam();
    WorkFolder work;
    work.writeFile(QStringLiteral("RoruDize.ini"),
                   QStringLiteral("[VantrelTool]\nLANGUAGEID=%1\n").arg(language).toUtf8());
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    auto* frame = static_cast<CMainFrame*>(app.mainFrame());
    QMenuBar* bar = frame->menuBar();

    // Each title takes a number too: File 1, View 15, Language 21, Help 24.
    const std::pair<int, int> items[] = {
        {cmd::FileOpen, 2},      {cmd::FileClose, 3},      {cmd::FileSave, 4},
        {cmd::ImportCsv, 5},     {cmd::ExportPageCsv, 6},  {cmd::ExportAllCsv, 7},
        {cmd::FilePrint, 8},     {cmd::PrintCurves, 9},    {cmd::Query, 10},
        {cmd::FilePrintPreview, 11}, {cmd::FilePrintSetup, 12}, {cmd::FileMruFirst, 13},
        {cmd::AppExit, 14},      {cmd::ViewToolbar, 16},   {cmd::ViewStatusBar, 17},
        {cmd::DrawCurves, 18},   {cmd::CurveSettings, 19}, {cmd::ShowReport, 20},
        {cmd::LanguageChinese, 22}, {cmd::LanguageEnglish, 23}, {cmd::AppAbout, 25},
    };
    for (const auto& [command, key] : items) {
        QAction* item = findMenuItem(bar, command);
        ASSERT_NE(item, nullptr) << command;
        EXPECT_EQ(item->text(), languageText(language, langkeys::MenuBar, key)) << command;
    }

    // Tooltip: the ToolBar text and the shortcut in brackets.
    const QString open = languageText(language, langkeys::ToolBar, 1);
    EXPECT_EQ(app.commandAction(cmd::FileOpen)->toolTip(), open + QStringLiteral("(Ctrl+O)"));
    EXPECT_EQ(app.commandAction(cmd::PrintCurves)->toolTip(),
              languageText(language, langkeys::ToolBar, 8) + QStringLiteral("(Ctrl+R)"));
    EXPECT_EQ(app.commandAction(cmd::AddRecord)->toolTip(), languageText(language, langkeys::ToolBar, 5));
    EXPECT_EQ(app.commandAction(cmd::MergeFiles)->toolTip(), languageText(language, langkeys::ToolBar, 15));

    // Prompts: the table's key, or the idle prompt for everything else.
    EXPECT_EQ(app.commandAction(cmd::LastPage)->statusTip(), languageText(language, langkeys::StatusBar, 13));
    EXPECT_EQ(app.commandAction(cmd::FileSave)->statusTip(), languageText(language, langkeys::StatusBar, 0));
    EXPECT_EQ(frame->statusBar()->currentMessage(), languageText(language, langkeys::StatusBar, 0));

    // The selectors' places and texts.
    EXPECT_EQ(frame->languageSelector()->count(), 8);
    EXPECT_EQ(frame->languageSelector()->itemText(7), QStringLiteral("Language8"));
    EXPECT_EQ(frame->languageSelector()->currentIndex(), 0);
    EXPECT_EQ(frame->pageSelector()->width(), 104);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, MenuTexts, ::testing::Values(0, 1));

TEST(Toolbar, ButtonsInOrderWithTheSelectorsInTheirPlaces)
{
    WorkFolder work;
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    auto* frame = static_cast<CMainFrame*>(app.mainFrame());
    QStringList order;
    for (QAction* action : frame->toolBar()->actions()) {
        if (action->isSeparator())
            order << QStringLiteral("|");
        else if (QWidget* w = frame->toolBar()->widgetForAction(action);
                 w == frame->pageSelector() || w == frame->languageSelector())
            order << w->objectName();
        else
            order << QString::number(action->data().toInt());
    }
    EXPECT_EQ(order.join(u' '),
              QStringLiteral("57601 32870 32871 32876 | 32957 32958 | 57607 32877 57664 | 1053 1054 32931 "
                             "pageSelector 32933 1056 1057 32954 32959 | 32960 languageSelector 32961"));
    for (int command : {cmd::FileOpen, cmd::ShowReport, cmd::DrawCurves, cmd::AddRecord, cmd::FirstPage,
                        cmd::RowsPerPage, cmd::MergeFiles, cmd::AppAbout})
        EXPECT_FALSE(app.commandAction(command)->icon().isNull()) << command;
}

TEST(Toolbar, ToolTipKeepsOnlyTheBracketedPartOfTheStandardTip)
{
    const struct {
        int command;
        const char* libraryTip;
        const char* text;
        const char* expected;
    } cases[] = {
        {cmd::FileOpen, "Open file (Ctrl+O)", "打开", "打开(Ctrl+O)"},
        {cmd::FileOpen, "Open file", "打开", "打开"},
        {cmd::FileOpen, "(Ctrl+O)", "打开", "打开"},
        {cmd::PageLabelBefore, "Page (x)", "", "(x)"},
        {cmd::PageLabelBefore, "", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CMainToolBar::toolTipFor(c.command, QString::fromUtf8(c.libraryTip), QString::fromUtf8(c.text)),
                  QString::fromUtf8(c.expected))
            << c.libraryTip;
}

TEST(CommandStates, WithNoDocumentOnlyApplicationCommandsAreUsable)
{
    WorkFolder work;
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    auto* frame = static_cast<CMainFrame*>(app.mainFrame());
    frame->updateCommandUI();
    const struct {
        int command;
        bool enabled;
    } cases[] = {
        {cmd::FileOpen, true},       {cmd::AppAbout, true},        {cmd::RowsPerPage, true},
        {cmd::FilePrintSetup, true}, {cmd::AppExit, true},         {cmd::ViewToolbar, true},
        {cmd::ViewStatusBar, true},  {cmd::LanguageChinese, true}, {cmd::LanguageEnglish, true},
        {cmd::FirstPage, false},     {cmd::PreviousPage, false},   {cmd::NextPage, false},
        {cmd::LastPage, false},      {cmd::ShowReport, false},     {cmd::DrawCurves, false},
        {cmd::CurveSettings, false}, {cmd::AddRecord, false},      {cmd::DeleteRecord, false},
        {cmd::FilePrint, false},     {cmd::PrintCurves, false},    {cmd::FilePrintPreview, false},
        {cmd::Query, false},         {cmd::ExportPageCsv, false},  {cmd::ExportAllCsv, false},
        {cmd::ImportCsv, false},     {cmd::FileClose, false},      {cmd::FileSave, false},
        {cmd::PageLabelBefore, false}, {cmd::PageLabelAfter, false},
        {cmd::LanguageLabelBefore, false}, {cmd::LanguageLabelAfter, false},
        {cmd::FileMruFirst, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app.commandAction(c.command)->isEnabled(), c.enabled) << c.command;
    EXPECT_FALSE(frame->pageSelector()->isEnabled());
    EXPECT_FALSE(frame->languageSelector()->isEnabled());
    EXPECT_TRUE(app.commandAction(cmd::ViewToolbar)->isChecked());

    // A disabled command does not run from its key either.
    EXPECT_FALSE(frame->routeCommand(cmd::NextPage));
}

TEST(CommandStates, ShortcutsFollowTheAcceleratorTableFirstEntryWins)
{
    WorkFolder work;
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    const struct {
        int command;
        const char* keys;
    } cases[] = {
        {cmd::AppExit, "Ctrl+X"},        {cmd::PrintCurves, "Ctrl+R"}, {cmd::FileClose, "Shift+C"},
        {cmd::FileOpen, "Ctrl+O"},       {cmd::FilePrint, "Ctrl+P"},   {cmd::FilePrintPreview, "Shift+V"},
        {cmd::FilePrintSetup, "Shift+R"}, {cmd::FileSave, "Ctrl+S"},   {cmd::Query, "Ctrl+E"},
        {cmd::EditCut, ""},              {cmd::EditCopy, ""},          {cmd::EditPaste, ""},
        {cmd::EditUndo, ""},             {cmd::FileNew, ""},
    };
    for (const auto& c : cases) {
        QStringList keys;
        for (const QKeySequence& k : app.commandAction(c.command)->shortcuts())
            keys << k.toString();
        EXPECT_EQ(keys.join(u','), QString::fromLatin1(c.keys)) << c.command;
    }
}

TEST(RecentFiles, KeepsFourNewestFirstAndDropsAFileThatNoLongerOpens)
{
    WorkFolder work;
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    for (int i = 1; i <= 5; ++i)
        app.AddToRecentFileList(work.path(QStringLiteral("f%1.db").arg(i)));
    app.AddToRecentFileList(work.path(QStringLiteral("f3.db")));
    EXPECT_EQ(app.recentFileList().files(),
              QStringList({work.path(QStringLiteral("f3.db")), work.path(QStringLiteral("f5.db")),
                           work.path(QStringLiteral("f4.db")), work.path(QStringLiteral("f2.db"))}));
    app.mainFrame()->updateCommandUI();
    EXPECT_TRUE(app.commandAction(cmd::FileMruFirst)->isEnabled());
    EXPECT_EQ(app.recentFilesMenu()->actions().size(), 4);

    // Read back by the next run.
    {
        QSettings settings(QStringLiteral("VantrelTool"), QStringLiteral("VantrelTool"));
        EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(),
                  work.path(QStringLiteral("f3.db")));
    }

    // None of these files exists: choosing one removes it from the list.
    app.OnOpenRecentFile(0);
    EXPECT_EQ(app.recentFileList().files().size(), 3);
    EXPECT_FALSE(app.recentFileList().files().contains(work.path(QStringLiteral("f3.db"))));
}

} // namespace
