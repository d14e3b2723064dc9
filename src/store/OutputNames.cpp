#include "store/OutputNames.h"

#include "util/PathUtil.h"

#include <QDir>
#include <QFileInfo>

QString fileTitle(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.indexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString freeFileName(const QString& path)
{
    if (!pathExists(path))
        return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const QString stem = path.left(path.size() - suffix.size());
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(suffix);
        if (!pathExists(candidate))
            return candidate;
    }
}

QString queryOutputPath(const QString& userFile, qint64 nowSeconds)
{
    const QString folder = QFileInfo(userFile).absolutePath();
    const QString name = QStringLiteral("%1_%2.db").arg(fileTitle(userFile)).arg(quint32(nowSeconds));
    return freeFileName(folder + QDir::separator() + name);
}
