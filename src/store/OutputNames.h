#pragma once
#include <QString>

// The title of a data-record file: its file name up to the first dot. Only
// the file name counts, so a dot in a folder name does not cut the title.
QString fileTitle(const QString& path);

// `path` itself when nothing exists there, else the first of path_1.db,
// path_2.db, ... (the counter goes before the extension) that is free.
// Two extractions or imports in one second then get two files instead of
// the second failing on the first one's table.
QString freeFileName(const QString& path);

// Where a time-range extraction of `userFile` goes: the file's folder,
// "<title>_<seconds since 1970>.db", made free with freeFileName.
QString queryOutputPath(const QString& userFile, qint64 nowSeconds);
