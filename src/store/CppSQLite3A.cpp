#include "store/CppSQLite3A.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

std::string errorText(sqlite3* db)
{
    if (!db)
        return std::string();
    const char* msg = sqlite3_errmsg(db);
    return msg ? std::string(msg) : std::string();
}

const char* const kNullStatement = "Null Virtual Machine pointer";
const char* const kNotOpen = "Database not open";
const char* const kBadIndex = "Invalid field index requested";
const char* const kBadName = "Invalid field name requested";

} // namespace

std::string quoteIdentifierA(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string quoteLiteralA(const std::string& value)
{
    std::string quoted = "'";
    for (char c : value) {
        if (c == '\'')
            quoted += '\'';
        quoted += c;
    }
    return quoted + '\'';
}

// ---- exception ---------------------------------------------------------------

CppSQLite3ExceptionA::CppSQLite3ExceptionA(int code, const char* text, bool freeText) : errorCode(code)
{
    char* formatted = sqlite3_mprintf("%s[%d]: %s", cppSQLite3CodeName(code), code, text ? text : "");
    // sqlite3_mprintf gives null only when memory ran out; an empty message
    // is still better than none.
    if (formatted) {
        errorMessage = formatted;
        sqlite3_free(formatted);
    }
    if (freeText && text)
        sqlite3_free(const_cast<char*>(text));
}

CppSQLite3ExceptionA::CppSQLite3ExceptionA(int code, const std::string& text)
    : CppSQLite3ExceptionA(code, text.c_str(), false)
{
}

// ---- cursor ------------------------------------------------------------------

CppSQLite3QueryA::CppSQLite3QueryA(sqlite3* db_, sqlite3_stmt* stmt_, bool atEnd_, bool owns)
    : db(db_), stmt(stmt_), endFlag(atEnd_), columns(sqlite3_column_count(stmt_)), ownsStatement(owns)
{
}

CppSQLite3QueryA::CppSQLite3QueryA(const CppSQLite3QueryA& other)
    : db(other.db), stmt(other.stmt), endFlag(other.endFlag), columns(other.columns),
      ownsStatement(other.ownsStatement)
{
    other.stmt = nullptr;
}

CppSQLite3QueryA& CppSQLite3QueryA::operator=(const CppSQLite3QueryA& other)
{
    if (this == &other)
        return *this;
    // The statement this cursor owned goes first; its finalize error
    // concerns a result nobody reads any more.
    if (stmt && ownsStatement)
        sqlite3_finalize(stmt);
    db = other.db;
    stmt = other.stmt;
    endFlag = other.endFlag;
    columns = other.columns;
    ownsStatement = other.ownsStatement;
    other.stmt = nullptr;
    return *this;
}

CppSQLite3QueryA::~CppSQLite3QueryA()
{
    // No exception may leave a destructor: a finalize error is dropped.
    if (stmt && ownsStatement)
        sqlite3_finalize(stmt);
}

void CppSQLite3QueryA::checkStatement() const
{
    if (!stmt)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kNullStatement);
}

void CppSQLite3QueryA::checkIndex(int i) const
{
    checkStatement();
    if (i < 0 || i > columns - 1)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kBadIndex);
}

bool CppSQLite3QueryA::atEnd() const
{
    checkStatement();
    return endFlag;
}

void CppSQLite3QueryA::next()
{
    checkStatement();
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) {
        endFlag = true;
    } else if (rc != SQLITE_ROW) {
        // The legacy step only says SQLITE_ERROR; finalize tells what went
        // wrong, and the statement is of no further use.
        const int finalizeRc = sqlite3_finalize(stmt);
        stmt = nullptr;
        throw CppSQLite3ExceptionA(finalizeRc, errorText(db));
    }
}

int CppSQLite3QueryA::columnCount() const
{
    checkStatement();
    return columns;
}

const char* CppSQLite3QueryA::columnName(int i) const
{
    checkIndex(i);
    return sqlite3_column_name(stmt, i);
}

