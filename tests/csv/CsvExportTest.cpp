#include "common/TestFiles.h"
#include "csv/CsvExport.h"
#include "store/CDataOperator.h"
#include "store/SampleGenerator.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sstream>
#include <unistd.h>

namespace {

const CsvExport::AlarmTextMap noTexts;

// A sample file whose cells hit every rule of the export: quotes, an empty
// cell, NULL, a delimiter, a line feed at the end and one in the middle,
// Chinese text, and a column name of the shown table in Chinese.
QString writeEdgeCaseFile(const TempFolder& folder)
{
    const QString path = folder.path(QStringLiteral("edge.db"));
    execSql(path, QStringLiteral(
        "CREATE TABLE DataGrpData(RecordNo INTEGER PRIMARY KEY, CollectTime TEXT, \"温度\" TEXT, Note TEXT);"
        "INSERT INTO DataGrpData VALUES(2, '2026-01-01 08:00:01', '1.5', 'a\"b');"
        "INSERT INTO DataGrpData VALUES(1, '2026-01-01 08:00:00', '', 'x,y');"
        "INSERT INTO DataGrpData VALUES(3, '2026-01-01 08:00:02', NULL, 'end' || char(10));"
        "INSERT INTO DataGrpData VALUES(4, '2026-01-01 08:00:03', 'a' || char(10) || 'b' || char(10), '中文');"));
    return path;
}

const QByteArray edgeHeader = QByteArray("\"RecordNo\",\"CollectTime\",\"温度\",\"Note\x02\"\r\n");
const QByteArray edgeRecords12 =
    "\"1\",\"2026-01-01 08:00:00\",\"\",\"x,y\"\r\n"
    "\"2\",\"2026-01-01 08:00:01\",\"1.5\",\"a\"\"b\"\r\n";
const QByteArray edgeRecords34 =
    "\"3\",\"2026-01-01 08:00:02\",\"\",\"end\"\r\n"
    "\"4\",\"2026-01-01 08:00:03\",\"a\nb\n\",\"中文\"\r\n";

struct OpenStore {
    CDataOperator store;
    explicit OpenStore(const QString& path, int rowsPerPage)
    {
        store.setRowsPerPage(rowsPerPage);
        int kind = 0;
        EXPECT_EQ(store.openDataFile(path, kind), 0);
    }
    CsvExport::PageView view(const CsvExport::AlarmTextMap& texts = noTexts) const
    {
        return {store.page, store.fileKind, CsvExport::displayColumnCount(store), texts};
    }
};

TEST(CsvExport, PageBytes)
{
    TempFolder folder;
    OpenStore open(writeEdgeCaseFile(folder), 2);
    ASSERT_EQ(open.store.readPage(2), 0);
    const QString out = folder.path(QStringLiteral("page.csv"));
    const CsvResult result = CsvExport::exportPage(out, open.view());
    EXPECT_TRUE(result.ok) << result.detail.toStdString();
    EXPECT_EQ(result.module, QStringLiteral("ExportDlg"));
    EXPECT_EQ(result.key, 13);
    EXPECT_EQ(readAll(out), edgeHeader + edgeRecords34);
}

TEST(CsvExport, AllBytesAndTheStoreBackOnItsPage)
{
    TempFolder folder;
    OpenStore open(writeEdgeCaseFile(folder), 2);
    ASSERT_EQ(open.store.readPage(2), 0);
    const QString out = folder.path(QStringLiteral("all.csv"));
    std::vector<std::pair<qint64, qint64>> calls;
    const CsvResult result = CsvExport::exportAll(out, open.store, 2, open.view(), [&calls](qint64 done, qint64 total) {
        calls.emplace_back(done, total);
        return true;
    });
    EXPECT_TRUE(result.ok) << result.detail.toStdString();
    EXPECT_EQ(result.key, 13);
    EXPECT_EQ(readAll(out), edgeHeader + edgeRecords12 + edgeRecords34);
    EXPECT_EQ(calls, (std::vector<std::pair<qint64, qint64>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(open.store.page.rows.begin()->first, 3); // page 2 again
}

// Each page is put in key order and keeps the first of two records with one
// key, as the page read does; a record never moves to another page.
TEST(CsvExport, AllKeepsThePagesOfThePageRead)
{
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("dup.db"));
    execSql(path, QStringLiteral("CREATE TABLE DataGrpData(RecordNo INTEGER, CollectTime TEXT, V TEXT);"
                                 "INSERT INTO DataGrpData VALUES(2,'t','a'),(1,'t','b'),(1,'t','c'),"
                                 "(3,'t','d'),(5,'t','e'),(4,'t','f'),(1,'t','g');"));
    OpenStore open(path, 3);
    std::ostringstream out;
    ASSERT_TRUE(CsvExport::exportAll(out, open.store, 1, open.view()).ok);
    EXPECT_EQ(out.str(), "\"RecordNo\",\"CollectTime\",\"V\x02\"\r\n"
                         "\"1\",\"t\",\"b\"\r\n\"2\",\"t\",\"a\"\r\n"
                         "\"3\",\"t\",\"d\"\r\n\"4\",\"t\",\"f\"\r\n\"5\",\"t\",\"e\"\r\n"
                         "\"1\",\"t\",\"g\"\r\n");
}

// Export all must equal the header followed by every page exported on its
// own, for every kind of file and page size; this is what the page-by-page
// export gave, whatever way export all reads the file.
TEST(CsvExport, AllEqualsEveryPageInTurn)
{
    struct Case {
        const char* name;
        SampleOptions options;
        int rowsPerPage;
        int alarmLanguage;
    };
    SampleOptions numeric;
    numeric.rows = 23;
    numeric.numericTime = true;
    numeric.ullTime = true;
    SampleOptions alarms;
    alarms.kind = SampleOptions::Alarms;
    alarms.rows = 17;
    SampleOptions oplog;
    oplog.kind = SampleOptions::OperationLogs;
    oplog.rows = 9;
    const std::vector<Case> cases = {
        {"numeric time with ullTime", numeric, 5, -1},
        {"numeric time, one page", numeric, 1000, -1},
        {"alarms with texts", alarms, 4, 1},
        {"alarms with stored IDs", alarms, 4, -1},
        {"operation log", oplog, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const QString path = folder.path(QStringLiteral("f.db"));
        ASSERT_EQ(writeSampleFile(path, c.options), 0);
        OpenStore open(path, c.rowsPerPage);
        const CsvExport::AlarmTextMap& texts = c.alarmLanguage >= 0 ? open.store.alarmTexts.at(c.alarmLanguage) : noTexts;

        std::string expected;
        size_t records = 0;
        for (int p = 1; p <= open.store.pageCount(); ++p) {
            ASSERT_EQ(open.store.readPage(p), 0);
            records += open.store.page.rows.size();
            std::ostringstream page;
            ASSERT_TRUE(CsvExport::exportPage(page, open.view(texts)).ok);
            const std::string bytes = page.str();
            expected += p == 1 ? bytes : bytes.substr(bytes.find("\r\n") + 2);
        }
        ASSERT_EQ(open.store.readPage(1), 0);
        std::ostringstream all;
        ASSERT_TRUE(CsvExport::exportAll(all, open.store, 1, open.view(texts)).ok);
        EXPECT_EQ(all.str(), expected);
        EXPECT_GE(records, size_t(c.options.rows));
    }
}

TEST(CsvExport, AlarmTextReplacesTheFourthFieldOnlyWhenKnown)
{
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("alarms.db"));
    SampleOptions options;
    options.kind = SampleOptions::Alarms;
    options.rows = 6;
    ASSERT_EQ(writeSampleFile(path, options), 0);
    OpenStore open(path, 1000);
    ASSERT_EQ(open.store.fileKind, AlarmData);
    // The view's map, with one ID the panel left without a text and the
    // others missing, so stored IDs must come through.
    const auto& first = *open.store.page.rows.begin();
    CsvExport::AlarmTextMap texts{{first.second[2], QString()}, {QStringLiteral("no such id"), QStringLiteral("x")}};

    std::ostringstream withTexts;
    ASSERT_TRUE(CsvExport::exportPage(withTexts, open.view(texts)).ok);
    std::ostringstream plain;
    ASSERT_TRUE(CsvExport::exportPage(plain, open.view()).ok);

    auto fourthFields = [](const std::string& csv) {
        std::vector<std::string> fields;
        std::istringstream lines(csv);
        std::string line;
        std::getline(lines, line); // header
        while (std::getline(lines, line)) {
            size_t at = 0;
            for (int i = 0; i < 3; ++i)
                at = line.find("\",\"", at) + 3;
            fields.push_back(line.substr(at, line.find('"', at) - at));
        }
        return fields;
    };
    const auto replaced = fourthFields(withTexts.str());
    const auto stored = fourthFields(plain.str());
    ASSERT_EQ(replaced.size(), 6u);
    size_t row = 0;
    for (const auto& [key, cells] : open.store.page.rows) {
        const std::string id = cells[2].toStdString();
        EXPECT_EQ(stored[row], id);
        EXPECT_EQ(replaced[row], cells[2] == first.second[2] ? std::string() : id);
        ++row;
    }
    EXPECT_EQ(plain.str().find('\x02'), std::string::npos); // no marker outside sample files
}

TEST(CsvExport, NothingToExport)
{
    TempFolder folder;
    const QString path = folder.path(QStringLiteral("narrow.db"));
    execSql(path, QStringLiteral("CREATE TABLE DataGrpData(RecordNo INTEGER PRIMARY KEY, CollectTime TEXT);"
                                 "INSERT INTO DataGrpData VALUES(1, 'x');"));
    OpenStore open(path, 10);
    const QString out = folder.path(QStringLiteral("out.csv"));
    const CsvResult result = CsvExport::exportAll(out, open.store, 1, open.view());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.module, QStringLiteral("InfoDlg"));
    EXPECT_EQ(result.key, 7);
    EXPECT_FALSE(QFile::exists(out));
}

// A failed or cancelled export leaves the old file as it was and no
// temporary file beside it.
TEST(CsvExport, OldFileSurvivesEveryFailure)
{
    TempFolder folder;
    OpenStore open(writeEdgeCaseFile(folder), 2);
    const QString oldBytes = QStringLiteral("old content");

    struct Case {
        const char* name;
        std::function<QString()> prepare; // gives the target path
        std::function<CsvResult(const QString&)> run;
        int key;
    };
    auto exportAll = [&open](const QString& path) { return CsvExport::exportAll(path, open.store, 1, open.view()); };
    const std::vector<Case> cases = {
        {"read-only existing file",
         [&] {
             const QString path = folder.path(QStringLiteral("ro.csv"));
             writeAll(path, oldBytes.toUtf8());
             QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
             return path;
         },
         exportAll, 3},
        {"folder that does not exist", [&] { return folder.path(QStringLiteral("missing/x.csv")); }, exportAll, 3},
        {"target is a folder",
         [&] {
             QDir(folder.root()).mkdir(QStringLiteral("sub.csv"));
             return folder.path(QStringLiteral("sub.csv"));
         },
         exportAll, 3},
        {"cancelled",
         [&] {
             const QString path = folder.path(QStringLiteral("cancel.csv"));
             writeAll(path, oldBytes.toUtf8());
             return path;
         },
         [&open](const QString& path) {
             return CsvExport::exportAll(path, open.store, 1, open.view(), [](qint64, qint64) { return false; });
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.prepare();
        const QByteArray before = readAll(path);
        const CsvResult result = c.run(path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.key, c.key);
        EXPECT_EQ(readAll(path), before);
        EXPECT_TRUE(QDir(folder.root()).entryList(QStringList{QStringLiteral(".*.tmp")}, QDir::Hidden | QDir::Files).isEmpty());
    }
}

TEST(CsvExport, ReadOnlyFolder)
{
    TempFolder folder;
    OpenStore open(writeEdgeCaseFile(folder), 2);
    // Root writes into any folder; /proc takes no new files from anyone.
    QString target = QStringLiteral("/proc/vantrel-export.csv");
    if (geteuid() != 0) {
        QDir(folder.root()).mkdir(QStringLiteral("ro"));
        QFile::setPermissions(folder.path(QStringLiteral("ro")), QFile::ReadOwner | QFile::ExeOwner);
        target = folder.path(QStringLiteral("ro/x.csv"));
    }
    const CsvResult result = CsvExport::exportPage(target, open.view());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.key, 3);
    EXPECT_FALSE(QFile::exists(target));
}

TEST(CsvExport, ReplacesAnExistingFileKeepingItsPermissions)
{
    TempFolder folder;
    OpenStore open(writeEdgeCaseFile(folder), 2);
    const QString out = folder.path(QStringLiteral("old.csv"));
    writeAll(out, QByteArray(100000, 'x'));
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadOther;
    QFile::setPermissions(out, permissions);
    ASSERT_TRUE(CsvExport::exportPage(out, open.view()).ok);
    EXPECT_EQ(readAll(out), edgeHeader + edgeRecords12);
    EXPECT_EQ(QFile::permissions(out), permissions);
}

} // namespace
