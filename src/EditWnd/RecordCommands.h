#pragma once
// The record and query commands of the report view: adding a record,
// deleting the selected one, and extracting a time range into a new file
// that opens as a document of its own. The view routes the commands here;
// they change the file through the document's store and the page through
// the document and the view's grid.
class CVantrelView;

namespace recordcommands {

// Appends a record, goes to the last page and shows it there.
void OnAddRecord(CVantrelView& view);
// Deletes the record of the selected grid row once the user confirms.
void OnDeleteRecord(CVantrelView& view);
// Asks for a time range and extracts its records beside the user's file.
void OnQueryData(CVantrelView& view);

} // namespace recordcommands
