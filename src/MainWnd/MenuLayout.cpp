#include "MainWnd/MenuLayout.h"

#include "uilib/CommandIds.h"

namespace menulayout {

const std::vector<TopMenu>& documentMenu()
{
    static const std::vector<TopMenu> menu = {
        {{cmd::FileOpen, cmd::FileClose, cmd::FileSave, 0, cmd::ImportCsv, cmd::ExportPageCsv,
          cmd::ExportAllCsv, 0, cmd::FilePrint, cmd::PrintCurves, cmd::Query, cmd::FilePrintPreview,
          cmd::FilePrintSetup, 0, cmd::FileMruFirst, 0, cmd::AppExit}},
        {{cmd::ViewToolbar, cmd::ViewStatusBar, cmd::DrawCurves, cmd::CurveSettings, cmd::ShowReport}},
        {{cmd::LanguageChinese, cmd::LanguageEnglish}},
        {{cmd::AppAbout}},
    };
    return menu;
}

const std::vector<Accelerator>& accelerators()
{
    static const std::vector<Accelerator> table = {
        {QKeySequence(Qt::CTRL | Qt::Key_X), cmd::AppExit},
        {QKeySequence(Qt::CTRL | Qt::Key_R), cmd::PrintCurves},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), cmd::EditPaste},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), cmd::EditUndo},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), cmd::EditUndo},
        {QKeySequence(Qt::SHIFT | Qt::Key_C), cmd::FileClose},
        {QKeySequence(Qt::CTRL | Qt::Key_N), cmd::FileNew},
        {QKeySequence(Qt::CTRL | Qt::Key_O), cmd::FileOpen},
        {QKeySequence(Qt::CTRL | Qt::Key_P), cmd::FilePrint},
        {QKeySequence(Qt::SHIFT | Qt::Key_V), cmd::FilePrintPreview},
        {QKeySequence(Qt::SHIFT | Qt::Key_R), cmd::FilePrintSetup},
        {QKeySequence(Qt::CTRL | Qt::Key_S), cmd::FileSave},
        {QKeySequence(Qt::Key_F6), cmd::NextPane},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), cmd::PrevPane},
        {QKeySequence(Qt::CTRL | Qt::Key_E), cmd::Query},
        {QKeySequence(Qt::CTRL | Qt::Key_X), cmd::EditCut},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), cmd::EditCut},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), cmd::EditCopy},
        {QKeySequence(Qt::CTRL | Qt::Key_C), cmd::EditCopy},
        {QKeySequence(Qt::CTRL | Qt::Key_V), cmd::EditPaste},
    };
    return table;
}

bool isServedCommand(int command)
{
    switch (command) {
    case cmd::EditPaste:
    case cmd::EditUndo:
    case cmd::EditCut:
    case cmd::EditCopy:
    case cmd::FileNew:
    case cmd::NextPane:
    case cmd::PrevPane:
        return false;
    default:
        return true;
    }
}

} // namespace menulayout