int CppSQLite3QueryA::columnIndex(const std::string& name) const
{
    checkStatement();
    for (int i = 0; i < columns; ++i) {
        const char* n = sqlite3_column_name(stmt, i);
        if (n && name == n)
            return i;
    }
    throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kBadName);
}

int CppSQLite3QueryA::columnType(int i) const
{
    checkIndex(i);
    return sqlite3_column_type(stmt, i);
}

const char* CppSQLite3QueryA::columnDeclType(int i) const
{
    checkIndex(i);
    return sqlite3_column_decltype(stmt, i);
}

bool CppSQLite3QueryA::isNull(int i) const
{
    return columnType(i) == SQLITE_NULL;
}

const char* CppSQLite3QueryA::text(int i) const
{
    checkIndex(i);
    return reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
}

const char* CppSQLite3QueryA::textOr(int i, const char* defaultValue) const
{
    if (isNull(i))
        return defaultValue;
    return reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
}

int CppSQLite3QueryA::intOr(int i, int defaultValue) const
{
    return isNull(i) ? defaultValue : sqlite3_column_int(stmt, i);
}

sqlite3_int64 CppSQLite3QueryA::int64Or(int i, sqlite3_int64 defaultValue) const
{
    return isNull(i) ? defaultValue : sqlite3_column_int64(stmt, i);
}

double CppSQLite3QueryA::doubleOr(int i, double defaultValue) const
{
    return isNull(i) ? defaultValue : sqlite3_column_double(stmt, i);
}

const unsigned char* CppSQLite3QueryA::blob(int i, int& length) const
{
    checkIndex(i);
    // The pointer first, then its size: asking for the size first may
    // convert the value and leave the pointer describing another buffer.
    const void* data = sqlite3_column_blob(stmt, i);
    length = sqlite3_column_bytes(stmt, i);
    return static_cast<const unsigned char*>(data);
}

void CppSQLite3QueryA::release()
{
    if (stmt && ownsStatement) {
        const int rc = sqlite3_finalize(stmt);
        stmt = nullptr;
        if (rc != SQLITE_OK)
            throw CppSQLite3ExceptionA(rc, errorText(db));
    }
}

// ---- statement -----------------------------------------------------------------

CppSQLite3StatementA::CppSQLite3StatementA(sqlite3* db_, sqlite3_stmt* stmt_) : db(db_), stmt(stmt_) {}

CppSQLite3StatementA::CppSQLite3StatementA(const CppSQLite3StatementA& other) : db(other.db), stmt(other.stmt)
{
    other.stmt = nullptr;
}

CppSQLite3StatementA& CppSQLite3StatementA::operator=(const CppSQLite3StatementA& other)
{
    if (this == &other)
        return *this;
    if (stmt)
        sqlite3_finalize(stmt);
    db = other.db;
    stmt = other.stmt;
    other.stmt = nullptr;
    return *this;
}

CppSQLite3StatementA::~CppSQLite3StatementA()
{
    if (stmt)
        sqlite3_finalize(stmt);
}

void CppSQLite3StatementA::checkStatement() const
{
    if (!stmt)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kNullStatement);
}

void CppSQLite3StatementA::checkDatabase() const
{
    if (!db)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kNotOpen);
}

void CppSQLite3StatementA::bindInt(int n, int value)
{
    checkStatement();
    const int rc = sqlite3_bind_int(stmt, n, value);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, "Error binding int param");
}

void CppSQLite3StatementA::bindInt64(int n, sqlite3_int64 value)
{
    checkStatement();
    const int rc = sqlite3_bind_int64(stmt, n, value);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, "Error binding int64 param");
}

void CppSQLite3StatementA::bindDouble(int n, double value)
{
    checkStatement();
    const int rc = sqlite3_bind_double(stmt, n, value);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, "Error binding double param");
}

void CppSQLite3StatementA::bindText(int n, const std::string& text)
{
    checkStatement();
    const int rc = sqlite3_bind_text(stmt, n, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, "Error binding string param");
}

void CppSQLite3StatementA::bindBlob(int n, const void* data, int length)
{
    checkStatement();
    const int rc = sqlite3_bind_blob(stmt, n, data, length, SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, "Error binding blob param");
}

