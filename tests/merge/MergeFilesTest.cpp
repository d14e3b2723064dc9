// Merging a numbered series of data-record files, on series generated into
// a temporary folder.
#include "merge/MergeFiles.h"

#include "MergeFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mergetest;

namespace {

class Merge : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString folder(const QString& name) const
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(path);
        return path;
    }

    // A series folder <name> with files numbered as given; file n has
    // `count` records tagged n.
    QString series(const QString& name, const std::vector<int>& numbers, int count = 2) const
    {
        const QString path = folder(name);
        for (int n : numbers)
            writeSeriesFile(QStringLiteral("%1/%2_%3.db").arg(path, name).arg(n), count, n);
        return path;
    }

    MergeOutcome merge(const QString& chosenFile, const QString& outputFolder) const
    {
        MergePaths paths;
        paths.chosenFile = chosenFile;
        paths.sourceFolder = sourceFolderOf(chosenFile);
        paths.outputFolder = outputFolder;
        paths.outputPath = outputFolder;
        return runMerge(paths);
    }

    static std::vector<std::string> tagsInKeyOrder(const QString& path)
    {
        return rows(path, "select Value1 from DataGrpData order by RecordNo");
    }

    QTemporaryDir dir;
};

} // namespace

TEST(MergeNames, SequenceNumbers)
{
    const struct {
        const char* text;
        bool accepted;
        int number;
    } cases[] = {
        {"0", true, 0},           {"5", true, 5},         {"00000001", true, 1}, {"99999999", true, 99999999},
        {"100000000", false, 0},  {"123456789", false, 0}, {"", false, 0},       {"a", false, 0},
        {"1a", false, 0},         {"-1", false, 0},       {"+1", false, 0},      {" 1", false, 0},
        {"1.5", false, 0},        {"99999999999999999999999999", false, 0},
        {"\xef\xbc\x91", false, 0}, // a full-width digit one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int number = -1;
        EXPECT_EQ(isSequenceNumber(QString::fromUtf8(c.text), number), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(number, c.number);
        }
    }
}

TEST(MergeNames, FoldersAndRoots)
{
    EXPECT_EQ(sourceFolderOf(QStringLiteral("/data/log/Line1/Line1_2.db")), QStringLiteral("/data/log/Line1"));
    EXPECT_EQ(sourceFolderOf(QStringLiteral("/x.db")), QStringLiteral("/"));
    EXPECT_EQ(sourceFolderOf(QStringLiteral("x.db")), QString());
    for (const char* root : {"/", "//", "D:", "E:"})
        EXPECT_TRUE(isRootFolder(QString::fromLatin1(root))) << root;
    for (const char* folder : {"/data", "D:/log", ":", "a"})
        EXPECT_FALSE(isRootFolder(QString::fromLatin1(folder))) << folder;
}

