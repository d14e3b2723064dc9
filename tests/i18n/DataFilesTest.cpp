#include "util/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs a test in another working directory and always comes back, so a
// failing assertion cannot leave later tests in the wrong folder.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const QString& path) : previous(QDir::currentPath())
    {
        EXPECT_TRUE(QDir::setCurrent(path));
    }
    ~WorkingDirectory() { QDir::setCurrent(previous); }

private:
    QString previous;
};

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(DataFilesTest, WorkingDirectoryFirstThenNextToTheExecutableThenShare)
{
    const QString relative = QStringLiteral("Language/Language.xml");
    enum Where { WorkDir = 1, AppDir = 2, Share = 4 };
    const struct {
        const char* name;
        int placed;
        const char* expected; // "work", "app", "share" or "" for not found
    } cases[] = {
        {"nowhere", 0, ""},
        {"working directory only", WorkDir, "work"},
        {"next to the executable only", AppDir, "app"},
        {"share folder only", Share, "share"},
        {"working directory wins", WorkDir | AppDir | Share, "work"},
        {"executable folder before share", AppDir | Share, "app"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        const QString work = root.filePath(QStringLiteral("home"));
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        const QString share = root.filePath(QStringLiteral("usr/share/vantrel"));
        QDir().mkpath(work);
        QDir().mkpath(bin);
        if (c.placed & WorkDir)
            touch(work + u'/' + relative);
        if (c.placed & AppDir)
            touch(bin + u'/' + relative);
        if (c.placed & Share)
            touch(share + u'/' + relative);

        WorkingDirectory inWork(work);
        const QString found = findDataFile(relative, bin);
        const QString where = QString::fromLatin1(c.expected);
        if (where.isEmpty())
            EXPECT_EQ(found, QString());
        else if (where == u"work")
            EXPECT_EQ(found, relative); // stays relative, as settings paths do
        else
            EXPECT_EQ(found, QDir::cleanPath((where == u"app" ? bin : share) + u'/' + relative));
    }
}

TEST(DataFilesTest, WithoutExecutableFolderOnlyTheWorkingDirectoryCounts)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    touch(root.filePath(QStringLiteral("bin/log4cplus.cfg")));
    WorkingDirectory inRoot(root.path());
    EXPECT_EQ(findDataFile(QStringLiteral("log4cplus.cfg"), QString()), QString());
    EXPECT_EQ(findDataFile(QString(), root.filePath(QStringLiteral("bin"))), QString());
}

} // namespace