void CppSQLite3StatementA::bindNull(int n)
{
    checkStatement();
    const int rc = sqlite3_bind_null(stmt, n);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, "Error binding NULL param");
}

int CppSQLite3StatementA::execute()
{
    checkDatabase();
    checkStatement();
    const int rc = sqlite3_step(stmt);
    int changes = 0;
    if (rc == SQLITE_DONE)
        changes = sqlite3_changes(db);
    // Reset in every case, so the statement can be bound and run again even
    // after a failure; its result carries the real code.
    const int resetRc = sqlite3_reset(stmt);
    if (rc != SQLITE_DONE || resetRc != SQLITE_OK)
        throw CppSQLite3ExceptionA(resetRc, errorText(db));
    return changes;
}

CppSQLite3QueryA CppSQLite3StatementA::executeQuery()
{
    checkDatabase();
    checkStatement();
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE)
        return CppSQLite3QueryA(db, stmt, true, false);
    if (rc == SQLITE_ROW)
        return CppSQLite3QueryA(db, stmt, false, false);
    const int resetRc = sqlite3_reset(stmt);
    throw CppSQLite3ExceptionA(resetRc, errorText(db));
}

void CppSQLite3StatementA::reset()
{
    if (!stmt)
        return;
    const int rc = sqlite3_reset(stmt);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, errorText(db));
}

void CppSQLite3StatementA::release()
{
    if (!stmt)
        return;
    const int rc = sqlite3_finalize(stmt);
    stmt = nullptr;
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, errorText(db));
}

// ---- table ---------------------------------------------------------------------

CppSQLite3Table::CppSQLite3Table(char** results_, int rows_, int columns_)
    : columns(columns_), rows(rows_), results(results_)
{
}

CppSQLite3Table::CppSQLite3Table(const CppSQLite3Table& other)
    : columns(other.columns), rows(other.rows), currentRow(other.currentRow), results(other.results)
{
    other.results = nullptr;
}

CppSQLite3Table& CppSQLite3Table::operator=(const CppSQLite3Table& other)
{
    if (this == &other)
        return *this;
    release();
    columns = other.columns;
    rows = other.rows;
    currentRow = other.currentRow;
    results = other.results;
    other.results = nullptr;
    return *this;
}

CppSQLite3Table::~CppSQLite3Table()
{
    release();
}

void CppSQLite3Table::release()
{
    if (results) {
        sqlite3_free_table(results);
        results = nullptr;
    }
}

void CppSQLite3Table::checkResults() const
{
    if (!results)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, "Null Results pointer");
}

void CppSQLite3Table::checkIndex(int i) const
{
    checkResults();
    if (i < 0 || i > columns - 1)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kBadIndex);
}

int CppSQLite3Table::columnCount() const
{
    checkResults();
    return columns;
}

int CppSQLite3Table::rowCount() const
{
    checkResults();
    return rows;
}

void CppSQLite3Table::setRow(int row)
{
    checkResults();
    if (row < 0 || row > rows - 1)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, "Invalid row index requested");
    currentRow = row;
}

const char* CppSQLite3Table::columnName(int i) const
{
    checkIndex(i);
    return results[i];
}

int CppSQLite3Table::columnIndex(const std::string& name) const
{
    checkResults();
    for (int i = 0; i < columns; ++i) {
        if (results[i] && name == results[i])
            return i;
    }
    throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kBadName);
}

const char* CppSQLite3Table::text(int i) const
{
    checkIndex(i);
    // A result without rows holds only the header; reading its "current
    // row" would run past the array.
    if (currentRow >= rows)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, "Invalid row index requested");
    return results[(currentRow + 1) * columns + i];
}

const char* CppSQLite3Table::textOr(int i, const char* defaultValue) const
{
    const char* t = text(i);
    return t ? t : defaultValue;
}

int CppSQLite3Table::intOr(int i, int defaultValue) const
{
    const char* t = text(i);
    return t ? std::atoi(t) : defaultValue;
}

double CppSQLite3Table::doubleOr(int i, double defaultValue) const
{
    const char* t = text(i);
    return t ? std::atof(t) : defaultValue;
}

