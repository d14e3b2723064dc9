#include "MainWnd/CrashReport.h"

#include <QByteArray>
#include <algorithm>
#include <QDir>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int handledSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int signalCount = sizeof(handledSignals) / sizeof(handledSignals[0]);

// Everything the handler needs is prepared at install time in fixed
// buffers: a crashed heap must not be touched again.
struct State {
    bool installed = false;
    struct sigaction previous[signalCount];
    char folder[4096] = {};
    char header[1024] = {};
    PFN_CRASH_CALLBACK callback = nullptr;
    void* userParam = nullptr;
    char* alternateStack = nullptr;
    stack_t previousStack{};
};

State state;
QString lastError;

void setError(const char* text)
{
    lastError = QString::fromUtf8(text);
}

// Appends decimal `value` to `out` (async-signal-safe).
char* appendNumber(char* out, const char* end, unsigned long value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value && n < 24);
    while (n > 0 && out < end)
        *out++ = digits[--n];
    return out;
}

char* appendText(char* out, const char* end, const char* text)
{
    while (*text && out < end)
        *out++ = *text++;
    return out;
}

const char* signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV (invalid memory access)";
    case SIGBUS: return "SIGBUS (bus error)";
    case SIGFPE: return "SIGFPE (arithmetic error)";
    case SIGILL: return "SIGILL (illegal instruction)";
    case SIGABRT: return "SIGABRT (abort)";
    default: return "signal";
    }
}

int indexOf(int sig)
{
    for (int i = 0; i < signalCount; ++i)
        if (handledSignals[i] == sig)
            return i;
    return -1;
}

void writeAll(int fd, const char* text, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, text, size);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            return;
        }
        text += n;
        size -= size_t(n);
    }
}

void onCrash(int sig, siginfo_t*, void*)
{
    // One report per crash even when the report writing itself faults.
    static volatile sig_atomic_t entered = 0;
    if (!entered) {
        entered = 1;
        mkdir(state.folder, 0777);
        char path[4200];
        char* p = path;
        const char* end = path + sizeof(path) - 1;
        p = appendText(p, end, state.folder);
        p = appendText(p, end, "/crash_");
        p = appendNumber(p, end, static_cast<unsigned long>(time(nullptr)));
        p = appendText(p, end, "_");
        p = appendNumber(p, end, static_cast<unsigned long>(getpid()));
        p = appendText(p, end, ".txt");
        *p = '\0';
        const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            writeAll(fd, state.header, strlen(state.header));
            char line[160];
            char* q = appendText(line, line + sizeof(line) - 2, "Signal: ");
            q = appendNumber(q, line + sizeof(line) - 2, static_cast<unsigned long>(sig));
            q = appendText(q, line + sizeof(line) - 2, " ");
            q = appendText(q, line + sizeof(line) - 2, signalName(sig));
            *q++ = '\n';
            writeAll(fd, line, size_t(q - line));
            const char title[] = "Backtrace:\n";
            writeAll(fd, title, sizeof(title) - 1);
            void* frames[128];
            const int count = backtrace(frames, 128);
            backtrace_symbols_fd(frames, count, fd);
            close(fd);
        }
        if (state.callback) {
            CR_CRASH_CALLBACK_INFOW info;
            info.cb = sizeof(info);
            info.signalNumber = sig;
            info.reportPath = path;
            info.userParam = state.userParam;
            state.callback(&info);
        }
    }
    // Hand the signal back to what was there before and let it happen
    // again: the process then ends exactly as it would have.
    const int i = indexOf(sig);
    if (i >= 0)
        sigaction(sig, &state.previous[i], nullptr);
    else
        signal(sig, SIG_DFL);
    raise(sig);
}

QString fromWide(const char16_t* text)
{
    return text ? QString::fromUtf16(text) : QString();
}

} // namespace

int crInstall(const CR_INSTALL_INFOW* info)
{
    if (!info) {
        setError("crInstall: no installation information was given.");
        return 1;
    }
    if (info->cb != sizeof(CR_INSTALL_INFOW)) {
        setError("crInstall: the installation information has the wrong size.");
        return 1;
    }
    if (state.installed) {
        setError("crInstall: crash reporting is already installed.");
        return 1;
    }
    QString folder = fromWide(info->pszErrorReportSaveDir);
    if (folder.isEmpty())
        folder = QStringLiteral("./dump_report");
    // Resolved now: the working directory may change before a crash.
    const QByteArray folderBytes = QDir::cleanPath(QDir::current().absoluteFilePath(folder)).toLocal8Bit();
    if (folderBytes.size() >= int(sizeof(state.folder))) {
        setError("crInstall: the report folder path is too long.");
        return 1;
    }
    const QByteArray header = QStringLiteral("Crash report\nApplication: %1\nVersion: %2\nFlags: 0x%3\n")
                                  .arg(fromWide(info->pszAppName), fromWide(info->pszAppVersion))
                                  .arg(info->dwFlags, 0, 16)
                                  .toUtf8();
    std::memset(state.folder, 0, sizeof(state.folder));
    std::memcpy(state.folder, folderBytes.constData(), size_t(folderBytes.size()));
    std::memset(state.header, 0, sizeof(state.header));
    std::memcpy(state.header, header.constData(),
                std::min(size_t(header.size()), sizeof(state.header) - 1));

    // backtrace() loads its unwinder on first use, which allocates; do it
    // now rather than inside the handler.
    void* warmUp[2];
    backtrace(warmUp, 2);

    // A stack overflow leaves no stack for the handler; give it its own.
    state.alternateStack = static_cast<char*>(std::malloc(SIGSTKSZ * 4));
    if (state.alternateStack) {
        stack_t stack{};
        stack.ss_sp = state.alternateStack;
        stack.ss_size = SIGSTKSZ * 4;
        sigaltstack(&stack, &state.previousStack);
    }

    struct sigaction action {};
    action.sa_sigaction = onCrash;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    for (int i = 0; i < signalCount; ++i) {
        if (sigaction(handledSignals[i], &action, &state.previous[i]) != 0) {
            for (int j = 0; j < i; ++j)
                sigaction(handledSignals[j], &state.previous[j], nullptr);
            setError("crInstall: a signal handler could not be installed.");
            return 1;
        }
    }
    state.installed = true;
    lastError = QStringLiteral("Success.");
    return 0;
}

int crUninstall()
{
    if (!state.installed) {
        setError("crUninstall: crash reporting is not installed.");
        return 1;
    }
    for (int i = 0; i < signalCount; ++i)
        sigaction(handledSignals[i], &state.previous[i], nullptr);
    if (state.alternateStack) {
        sigaltstack(&state.previousStack, nullptr);
        std::free(state.alternateStack);
        state.alternateStack = nullptr;
    }
    state.installed = false;
    state.callback = nullptr;
    state.userParam = nullptr;
    lastError = QStringLiteral("Success.");
    return 0;
}

int crSetCrashCallback(PFN_CRASH_CALLBACK callback, void* userParam)
{
    state.callback = callback;
    state.userParam = userParam;
    return 0;
}

int crGetLastErrorMsg(char16_t* buffer, unsigned size)
{
    if (!buffer || size == 0)
        return 0;
    const unsigned n = std::min<unsigned>(unsigned(lastError.size()), size - 1);
    std::memcpy(buffer, lastError.utf16(), n * sizeof(char16_t));
    buffer[n] = u'\0';
    return int(n);
}
