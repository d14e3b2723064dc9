#pragma once
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace uilib {

// What a long command reports to its progress window.
struct ProgressRequest {
    QString title;
    qint64 done = 0;
    qint64 total = 0; // 0 or less: the amount of work is not known
};

// Answers in place of the progress window: true goes on, false is the
// user's Cancel. Tests install one, so a cancel lands at a chosen point of
// the work and no test depends on how fast the machine is.
using ProgressResponder = std::function<bool(const ProgressRequest&)>;

ProgressResponder setProgressResponder(ProgressResponder responder);

} // namespace uilib

// The progress window of a long command (export of all pages, import,
// merge, extraction) with a Cancel button. The work stays on the user
// interface thread, where the store and the document live; the core's
// progress callback calls report(), which keeps the window painted and
// hands Cancel back as false. The window is application-modal, so while
// events are processed nobody can close the document or start a second
// command under the running one; before it appears (short work shows no
// window at all) user input is held back for the same reason.
class ProgressRunner
{
public:
    // `owner` may be null; `cancelText` is the Cancel button's text.
    ProgressRunner(QWidget* owner, const QString& title, const QString& cancelText);
    ~ProgressRunner();
    ProgressRunner(const ProgressRunner&) = delete;
    ProgressRunner& operator=(const ProgressRunner&) = delete;

    // `done` of `total` (records, files or bytes); with `showCount` the
    // label shows the two numbers. False once the user cancelled.
    bool report(qint64 done, qint64 total, bool showCount = true);
    bool cancelled() const { return wasCancelled; }

    // The window itself, created on first use (screenshots).
    QProgressDialog* window();

private:
    QWidget* owner;
    QString title;
    QString cancelText;
    std::unique_ptr<QProgressDialog> dialog;
    qint64 lastUpdateMs = -1;
    qint64 startedMs = 0;
    bool shown = false;
    bool wasCancelled = false;
};
