#pragma once
#include <cstdint>

// A small crash-report layer in place of the Windows crash-reporting
// library, with the same calls. crInstall installs handlers for SIGSEGV,
// SIGBUS, SIGFPE, SIGILL and SIGABRT; on a crash the handler writes a
// report (signal, application, version, backtrace) into the report folder,
// calls the crash callback, and lets the process end as it would have
// without the layer (the old handler runs, a core dump follows where the
// system makes one). crUninstall restores the old handlers.

struct CR_INSTALL_INFOW {
    std::uint16_t cb = 0;                  // sizeof(CR_INSTALL_INFOW)
    const char16_t* pszAppName = nullptr;
    const char16_t* pszAppVersion = nullptr;
    std::uint32_t dwFlags = 0;             // kept in the report; no flag changes behaviour
    const char16_t* pszErrorReportSaveDir = nullptr; // relative to the working directory
    const char16_t* pszLangFilePath = nullptr;       // the Windows dialog's texts; not used here
};

struct CR_CRASH_CALLBACK_INFOW {
    std::uint16_t cb = 0;
    int signalNumber = 0;
    const char* reportPath = nullptr;
    void* userParam = nullptr;
};

// The callback runs inside the signal handler: only async-signal-safe
// work belongs there. Its result is ignored; the process ends either way.
using PFN_CRASH_CALLBACK = int (*)(CR_CRASH_CALLBACK_INFOW* info);

// 0 on success; otherwise non-zero with the reason in crGetLastErrorMsg
// (no info, wrong size, already installed, report folder path too long,
// a handler could not be installed).
int crInstall(const CR_INSTALL_INFOW* info);
// 0 on success; non-zero when nothing was installed.
int crUninstall();
int crSetCrashCallback(PFN_CRASH_CALLBACK callback, void* userParam);
// Copies the last error text (UTF-16, zero-terminated, cut to fit) and
// returns its length in characters.
int crGetLastErrorMsg(char16_t* buffer, unsigned size);