TEST(MergeSchema, FirstColumnBecomesIntegerPrimaryKey)
{
    const struct {
        const char* schema;
        const char* firstColumn;
        const char* expected;
    } cases[] = {
        {"CREATE TABLE DataGrpData(RecordNo INTEGER,CollectTime TEXT)", "RecordNo",
         "CREATE TABLE DataGrpData(RecordNo INTEGER PRIMARY KEY,CollectTime TEXT)"},
        {"CREATE TABLE DataGrpData('RecordNo' TEXT, CollectTime TEXT)", "RecordNo",
         "CREATE TABLE DataGrpData('RecordNo' INTEGER PRIMARY KEY, CollectTime TEXT)"},
        {"CREATE TABLE DataGrpData(\"RecordNo\" TEXT NOT NULL, V REAL)", "RecordNo",
         "CREATE TABLE DataGrpData(\"RecordNo\" INTEGER PRIMARY KEY, V REAL)"},
        {"CREATE TABLE DataGrpData([Rec No] TEXT, V REAL)", "Rec No",
         "CREATE TABLE DataGrpData([Rec No] INTEGER PRIMARY KEY, V REAL)"},
        // The name also occurs in the table's name; only the column changes.
        {"CREATE TABLE DataGrpData(Data TEXT,V REAL)", "Data",
         "CREATE TABLE DataGrpData(Data INTEGER PRIMARY KEY,V REAL)"},
        // Inner quotes are doubled in the text.
        {"CREATE TABLE DataGrpData(\"a\"\"b\" TEXT,V REAL)", "a\"b",
         "CREATE TABLE DataGrpData(\"a\"\"b\" INTEGER PRIMARY KEY,V REAL)"},
        // A comma inside the type or the name does not end the definition.
        {"CREATE TABLE DataGrpData(Amount DECIMAL(10,2),V REAL)", "Amount",
         "CREATE TABLE DataGrpData(Amount INTEGER PRIMARY KEY,V REAL)"},
        {"CREATE TABLE DataGrpData(\"a,b\" TEXT,V REAL)", "a,b",
         "CREATE TABLE DataGrpData(\"a,b\" INTEGER PRIMARY KEY,V REAL)"},
        // Left as it is when the column cannot be found.
        {"CREATE TABLE DataGrpData(RecordNo INTEGER,V REAL)", "Other",
         "CREATE TABLE DataGrpData(RecordNo INTEGER,V REAL)"},
        {"CREATE TABLE DataGrpData(RecordNo INTEGER)", "RecordNo", "CREATE TABLE DataGrpData(RecordNo INTEGER)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.schema);
        EXPECT_EQ(rewriteFirstColumn(c.schema, c.firstColumn), c.expected);
    }
}

TEST_F(Merge, SeriesInNumberOrderIntoFreeOutputNames)
{
    const QString source = series(QStringLiteral("Line1"), {3, 10, 2});
    const QString out = folder(QStringLiteral("out"));
    const char* const names[] = {"Line1Merge.db", "Line1Merge1.db", "Line1Merge2.db"};
    for (const char* name : names) {
        const MergeOutcome outcome = merge(source + QStringLiteral("/Line1_3.db"), out);
        ASSERT_TRUE(outcome.succeeded()) << outcome.text.toStdString();
        EXPECT_EQ(outcome.outputPath, out + u'/' + QLatin1String(name));
        EXPECT_EQ(outcome.mergedFiles, 3);
        EXPECT_TRUE(outcome.skippedFiles.isEmpty());
        EXPECT_EQ(tagsInKeyOrder(outcome.outputPath),
                  (std::vector<std::string>{"2.0", "2.0", "3.0", "3.0", "10.0", "10.0"}));
        EXPECT_EQ(rows(outcome.outputPath, "select RecordNo, CollectTime from DataGrpData order by RecordNo limit 2"),
                  (std::vector<std::string>{"1|2026-01-01 00:00:11", "2|2026-01-01 00:00:12"}));
    }
    // The first column became the key, so further records get new keys.
    EXPECT_EQ(scalar(out + QStringLiteral("/Line1Merge.db"),
                     "select pk from pragma_table_info('DataGrpData') where name = 'RecordNo'"),
              "1");
}

// SQLite attaches at most ten files to one connection: a merge that kept
// every file attached stopped after the tenth.
TEST_F(Merge, SeriesLongerThanTheAttachLimitMergesWhole)
{
    std::vector<int> numbers;
    for (int n = 1; n <= 15; ++n)
        numbers.push_back(n);
    const QString source = series(QStringLiteral("Line1"), numbers, 3);
    const MergeOutcome outcome = merge(source + QStringLiteral("/Line1_1.db"), folder(QStringLiteral("out")));
    ASSERT_TRUE(outcome.succeeded()) << outcome.text.toStdString();
    EXPECT_EQ(outcome.mergedFiles, 15);
    EXPECT_EQ(scalar(outcome.outputPath, "select count(*), min(RecordNo), max(RecordNo) from DataGrpData"),
              "45|1|45");
    EXPECT_EQ(scalar(outcome.outputPath, "select Value1 from DataGrpData where RecordNo = 45"), "15.0");
    EXPECT_EQ(scalar(outcome.outputPath,
                     "select count(*) from DataGrpData a join DataGrpData b on b.RecordNo = a.RecordNo + 1 "
                     "where b.Value1 < a.Value1"),
              "0");
}

TEST_F(Merge, NamesOutsideTheSeriesAreSkipped)
{
    const QString source = series(QStringLiteral("Line1"), {5});
    for (const char* name : {"Line1_123456789.db", "Line1_a.db", "Line1_.db", "Line1_1.bak.db", "other.db",
                             "Line1-2.db", "Line1_3.db-journal"})
        writeSeriesFile(source + u'/' + QLatin1String(name), 1, 99);
    QDir(source).mkdir(QStringLiteral("Line1_7.db"));

    const MergeOutcome outcome = merge(source + QStringLiteral("/Line1_5.db"), folder(QStringLiteral("out")));
    ASSERT_TRUE(outcome.succeeded()) << outcome.text.toStdString();
    EXPECT_EQ(outcome.mergedFiles, 1);
    EXPECT_EQ(tagsInKeyOrder(outcome.outputPath), (std::vector<std::string>{"5.0", "5.0"}));
    QStringList expected;
    for (const char* name : {"Line1_.db", "Line1_1.bak.db", "Line1_123456789.db", "Line1_a.db"})
        expected << source + u'/' + QLatin1String(name);
    EXPECT_EQ(outcome.skippedFiles, expected);
}

TEST_F(Merge, DuplicateSequenceNumberMergesOneFile)
{
    const QString source = series(QStringLiteral("Line1"), {1, 2});
    writeSeriesFile(source + QStringLiteral("/Line1_01.db"), 2, 99);
    const MergeOutcome outcome = merge(source + QStringLiteral("/Line1_2.db"), folder(QStringLiteral("out")));
    ASSERT_TRUE(outcome.succeeded()) << outcome.text.toStdString();
    EXPECT_EQ(outcome.mergedFiles, 2);
    EXPECT_EQ(tagsInKeyOrder(outcome.outputPath), (std::vector<std::string>{"1.0", "1.0", "2.0", "2.0"}));
    EXPECT_EQ(outcome.skippedFiles, QStringList{source + QStringLiteral("/Line1_01.db")});
}

// The chosen file only supplies the shape; series files of another shape,
// or that are no database at all, are left out and the rest merged.
TEST_F(Merge, FilesOfAnotherShapeAreSkipped)
{
    const QString source = series(QStringLiteral("Line1"), {1, 6});
    writeSeriesFile(source + QStringLiteral("/Line1_2.db"), 2, 2,
                    "CREATE TABLE DataGrpData(RecordNo INTEGER PRIMARY KEY,CollectTime TEXT,Value1 REAL,Value2 "
                    "REAL,Value3 REAL)");
    QFile text(source + QStringLiteral("/Line1_3.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray("RecordNo,CollectTime\n1,2026-01-01\n").repeated(40));
    text.close();
    QFile(source + QStringLiteral("/Line1_4.db")).open(QIODevice::WriteOnly); // empty file
    exec(source + QStringLiteral("/Line1_5.db"), "create table Other(x);");

    // Not a member of the series, only its shape counts.
    const QString chosen = source + QStringLiteral("/pick.db");
    writeSeriesFile(chosen, 1, 0);
    const MergeOutcome outcome = merge(chosen, folder(QStringLiteral("out")));
    ASSERT_TRUE(outcome.succeeded()) << outcome.text.toStdString();
    EXPECT_EQ(outcome.mergedFiles, 2);
    EXPECT_EQ(tagsInKeyOrder(outcome.outputPath), (std::vector<std::string>{"1.0", "1.0", "6.0", "6.0"}));
    QStringList expected;
    for (int n : {2, 3, 4, 5})
        expected << QStringLiteral("%1/Line1_%2.db").arg(source).arg(n);
    EXPECT_EQ(outcome.skippedFiles, expected);
}

TEST_F(Merge, NamesWithQuotesBlanksAndChinese)
{
    const QString name = QStringLiteral("线 'A\" 1");
    const QString source = folder(name);
    const std::string schema =
        "CREATE TABLE DataGrpData(\"Rec \"\"No\"\"\" INTEGER, 'Value ''x''' REAL, \"a,b\" TEXT, [数据 值] REAL)";
    for (int n : {2, 1}) {
        const QString path = QStringLiteral("%1/%2_%3.db").arg(source, name).arg(n);
        exec(path, schema + ";insert into DataGrpData values(7, " + std::to_string(n) +
                       ", 'x''y', 1.5), (8, 0, null, 2.5);");
    }
    const QString out = folder(QStringLiteral("o'ut \"出\""));
    const MergeOutcome outcome = merge(QStringLiteral("%1/%2_2.db").arg(source, name), out);
    ASSERT_TRUE(outcome.succeeded()) << outcome.text.toStdString();
    EXPECT_EQ(outcome.outputPath, QStringLiteral("%1/%2Merge.db").arg(out, name));
    EXPECT_EQ(rows(outcome.outputPath, "select * from DataGrpData order by 1"),
              (std::vector<std::string>{"1|1.0|x'y|1.5", "2|0.0|<null>|2.5", "3|2.0|x'y|1.5", "4|0.0|<null>|2.5"}));
    EXPECT_EQ(scalar(outcome.outputPath, "select name, pk from pragma_table_info('DataGrpData') where cid = 0"),
              "Rec \"No\"|1");
}

TEST_F(Merge, PathChecksAnswerWithTheirMessage)
{
    const QString source = series(QStringLiteral("Line1"), {1});
    const QString chosen = source + QStringLiteral("/Line1_1.db");
    const QString out = folder(QStringLiteral("out"));
    const QString empty = folder(QStringLiteral("Empty"));
    writeSeriesFile(empty + QStringLiteral("/other.db"), 1, 1);
    const QString onlyFolders = folder(QStringLiteral("Line2"));
    QDir(onlyFolders).mkdir(QStringLiteral("Line2_1.db"));
    writeSeriesFile(onlyFolders + QStringLiteral("/x.db"), 1, 1);

    const struct {
        const char* what;
        QString sourceFolder, chosenFile, outputFolder;
        int key;
    } cases[] = {
        {"no source folder", QString(), chosen, out, MergeDlgKey::NoSourceFile},
        {"file-system root", QStringLiteral("/"), chosen, out, MergeDlgKey::SourceIsRoot},
        {"drive root", QStringLiteral("E:"), chosen, out, MergeDlgKey::SourceIsRoot},
        {"no output folder", source, chosen, QString(), MergeDlgKey::NoOutputFolder},
        {"chosen file gone", source, source + QStringLiteral("/gone.db"), out, MergeDlgKey::NoSourceFile},
        {"no series file", empty, empty + QStringLiteral("/other.db"), out, MergeDlgKey::NoSeriesFiles},
        {"only a folder named like one", onlyFolders, onlyFolders + QStringLiteral("/x.db"), out,
         MergeDlgKey::NoSeriesFiles},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const MergeOutcome outcome =
            runMerge({c.sourceFolder, c.chosenFile, c.outputFolder, QStringLiteral("shown")});
        EXPECT_EQ(outcome.messageKey, c.key);
        EXPECT_EQ(outcome.outputPath, QStringLiteral("shown"));
    }
    EXPECT_TRUE(QDir(out).isEmpty());
    EXPECT_FALSE(QFile::exists(source + QStringLiteral("/gone.db")));
}

TEST_F(Merge, ChosenFileProblemsShowTheirText)
{
    const QString source = series(QStringLiteral("Line1"), {1});
    const QString out = folder(QStringLiteral("out"));
    exec(source + QStringLiteral("/noTable.db"), "create table Other(x, y);");
    exec(source + QStringLiteral("/oneColumn.db"), "create table DataGrpData(RecordNo integer primary key);");
    QFile text(source + QStringLiteral("/text.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray("this is no database, only text\n").repeated(64));
    text.close();

    const struct {
        const char* file;
        const char* text;
    } cases[] = {
        {"noTable.db", "SQLITE_ERROR[1]: no such table: DataGrpData"},
        {"oneColumn.db", "Too few columns"},
        {"text.db", "UNKNOWN_ERROR[26]: file is not a database"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString chosen = source + u'/' + QLatin1String(c.file);
        const MergeOutcome outcome = merge(chosen, out);
        EXPECT_EQ(outcome.messageKey, 0);
        EXPECT_EQ(outcome.text.toStdString(), c.text);
        EXPECT_EQ(outcome.failedPath, chosen);
    }
    EXPECT_TRUE(QDir(out).isEmpty());
}

// A merge that fails or is cancelled after the output was named leaves no
// file behind, and no merge ever changes a file of the series.
TEST_F(Merge, FailuresLeaveNoOutputAndSourcesUnchanged)
{
    const QString source = series(QStringLiteral("Line1"), {1, 2, 3});
    const QString chosen = source + QStringLiteral("/Line1_1.db");
    const auto before = snapshot(source);

    const QString missing = dir.filePath(QStringLiteral("missing"));
    MergeOutcome outcome = merge(chosen, missing);
    EXPECT_EQ(outcome.text.toStdString(), "SQLITE_CANTOPEN[14]: unable to open database file");
    EXPECT_EQ(outcome.failedPath, missing + QStringLiteral("/Line1Merge.db"));

    const QString out = folder(QStringLiteral("out"));
    const MergePaths paths{source, chosen, out, out};
    outcome = runMerge(paths, [](int done, int) { return done < 2; });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_TRUE(QDir(out).isEmpty());

    outcome = runMerge(paths);
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(before, snapshot(source));
}

TEST_F(Merge, ReadOnlyOutputFolder)
{
    const QString source = series(QStringLiteral("Line1"), {1});
    const QString out = folder(QStringLiteral("readonly"));
    const auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QFile::setPermissions(out, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(out + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(out, writable);
        GTEST_SKIP() << "folder permissions do not bind this user (root)";
    }
    const MergeOutcome outcome = merge(source + QStringLiteral("/Line1_1.db"), out);
    QFile::setPermissions(out, writable);
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_EQ(outcome.text.toStdString(), "SQLITE_CANTOPEN[14]: unable to open database file");
    EXPECT_TRUE(QDir(out).isEmpty());
}
