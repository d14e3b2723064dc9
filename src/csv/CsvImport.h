#pragma once
#include "csv/CsvResult.h"

#include <QString>
#include <QtGlobal>

// Turning a CSV file into a new data-record file, everything the import
// command does after the user chose the file. The first record names the
// columns (all TEXT); every further record becomes a row, inserted through
// one prepared statement in one transaction. A header whose last name ends
// in the byte 0x02 (written by the export of a sample file) gives the table
// DataGrpData, so the new file opens as sample data again; any other CSV
// gives the table Data.
//
// Results: ok with `newPath`; "ExportDlg" 21 the CSV file does not exist,
// 22 it cannot be read, 23 the new file could not be created or filled.
// A record shorter than the header stores NULL in the missing columns; a
// longer one fails the import and `detail` names it. Whatever fails or is
// cancelled, the new file is removed again.
namespace CsvImport {

// "<folder of the CSV>/<seconds>.db", or with _1, _2 ... before ".db" while
// that name is taken.
QString newDataFilePath(const QString& csvPath, quint32 seconds);

// Without `outPath` the new file is named by newDataFilePath with the
// current time; an `outPath` that exists already is refused. Progress is
// reported in bytes of the CSV file.
CsvResult importCsv(const QString& csvPath, const QString& outPath = QString(),
                    const CsvProgress& progress = {});

} // namespace CsvImport
