#pragma once
#include <QString>

// True when a file or a folder exists at the path; false for an empty path
// without asking the file system.
bool pathExists(const QString& path);

// The text after the last '.' of the whole string (folder separators are not
// special), or empty when there is no '.' or it is the last character.
QString getFileExtension(QString path);
