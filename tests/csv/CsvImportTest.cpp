#include "common/TestFiles.h"
#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "store/CDataOperator.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QStringList dataFiles(const TempFolder& folder)
{
    return QDir(folder.root()).entryList(QStringList{QStringLiteral("*.db*")}, QDir::Files);
}

QStringList columnNames(const QString& db, const QString& table)
{
    QStringList names;
    for (const QString& row : queryRows(db, QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table)))
        names << row;
    return names;
}

std::map<int, QStringList> allRows(const QString& path, QStringList* columns)
{
    CDataOperator store;
    store.setRowsPerPage(3);
    int kind = 0;
    EXPECT_EQ(store.openDataFile(path, kind), 0);
    std::map<int, QStringList> rows;
    for (int p = 1; p <= store.pageCount(); ++p) {
        EXPECT_EQ(store.readPage(p), 0);
        rows.insert(store.page.rows.begin(), store.page.rows.end());
    }
    *columns = store.page.columns;
    return rows;
}

// Export a sample file with Chinese names and texts, import the CSV, and
// every cell and name must come back.
TEST(CsvImport, RoundTripOfASampleFile)
{
    TempFolder folder;
    const QString source = folder.path(QStringLiteral("source.db"));
    execSql(source, QStringLiteral(
        "CREATE TABLE DataGrpData(\"序号\" INTEGER PRIMARY KEY, CollectTime TEXT, \"温度,°C\" REAL, \"说明 \"\"备注\"\"\" TEXT);"
        "INSERT INTO DataGrpData VALUES(1, '2026-01-01 08:00:00', 21.5, '正常');"
        "INSERT INTO DataGrpData VALUES(2, '2026-01-01 08:00:01', -3, '引号\"和,逗号');"
        "INSERT INTO DataGrpData VALUES(3, '2026-01-01 08:00:02', NULL, '换行' || char(10) || '中间');"
        "INSERT INTO DataGrpData VALUES(4, '2026-01-01 08:00:03', 0.125, '');"
        "INSERT INTO DataGrpData VALUES(5, '2026-01-01 08:00:04', 1e20, 'x');"));
    CDataOperator store;
    store.setRowsPerPage(2);
    int kind = 0;
    ASSERT_EQ(store.openDataFile(source, kind), 0);
    const QString csv = folder.path(QStringLiteral("export.csv"));
    const CsvExport::AlarmTextMap noTexts;
    ASSERT_TRUE(CsvExport::exportAll(csv, store, 1,
                                     {store.page, store.fileKind, CsvExport::displayColumnCount(store), noTexts}).ok);

    const CsvResult result = CsvImport::importCsv(csv);
    ASSERT_TRUE(result.ok) << result.detail.toStdString();
    EXPECT_EQ(QFileInfo(result.newPath).absolutePath(), QFileInfo(csv).absolutePath());
    EXPECT_EQ(columnNames(result.newPath, QStringLiteral("DataGrpData")),
              (QStringList{QStringLiteral("序号"), QStringLiteral("CollectTime"), QStringLiteral("温度,°C"),
                           QStringLiteral("说明 \"备注\"")}));

    QStringList sourceColumns;
    QStringList importedColumns;
    const auto expected = allRows(source, &sourceColumns);
    const auto imported = allRows(result.newPath, &importedColumns);
    EXPECT_EQ(importedColumns, sourceColumns);
    EXPECT_EQ(imported, expected);
    EXPECT_EQ(imported.size(), 5u);
}

struct BadInputCase {
    const char* name;
    QByteArray csv;
    bool ok;
    QString table;            // when ok
    QStringList columns;      // when ok
    std::vector<QString> rows; // when ok, cells joined by '|'
    QString detailContains;   // when failed
};

class CsvImportInput : public ::testing::TestWithParam<BadInputCase> {};

