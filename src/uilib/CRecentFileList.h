#pragma once
#include <QString>
#include <QStringList>

class QSettings;

// The most recently opened files, newest first, kept in the settings under
// one group with entries File1 … FileN.
class CRecentFileList
{
public:
    explicit CRecentFileList(int maxSize = 4, QString section = QStringLiteral("Recent File List"));

    void ReadList(QSettings& settings);
    void WriteList(QSettings& settings) const;
    // Moves `path` to the front (adding it when new) and drops the oldest
    // entry beyond the size.
    void Add(const QString& path);
    void Remove(int index);

    const QStringList& files() const { return entries; }
    int maxSize() const { return size; }

private:
    int size;
    QString section;
    QStringList entries;
};
