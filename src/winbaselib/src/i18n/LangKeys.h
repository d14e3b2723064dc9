#pragma once
#include <QString>

#include <vector>

// Every module name and key the program looks up in the language files, in
// one place, so that a test can check both language files against it.
namespace langkeys {

// Module names; they must match the `Name` attributes exactly.
inline constexpr char16_t LanguageIndex[] = u"language"; // index file only
inline constexpr char16_t MenuBarTop[] = u"MenuBarTop";
inline constexpr char16_t MenuBar[] = u"MenuBar";
inline constexpr char16_t ToolBar[] = u"ToolBar";
inline constexpr char16_t StatusBar[] = u"StatusBar";
inline constexpr char16_t OtherMsg[] = u"OtherMsg";
inline constexpr char16_t AboutDlg[] = u"AboutDlg";
inline constexpr char16_t InfoDlg[] = u"InfoDlg";
inline constexpr char16_t ExportDlg[] = u"ExportDlg";
inline constexpr char16_t PrintDlg[] = u"PrintDlg";
inline constexpr char16_t QueryDlg[] = u"QueryDlg";
inline constexpr char16_t LineChart[] = u"LineChart";
inline constexpr char16_t CurveSetDlg[] = u"CurveSetDlg";
inline constexpr char16_t SetMaxRowsDlg[] = u"SetMaxRowsDlg";
inline constexpr char16_t MergeDlg[] = u"MergeDlg";

// The three texts that are used as formats. Everything else is shown as it
// is and must hold no '%' at all.
inline constexpr int PageItemFormat = 1;    // OtherMsg: one page number
inline constexpr int PageFooterFormat = 1;  // PrintDlg: this page, page count
inline constexpr int RowsOutOfRange = 1;    // SetMaxRowsDlg: the upper limit

// The status bar prompt for commands outside the toolbar table and for idle.
inline constexpr int IdlePrompt = 0;

struct LangKey {
    QString module;
    int key;
    // The conversions the text must hold, in order ("%d%d"), or empty.
    QString placeholders;
};

// Every key of every per-language file (the index file's module "language"
// is not included), in module order.
const std::vector<LangKey>& allKeys();

} // namespace langkeys
