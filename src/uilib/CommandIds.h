#pragma once

// Command identifiers. They keep the numbers the panel maker's resources
// gave them, so the command text table, the language files and the tests
// speak of the same command by the same number.
namespace cmd {

// Framework commands.
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileClose = 57602;
inline constexpr int FileSave = 57603;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileMruFirst = 57616;
inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditPaste = 57637;
inline constexpr int EditUndo = 57643;
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int NextPane = 57680;
inline constexpr int PrevPane = 57681;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;

// Page navigation and the page selector.
inline constexpr int FirstPage = 1053;
inline constexpr int PreviousPage = 1054;
inline constexpr int PageSelector = 1055;
inline constexpr int NextPage = 1056;
inline constexpr int LastPage = 1057;

// Views and records.
inline constexpr int ShowReport = 32870;
inline constexpr int DrawCurves = 32871;
inline constexpr int CurveSettings = 32876;
inline constexpr int PrintCurves = 32877;
inline constexpr int LanguageChinese = 32935;
inline constexpr int LanguageEnglish = 32936;
inline constexpr int ExportPageCsv = 32948;
inline constexpr int Query = 32952;
inline constexpr int RowsPerPage = 32954;
inline constexpr int ImportCsv = 32956;
inline constexpr int AddRecord = 32957;
inline constexpr int DeleteRecord = 32958;
inline constexpr int MergeFiles = 32959;
inline constexpr int LanguageSelector = 32970;
inline constexpr int ExportAllCsv = 32972;

// Toolbar items that carry no command; they stay disabled.
inline constexpr int PageLabelBefore = 32931;
inline constexpr int PageLabelAfter = 32933;
inline constexpr int LanguageLabelBefore = 32960;
inline constexpr int LanguageLabelAfter = 32961;

} // namespace cmd
