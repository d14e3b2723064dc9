#include "uilib/MessageSeam.h"

#include <QMessageBox>

namespace uilib {
namespace {

MessageResponder& installedResponder()
{
    static MessageResponder responder;
    return responder;
}

MessageAnswer runBox(const MessageRequest& request)
{
    QMessageBox box(request.owner);
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (request.buttons) {
    case MessageButtons::Ok:
        break;
    case MessageButtons::OkCancel:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        icon = QMessageBox::Question;
        break;
    case MessageButtons::YesNo:
        buttons = QMessageBox::Yes | QMessageBox::No;
        icon = QMessageBox::Question;
        break;
    case MessageButtons::YesNoCancel:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        icon = QMessageBox::Question;
        break;
    }
    box.setIcon(icon);
    box.setStandardButtons(buttons);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
}

} // namespace

MessageAnswer showMessage(QWidget* owner, const QString& text, MessageButtons buttons)
{
    return showCaptionedMessage(owner, QString::fromUtf16(MessageCaption), text, buttons);
}

MessageAnswer showCaptionedMessage(QWidget* owner, const QString& caption, const QString& text,
                                   MessageButtons buttons)
{
    MessageRequest request;
    request.owner = owner;
    request.caption = caption;
    request.text = text;
    request.buttons = buttons;
    // A copy: the responder may install another one while it runs.
    const MessageResponder responder = installedResponder();
    return responder ? responder(request) : runBox(request);
}

MessageResponder setMessageResponder(MessageResponder responder)
{
    MessageResponder previous = std::move(installedResponder());
    installedResponder() = std::move(responder);
    return previous;
}

} // namespace uilib
