#include "common/TestFiles.h"
#include "store/CDataOperator.h"
#include "store/SampleGenerator.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// The runner pins TZ=Asia/Shanghai (UTC+8, no daylight saving), so local
// record times are eight hours ahead of UTC.
constexpr qint64 kShanghai = 8 * 3600 * 1000LL;

QString sampleFile(const TempFolder& t, const QString& name, SampleOptions o = {})
{
    const QString path = t.path(name);
    QString error;
    EXPECT_EQ(writeSampleFile(path, o, &error), 0) << error.toStdString();
    return path;
}

struct Opened {
    int result;
    int kind;
};

Opened openStore(CDataOperator& store, const QString& path, int rowsPerPage = 1000)
{
    store.setRowsPerPage(rowsPerPage);
    int kind = -99;
    const int result = store.openDataFile(path, kind);
    return {result, kind};
}

} // namespace

TEST(DataOperatorOpen, KindsAndShownTable)
{
    TempFolder t;
    SampleOptions alarms;
    alarms.kind = SampleOptions::Alarms;
    SampleOptions logs;
    logs.kind = SampleOptions::OperationLogs;
    const QString other = t.path("first.db");
    execSql(other, "CREATE TABLE Extra(k INTEGER PRIMARY KEY, v TEXT); INSERT INTO Extra VALUES(1,'x');"
                   "CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime TEXT);");

    const struct {
        QString path;
        int kind;
        const char* table;
    } cases[] = {
        {sampleFile(t, "s.db"), SampleData, "DataGrpData"},
        {sampleFile(t, "a.db", alarms), AlarmData, "AlarmTable"},
        {sampleFile(t, "o.db", logs), OperationLog, "NewUserOperationLogs"},
        // The first table of the schema is shown, whatever decided the kind.
        {other, SampleData, "Extra"},
    };
    for (const auto& c : cases) {
        CDataOperator store;
        const Opened o = openStore(store, c.path);
        EXPECT_EQ(o.result, 0) << c.table;
        EXPECT_EQ(o.kind, c.kind) << c.table;
        EXPECT_EQ(store.tableName, QString::fromUtf8(c.table));
        EXPECT_FALSE(store.page.rows.empty());
    }
}

TEST(DataOperatorOpen, BadInputGivesResultCodes)
{
    TempFolder t;
    writeAll(t.path("empty.db"), "");
    writeAll(t.path("text.db"), "this is not a database\n");
    const QString good = sampleFile(t, "good.db");
    QByteArray truncated = readAll(good).left(1500);
    writeAll(t.path("truncated.db"), truncated);
    QByteArray corrupted = readAll(good);
    corrupted.replace(100, 4000, QByteArray(4000, '\xA5'));
    writeAll(t.path("corrupted.db"), corrupted);
    execSql(t.path("notables.db"), "PRAGMA user_version=3");
    execSql(t.path("norecords.db"), "CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime TEXT)");

    const struct {
        QString path;
        int result;
        int recordCount;
    } cases[] = {
        {QString(), -1, -1},
        {t.path("missing.db"), -1, -1},
        {t.root(), -2, -1},
        {t.path("empty.db"), -2, -1},
        {t.path("text.db"), -2, -1},
        {t.path("truncated.db"), -2, -1},
        {t.path("corrupted.db"), -2, -1},
        {t.path("notables.db"), -2, -1},
        {t.path("norecords.db"), -2, 0},
    };
    for (const auto& c : cases) {
        const QByteArray before = readAll(c.path);
        CDataOperator store;
        const Opened o = openStore(store, c.path);
        EXPECT_EQ(o.result, c.result) << c.path.toStdString();
        EXPECT_EQ(o.kind, -99) << "kind written on failure";
        EXPECT_EQ(store.recordCount, c.recordCount) << c.path.toStdString();
        store.closeDataFile();
        EXPECT_EQ(readAll(c.path), before) << "opening changed " << c.path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(t.path("missing.db"))) << "a failed open created the file";
}

TEST(DataOperatorTime, StoredFormsShownAsRecordTimeText)
{
    TempFolder t;
    const QString path = t.path("times.db");
    // 2021-05-06 07:08:09.123 local time, as milliseconds since 1970 UTC.
    const qint64 ms = QDateTime(QDate(2021, 5, 6), QTime(7, 8, 9, 123)).toMSecsSinceEpoch();
    execSql(path, QStringLiteral("CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime, v REAL);"
                                 "INSERT INTO DataGrpData VALUES(1, %1, 1.5);").arg(ms));
    CDataOperator store;
    ASSERT_EQ(openStore(store, path).result, 0);
    EXPECT_TRUE(store.numericTime);
    EXPECT_EQ(store.page.rows.at(1), (QStringList{"2021-05-06 07:08:09.123", "1.5"}));

    const QString text = t.path("text.db");
    execSql(text, "CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime TEXT, v REAL);"
                  "INSERT INTO DataGrpData VALUES(1, '2021-05-06 07:08:09', 2);");
    CDataOperator textStore;
    ASSERT_EQ(openStore(textStore, text).result, 0);
    EXPECT_FALSE(textStore.numericTime);
    EXPECT_EQ(textStore.page.rows.at(1).front(), "2021-05-06 07:08:09");
}

