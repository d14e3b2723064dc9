#pragma once
// Thin object layer over SQLite's C interface, narrow (UTF-8) family: the
// twin of CppSQLite3.h for code that works on file names and SQL as UTF-8
// (merging). Same shape and same rules: every failure is thrown as
// CppSQLite3ExceptionA with a code and a message "NAME[code]: text", and
// statements are compiled with the legacy sqlite3_prepare, so a failing step
// reports the generic SQLITE_ERROR and the specific code comes from the
// finalize or reset that follows.
//
// Differences from the wide family that callers rely on: execUpdate goes
// through sqlite3_exec and returns the changed-row count; a compile failure
// carries no error text (the connection's sqlite3_errmsg still holds it
// until the next call); close never throws; hasTable quotes its name.
#include "store/CppSQLite3.h"

#include <sqlite3.h>
#include <string>

class CppSQLite3ExceptionA
{
public:
    // `text` may be null. With freeText the text was allocated by SQLite
    // (sqlite3_exec, sqlite3_get_table) and is released here.
    CppSQLite3ExceptionA(int code, const char* text, bool freeText = false);
    CppSQLite3ExceptionA(int code, const std::string& text);
    CppSQLite3ExceptionA(const CppSQLite3ExceptionA&) = default;
    CppSQLite3ExceptionA& operator=(const CppSQLite3ExceptionA&) = default;
    virtual ~CppSQLite3ExceptionA() = default;

    int code() const { return errorCode; }
    const std::string& message() const { return errorMessage; }

private:
    int errorCode;
    std::string errorMessage;
};

class CppSQLite3QueryA
{
public:
    CppSQLite3QueryA() = default;
    CppSQLite3QueryA(sqlite3* db, sqlite3_stmt* stmt, bool atEnd, bool ownsStatement);
    // Copying moves the statement to the target; the source keeps none.
    CppSQLite3QueryA(const CppSQLite3QueryA& other);
    CppSQLite3QueryA& operator=(const CppSQLite3QueryA& other);
    virtual ~CppSQLite3QueryA();

    bool atEnd() const;
    void next();
    int columnCount() const;
    const char* columnName(int i) const;
    int columnIndex(const std::string& name) const;
    int columnType(int i) const;
    const char* columnDeclType(int i) const;
    bool isNull(int i) const;
    bool isNull(const std::string& name) const { return isNull(columnIndex(name)); }
    // A NULL value gives a null pointer. The text lives until the cursor
    // moves or goes.
    const char* text(int i) const;
    const char* textOr(int i, const char* defaultValue = "") const;
    const char* textOr(const std::string& name, const char* defaultValue = "") const
    {
        return textOr(columnIndex(name), defaultValue);
    }
    int intOr(int i, int defaultValue = 0) const;
    int intOr(const std::string& name, int defaultValue = 0) const
    {
        return intOr(columnIndex(name), defaultValue);
    }
    sqlite3_int64 int64Or(int i, sqlite3_int64 defaultValue = 0) const;
    sqlite3_int64 int64Or(const std::string& name, sqlite3_int64 defaultValue = 0) const
    {
        return int64Or(columnIndex(name), defaultValue);
    }
    double doubleOr(int i, double defaultValue = 0.0) const;
    double doubleOr(const std::string& name, double defaultValue = 0.0) const
    {
        return doubleOr(columnIndex(name), defaultValue);
    }
    const unsigned char* blob(int i, int& length) const;
    void release();

private:
    void checkStatement() const;
    void checkIndex(int i) const;

    mutable sqlite3* db = nullptr;
    mutable sqlite3_stmt* stmt = nullptr;
    mutable bool endFlag = true;
    mutable int columns = 0;
    mutable bool ownsStatement = false;
};

class CppSQLite3StatementA
{
public:
    CppSQLite3StatementA() = default;
    CppSQLite3StatementA(sqlite3* db, sqlite3_stmt* stmt);
    CppSQLite3StatementA(const CppSQLite3StatementA& other);
    CppSQLite3StatementA& operator=(const CppSQLite3StatementA& other);
    virtual ~CppSQLite3StatementA();

    void bindInt(int n, int value);
    void bindInt64(int n, sqlite3_int64 value);
    void bindDouble(int n, double value);
    void bindText(int n, const std::string& text);
    void bindBlob(int n, const void* data, int length);
    void bindNull(int n);
    int execute();
    CppSQLite3QueryA executeQuery();
    void reset();
    void release();

    sqlite3_stmt* handle() const { return stmt; }

private:
    void checkStatement() const;
    void checkDatabase() const;

    mutable sqlite3* db = nullptr;
    mutable sqlite3_stmt* stmt = nullptr;
};

// The whole result of sqlite3_get_table, owned; row 0 is current at first.
class CppSQLite3Table
{
public:
    CppSQLite3Table() = default;
    CppSQLite3Table(char** results, int rows, int columns);
    // Copying moves the result array to the target.
    CppSQLite3Table(const CppSQLite3Table& other);
    CppSQLite3Table& operator=(const CppSQLite3Table& other);
    virtual ~CppSQLite3Table();

    int columnCount() const;
    int rowCount() const;
    void setRow(int row);
    const char* columnName(int i) const;
    int columnIndex(const std::string& name) const;
    // A NULL cell gives a null pointer.
    const char* text(int i) const;
    const char* text(const std::string& name) const { return text(columnIndex(name)); }
    const char* textOr(int i, const char* defaultValue = "") const;
    const char* textOr(const std::string& name, const char* defaultValue = "") const
    {
        return textOr(columnIndex(name), defaultValue);
    }
    int intOr(int i, int defaultValue = 0) const;
    int intOr(const std::string& name, int defaultValue = 0) const
    {
        return intOr(columnIndex(name), defaultValue);
    }
    double doubleOr(int i, double defaultValue = 0.0) const;
    double doubleOr(const std::string& name, double defaultValue = 0.0) const
    {
        return doubleOr(columnIndex(name), defaultValue);
    }
    bool isNull(int i) const;
    bool isNull(const std::string& name) const { return isNull(columnIndex(name)); }
    void release();

private:
    void checkResults() const;
    void checkIndex(int i) const;

    int columns = 0;
    int rows = 0;
    int currentRow = 0;
    mutable char** results = nullptr;
};

class CppSQLite3DBA
{
public:
    CppSQLite3DBA() = default;
    // Two objects sharing one handle would both close it; a connection is
    // not copied.
    CppSQLite3DBA(const CppSQLite3DBA&) = delete;
    CppSQLite3DBA& operator=(const CppSQLite3DBA&) = delete;
    virtual ~CppSQLite3DBA();

    void open(const std::string& path);
    void close();
    bool isOpen() const { return db != nullptr; }
    void setBusyTimeout(int ms);
    int execUpdate(const std::string& sql);
    CppSQLite3QueryA query(const std::string& sql);
    int queryInt(const std::string& sql);
    CppSQLite3Table queryTable(const std::string& sql);
    bool hasTable(const std::string& name);
    CppSQLite3StatementA prepare(const std::string& sql);
    sqlite3_int64 lastInsertRowId() const;

    sqlite3* handle() const { return db; }

private:
    void checkDatabase() const;
    sqlite3_stmt* compile(const std::string& sql);

    sqlite3* db = nullptr;
    int busyTimeoutMs = CPPSQLITE_DEFAULT_BUSY_TIMEOUT_MS;
};

// Quoting for narrow SQL text built by hand: an identifier in double quotes
// and a literal in single quotes, inner quotes doubled.
std::string quoteIdentifierA(const std::string& name);
std::string quoteLiteralA(const std::string& value);