// Every case either gives the table it should or fails with "ExportDlg" 23
// and leaves no data-record file behind.
TEST_P(CsvImportInput, GivesTheTableOrFailsCleanly)
{
    const BadInputCase& c = GetParam();
    TempFolder folder;
    const QString csv = folder.path(QStringLiteral("in.csv"));
    writeAll(csv, c.csv);
    const CsvResult result = CsvImport::importCsv(csv);
    if (!c.ok) {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.module, QStringLiteral("ExportDlg"));
        EXPECT_EQ(result.key, 23);
        EXPECT_TRUE(result.detail.contains(c.detailContains)) << result.detail.toStdString();
        EXPECT_TRUE(dataFiles(folder).isEmpty()) << dataFiles(folder).join(u' ').toStdString();
        return;
    }
    ASSERT_TRUE(result.ok) << result.detail.toStdString();
    EXPECT_EQ(columnNames(result.newPath, c.table), c.columns);
    EXPECT_EQ(queryRows(result.newPath, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(c.table)), c.rows);
}

QByteArray threeThousandColumns()
{
    QByteArray header;
    for (int i = 0; i < 3000; ++i)
        header += (i ? "," : "") + QByteArray("c") + QByteArray::number(i);
    return header + "\n1\n";
}

const QString bigField(1 << 20, u'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvImportInput,
    ::testing::Values(
        BadInputCase{"EmptyFile", "", false, {}, {}, {}, QStringLiteral("no header")},
        BadInputCase{"OnlyByteOrderMark", "\xEF\xBB\xBF", false, {}, {}, {}, QStringLiteral("no header")},
        BadInputCase{"HeaderOnly", "a,b\n", true, QStringLiteral("Data"), {"a", "b"}, {}, {}},
        BadInputCase{"ByteOrderMarkNotInTheFirstName", "\xEF\xBB\xBFid,v\n1,2\n", true, QStringLiteral("Data"),
                     {"id", "v"}, {"1|2"}, {}},
        BadInputCase{"TrailingEmptyHeaderFieldIsNoMarker", "ID,Name,\n1,x,y\n", true, QStringLiteral("Data"),
                     {"ID", "Name", ""}, {"1|x|y"}, {}},
        BadInputCase{"MarkerGivesDataGrpData", "\"k\",\"v\x02\"\r\n\"1\",\"2\"\r\n", true,
                     QStringLiteral("DataGrpData"), {"k", "v"}, {"1|2"}, {}},
        BadInputCase{"NamesWithQuotesCommasLineBreaksAndChinese",
                     "\"it's\",\"a\"\"b\",\"x,y\",\"l1\nl2\",温度\n1,2,3,4,5\n", true, QStringLiteral("Data"),
                     {"it's", "a\"b", "x,y", "l1\nl2", "温度"}, {"1|2|3|4|5"}, {}},
        BadInputCase{"ShortRecordsGetNull", "a,b,c\n1,2,3\n4\n5,6\n", true, QStringLiteral("Data"), {"a", "b", "c"},
                     {"1|2|3", "4|<null>|<null>", "5|6|<null>"}, {}},
        BadInputCase{"LongRecordFails", "a,b\n1,2\n3,4,5\n", false, {}, {}, {}, QStringLiteral("record 3 has 3 fields")},
        BadInputCase{"CarriageReturns", "a,b\r1,2\r3,4\r", true, QStringLiteral("Data"), {"a", "b"}, {"1|2", "3|4"}, {}},
        BadInputCase{"CrLf", "a,b\r\n1,2\r\n3,4", true, QStringLiteral("Data"), {"a", "b"}, {"1|2", "3|4"}, {}},
        BadInputCase{"UnclosedQuoteAtTheEnd", "a,b\n1,\"open\n", true, QStringLiteral("Data"), {"a", "b"},
                     {"1|open\n"}, {}},
        BadInputCase{"NulEndsTheField", QByteArray("a,b\n1,x\0y\n", 10), true, QStringLiteral("Data"), {"a", "b"},
                     {"1|x"}, {}},
        BadInputCase{"InvalidUtf8IsReplaced", "a,b\n1,\xFF\xFEz\xC3\n", true, QStringLiteral("Data"), {"a", "b"},
                     {QStringLiteral("1|\uFFFD\uFFFDz\uFFFD")}, {}},
        BadInputCase{"VeryLongField", "a,b\n1," + bigField.toLatin1() + "\n", true, QStringLiteral("Data"),
                     {"a", "b"}, {"1|" + bigField}, {}},
        BadInputCase{"DuplicateNamesFail", "a,a\n1,2\n", false, {}, {}, {}, QStringLiteral("duplicate")},
        BadInputCase{"MoreColumnsThanSQLiteAllows", threeThousandColumns(), false, {}, {}, {},
                     QStringLiteral("too many columns")}),
    [](const ::testing::TestParamInfo<BadInputCase>& info) { return std::string(info.param.name); });

