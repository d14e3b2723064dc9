#include "store/CppSQLite3.h"

#include <cstdlib>

namespace {

QString errorText(sqlite3* db)
{
    if (!db)
        return QString();
    const void* msg = sqlite3_errmsg16(db);
    return msg ? QString::fromUtf16(static_cast<const char16_t*>(msg)) : QString();
}

const char16_t* sqlText(const QString& sql)
{
    return reinterpret_cast<const char16_t*>(sql.utf16());
}

// _wtoi: optional blanks and sign, then leading decimal digits; anything
// else gives 0.
int wtoi(const char16_t* s)
{
    if (!s)
        return 0;
    while (*s == u' ' || *s == u'\t' || *s == u'\n' || *s == u'\r')
        ++s;
    bool negative = false;
    if (*s == u'-' || *s == u'+')
        negative = *s++ == u'-';
    long long v = 0;
    for (; *s >= u'0' && *s <= u'9'; ++s) {
        v = v * 10 + (*s - u'0');
        if (v > 0x7FFFFFFFLL + 1)
            v = 0x7FFFFFFFLL + 1;
    }
    v = negative ? -v : v;
    if (v > 0x7FFFFFFFLL)
        v = 0x7FFFFFFFLL;
    return int(v);
}

} // namespace

const char* cppSQLite3CodeName(int code)
{
    static const char* const primary[] = {
        "SQLITE_OK",       "SQLITE_ERROR",    "SQLITE_INTERNAL", "SQLITE_PERM",
        "SQLITE_ABORT",    "SQLITE_BUSY",     "SQLITE_LOCKED",   "SQLITE_NOMEM",
        "SQLITE_READONLY", "SQLITE_INTERRUPT", "SQLITE_IOERR",   "SQLITE_CORRUPT",
        "SQLITE_NOTFOUND", "SQLITE_FULL",     "SQLITE_CANTOPEN", "SQLITE_PROTOCOL",
        "SQLITE_EMPTY",    "SQLITE_SCHEMA",   "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
        "SQLITE_MISMATCH", "SQLITE_MISUSE",   "SQLITE_NOLFS",    "SQLITE_AUTH",
        "SQLITE_FORMAT",   "SQLITE_RANGE"};
    if (code >= 0 && code <= 25)
        return primary[code];
    switch (code) {
    case 100: return "SQLITE_ROW";
    case 101: return "SQLITE_DONE";
    case CPPSQLITE_ERROR: return "CPPSQLITE_ERROR";
    default: return "UNKNOWN_ERROR";
    }
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

QString quoteLiteral(const QString& value)
{
    QString quoted = value;
    quoted.replace(u'\'', QLatin1String("''"));
    return u'\'' + quoted + u'\'';
}

// ---- exception ---------------------------------------------------------------

CppSQLite3Exception::CppSQLite3Exception(int code, const QString& text)
    : errorCode(code),
      errorMessage(QStringLiteral("%1[%2]: %3")
                       .arg(QLatin1String(cppSQLite3CodeName(code)))
                       .arg(code)
                       .arg(text))
{
}

// ---- cursor ------------------------------------------------------------------

CppSQLite3Query::CppSQLite3Query(sqlite3* db_, sqlite3_stmt* stmt_, bool atEnd_, bool owns)
    : db(db_), stmt(stmt_), endFlag(atEnd_), columns(sqlite3_column_count(stmt_)), ownsStatement(owns)
{
}

CppSQLite3Query::CppSQLite3Query(const CppSQLite3Query& other)
    : db(other.db), stmt(other.stmt), endFlag(other.endFlag), columns(other.columns),
      ownsStatement(other.ownsStatement)
{
    other.stmt = nullptr;
}

CppSQLite3Query& CppSQLite3Query::operator=(const CppSQLite3Query& other)
{
    if (this == &other)
        return *this;
    // The statement this cursor owned goes first; its finalize error is
    // of no use to anyone here.
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

CppSQLite3Query::~CppSQLite3Query()
{
    // No exception may leave a destructor: a finalize error is dropped.
    if (stmt && ownsStatement)
        sqlite3_finalize(stmt);
}

void CppSQLite3Query::checkStatement() const
{
    if (!stmt)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, QStringLiteral("Null Virtual Machine pointer"));
}

void CppSQLite3Query::checkIndex(int i) const
{
    checkStatement();
    if (i < 0 || i > columns - 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, QStringLiteral("Invalid field index requested"));
}

bool CppSQLite3Query::atEnd() const
{
    checkStatement();
    return endFlag;
}

void CppSQLite3Query::next()
{
    checkStatement();
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) {
        endFlag = true;
    } else if (rc == SQLITE_ROW) {
        // positioned on the next row
    } else {
        const int finalizeRc = sqlite3_finalize(stmt);
        stmt = nullptr;
        throw CppSQLite3Exception(finalizeRc, errorText(db));
    }
}

int CppSQLite3Query::columnCount() const
{
    checkStatement();
    return columns;
}

