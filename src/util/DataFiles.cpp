#include "util/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString findDataFile(const QString& relativePath)
{
    const QString applicationDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return findDataFile(relativePath, applicationDir);
}

QString findDataFile(const QString& relativePath, const QString& applicationDir)
{
    if (relativePath.isEmpty())
        return QString();
    if (QFileInfo::exists(relativePath))
        return relativePath;
    if (applicationDir.isEmpty())
        return QString();

    const QDir dir(applicationDir);
    const QString candidates[] = {
        dir.filePath(relativePath),
        dir.filePath(QStringLiteral("../share/vantrel/") + relativePath),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QDir::cleanPath(candidate);
    }
    return QString();
}
