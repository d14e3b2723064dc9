#include "winbaselib/src/i18n/LangKeys.h"

namespace langkeys {
namespace {

struct KeyRange {
    const char16_t* module;
    int first;
    int last;
    const char16_t* placeholders;
};

// Keys by module, as the windows look them up. Keys left out of a range
// (InfoDlg 1, 5 and 18; most of ExportDlg) are looked up nowhere.
constexpr KeyRange keyRanges[] = {
    {MenuBarTop, 1, 4, u""},      // titles of File, View, Language, Help
    {MenuBar, 1, 25, u""},        // drop-down items, numbered over the whole menu
    {ToolBar, 1, 15, u""},        // tooltips, keyed by the command text table
    {StatusBar, 0, 15, u""},      // 0 idle prompt, 1-15 command prompts
    {OtherMsg, PageItemFormat, PageItemFormat, u"%d"},
    {AboutDlg, 1, 4, u""},        // caption, OK, upper and lower label
    {InfoDlg, 2, 4, u""},
    {InfoDlg, 6, 17, u""},
    {InfoDlg, 19, 22, u""},
    {ExportDlg, 3, 3, u""},
    {ExportDlg, 13, 13, u""},
    {ExportDlg, 19, 23, u""},
    {PrintDlg, PageFooterFormat, PageFooterFormat, u"%d%d"},
    {PrintDlg, 2, 3, u""},
    {QueryDlg, 1, 9, u""},
    {LineChart, 1, 2, u""},
    {CurveSetDlg, 1, 14, u""},
    {SetMaxRowsDlg, RowsOutOfRange, RowsOutOfRange, u"%d"},
    {SetMaxRowsDlg, 2, 4, u""},
    {MergeDlg, 1, 11, u""},
};

std::vector<LangKey> expand()
{
    std::vector<LangKey> keys;
    for (const KeyRange& range : keyRanges) {
        for (int key = range.first; key <= range.last; ++key)
            keys.push_back({QString::fromUtf16(range.module), key,
                            QString::fromUtf16(range.placeholders)});
    }
    return keys;
}

} // namespace

const std::vector<LangKey>& allKeys()
{
    static const std::vector<LangKey> keys = expand();
    return keys;
}

} // namespace langkeys
