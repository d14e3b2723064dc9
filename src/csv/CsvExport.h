#pragma once
#include "csv/CsvResult.h"
#include "store/RecordPage.h"

#include <QString>

#include <map>
#include <ostream>

class CDataOperator;

// Saving the records of a data-record file as CSV, everything the export
// commands do after the user chose the file. Every field is quoted, records
// end in CR LF, text is UTF-8 without a byte-order mark. The header's last
// name of a SampleData file ends in the byte 0x02, which the import takes as
// the sign to write DataGrpData again. Results: "InfoDlg" 7 nothing to
// export, "ExportDlg" 3 the file cannot be written, "ExportDlg" 13 done.
//
// A file export writes a temporary file beside the target and renames it
// over the target only when everything was written, so a failed or
// cancelled export leaves an existing file as it was.
namespace CsvExport {

// Alarm ID text -> alarm text in the language the report shows.
using AlarmTextMap = std::map<QString, QString>;

// What the document tells the export about the page it shows.
struct PageView {
    const RecordPage& page;
    int fileKind;
    int displayColumnCount;
    const AlarmTextMap& alarmTexts;
};

// Columns of the shown table without ullTime, as the document counts them.
int displayColumnCount(const CDataOperator& store);

// Column names, at least one record and more than two columns.
bool hasExportableData(const RecordPage& page, int displayColumnCount);

CsvResult exportPage(const QString& path, const PageView& view);
CsvResult exportPage(std::ostream& out, const PageView& view);

// Every page of the store in turn, one page in memory at a time; the store
// is left on `currentPage` again. `view` is the page the document shows.
CsvResult exportAll(const QString& path, CDataOperator& store, int currentPage, const PageView& view,
                    const CsvProgress& progress = {});
CsvResult exportAll(std::ostream& out, CDataOperator& store, int currentPage, const PageView& view,
                    const CsvProgress& progress = {});

} // namespace CsvExport
