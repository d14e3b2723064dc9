#pragma once
// Thin object layer over SQLite's C interface, wide (UTF-16) family.
// Every failure is thrown as CppSQLite3Exception with a code and a message
// "NAME[code]: text". Statements are compiled with the legacy
// sqlite3_prepare16, so a failing step reports the generic SQLITE_ERROR and
// the specific code comes from the following finalize or reset; the code
// below is written against that behaviour.
#include <QString>
#include <sqlite3.h>

constexpr int CPPSQLITE_ERROR = 1000;
constexpr int CPPSQLITE_DEFAULT_BUSY_TIMEOUT_MS = 60000;

// The name of a result code as the exception message shows it.
const char* cppSQLite3CodeName(int code);

class CppSQLite3Exception
{
public:
    CppSQLite3Exception(int code, const QString& text);
    CppSQLite3Exception(const CppSQLite3Exception&) = default;
    CppSQLite3Exception& operator=(const CppSQLite3Exception&) = default;
    virtual ~CppSQLite3Exception() = default;

    int code() const { return errorCode; }
    const QString& message() const { return errorMessage; }

private:
    int errorCode;
    QString errorMessage;
};

class CppSQLite3Query
{
public:
    CppSQLite3Query() = default;
    CppSQLite3Query(sqlite3* db, sqlite3_stmt* stmt, bool atEnd, bool ownsStatement);
    // Copying moves the statement to the target; the source keeps none.
    CppSQLite3Query(const CppSQLite3Query& other);
    CppSQLite3Query& operator=(const CppSQLite3Query& other);
    virtual ~CppSQLite3Query();

    bool atEnd() const;
    void next();
    int columnCount() const;
    QString columnName(int i) const;
    int columnIndex(const QString& name) const;
    int columnType(int i) const;
    QString columnDeclType(int i) const;
    bool isNull(int i) const;
    bool isNull(const QString& name) const { return isNull(columnIndex(name)); }
    // A NULL value gives a null QString.
    QString text(int i) const;
    QString textOr(int i, const QString& defaultValue = QString()) const;
    QString textOr(const QString& name, const QString& defaultValue = QString()) const
    {
        return textOr(columnIndex(name), defaultValue);
    }
    int intOr(int i, int defaultValue = 0) const;
    int intOr(const QString& name, int defaultValue = 0) const { return intOr(columnIndex(name), defaultValue); }
    sqlite3_int64 int64Or(int i, sqlite3_int64 defaultValue = 0) const;
    double doubleOr(int i, double defaultValue = 0.0) const;
    double doubleOr(const QString& name, double defaultValue = 0.0) const
    {
        return doubleOr(columnIndex(name), defaultValue);
    }
    const void* blob(int i, int& length) const;
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

class CppSQLite3Statement
{
public:
    CppSQLite3Statement() = default;
    CppSQLite3Statement(sqlite3* db, sqlite3_stmt* stmt);
    CppSQLite3Statement(const CppSQLite3Statement& other);
    CppSQLite3Statement& operator=(const CppSQLite3Statement& other);
    virtual ~CppSQLite3Statement();

    void bindInt(int n, int value);
    void bindInt64(int n, sqlite3_int64 value);
    void bindDouble(int n, double value);
    void bindText(int n, const QString& text);
    void bindBlob(int n, const void* data, int length);
    void bindNull(int n);
    int execute();
    CppSQLite3Query executeQuery();
    void reset();
    void release();

    sqlite3_stmt* handle() const { return stmt; }

private:
    void checkStatement() const;
    void checkDatabase() const;

    mutable sqlite3* db = nullptr;
    mutable sqlite3_stmt* stmt = nullptr;
};

class CppSQLite3DB
{
public:
    CppSQLite3DB() = default;
    // Two objects sharing one handle would both close it; a connection is
    // not copied.
    CppSQLite3DB(const CppSQLite3DB&) = delete;
    CppSQLite3DB& operator=(const CppSQLite3DB&) = delete;
    virtual ~CppSQLite3DB();

    void open(const QString& path);
    void close();
    bool isOpen() const { return db != nullptr; }
    void setBusyTimeout(int ms);
    int execUpdate(const QString& sql);
    CppSQLite3Query query(const QString& sql);
    int queryInt(const QString& sql);
    bool hasTable(const QString& name);
    CppSQLite3Statement prepare(const QString& sql);
    sqlite3_int64 lastInsertRowId() const;

    sqlite3* handle() const { return db; }

private:
    void checkDatabase() const;
    sqlite3_stmt* compile(const QString& sql);

    sqlite3* db = nullptr;
    int busyTimeoutMs = CPPSQLITE_DEFAULT_BUSY_TIMEOUT_MS;
};

// Quoting for SQL text built by hand: an identifier in double quotes and a
// literal in single quotes, inner quotes doubled.
QString quoteIdentifier(const QString& name);
QString quoteLiteral(const QString& value);
