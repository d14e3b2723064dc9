#pragma once
#include <QString>
#include <QStringList>

// A Windows profile (.ini) file with the semantics of the profile API:
// section and key names compare case-insensitively, the first match wins,
// integers read like GetPrivateProfileInt (optional sign, leading digits),
// a key present with an empty value reads as empty text. Every call reads
// the file afresh because several processes share it without locking.
// Writes keep every other line, create the file and the section as needed,
// and go through a temporary file renamed over the old one, so a crash never
// leaves half a settings file.
class ProfileFile
{
public:
    explicit ProfileFile(QString path);

    int getInt(const QString& section, const QString& key, int defaultValue) const;
    // maxChars plays the part of the caller's buffer: longer values are cut.
    QString getString(const QString& section, const QString& key,
                      const QString& defaultValue, int maxChars = 260) const;
    bool writeString(const QString& section, const QString& key, const QString& value);

    const QString& path() const { return filePath; }

private:
    bool findValue(const QString& section, const QString& key, QString* value) const;
    QStringList readLines() const;

    QString filePath;
};
