#include "common/TestFiles.h"
#include "store/CDataOperator.h"
#include "store/SampleGenerator.h"

#include <QDateTime>
#include <QFile>
#include <QFileDevice>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

QString sample(const TempFolder& t, const QString& name, SampleOptions o = {})
{
    const QString path = t.path(name);
    EXPECT_EQ(writeSampleFile(path, o), 0);
    return path;
}

void open(CDataOperator& store, const QString& path)
{
    store.setRowsPerPage(1000);
    int kind = 0;
    ASSERT_EQ(store.openDataFile(path, kind), 0);
}

// Close enough to "now" that the record was written by this call.
bool isNow(const QString& timeText)
{
    const QDateTime t = QDateTime::fromString(timeText.left(19), "yyyy-MM-dd HH:mm:ss");
    return t.isValid() && qAbs(t.secsTo(QDateTime::currentDateTime())) <= 5;
}

} // namespace

TEST(RecordEditing, AddWritesDefaultsAndNow)
{
    const struct {
        const char* name;
        bool ullTime;
        bool numeric;
    } cases[] = {{"text", false, false}, {"ulltime", true, false}, {"numeric", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder t;
        SampleOptions o;
        o.rows = 5;
        o.valueColumns = 2;
        o.ullTime = c.ullTime;
        o.numericTime = c.numeric;
        const QString path = sample(t, "f.db", o);
        CDataOperator store;
        open(store, path);
        QStringList row;
        ASSERT_EQ(store.addRecord(row), 0);
        ASSERT_EQ(row.size(), 4);
        EXPECT_EQ(row[0], "6");
        EXPECT_TRUE(isNow(row[1])) << row[1].toStdString();
        EXPECT_EQ(row[1].endsWith(".000"), c.numeric);
        EXPECT_EQ(row.mid(2), (QStringList{"0", "0"}));

        const QString stored = queryRows(path, "SELECT * FROM DataGrpData WHERE RecordNo = 6").front();
        const QStringList cells = stored.split(u'|');
        if (c.ullTime) {
            EXPECT_EQ(cells[1], "0");
        }
        const QString time = cells[c.ullTime ? 2 : 1];
        EXPECT_EQ(time, c.numeric ? CDataOperator::timeTextToMs(row[1]) : row[1]);
        EXPECT_EQ(store.recordCount, 5) << "an add changed the record count";
    }
}

// Keys of extracted and imported files are TEXT: the next key after '9' and
// '10' is 11, not 10 again.
TEST(RecordEditing, AddAfterTextKeysTakesLargestNumber)
{
    TempFolder t;
    const QString path = t.path("text.db");
    execSql(path, "CREATE TABLE DataGrpData(k TEXT, CollectTime TEXT, v TEXT);"
                  "INSERT INTO DataGrpData VALUES('9', '2026-01-01 00:00:00', '1'), ('10', '2026-01-01 00:00:01', '2');");
    CDataOperator store;
    open(store, path);
    QStringList row;
    ASSERT_EQ(store.addRecord(row), 0);
    EXPECT_EQ(row.front(), "11");
}

TEST(RecordEditing, DeleteAndAddResults)
{
    TempFolder t;
    SampleOptions o;
    o.rows = 2;
    const QString path = sample(t, "d.db", o);
    CDataOperator store;
    open(store, path);
    EXPECT_EQ(store.deleteRecord(77), -1);
    EXPECT_EQ(store.deleteRecord(1), 0);
    EXPECT_EQ(store.page.rows.count(1), 0u);
    EXPECT_EQ(store.deleteRecord(2), 0);
    QStringList row;
    EXPECT_EQ(store.addRecord(row), -1) << "add to an emptied table";
    EXPECT_EQ(store.updateCell(1, "Value1", "3", false), -1);
}

TEST(RecordEditing, UpdateCellStoresMillisecondFractions)
{
    TempFolder t;
    SampleOptions o;
    o.rows = 3;
    o.numericTime = true;
    const QString path = sample(t, "n.db", o);
    CDataOperator store;
    open(store, path);
    const QString second = CDataOperator::timeTextToMs("2026-02-03 04:05:06");
    const struct {
        const char* text;
        const char* lastDigits;
    } cases[] = {{"2026-02-03 04:05:06.456", "456"}, {"2026-02-03 04:05:06.4", "400"},
                 {"2026-02-03 04:05:06.12", "120"}, {"2026-02-03 04:05:06", "000"}};
    for (const auto& c : cases) {
        ASSERT_EQ(store.updateCell(2, "CollectTime", c.text, true), 0);
        const QString stored = queryRows(path, "SELECT CollectTime FROM DataGrpData WHERE RecordNo = 2").front();
        EXPECT_EQ(stored, second.left(second.size() - 3) + c.lastDigits) << c.text;
        EXPECT_EQ(store.page.rows.at(2).front(), QString::fromUtf8(c.text)) << "page shows the text as given";
    }
    EXPECT_EQ(store.updateCell(2, "Value1", "12.5", false), 0);
    EXPECT_EQ(queryRows(path, "SELECT Value1 FROM DataGrpData WHERE RecordNo = 2").front(), "12.5");
}

TEST(RecordEditing, UpdateOfSideColumnFails)
{
    TempFolder t;
    SampleOptions o;
    o.kind = SampleOptions::Alarms;
    o.rows = 4;
    const QString path = sample(t, "a.db", o);
    CDataOperator store;
    open(store, path);
    EXPECT_EQ(store.updateCell(1, "Operator", "x", false), -3);
    EXPECT_EQ(store.page.rows.at(1).back(), "admin");
}

// Table and column names with quotes and blanks, values with quotes.
TEST(RecordEditing, OddNamesAndValues)
{
    TempFolder t;
    const QString path = t.path("odd.db");
    execSql(path, "CREATE TABLE [my \"data\" table]([rec no] INTEGER PRIMARY KEY, CollectTime TEXT, [it's] TEXT);"
                  "INSERT INTO [my \"data\" table] VALUES(1, '2026-01-01 00:00:00', 'a');");
    CDataOperator store;
    open(store, path);
    EXPECT_EQ(store.tableName, "my \"data\" table");
    EXPECT_EQ(store.updateCell(1, "it's", "o'clock", false), 0);
    QStringList row;
    EXPECT_EQ(store.addRecord(row), 0);
    EXPECT_EQ(store.deleteRecord(1), 0);
    EXPECT_EQ(queryRows(path, "SELECT * FROM [my \"data\" table]"), (std::vector<QString>{"2|0|0"}));
    EXPECT_EQ(store.readPage(1), 0);
}

TEST(RecordEditing, ReadOnlyAndLockedFilesRefuseEdits)
{
    TempFolder t;
    SampleOptions o;
    o.rows = 3;
    const QString path = sample(t, "ro.db", o);
    const QByteArray before = readAll(path);

    // A file the user may not write: chmod where it binds (not for root),
    // and SQLite's own read-only switch, which binds for everyone.
    for (const bool queryOnly : {false, true}) {
        if (!queryOnly && geteuid() == 0)
            continue;
        if (!queryOnly)
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        CDataOperator store;
        open(store, path);
        if (queryOnly)
            store.db.execUpdate("PRAGMA query_only = ON");
        QStringList row;
        EXPECT_LT(store.addRecord(row), 0);
        EXPECT_LT(store.deleteRecord(1), 0);
        EXPECT_LT(store.updateCell(1, "Value1", "5", false), 0);
        EXPECT_EQ(store.page.rows.count(1), 1u);
        EXPECT_EQ(store.page.rows.at(1).at(1), queryRows(path, "SELECT Value1 FROM DataGrpData WHERE RecordNo = 1").front());
        store.closeDataFile();
        EXPECT_EQ(readAll(path), before);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // Another process holds the write lock: the edit waits out the busy
    // timeout and is refused.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    CDataOperator store;
    store.setRowsPerPage(1000);
    int kind = 0;
    // Opening reads: an exclusive lock blocks that too.
    sqlite3_exec(other, "COMMIT; BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    ASSERT_EQ(store.openDataFile(path, kind), 0);
    store.db.setBusyTimeout(200);
    QStringList row;
    EXPECT_LT(store.addRecord(row), 0);
    EXPECT_LT(store.updateCell(1, "Value1", "5", false), 0);
    EXPECT_LT(store.deleteRecord(1), 0);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    store.closeDataFile();
    EXPECT_EQ(readAll(path), before);
}