bool CppSQLite3Table::isNull(int i) const
{
    return text(i) == nullptr;
}

// ---- connection ------------------------------------------------------------------

CppSQLite3DBA::~CppSQLite3DBA()
{
    close();
}

void CppSQLite3DBA::checkDatabase() const
{
    if (!db)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kNotOpen);
}

void CppSQLite3DBA::open(const std::string& path)
{
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open(path.c_str(), &handle);
    if (rc != SQLITE_OK) {
        const std::string text = errorText(handle);
        // sqlite3_open hands back a handle even on failure; it must go.
        sqlite3_close(handle);
        throw CppSQLite3ExceptionA(rc, text);
    }
    db = handle;
    // As in the wide family: a double-quoted name the table lacks must be an
    // error, not SQLite's legacy fallback to a string literal.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    setBusyTimeout(busyTimeoutMs);
}

void CppSQLite3DBA::close()
{
    if (!db)
        return;
    // The result of close is not reported. While a statement is still
    // unfinalized, sqlite3_close refuses and the connection would stay open
    // (and its file with it) for the rest of the process; close_v2 instead
    // lets it go once the last statement is finalized.
    if (sqlite3_close(db) != SQLITE_OK)
        sqlite3_close_v2(db);
    db = nullptr;
}

void CppSQLite3DBA::setBusyTimeout(int ms)
{
    busyTimeoutMs = ms;
    if (db)
        sqlite3_busy_timeout(db, ms);
}

sqlite3_stmt* CppSQLite3DBA::compile(const std::string& sql)
{
    checkDatabase();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare(db, sql.c_str(), -1, &stmt, nullptr);
    // The message stays empty; sqlite3_errmsg of the connection still says
    // why until the next call on it.
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, static_cast<const char*>(nullptr));
    return stmt;
}

int CppSQLite3DBA::execUpdate(const std::string& sql)
{
    checkDatabase();
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, error, true);
    return sqlite3_changes(db);
}

CppSQLite3QueryA CppSQLite3DBA::query(const std::string& sql)
{
    sqlite3_stmt* stmt = compile(sql);
    // SQL of blanks or comments compiles to no statement at all.
    if (!stmt)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, kNullStatement);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE)
        return CppSQLite3QueryA(db, stmt, rc == SQLITE_DONE, true);
    const int finalizeRc = sqlite3_finalize(stmt);
    throw CppSQLite3ExceptionA(finalizeRc, errorText(db));
}

int CppSQLite3DBA::queryInt(const std::string& sql)
{
    CppSQLite3QueryA q = query(sql);
    if (q.atEnd() || q.columnCount() < 1)
        throw CppSQLite3ExceptionA(CPPSQLITE_ERROR, "Invalid scalar query");
    const char* t = q.text(0);
    const int value = t ? std::atoi(t) : 0;
    q.release();
    return value;
}

CppSQLite3Table CppSQLite3DBA::queryTable(const std::string& sql)
{
    checkDatabase();
    char** results = nullptr;
    int rows = 0;
    int columns = 0;
    char* error = nullptr;
    const int rc = sqlite3_get_table(db, sql.c_str(), &results, &rows, &columns, &error);
    if (rc != SQLITE_OK)
        throw CppSQLite3ExceptionA(rc, error, true);
    return CppSQLite3Table(results, rows, columns);
}

bool CppSQLite3DBA::hasTable(const std::string& name)
{
    std::unique_ptr<char, decltype(&sqlite3_free)> sql(
        sqlite3_mprintf("select count(*) from sqlite_master where type='table' and name=%Q", name.c_str()),
        &sqlite3_free);
    if (!sql)
        throw CppSQLite3ExceptionA(SQLITE_NOMEM, "out of memory");
    return queryInt(sql.get()) > 0;
}

CppSQLite3StatementA CppSQLite3DBA::prepare(const std::string& sql)
{
    return CppSQLite3StatementA(db, compile(sql));
}

sqlite3_int64 CppSQLite3DBA::lastInsertRowId() const
{
    checkDatabase();
    return sqlite3_last_insert_rowid(db);
}
