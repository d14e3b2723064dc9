#pragma once
#include <QStringList>

// `vantrel-cli export FILE OUT.csv|- [--page N] [--rows-per-page N] [--alarm-language L]`
// and `vantrel-cli import CSV [--out DB]`. `args` are the words after the
// command word. Exit status 0 done, 1 the operation failed (one line on
// stderr naming the file and the cause), 2 a usage error.
int runExportCommand(const QStringList& args);
int runImportCommand(const QStringList& args);
