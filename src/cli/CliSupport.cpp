#include "cli/CliSupport.h"

#include <csignal>
#include <unistd.h>

namespace cli {
namespace {

volatile std::sig_atomic_t interruptFlag = 0;

void onInterrupt(int)
{
    interruptFlag = 1;
}

} // namespace

InterruptGuard::InterruptGuard() : previous(std::signal(SIGINT, onInterrupt)) {}

InterruptGuard::~InterruptGuard()
{
    std::signal(SIGINT, previous);
}

bool InterruptGuard::interrupted()
{
    return interruptFlag != 0;
}

int fail(const QString& file, const QString& cause)
{
    std::fprintf(stderr, "vantrel-cli: %s: %s\n", file.toLocal8Bit().constData(), cause.toLocal8Bit().constData());
    return Failed;
}

int usage(const QString& message)
{
    std::fprintf(stderr, "vantrel-cli: %s\nRun 'vantrel-cli --help' for the commands.\n",
                 message.toLocal8Bit().constData());
    return Usage;
}

void out(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
}

bool takeOption(QStringList& args, const QString& name, QString* value, bool* present)
{
    const qsizetype i = args.indexOf(name);
    if (present)
        *present = i >= 0;
    if (i < 0)
        return true;
    if (i + 1 >= args.size())
        return false;
    *value = args[i + 1];
    args.remove(i, 2);
    return true;
}

bool takeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

bool parseInt(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

Progress::Progress(QString label_) : label(std::move(label_)), enabled(isatty(STDERR_FILENO) == 1) {}

Progress::~Progress()
{
    if (shown)
        std::fprintf(stderr, "\n");
}

void Progress::update(qint64 done, qint64 total)
{
    if (!enabled)
        return;
    shown = true;
    if (total > 0) {
        const int width = 30;
        const int filled = int(done * width / total);
        std::fprintf(stderr, "\r%s [%s%s] %lld/%lld", label.toLocal8Bit().constData(),
                     QByteArray(filled, '#').constData(), QByteArray(width - filled, '.').constData(),
                     static_cast<long long>(done), static_cast<long long>(total));
    } else {
        std::fprintf(stderr, "\r%s %lld", label.toLocal8Bit().constData(), static_cast<long long>(done));
    }
    std::fflush(stderr);
}

} // namespace cli
