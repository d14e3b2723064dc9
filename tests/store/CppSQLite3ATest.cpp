// The narrow (UTF-8) access layer: where it differs from the wide family,
// and the ownership rules that keep statements and result arrays from being
// freed twice.
#include "store/CppSQLite3A.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

class CppSQLite3Narrow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("narrow.db")).toStdString();
        db.open(path);
        db.execUpdate("create table t(id integer primary key, name text, v real, b blob)");
    }

    void fill()
    {
        db.execUpdate("insert into t(name, v, b) values('a', 1.5, x'0102'), (null, null, null), ('c', 3, x'')");
    }

    // Runs `call` and returns the exception's message, or "(none)".
    static std::string messageOf(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const CppSQLite3ExceptionA& e) {
            return e.message();
        }
        return "(none)";
    }

    QTemporaryDir dir;
    std::string path;
    CppSQLite3DBA db;
};

} // namespace

TEST_F(CppSQLite3Narrow, ClosedConnectionThrowsDatabaseNotOpen)
{
    CppSQLite3DBA closed;
    const std::function<void()> calls[] = {
        [&] { closed.execUpdate("select 1"); },
        [&] { closed.query("select 1"); },
        [&] { closed.queryInt("select 1"); },
        [&] { closed.queryTable("select 1"); },
        [&] { closed.hasTable("t"); },
        [&] { closed.prepare("select 1"); },
        [&] { closed.lastInsertRowId(); },
    };
    for (const auto& call : calls)
        EXPECT_EQ(messageOf(call), "CPPSQLITE_ERROR[1000]: Database not open");
    closed.close(); // closing a closed connection does nothing
}

TEST_F(CppSQLite3Narrow, OpenFailureCarriesSqliteText)
{
    CppSQLite3DBA other;
    EXPECT_EQ(messageOf([&] { other.open(path + ".missing/x.db"); }),
              "SQLITE_CANTOPEN[14]: unable to open database file");
    EXPECT_FALSE(other.isOpen());
}

TEST_F(CppSQLite3Narrow, ExecUpdateReturnsChangedRows)
{
    EXPECT_EQ(db.execUpdate("insert into t(name) values('a'), ('b'), ('c')"), 3);
    EXPECT_EQ(db.execUpdate("update t set v = 1 where name <> 'a'"), 2);
    EXPECT_EQ(db.lastInsertRowId(), 3);
}