TEST(DataOperatorTime, ConversionBothWays)
{
    EXPECT_EQ(CDataOperator::msToTimeText("999"), "1970-01-01 08:00:00.999");
    EXPECT_EQ(CDataOperator::msToTimeText(""), "");
    const QString ms = QString::number(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)).toMSecsSinceEpoch());
    EXPECT_EQ(CDataOperator::timeTextToMs("2026-03-04 05:06:07"), ms);
    EXPECT_EQ(CDataOperator::timeTextToMs("2026-03-04 05:06:07.891"), ms);
    EXPECT_TRUE(CDataOperator::timeTextToMs("2026-03-04").isEmpty());
    EXPECT_EQ(CDataOperator::msToTimeText(QString::number(1767225600000LL + 500)), "2026-01-01 08:00:00.500");
    (void)kShanghai;
}

// A NULL first CollectTime must not make the store read real time texts as
// milliseconds (they would all show as 1970).
TEST(DataOperatorTime, NullOrTextFirstTimeDoesNotMeanMilliseconds)
{
    TempFolder t;
    const QString path = t.path("null.db");
    execSql(path, "CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime TEXT, v REAL);"
                  "INSERT INTO DataGrpData VALUES(1, NULL, 1), (2, '2021-05-06 07:08:09', 2), (3, 'n/a', 3);");
    CDataOperator store;
    ASSERT_EQ(openStore(store, path).result, 0);
    EXPECT_FALSE(store.numericTime);
    EXPECT_EQ(store.page.rows.at(1).front(), "");
    EXPECT_EQ(store.page.rows.at(2).front(), "2021-05-06 07:08:09");
}

TEST(DataOperatorPages, LastPageAndBeyond)
{
    TempFolder t;
    SampleOptions o;
    o.rows = 2500;
    const QString path = sampleFile(t, "p.db", o);
    CDataOperator store;
    ASSERT_EQ(openStore(store, path, 1000).result, 0);
    EXPECT_EQ(store.pageCount(), 3);
    EXPECT_EQ(store.readPage(3), 0);
    EXPECT_EQ(store.page.rows.size(), 500u);
    EXPECT_EQ(store.page.rows.begin()->first, 2001);
    EXPECT_EQ(store.readPage(4), -2);
    EXPECT_EQ(store.page.rows.size(), 500u) << "a failed read replaced the page";
    EXPECT_EQ(store.readPage(0), -1);
}

TEST(DataOperatorPages, UllTimeHidden)
{
    TempFolder t;
    SampleOptions o;
    o.ullTime = true;
    o.numericTime = true;
    const QString path = sampleFile(t, "u.db", o);
    CDataOperator store;
    ASSERT_EQ(openStore(store, path).result, 0);
    EXPECT_EQ(store.ullTimeIndex, 1);
    EXPECT_EQ(store.collectTimeIndex, 2);
    EXPECT_FALSE(store.page.columns.contains("ullTime"));
    EXPECT_EQ(store.page.rows.at(1).size(), store.columnCount - 2);
    EXPECT_EQ(store.page.rows.at(1).front(), "2026-01-01 08:00:00.000");
}

