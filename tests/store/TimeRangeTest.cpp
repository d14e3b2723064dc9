#include "common/TestFiles.h"
#include "store/CDataOperator.h"
#include "store/OutputNames.h"
#include "store/SampleGenerator.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void open(CDataOperator& store, const QString& path)
{
    store.setRowsPerPage(1000);
    int kind = 0;
    ASSERT_EQ(store.openDataFile(path, kind), 0);
}

} // namespace

TEST(TimeRange, TextTimesCompareAsTextBothEndsIncluded)
{
    TempFolder t;
    const QString path = t.path("t.db");
    execSql(path, "CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime TEXT, v REAL);"
                  "INSERT INTO DataGrpData VALUES(1, '2021-05-06 09:59:59', 1), (2, '2021-05-06 10:00:00', 2),"
                  " (3, '2021-05-06 10:00:00.500', 3), (4, '2021-05-06 09:00:00', 4);");
    CDataOperator store;
    open(store, path);
    const QString out = t.path("out.db");
    ASSERT_EQ(store.exportTimeRange(out, "2021-05-06 09:00:00", "2021-05-06 10:00:00"), 0);
    EXPECT_EQ(queryRows(out, "SELECT k FROM DataGrpData"), (std::vector<QString>{"1", "2", "4"}));
    EXPECT_EQ(queryRows(out, "SELECT typeof(k), typeof(v) FROM DataGrpData LIMIT 1"),
              (std::vector<QString>{"text|text"}));
}

TEST(TimeRange, MillisecondBoundsAreWholeSeconds)
{
    TempFolder t;
    const QString path = t.path("ms.db");
    const qint64 ten = QDateTime(QDate(2021, 5, 6), QTime(10, 0)).toMSecsSinceEpoch();
    execSql(path, QStringLiteral("CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime INTEGER, v REAL);"
                                 "INSERT INTO DataGrpData VALUES(1, %1, 1), (2, %2, 2), (3, %3, 3);")
                      .arg(ten - 1000).arg(ten).arg(ten + 1));
    CDataOperator store;
    open(store, path);
    const QString out = t.path("out.db");
    ASSERT_EQ(store.exportTimeRange(out, "2021-05-06 09:59:59", "2021-05-06 10:00:00"), 0);
    EXPECT_EQ(queryRows(out, "SELECT k, CollectTime FROM DataGrpData"),
              (std::vector<QString>{QStringLiteral("1|%1").arg(ten - 1000), QStringLiteral("2|%1").arg(ten)}));
}

TEST(TimeRange, UllTimeCopiedAndHiddenAgain)
{
    TempFolder t;
    SampleOptions o;
    o.ullTime = true;
    o.rows = 100;
    const QString path = t.path("u.db");
    ASSERT_EQ(writeSampleFile(path, o), 0);
    CDataOperator store;
    open(store, path);
    const QString out = t.path("out.db");
    ASSERT_EQ(store.exportTimeRange(out, "2026-01-01 08:00:10", "2026-01-01 08:00:19"), 0);
    EXPECT_EQ(queryRows(out, "SELECT group_concat(name || ' ' || type) FROM pragma_table_info('DataGrpData')"),
              (std::vector<QString>{"RecordNo TEXT,ullTime TEXT,CollectTime TEXT,Value1 TEXT,Value2 TEXT,"
                                    "Value3 TEXT,Value4 TEXT"}));
    CDataOperator extracted;
    open(extracted, out);
    EXPECT_EQ(extracted.recordCount, 10);
    EXPECT_FALSE(extracted.page.columns.contains("ullTime"));
    QStringList row;
    ASSERT_EQ(extracted.addRecord(row), 0);
    EXPECT_EQ(row.front(), "21") << "TEXT keys compared as numbers";
}

TEST(TimeRange, FailuresLeaveNoFileBehind)
{
    TempFolder t;
    SampleOptions o;
    o.rows = 10;
    const QString path = t.path("s.db");
    ASSERT_EQ(writeSampleFile(path, o), 0);
    CDataOperator store;
    open(store, path);

    EXPECT_EQ(store.exportTimeRange(t.path("none.db"), "2020-01-01 00:00:00", "2020-01-02 00:00:00"), -2);
    EXPECT_FALSE(QFile::exists(t.path("none.db")));
    EXPECT_EQ(store.exportTimeRange(t.path("no/such/folder.db"), "2026-01-01 08:00:00", "2026-01-01 09:00:00"), -3);

    // A file already holding the table: the extraction fails and the file
    // that was there stays as it was.
    const QString existing = t.path("existing.db");
    ASSERT_EQ(store.exportTimeRange(existing, "2026-01-01 08:00:00", "2026-01-01 08:00:01"), 0);
    const QByteArray before = readAll(existing);
    EXPECT_EQ(store.exportTimeRange(existing, "2026-01-01 08:00:00", "2026-01-01 08:00:05"), -3);
    EXPECT_EQ(readAll(existing), before);

    // A table without CollectTime.
    const QString other = t.path("other.db");
    execSql(other, "CREATE TABLE Logs(k INTEGER PRIMARY KEY, t TEXT); INSERT INTO Logs VALUES(1, 'x')");
    CDataOperator logs;
    open(logs, other);
    EXPECT_EQ(logs.exportTimeRange(t.path("x.db"), "2026-01-01 08:00:00", "2026-01-01 09:00:00"), -3);
    EXPECT_FALSE(QFile::exists(t.path("x.db")));
}

TEST(OutputNames, TitlesAndFreeNames)
{
    EXPECT_EQ(fileTitle("/data/line.v2/Line1_3.db"), "Line1_3");
    EXPECT_EQ(fileTitle("/data/archive.tar.db"), "archive");
    TempFolder t;
    const QString wanted = t.path("Line1_100.db");
    EXPECT_EQ(freeFileName(wanted), wanted);
    writeAll(wanted, "x");
    EXPECT_EQ(freeFileName(wanted), t.path("Line1_100_1.db"));
    writeAll(t.path("Line1_100_1.db"), "x");
    EXPECT_EQ(freeFileName(wanted), t.path("Line1_100_2.db"));
    EXPECT_EQ(queryOutputPath(t.path("Line1.db"), 100), t.path("Line1_100_2.db"));
}
