#pragma once
#include <QString>

// Finds a data file the program ships (Language/Language.xml,
// log4cplus.cfg). The working directory comes first, as the program has
// always looked there; then the application's data folder, so that a
// program started from a desktop menu, with the home folder as working
// directory, still finds its files: next to the executable (a build or an
// unpacked folder), then ../share/vantrel from it (an install under /usr).
//
// Returns the relative path unchanged when the file is in the working
// directory, a path into the data folder otherwise, or an empty text when
// none has it. The executable's folder is known only once a
// QCoreApplication exists; before that only the working directory counts.
QString findDataFile(const QString& relativePath);

// The same search with the executable's folder given; an empty folder
// searches the working directory only.
QString findDataFile(const QString& relativePath, const QString& applicationDir);
