#pragma once
#include <functional>

class QDialog;

// Runs the program's own modal dialogs (rows per page, about, query,
// merge, curve settings). Tests install a responder that fills in the
// dialog as a user would, presses its buttons and returns the result, so
// the command around the dialog runs to its end without a modal loop.
namespace uilib {

using DialogResponder = std::function<int(QDialog&)>;

// QDialog::exec, or the responder's answer (QDialog::Accepted/Rejected).
int runModal(QDialog& dialog);

DialogResponder setDialogResponder(DialogResponder responder);

} // namespace uilib