// Every page read by rowid range must hold what "select * ... limit" gives,
// whatever the table looks like, also after records were deleted and added.
TEST(DataOperatorPages, SameRecordsAsOffsetReading)
{
    TempFolder t;
    const struct {
        const char* name;
        const char* create;
        bool rowid;
    } tables[] = {
        {"plain", "CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime TEXT, v REAL)", true},
        {"textkeys", "CREATE TABLE DataGrpData(k TEXT, CollectTime TEXT, v REAL)", true},
        {"withoutrowid", "CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime TEXT, v REAL) WITHOUT ROWID", false},
        {"rowidcolumns", "CREATE TABLE DataGrpData(rowid INT, oid INT, _rowid_ INT, CollectTime TEXT)", false},
        {"shadowedrowid", "CREATE TABLE DataGrpData(rowid TEXT, CollectTime TEXT, v REAL)", true},
        {"coveringindex", "CREATE TABLE DataGrpData(k INTEGER PRIMARY KEY, CollectTime TEXT, v REAL);"
                          "CREATE INDEX i ON DataGrpData(v, CollectTime)", true},
    };
    for (const auto& table : tables) {
        SCOPED_TRACE(table.name);
        const QString path = t.path(QString::fromUtf8(table.name) + ".db");
        execSql(path, QString::fromUtf8(table.create));
        // Keys out of insertion order, gaps and duplicate keys.
        QString insert = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                         "INSERT INTO DataGrpData SELECT (i * 7919) % 1009, '2026-01-01 00:00:00', i % 13";
        if (QByteArray(table.name) == "rowidcolumns")
            insert = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                     "INSERT INTO DataGrpData SELECT (i * 7919) % 1009, i, i, '2026-01-01 00:00:00'";
        if (!table.rowid && QByteArray(table.name) == "withoutrowid")
            insert += " FROM n";
        else
            insert += " FROM n";
        execSql(path, insert + "; DELETE FROM DataGrpData WHERE CollectTime IS NULL");
        if (QByteArray(table.name) != "withoutrowid" && QByteArray(table.name) != "rowidcolumns")
            execSql(path, "DELETE FROM DataGrpData WHERE rowid % 17 = 0");

        CDataOperator store;
        ASSERT_EQ(openStore(store, path, 64).result, 0);
        EXPECT_EQ(store.readsByRowid(), table.rowid);

        auto expectPagesMatch = [&](const char* when) {
            SCOPED_TRACE(when);
            const int records = int(queryRows(path, "SELECT count(*) FROM DataGrpData").front().toInt());
            for (int p = 1; p <= (records + 63) / 64 + 1; ++p) {
                const int rc = store.readPage(p);
                const auto expected = queryRows(path, QStringLiteral("select * from DataGrpData limit %1,64").arg((p - 1) * 64));
                if (expected.empty()) {
                    EXPECT_EQ(rc, -2) << "page " << p;
                    continue;
                }
                ASSERT_EQ(rc, 0) << "page " << p;
                std::map<int, QStringList> want;
                for (const QString& row : expected) {
                    QStringList cells = row.split(u'|');
                    const int key = cells.takeFirst().toInt();
                    for (QString& c : cells)
                        if (c == "<null>")
                            c.clear();
                    want.emplace(key, cells);
                }
                EXPECT_EQ(store.page.rows, want) << "page " << p;
            }
        };
        expectPagesMatch("at open");
        store.readPage(3);
        const int someKey = store.page.rows.begin()->first;
        ASSERT_EQ(store.deleteRecord(someKey), 0);
        expectPagesMatch("after a delete");
        if (table.rowid) {
            QStringList row;
            ASSERT_EQ(store.addRecord(row), 0);
            expectPagesMatch("after an add");
        }
    }
}

TEST(DataOperatorAlarms, TextsSideTableAndTimes)
{
    TempFolder t;
    SampleOptions o;
    o.kind = SampleOptions::Alarms;
    o.rows = 30;
    o.numericTime = true;
    const QString path = sampleFile(t, "a.db", o);
    CDataOperator store;
    ASSERT_EQ(openStore(store, path, 10).result, 0);
    ASSERT_EQ(store.alarmTexts.size(), 8u);
    EXPECT_EQ(store.alarmTexts.at(1).at("3"), "Main motor overload");
    EXPECT_EQ(store.alarmTexts.at(0).at("3"), QString::fromUtf8("主电机过载"));
    ASSERT_EQ(store.readPage(2), 0);
    ASSERT_EQ(store.readPage(1), 0);
    EXPECT_EQ(store.page.columns.count("ConfirmTime"), 1) << "side columns added more than once";
    EXPECT_EQ(store.page.columns.size(), 7 + 2);
    const QStringList& first = store.page.rows.at(1);
    ASSERT_EQ(first.size(), 6 + 2);
    EXPECT_EQ(first[1], "2026-01-01 08:00:00.000");   // TriggerTime, column 2
    EXPECT_EQ(first[4], "2026-01-01 08:00:30.000");   // RecoverTime, column 5
    EXPECT_EQ(first[6], "2026-01-01 08:01:00.000");   // side ConfirmTime
    EXPECT_EQ(first[2], "1");                          // alarm ID stays as stored
}

TEST(DataOperatorAlarms, MalformedTextTableLeavesTextsEmpty)
{
    const char* textTables[] = {
        "CREATE TABLE AlarmTextTable(ID, a, b, c, d, e, f, g)",
        "CREATE TABLE AlarmTextTable(ID, a, b, c, d, e, f, g, h, i)",
        "CREATE TABLE AlarmTextTable(Id, a, b, c, d, e, f, g, h)",
    };
    for (const char* create : textTables) {
        TempFolder t;
        const QString path = t.path("a.db");
        execSql(path, QStringLiteral("CREATE TABLE AlarmTable(k INTEGER PRIMARY KEY, g, t, id, s, r);"
                                     "INSERT INTO AlarmTable VALUES(1, 0, '2026-01-01 00:00:00', '1', 0, '');"
                                     "%1; INSERT INTO AlarmTextTable(rowid) VALUES(1)").arg(create));
        CDataOperator store;
        ASSERT_EQ(openStore(store, path).result, 0) << create;
        EXPECT_TRUE(store.alarmTexts.empty()) << create;
    }
}