TEST(CsvImport, MissingFileOrFolder)
{
    TempFolder folder;
    const CsvResult missing = CsvImport::importCsv(folder.path(QStringLiteral("none.csv")));
    EXPECT_EQ(missing.key, 21);
    const CsvResult isFolder = CsvImport::importCsv(folder.root());
    EXPECT_EQ(isFolder.key, 22);
    EXPECT_TRUE(dataFiles(folder).isEmpty());
}

TEST(CsvImport, NamesAreFreeWithinOneSecond)
{
    TempFolder folder;
    const QString csv = folder.path(QStringLiteral("in.csv"));
    EXPECT_EQ(CsvImport::newDataFilePath(csv, 42u), folder.path(QStringLiteral("42.db")));
    writeAll(folder.path(QStringLiteral("42.db")), "");
    writeAll(folder.path(QStringLiteral("42_1.db")), "");
    EXPECT_EQ(CsvImport::newDataFilePath(csv, 42u), folder.path(QStringLiteral("42_2.db")));

    writeAll(csv, "a,b\n1,2\n");
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        const CsvResult result = CsvImport::importCsv(csv);
        ASSERT_TRUE(result.ok) << result.detail.toStdString();
        paths << result.newPath;
    }
    paths.removeDuplicates();
    EXPECT_EQ(paths.size(), 3);
    for (const QString& path : paths)
        EXPECT_EQ(queryRows(path, QStringLiteral("SELECT * FROM Data")), std::vector<QString>{"1|2"});
}

TEST(CsvImport, CancelAndExistingOutputLeaveNothing)
{
    TempFolder folder;
    const QString csv = folder.path(QStringLiteral("in.csv"));
    QByteArray text = "a,b\n";
    for (int i = 0; i < 20000; ++i)
        text += QByteArray::number(i) + ",x\n";
    writeAll(csv, text);

    const CsvResult cancelled = CsvImport::importCsv(csv, QString(), [](qint64, qint64) { return false; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(dataFiles(folder).isEmpty());

    const QString out = folder.path(QStringLiteral("taken.db"));
    writeAll(out, "keep");
    const CsvResult taken = CsvImport::importCsv(csv, out);
    EXPECT_EQ(taken.key, 23);
    EXPECT_EQ(readAll(out), QByteArray("keep"));

    qint64 lastDone = 0;
    qint64 lastTotal = -1;
    const CsvResult done = CsvImport::importCsv(csv, folder.path(QStringLiteral("new.db")), [&](qint64 d, qint64 t) {
        lastDone = d;
        lastTotal = t;
        return true;
    });
    ASSERT_TRUE(done.ok);
    EXPECT_EQ(lastDone, text.size());
    EXPECT_EQ(lastTotal, text.size());
    EXPECT_EQ(queryRows(done.newPath, QStringLiteral("SELECT count(*) FROM Data")), std::vector<QString>{"20000"});
}

TEST(CsvImport, ReadOnlyFolder)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root creates files in read-only folders";
    TempFolder folder;
    const QString csv = folder.path(QStringLiteral("in.csv"));
    writeAll(csv, "a,b\n1,2\n");
    QFile::setPermissions(folder.root(), QFile::ReadOwner | QFile::ExeOwner);
    const CsvResult result = CsvImport::importCsv(csv);
    QFile::setPermissions(folder.root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(result.key, 23);
    EXPECT_TRUE(dataFiles(folder).isEmpty());
}

} // namespace
