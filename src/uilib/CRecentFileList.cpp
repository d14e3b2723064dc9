#include "uilib/CRecentFileList.h"

#include <QSettings>

CRecentFileList::CRecentFileList(int maxSize, QString section)
    : size(maxSize), section(std::move(section))
{
}

void CRecentFileList::ReadList(QSettings& settings)
{
    entries.clear();
    settings.beginGroup(section);
    for (int i = 1; i <= size; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !entries.contains(path))
            entries.append(path);
    }
    settings.endGroup();
}

void CRecentFileList::WriteList(QSettings& settings) const
{
    settings.beginGroup(section);
    settings.remove(QString());
    for (int i = 0; i < entries.size(); ++i)
        settings.setValue(QStringLiteral("File%1").arg(i + 1), entries[i]);
    settings.endGroup();
    settings.sync();
}

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    entries.removeAll(path);
    entries.prepend(path);
    while (entries.size() > size)
        entries.removeLast();
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < entries.size())
        entries.removeAt(index);
}
