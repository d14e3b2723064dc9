#pragma once
// Joining the numbered data-record files of one folder ("<folder>_<n>.db")
// into one new file "<folder>Merge.db". The merge only reads and attaches
// the series files; they are never written.
//
// The store merge functions each open their own connection with the narrow
// access layer, close it before returning, and turn the layer's exception
// into their error result (its message). runMerge is the whole OK flow of
// the merge dialog, so a window or the command line only supplies the paths
// and shows the outcome.
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <string>
#include <vector>

// Sequence number as "%08d" text -> the file's path as UTF-8. Ordering the
// keys as text orders the series by number.
using SeriesFiles = std::map<QString, std::string>;

// Called after each merged file with the files done and the files to do.
// Returning false stops the merge; the new file is then removed.
using MergeProgress = std::function<bool(int done, int total)>;

// Keys of the MergeDlg language module that the merge answers with.
namespace MergeDlgKey {
inline constexpr int NoSourceFile = 7;
inline constexpr int SourceIsRoot = 8;
inline constexpr int NoOutputFolder = 9;
inline constexpr int NoSeriesFiles = 10;
inline constexpr int Done = 11;
} // namespace MergeDlgKey

// Literal message of a chosen file whose DataGrpData has fewer than two
// columns.
inline constexpr char kTooFewColumns[] = "Too few columns";

// A whole decimal number below 100000000, ASCII digits only.
bool isSequenceNumber(const QString& text, int& number);

// Lists "<name>_<number>.db" in the folder, <name> being the folder's last
// component; a later name with the same number replaces an earlier one
// (entries are visited in name order, so "Line1_1.db" wins over
// "Line1_01.db"). -1 when no entry matches "<name>_*.db" at all.
// `skipped` receives the matching files that are not in the series.
int collectSeriesFiles(const QString& sourceFolder, SeriesFiles& series, QStringList* skipped = nullptr);

// Names of the columns after the first of the file's DataGrpData, joined
// with ',' into `columnList`, and the first column's name. -1 with both
// empty when the table has fewer than two columns; -1 with the error text
// in `columnList` when it cannot be read. `columnNames`, when given, gets
// the same names one by one (a name may itself hold a ',').
int readMergeColumns(const std::string& path, std::string& firstColumn, std::string& columnList,
                     std::vector<std::string>* columnNames = nullptr);

// The CREATE TABLE text of the file's DataGrpData ("" when it has none).
// -1 with the error text in `createText` when the file cannot be read.
int readDataGroupSchema(const std::string& path, std::string& createText);

// The schema with its first column redefined as INTEGER PRIMARY KEY, so
// that rows copied without their first column get keys from 1. Unchanged
// when the column cannot be found.
std::string rewriteFirstColumn(const std::string& schema, const std::string& firstColumn);

// Creates the output file and runs the schema in it. Empty, or the error.
std::string createMergeFile(const std::string& outputPath, const std::string& createText);

// Copies DataGrpData of every listed file, in list order, into the output
// file, leaving out the first column. Empty, or the error; `failedFile`
// then names the file being copied (or the output when it failed to open).
// Each file is attached, copied in one transaction and detached again, so
// a series of any length merges on one connection.
std::string mergeDataGroups(const std::string& outputPath, const SeriesFiles& files,
                            const std::vector<std::string>& columnNames,
                            const MergeProgress& progress = {}, std::string* failedFile = nullptr,
                            bool* cancelled = nullptr);

// Folder of a chosen file: the path up to its last '/', "/" for a file at
// the root, empty when there is no '/'.
QString sourceFolderOf(const QString& chosenFile);
// A drive alone ("D:") or the file-system root.
bool isRootFolder(const QString& folder);
// "<outputFolder>/<name>Merge.db", or Merge1, Merge2, … when taken.
QString freeMergeOutputPath(const QString& outputFolder, const QString& seriesName);

struct MergePaths {
    QString sourceFolder;  // folder of the chosen file
    QString chosenFile;    // supplies the column list and schema
    QString outputFolder;
    QString outputPath;    // shown in the output edit; returned unchanged on failure
};

struct MergeOutcome {
    int messageKey = 0;    // MergeDlgKey value, or 0 when `text` is the message
    QString text;          // kTooFewColumns or the access layer's message
    QString outputPath;    // the new file after success
    QString failedPath;    // the file a text message is about
    bool cancelled = false;
    int mergedFiles = 0;
    QStringList skippedFiles; // "<name>_*.db" files left out, in name order

    bool succeeded() const { return messageKey == MergeDlgKey::Done; }
};

// The dialog's OK: checks the paths, lists the series, reads the chosen
// file's columns and schema, creates "<name>Merge.db" under a free name,
// copies the files whose schema equals the chosen one. A merge that fails
// or is cancelled after the new file was created removes that file, so no
// half-merged file is left to be taken for a whole one.
MergeOutcome runMerge(const MergePaths& paths, const MergeProgress& progress = {});