TEST_F(CppSQLite3Narrow, ErrorsByWhereTheyHappen)
{
    // A compile failure has no text of its own, but the connection still
    // says why until the next call.
    EXPECT_EQ(messageOf([&] { db.query("select * from nope"); }), "SQLITE_ERROR[1]: ");
    EXPECT_STREQ(sqlite3_errmsg(db.handle()), "no such table: nope");
    EXPECT_EQ(messageOf([&] { db.prepare("selec 1"); }), "SQLITE_ERROR[1]: ");
    // sqlite3_exec gives its own text.
    EXPECT_EQ(messageOf([&] { db.execUpdate("delete from nope"); }), "SQLITE_ERROR[1]: no such table: nope");
    EXPECT_EQ(messageOf([&] { db.queryTable("select * from nope"); }), "SQLITE_ERROR[1]: no such table: nope");
    // A failing first step: the finalize result with the connection's text.
    EXPECT_EQ(messageOf([&] { db.query("select abs(-9223372036854775808)"); }),
              "SQLITE_ERROR[1]: integer overflow");
    EXPECT_EQ(messageOf([&] { db.query(" -- nothing"); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(CppSQLite3Narrow, FailingNextDropsTheStatement)
{
    CppSQLite3QueryA q = db.query("select 1 union all select abs(-9223372036854775808)");
    EXPECT_EQ(q.intOr(0), 1);
    EXPECT_EQ(messageOf([&] { q.next(); }), "SQLITE_ERROR[1]: integer overflow");
    EXPECT_EQ(messageOf([&] { q.atEnd(); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
    q.release();
}

TEST_F(CppSQLite3Narrow, QueryIntCases)
{
    EXPECT_EQ(db.queryInt("select count(*) from t"), 0);
    EXPECT_EQ(db.queryInt("select null"), 0);
    EXPECT_EQ(db.queryInt("select '42abc'"), 42);
    EXPECT_EQ(messageOf([&] { db.queryInt("select id from t"); }), "CPPSQLITE_ERROR[1000]: Invalid scalar query");
}

TEST_F(CppSQLite3Narrow, HasTableQuotesTheName)
{
    db.execUpdate("create table \"it's\"(x)");
    EXPECT_TRUE(db.hasTable("it's"));
    EXPECT_TRUE(db.hasTable("t"));
    EXPECT_FALSE(db.hasTable("it"));
    EXPECT_FALSE(db.hasTable("x' or '1'='1"));
}

TEST_F(CppSQLite3Narrow, CursorReadsEveryKindOfValue)
{
    fill();
    CppSQLite3QueryA q = db.query("select id, name, v, b from t order by id");
    ASSERT_EQ(q.columnCount(), 4);
    EXPECT_STREQ(q.columnName(1), "name");
    EXPECT_STRCASEEQ(q.columnDeclType(2), "real");
    EXPECT_EQ(q.columnIndex("b"), 3);
    EXPECT_EQ(q.columnType(2), SQLITE_FLOAT);
    EXPECT_STREQ(q.text(1), "a");
    EXPECT_DOUBLE_EQ(q.doubleOr("v"), 1.5);
    EXPECT_EQ(q.int64Or(0), 1);
    int length = -1;
    const unsigned char* data = q.blob(3, length);
    ASSERT_EQ(length, 2);
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(data[1], 2);

    q.next();
    EXPECT_TRUE(q.isNull("name"));
    EXPECT_EQ(q.text(1), nullptr);
    EXPECT_STREQ(q.textOr(1, "dflt"), "dflt");
    EXPECT_EQ(q.intOr("v", -7), -7);
    EXPECT_DOUBLE_EQ(q.doubleOr(2, 2.5), 2.5);
    EXPECT_EQ(q.int64Or("b", 9), 9);

    q.next();
    q.next();
    EXPECT_TRUE(q.atEnd());

    const std::function<void()> bad[] = {[&] { q.text(-1); }, [&] { q.text(4); }, [&] { q.columnName(4); },
                                         [&] { q.isNull(4); }};
    for (const auto& call : bad)
        EXPECT_EQ(messageOf(call), "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(messageOf([&] { q.columnIndex("Name"); }), "CPPSQLITE_ERROR[1000]: Invalid field name requested");
}

TEST_F(CppSQLite3Narrow, CopiedOrAssignedCursorTakesTheStatement)
{
    fill();
    CppSQLite3QueryA source = db.query("select id from t order by id");
    CppSQLite3QueryA target(source);
    source.release(); // does nothing: the source holds no statement
    EXPECT_EQ(messageOf([&] { source.text(0); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
    EXPECT_EQ(target.intOr(0), 1);

    // Assigning over a cursor that owns a statement finalizes that one.
    CppSQLite3QueryA other = db.query("select 10");
    other = target;
    EXPECT_EQ(other.intOr(0), 1);
    other.next();
    EXPECT_EQ(other.intOr(0), 2);
    EXPECT_EQ(messageOf([&] { target.next(); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
    other.release();
    EXPECT_EQ(messageOf([&] { other.atEnd(); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(CppSQLite3Narrow, PreparedStatementRepeatsAndSurvivesAFailure)
{
    CppSQLite3StatementA insert = db.prepare("insert into t(id, name, v, b) values(?, ?, ?, ?)");
    for (int i = 1; i <= 3; ++i) {
        insert.bindInt64(1, i);
        insert.bindText(2, "名字");
        insert.bindDouble(3, i * 1.5);
        insert.bindBlob(4, "\x01\x00\x02", 3);
        EXPECT_EQ(insert.execute(), 1);
    }
    // A duplicate key: the reset's code and text, and the statement stays
    // ready for the next binds.
    insert.bindInt(1, 2);
    EXPECT_EQ(messageOf([&] { insert.execute(); }), "SQLITE_CONSTRAINT[19]: UNIQUE constraint failed: t.id");
    insert.bindInt(1, 4);
    insert.bindNull(2);
    EXPECT_EQ(insert.execute(), 1);
    EXPECT_EQ(messageOf([&] { insert.bindInt(5, 0); }), "SQLITE_RANGE[25]: Error binding int param");
    EXPECT_EQ(messageOf([&] { insert.bindText(0, "x"); }), "SQLITE_RANGE[25]: Error binding string param");
    EXPECT_EQ(db.queryInt("select count(*) from t where name = '名字' and length(b) = 3"), 3);

    CppSQLite3StatementA moved(insert);
    EXPECT_EQ(insert.handle(), nullptr);
    insert.release(); // nothing to release
    insert.reset();
    EXPECT_EQ(messageOf([&] { insert.execute(); }), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
    moved.release();
    EXPECT_EQ(moved.handle(), nullptr);
}

TEST_F(CppSQLite3Narrow, ExecuteQueryGivesACursorThatDoesNotOwn)
{
    fill();
    CppSQLite3StatementA select = db.prepare("select name from t where id = ?");
    for (const auto& [id, expected] : {std::pair{1, "a"}, std::pair{3, "c"}}) {
        select.bindInt(1, id);
        CppSQLite3QueryA q = select.executeQuery();
        ASSERT_FALSE(q.atEnd());
        EXPECT_STREQ(q.text(0), expected);
        q.release(); // the statement stays with its owner
        select.reset();
    }
    select.bindInt(1, 99);
    EXPECT_TRUE(select.executeQuery().atEnd());
}

TEST_F(CppSQLite3Narrow, TableHoldsTheWholeResult)
{
    fill();
    CppSQLite3Table table = db.queryTable("select id, name, v from t order by id");
    ASSERT_EQ(table.rowCount(), 3);
    ASSERT_EQ(table.columnCount(), 3);
    EXPECT_STREQ(table.columnName(2), "v");
    EXPECT_STREQ(table.text("name"), "a");
    EXPECT_DOUBLE_EQ(table.doubleOr(2), 1.5);
    table.setRow(1);
    EXPECT_TRUE(table.isNull("name"));
    EXPECT_STREQ(table.textOr(1, "-"), "-");
    EXPECT_EQ(table.intOr("v", 5), 5);
    table.setRow(2);
    EXPECT_EQ(table.intOr(0), 3);
    EXPECT_EQ(messageOf([&] { table.setRow(3); }), "CPPSQLITE_ERROR[1000]: Invalid row index requested");
    EXPECT_EQ(messageOf([&] { table.setRow(-1); }), "CPPSQLITE_ERROR[1000]: Invalid row index requested");
    EXPECT_EQ(messageOf([&] { table.text(3); }), "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(messageOf([&] { table.text("V"); }), "CPPSQLITE_ERROR[1000]: Invalid field name requested");

    CppSQLite3Table taken(table);
    EXPECT_EQ(messageOf([&] { table.rowCount(); }), "CPPSQLITE_ERROR[1000]: Null Results pointer");
    CppSQLite3Table assigned = db.queryTable("select 1");
    assigned = taken;
    EXPECT_EQ(assigned.rowCount(), 3);
    EXPECT_EQ(messageOf([&] { taken.columnCount(); }), "CPPSQLITE_ERROR[1000]: Null Results pointer");

    // No rows: the array holds no cell to read.
    CppSQLite3Table empty = db.queryTable("select id from t where id > 10");
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_NE(messageOf([&] { empty.text(0); }), "(none)");
}

// A connection closed while a cursor is alive: closing neither throws nor
// leaves the cursor pointing at freed memory.
TEST_F(CppSQLite3Narrow, CloseWithAnOpenCursor)
{
    fill();
    CppSQLite3QueryA q = db.query("select id from t order by id");
    db.close();
    EXPECT_FALSE(db.isOpen());
    q.next();
    EXPECT_EQ(q.intOr(0), 2);
    q.release();
    db.open(path);
    EXPECT_EQ(db.queryInt("select count(*) from t"), 3);
}
