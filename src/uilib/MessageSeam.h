#pragma once
#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through showMessage: the owner,
// the text, the buttons and the answer, with the caption "Vantrel". Tests
// install a responder in place of the modal box, so no test waits on a
// box nobody can click, and every message shown is recorded by whoever
// installed the responder.
namespace uilib {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QWidget* owner = nullptr;
    QString caption;
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
};

using MessageResponder = std::function<MessageAnswer(const MessageRequest&)>;

inline constexpr char16_t MessageCaption[] = u"Vantrel";

// Shows the box (modal to `owner`) and returns the button chosen; closing
// the box without a button counts as Cancel, or as the only button of an
// OK box.
MessageAnswer showMessage(QWidget* owner, const QString& text,
                          MessageButtons buttons = MessageButtons::Ok);
// The same with a caption of its own, for the few questions whose caption
// is a language text (the delete confirmation).
MessageAnswer showCaptionedMessage(QWidget* owner, const QString& caption, const QString& text,
                                   MessageButtons buttons);

// Installs `responder` in place of the box; an empty one restores the
// box. Returns the responder it replaces.
MessageResponder setMessageResponder(MessageResponder responder);

} // namespace uilib
