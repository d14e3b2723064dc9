// vantrel-cli merge, run as a separate process the way scripts call it.
#include "MergeFixture.h"
#include "common/TestFiles.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace mergetest;

namespace {

class MergeCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        source = dir.filePath(QStringLiteral("Line 1"));
        out = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(source);
        QDir().mkpath(out);
        for (int n : {2, 1})
            writeSeriesFile(QStringLiteral("%1/Line 1_%2.db").arg(source).arg(n), 3, n);
        writeSeriesFile(source + QStringLiteral("/Line 1_x.db"), 1, 9);
    }

    QTemporaryDir dir;
    QString source;
    QString out;
};

} // namespace

TEST_F(MergeCommand, PrintsPathAndCounts)
{
    // A relative FILE still names its folder, and so the series.
    const CliResult r = runCli({QStringLiteral("merge"), QStringLiteral("Line 1/Line 1_1.db"), out}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString merged = out + QStringLiteral("/Line 1Merge.db");
    EXPECT_EQ(r.out, merged + QStringLiteral("\nmerged: 2\nskipped: 1\n"));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(scalar(merged, "select count(*), max(RecordNo), group_concat(Value1) from DataGrpData"),
              "6|6|1.0,1.0,1.0,2.0,2.0,2.0");
}

TEST_F(MergeCommand, ExitStatusAndOneLineOnFailure)
{
    writeSeriesFile(dir.filePath(QStringLiteral("loose.db")), 1, 1);
    exec(source + QStringLiteral("/noTable.db"), "create table Other(x, y);");
    const QString chosen = source + QStringLiteral("/Line 1_1.db");
    const struct {
        const char* what;
        QStringList args;
        int exitCode;
        QString inMessage;
    } cases[] = {
        {"no arguments", {}, 2, QString()},
        {"one argument", {chosen}, 2, QString()},
        {"three arguments", {chosen, out, out}, 2, QString()},
        {"an option", {chosen, QStringLiteral("--force")}, 2, QString()},
        {"missing file", {source + QStringLiteral("/gone.db"), out}, 1, source + QStringLiteral("/gone.db")},
        {"missing output folder", {chosen, dir.filePath(QStringLiteral("nowhere"))}, 1,
         dir.filePath(QStringLiteral("nowhere"))},
        {"no series beside the file", {dir.filePath(QStringLiteral("loose.db")), out}, 1,
         QStringLiteral("no data-record files to merge")},
        {"chosen file without DataGrpData", {source + QStringLiteral("/noTable.db"), out}, 1,
         QStringLiteral("noTable.db: SQLITE_ERROR[1]: no such table: DataGrpData")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliResult r = runCli(QStringList{QStringLiteral("merge")} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        if (c.exitCode == 1) {
            EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(c.inMessage)) << r.err.toStdString();
        }
    }
    EXPECT_TRUE(QDir(out).isEmpty());
}
