#include "LogCapture.h"

#include "util/Log.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace logcapture {
namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString logPath()
{
    return folder().filePath(QStringLiteral("i18n.log"));
}

qint64 readOffset = 0;

class LogEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(folder().isValid());
        const QString config = folder().filePath(QStringLiteral("log4cplus.cfg"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("log4cplus.rootLogger=ERROR, CAPTURE\n"
                   "log4cplus.appender.CAPTURE=log4cplus::FileAppender\n"
                   "log4cplus.appender.CAPTURE.File=" + logPath().toUtf8() + "\n"
                   "log4cplus.appender.CAPTURE.ImmediateFlush=true\n"
                   "log4cplus.appender.CAPTURE.layout=log4cplus::PatternLayout\n"
                   "log4cplus.appender.CAPTURE.layout.ConversionPattern=%m%n\n");
        file.close();
        ASSERT_TRUE(vlog::configure(config.toStdString()));
    }
};

[[maybe_unused]] const auto* registered =
    ::testing::AddGlobalTestEnvironment(new LogEnvironment);

} // namespace

QStringList takeNewEntries()
{
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.seek(readOffset);
    const QByteArray added = file.readAll();
    readOffset += added.size();
    return QString::fromUtf8(added).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace logcapture
