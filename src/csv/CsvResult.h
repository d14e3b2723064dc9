#pragma once
#include <QString>
#include <QtGlobal>

#include <functional>

// How a CSV command ended: the language text (module and key) the window
// shows for it, and for the log and the command line what went wrong in
// plain words. A cancelled command shows nothing (empty module).
struct CsvResult {
    bool ok = false;
    bool cancelled = false;
    QString module;
    int key = 0;
    QString detail;
    QString newPath; // the data-record file an import wrote

    static CsvResult success(const QString& module = QString(), int key = 0)
    {
        CsvResult r;
        r.ok = true;
        r.module = module;
        r.key = key;
        return r;
    }
    static CsvResult failure(const QString& module, int key, const QString& detail)
    {
        CsvResult r;
        r.module = module;
        r.key = key;
        r.detail = detail;
        return r;
    }
    static CsvResult cancel()
    {
        CsvResult r;
        r.cancelled = true;
        r.detail = QStringLiteral("cancelled");
        return r;
    }
};

// Called now and then by long operations with the work done and the whole
// (pages, bytes); returning false cancels, and a cancelled operation leaves
// the files as they were before it.
using CsvProgress = std::function<bool(qint64 done, qint64 total)>;
