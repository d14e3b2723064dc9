#include "common/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

TEST(Cli, InfoOfEachKind)
{
    TempFolder t;
    ASSERT_EQ(runCli({"sample", "samples", t.path("s.db"), "--rows", "2500", "--ulltime", "--numeric-time"}).exitCode, 0);
    const CliResult info = runCli({"info", t.path("s.db"), "--rows-per-page", "1000"});
    EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_EQ(info.out, "kind: SampleData\n"
                        "table: DataGrpData\n"
                        "columns: RecordNo,CollectTime,Value1,Value2,Value3,Value4\n"
                        "records: 2500\n"
                        "pages: 3\n"
                        "time: milliseconds\n");
    ASSERT_EQ(runCli({"sample", "alarms", t.path("a.db"), "--rows", "10"}).exitCode, 0);
    const CliResult alarms = runCli({"info", t.path("a.db")});
    EXPECT_TRUE(alarms.out.startsWith("kind: AlarmData\ntable: AlarmTable\n")) << alarms.out.toStdString();
    ASSERT_EQ(runCli({"sample", "oplog", t.path("o.db")}).exitCode, 0);
    EXPECT_TRUE(runCli({"info", t.path("o.db")}).out.startsWith("kind: OperationLog\n"));
}

TEST(Cli, FailuresAndUsage)
{
    TempFolder t;
    writeAll(t.path("text.db"), "hello");
    const struct {
        QStringList args;
        int exitCode;
        const char* errorPart;
    } cases[] = {
        {{}, 2, "no command"},
        {{"frobnicate"}, 2, "unknown command"},
        {{"info"}, 2, "usage"},
        {{"info", t.path("s.db"), "--rows-per-page", "0"}, 2, "--rows-per-page"},
        {{"info", t.path("missing.db")}, 1, "missing.db: no such file"},
        {{"info", t.path("text.db")}, 1, "text.db: not a data-record file"},
        {{"info", t.root()}, 1, "is a folder"},
        {{"query", t.path("text.db"), "2026-01-01", "2026-01-02"}, 2, "START and END"},
        {{"query", t.path("text.db"), "2026-01-02 00:00:00", "2026-01-01 00:00:00"}, 2, "START lies after END"},
        {{"sample", "planets", t.path("p.db")}, 2, "unknown sample kind"},
    };
    for (const auto& c : cases) {
        const CliResult r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.errorPart))) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n') <= 2, true) << "a failure is one line: " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
}

TEST(Cli, QueryWritesBesideTheFileUnderAFreeName)
{
    TempFolder t;
    const QString src = t.path("Line.1.db");
    ASSERT_EQ(runCli({"sample", "samples", src, "--rows", "100"}).exitCode, 0);
    const CliResult a = runCli({"query", src, "2026-01-01 08:00:10", "2026-01-01 08:00:19"});
    const CliResult b = runCli({"query", src, "2026-01-01 08:00:10", "2026-01-01 08:00:19"});
    ASSERT_EQ(a.exitCode, 0) << a.err.toStdString();
    ASSERT_EQ(b.exitCode, 0) << b.err.toStdString();
    const QString first = a.out.trimmed();
    const QString second = b.out.trimmed();
    EXPECT_TRUE(first.startsWith(t.path("Line_"))) << first.toStdString();
    EXPECT_NE(first, second);
    EXPECT_EQ(queryRows(first, "SELECT count(*) FROM DataGrpData").front(), "10");
    EXPECT_EQ(queryRows(second, "SELECT count(*) FROM DataGrpData").front(), "10");

    const CliResult none = runCli({"query", src, "2020-01-01 00:00:00", "2020-01-01 00:00:01", "--out", t.path("n.db")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("no record lies between")) << none.err.toStdString();
    EXPECT_FALSE(QFile::exists(t.path("n.db")));

    ASSERT_EQ(runCli({"sample", "alarms", t.path("a.db")}).exitCode, 0);
    EXPECT_EQ(runCli({"query", t.path("a.db"), "2026-01-01 08:00:10", "2026-01-01 08:00:19"}).exitCode, 1);
}

TEST(Cli, SeriesFolder)
{
    TempFolder t;
    ASSERT_EQ(runCli({"sample", "series", t.path("Line 7"), "--rows", "10", "--files", "3"}).exitCode, 0);
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(QFile::exists(t.path(QStringLiteral("Line 7/Line 7_%1.db").arg(i))));
}
