#pragma once
#include <QStringList>

// vantrel-cli merge FILE OUTPUT_FOLDER: merges the series in FILE's folder
// into OUTPUT_FOLDER/<folder>Merge.db and prints the new path, then
// "merged: N" and "skipped: M". `args` are the words after "merge".
// Returns the exit status: 0 done, 1 failed, 2 usage error.
int runMergeCommand(const QStringList& args);
