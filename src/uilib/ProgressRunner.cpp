#include "uilib/ProgressRunner.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QProgressDialog>

#include <limits>

namespace uilib {
namespace {

ProgressResponder& installedResponder()
{
    static ProgressResponder responder;
    return responder;
}

} // namespace

ProgressResponder setProgressResponder(ProgressResponder responder)
{
    ProgressResponder previous = std::move(installedResponder());
    installedResponder() = std::move(responder);
    return previous;
}

} // namespace uilib

namespace {

// Work shorter than this shows no window: a flash of a progress bar for a
// page export is noise.
constexpr qint64 showAfterMs = 400;
// Painting and event handling between two reports; the cores report every
// page or every 4096 records, far more often than anyone can see.
constexpr qint64 updateEveryMs = 50;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

ProgressRunner::ProgressRunner(QWidget* owner, const QString& title, const QString& cancelText)
    : owner(owner), title(title), cancelText(cancelText), startedMs(nowMs())
{
}

ProgressRunner::~ProgressRunner() = default;

QProgressDialog* ProgressRunner::window()
{
    if (!dialog) {
        dialog = std::make_unique<QProgressDialog>(owner);
        dialog->setWindowTitle(title);
        dialog->setCancelButtonText(cancelText);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        // We decide when it shows; its own timer would show it even for
        // work that ended long ago.
        dialog->setMinimumDuration(std::numeric_limits<int>::max());
        dialog->setMinimumWidth(420);
    }
    return dialog.get();
}

bool ProgressRunner::report(qint64 done, qint64 total, bool showCount)
{
    if (const uilib::ProgressResponder responder = uilib::installedResponder()) {
        if (!responder(uilib::ProgressRequest{title, done, total}))
            wasCancelled = true;
        return !wasCancelled;
    }
    if (wasCancelled)
        return false;
    const qint64 now = nowMs();
    if (lastUpdateMs >= 0 && now - lastUpdateMs < updateEveryMs)
        return true;
    lastUpdateMs = now;

    if (!shown && now - startedMs >= showAfterMs) {
        window()->show();
        shown = true;
    }
    if (shown) {
        // The bar counts in int; byte counts of a large CSV file do not fit.
        const bool scaled = total > std::numeric_limits<int>::max();
        const int maximum = total <= 0 ? 0 : scaled ? 1000 : int(total);
        const int value = total <= 0 ? 0 : scaled ? int(done * 1000 / total) : int(std::min(done, total));
        dialog->setRange(0, maximum);
        dialog->setValue(value);
        if (showCount) {
            // Grouped digits: "1,750,000 / 5,000,000" reads at a glance, and
            // both interface languages group by thousands with a comma.
            const QLocale numbers(QLocale::English);
            dialog->setLabelText(total > 0 ? numbers.toString(done) + QStringLiteral(" / ") + numbers.toString(total)
                                           : numbers.toString(done));
        }
        QCoreApplication::processEvents();
        wasCancelled = dialog->wasCanceled();
    } else {
        // No window holds the user back yet: a click now could close the
        // document the work is reading.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return !wasCancelled;
}
