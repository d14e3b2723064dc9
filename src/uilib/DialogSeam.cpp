#include "uilib/DialogSeam.h"

#include <QDialog>

namespace uilib {
namespace {

DialogResponder& installedResponder()
{
    static DialogResponder responder;
    return responder;
}

} // namespace

int runModal(QDialog& dialog)
{
    const DialogResponder responder = installedResponder();
    return responder ? responder(dialog) : dialog.exec();
}

DialogResponder setDialogResponder(DialogResponder responder)
{
    DialogResponder previous = std::move(installedResponder());
    installedResponder() = std::move(responder);
    return previous;
}

} // namespace uilib
