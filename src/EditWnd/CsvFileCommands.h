#pragma once
// The CSV commands of the window: saving the current page or all pages of
// the report as CSV, and importing a CSV file into a new data-record file
// that opens as a document. The CSV core does the work; these ask for the
// file, show the progress of the long ones and show how they ended.
class CVantrelDoc;
class CVantrelView;

namespace csvfilecommands {

// Commands 32948 (current page) and 32972 (all pages) of the report view.
void OnSaveAsCsv(CVantrelView& view, bool allPages);
// Command 32956 of the document.
void OnImportCsv(CVantrelDoc& doc);

} // namespace csvfilecommands