QString CppSQLite3Query::columnName(int i) const
{
    checkIndex(i);
    const void* name = sqlite3_column_name16(stmt, i);
    return name ? QString::fromUtf16(static_cast<const char16_t*>(name)) : QString();
}

int CppSQLite3Query::columnIndex(const QString& name) const
{
    checkStatement();
    for (int i = 0; i < columns; ++i) {
        const void* n = sqlite3_column_name16(stmt, i);
        if (n && QStringView(static_cast<const char16_t*>(n)) == name)
            return i;
    }
    throw CppSQLite3Exception(CPPSQLITE_ERROR, QStringLiteral("Invalid field name requested"));
}

int CppSQLite3Query::columnType(int i) const
{
    checkIndex(i);
    return sqlite3_column_type(stmt, i);
}

QString CppSQLite3Query::columnDeclType(int i) const
{
    checkIndex(i);
    const void* t = sqlite3_column_decltype16(stmt, i);
    return t ? QString::fromUtf16(static_cast<const char16_t*>(t)) : QString();
}

bool CppSQLite3Query::isNull(int i) const
{
    return columnType(i) == SQLITE_NULL;
}

QString CppSQLite3Query::text(int i) const
{
    return textOr(i, QString());
}

QString CppSQLite3Query::textOr(int i, const QString& defaultValue) const
{
    checkIndex(i);
    // Every cell of every page passes here: ask for the type only when the
    // text is missing, which is NULL or an empty blob.
    const void* t = sqlite3_column_text16(stmt, i);
    if (!t)
        return sqlite3_column_type(stmt, i) == SQLITE_NULL ? defaultValue : QStringLiteral("");
    const int bytes = sqlite3_column_bytes16(stmt, i);
    // Inner NUL characters end the text, as the C string would.
    QString s(reinterpret_cast<const QChar*>(t), bytes / 2);
    const qsizetype nul = s.indexOf(QChar(0));
    if (nul >= 0)
        s.truncate(nul);
    return s;
}

int CppSQLite3Query::intOr(int i, int defaultValue) const
{
    return isNull(i) ? defaultValue : sqlite3_column_int(stmt, i);
}

sqlite3_int64 CppSQLite3Query::int64Or(int i, sqlite3_int64 defaultValue) const
{
    return isNull(i) ? defaultValue : sqlite3_column_int64(stmt, i);
}

double CppSQLite3Query::doubleOr(int i, double defaultValue) const
{
    return isNull(i) ? defaultValue : sqlite3_column_double(stmt, i);
}

const void* CppSQLite3Query::blob(int i, int& length) const
{
    checkIndex(i);
    length = sqlite3_column_bytes16(stmt, i);
    return sqlite3_column_blob(stmt, i);
}

void CppSQLite3Query::release()
{
    if (stmt && ownsStatement) {
        const int rc = sqlite3_finalize(stmt);
        stmt = nullptr;
        if (rc != SQLITE_OK)
            throw CppSQLite3Exception(rc, errorText(db));
    }
}

// ---- statement -----------------------------------------------------------------

CppSQLite3Statement::CppSQLite3Statement(sqlite3* db_, sqlite3_stmt* stmt_) : db(db_), stmt(stmt_) {}

CppSQLite3Statement::CppSQLite3Statement(const CppSQLite3Statement& other) : db(other.db), stmt(other.stmt)
{
    other.stmt = nullptr;
}

CppSQLite3Statement& CppSQLite3Statement::operator=(const CppSQLite3Statement& other)
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

CppSQLite3Statement::~CppSQLite3Statement()
{
    if (stmt)
        sqlite3_finalize(stmt);
}

void CppSQLite3Statement::checkStatement() const
{
    if (!stmt)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, QStringLiteral("Null Virtual Machine pointer"));
}

void CppSQLite3Statement::checkDatabase() const
{
    if (!db)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, QStringLiteral("Database not open"));
}

void CppSQLite3Statement::bindInt(int n, int value)
{
    checkStatement();
    const int rc = sqlite3_bind_int(stmt, n, value);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, QStringLiteral("Error binding int param"));
}

void CppSQLite3Statement::bindInt64(int n, sqlite3_int64 value)
{
    checkStatement();
    const int rc = sqlite3_bind_int64(stmt, n, value);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, QStringLiteral("Error binding int64 param"));
}

void CppSQLite3Statement::bindDouble(int n, double value)
{
    checkStatement();
    const int rc = sqlite3_bind_double(stmt, n, value);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, QStringLiteral("Error binding double param"));
}

void CppSQLite3Statement::bindText(int n, const QString& text)
{
    checkStatement();
    // A null QString binds as empty text, as an empty C string would.
    const char16_t* data = text.isNull() ? u"" : reinterpret_cast<const char16_t*>(text.utf16());
    const int rc = sqlite3_bind_text16(stmt, n, data, int(text.size() * 2), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, QStringLiteral("Error binding string param"));
}

