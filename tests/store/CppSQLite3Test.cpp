// Edge cases of the wide access layer, and the code-name table both families
// share.
#include "store/CppSQLite3.h"
#include "store/CppSQLite3A.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CppSQLite3Wide : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db.open(dir.filePath(QStringLiteral("wide.db")));
        db.execUpdate(QStringLiteral("create table t(id integer primary key, name text, v real)"));
    }

    QTemporaryDir dir;
    CppSQLite3DB db;
};

} // namespace

TEST(CppSQLite3CodeNames, BothFamiliesNameCodesAlike)
{
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {0, "SQLITE_OK"},          {1, "SQLITE_ERROR"},       {5, "SQLITE_BUSY"},
        {17, "SQLITE_SCHEMA"},     {25, "SQLITE_RANGE"},      {26, "UNKNOWN_ERROR"},
        {100, "SQLITE_ROW"},       {101, "SQLITE_DONE"},      {1000, "CPPSQLITE_ERROR"},
        {2067, "UNKNOWN_ERROR"}, // SQLITE_CONSTRAINT_UNIQUE: extended codes have no name
        {-1, "UNKNOWN_ERROR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string expected = std::string(c.name) + "[" + std::to_string(c.code) + "]: some text";
        EXPECT_EQ(CppSQLite3Exception(c.code, QStringLiteral("some text")).message().toStdString(), expected);
        EXPECT_EQ(CppSQLite3ExceptionA(c.code, "some text").message(), expected);
        EXPECT_EQ(CppSQLite3ExceptionA(c.code, "some text").code(), c.code);
    }
    // No text leaves the colon and blank at the end.
    EXPECT_EQ(CppSQLite3Exception(1, QString()).message(), QStringLiteral("SQLITE_ERROR[1]: "));
    EXPECT_EQ(CppSQLite3ExceptionA(1, static_cast<const char*>(nullptr)).message(), "SQLITE_ERROR[1]: ");
}

TEST_F(CppSQLite3Wide, QueryWithoutRowsIsAtEndAndKeepsColumnCount)
{
    CppSQLite3Query q = db.query(QStringLiteral("select id, name, v from t where id > 5"));
    EXPECT_TRUE(q.atEnd());
    EXPECT_EQ(q.columnCount(), 3);
    EXPECT_EQ(db.queryInt(QStringLiteral("select count(*) from t")), 0);
}

TEST_F(CppSQLite3Wide, BeginAndCommitReturnZero)
{
    EXPECT_EQ(db.execUpdate(QStringLiteral("begin")), 0);
    EXPECT_EQ(db.execUpdate(QStringLiteral("insert into t(name) values('a')")), 0);
    EXPECT_EQ(db.execUpdate(QStringLiteral("commit")), 0);
}

TEST_F(CppSQLite3Wide, MissingTableThrowsSqliteErrorWithItsText)
{
    for (const auto& run : {std::function<void()>([&] { db.execUpdate(QStringLiteral("delete from nope")); }),
                            std::function<void()>([&] { db.query(QStringLiteral("select * from nope")); })}) {
        try {
            run();
            ADD_FAILURE() << "no exception";
        } catch (const CppSQLite3Exception& e) {
            EXPECT_EQ(e.code(), 1);
            EXPECT_EQ(e.message(), QStringLiteral("SQLITE_ERROR[1]: no such table: nope"));
        }
    }
}

TEST_F(CppSQLite3Wide, PreparedInsertRepeatsAfterNewBinds)
{
    CppSQLite3Statement insert = db.prepare(QStringLiteral("insert into t(name, v) values(?, ?)"));
    for (int i = 0; i < 3; ++i) {
        insert.bindText(1, QStringLiteral("名字 %1").arg(i));
        insert.bindDouble(2, i + 0.5);
        EXPECT_EQ(insert.execute(), 1);
    }
    EXPECT_EQ(db.queryInt(QStringLiteral("select count(*) from t")), 3);
    EXPECT_EQ(db.query(QStringLiteral("select name from t where id = 3")).text(0), QStringLiteral("名字 2"));
}

TEST_F(CppSQLite3Wide, CopiedCursorTakesTheStatement)
{
    db.execUpdate(QStringLiteral("insert into t(name) values('a'), ('b')"));
    CppSQLite3Query source = db.query(QStringLiteral("select name from t order by id"));
    CppSQLite3Query target(source);
    source.release(); // holds nothing any more: does nothing
    EXPECT_THROW(source.atEnd(), CppSQLite3Exception);
    EXPECT_EQ(target.text(0), QStringLiteral("a"));
    target.next();
    EXPECT_EQ(target.text(0), QStringLiteral("b"));
    target.next();
    EXPECT_TRUE(target.atEnd());
}

// The wide hasTable quotes the name as a literal, so a quote in a table name
// is looked up instead of breaking the SQL.
TEST_F(CppSQLite3Wide, HasTableWithQuoteInName)
{
    db.execUpdate(QStringLiteral("create table \"it's\"(x)"));
    EXPECT_TRUE(db.hasTable(QStringLiteral("it's")));
    EXPECT_TRUE(db.hasTable(QStringLiteral("t")));
    EXPECT_FALSE(db.hasTable(QStringLiteral("it")));
}
