#include "util/PathUtil.h"

#include <QFileInfo>

bool pathExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo::exists(path);
}

QString getFileExtension(QString path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot == path.size() - 1)
        return QString();
    return path.mid(dot + 1);
}