void CppSQLite3Statement::bindBlob(int n, const void* data, int length)
{
    checkStatement();
    const int rc = sqlite3_bind_blob(stmt, n, data, length, SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, QStringLiteral("Error binding blob param"));
}

void CppSQLite3Statement::bindNull(int n)
{
    checkStatement();
    const int rc = sqlite3_bind_null(stmt, n);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, QStringLiteral("Error binding NULL param"));
}

int CppSQLite3Statement::execute()
{
    checkDatabase();
    checkStatement();
    const int rc = sqlite3_step(stmt);
    int changes = 0;
    if (rc == SQLITE_DONE)
        changes = sqlite3_changes(db);
    const int resetRc = sqlite3_reset(stmt);
    if (rc != SQLITE_DONE || resetRc != SQLITE_OK)
        throw CppSQLite3Exception(resetRc, errorText(db));
    return changes;
}

CppSQLite3Query CppSQLite3Statement::executeQuery()
{
    checkDatabase();
    checkStatement();
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE)
        return CppSQLite3Query(db, stmt, true, false);
    if (rc == SQLITE_ROW)
        return CppSQLite3Query(db, stmt, false, false);
    const int resetRc = sqlite3_reset(stmt);
    throw CppSQLite3Exception(resetRc, errorText(db));
}

void CppSQLite3Statement::reset()
{
    if (!stmt)
        return;
    const int rc = sqlite3_reset(stmt);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, errorText(db));
}

void CppSQLite3Statement::release()
{
    if (!stmt)
        return;
    const int rc = sqlite3_finalize(stmt);
    stmt = nullptr;
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, errorText(db));
}

// ---- connection ------------------------------------------------------------------

CppSQLite3DB::~CppSQLite3DB()
{
    if (db)
        sqlite3_close(db);
}

void CppSQLite3DB::checkDatabase() const
{
    if (!db)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, QStringLiteral("Database not open"));
}

void CppSQLite3DB::open(const QString& path)
{
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open16(sqlText(path), &handle);
    if (rc != SQLITE_OK) {
        const QString text = errorText(handle);
        // sqlite3_open16 hands back a handle even on failure; it must go.
        sqlite3_close(handle);
        throw CppSQLite3Exception(rc, text);
    }
    db = handle;
    // Double quotes always name a column or table here: with SQLite's
    // legacy fallback a quoted name the table lacks would silently turn
    // into a string literal and the statement would succeed on nonsense.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    setBusyTimeout(busyTimeoutMs);
}

void CppSQLite3DB::close()
{
    if (!db)
        return;
    const int rc = sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, errorText(db));
    db = nullptr;
}

void CppSQLite3DB::setBusyTimeout(int ms)
{
    busyTimeoutMs = ms;
    if (db)
        sqlite3_busy_timeout(db, ms);
}

sqlite3_stmt* CppSQLite3DB::compile(const QString& sql)
{
    checkDatabase();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare16(db, sqlText(sql), -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw CppSQLite3Exception(rc, errorText(db));
    return stmt;
}

int CppSQLite3DB::execUpdate(const QString& sql)
{
    checkDatabase();
    for (;;) {
        sqlite3_stmt* stmt = compile(sql);
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ERROR) {
            const QString text = errorText(db);
            sqlite3_finalize(stmt);
            throw CppSQLite3Exception(rc, text);
        }
        const int finalizeRc = sqlite3_finalize(stmt);
        if (finalizeRc != SQLITE_SCHEMA)
            return finalizeRc;
    }
}

CppSQLite3Query CppSQLite3DB::query(const QString& sql)
{
    checkDatabase();
    for (;;) {
        sqlite3_stmt* stmt = compile(sql);
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW || rc == SQLITE_DONE)
            return CppSQLite3Query(db, stmt, rc == SQLITE_DONE, true);
        const int finalizeRc = sqlite3_finalize(stmt);
        if (finalizeRc != SQLITE_SCHEMA)
            throw CppSQLite3Exception(finalizeRc, errorText(db));
    }
}

int CppSQLite3DB::queryInt(const QString& sql)
{
    CppSQLite3Query q = query(sql);
    if (q.atEnd() || q.columnCount() < 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, QStringLiteral("Invalid scalar query"));
    const QString t = q.text(0);
    const int value = t.isNull() ? 0 : wtoi(reinterpret_cast<const char16_t*>(t.utf16()));
    q.release();
    return value;
}

bool CppSQLite3DB::hasTable(const QString& name)
{
    return queryInt(QStringLiteral("select count(*) from sqlite_master where type='table' and name=")
                    + quoteLiteral(name)) > 0;
}

CppSQLite3Statement CppSQLite3DB::prepare(const QString& sql)
{
    return CppSQLite3Statement(db, compile(sql));
}

sqlite3_int64 CppSQLite3DB::lastInsertRowId() const
{
    checkDatabase();
    return sqlite3_last_insert_rowid(db);
}
