// Record editing and time-range extraction of CDataOperator, and keeping
// the page starts true across edits.
#include "store/CDataOperator.h"

#include "util/Log.h"
#include "util/PathUtil.h"

#include <QFile>

#include <ctime>

namespace {

void debugError(const CppSQLite3Exception& e)
{
    vlog::debugOutput(e.message());
}

// Runs a bound statement with the result rules of execUpdate: the generic
// SQLITE_ERROR of a legacy step is thrown, any other failure (SQLITE_BUSY
// after the busy timeout) is returned as a non-zero code.
int runLikeExecUpdate(CppSQLite3DB& db, CppSQLite3Statement& statement)
{
    const int rc = sqlite3_step(statement.handle());
    if (rc == SQLITE_ERROR) {
        const QString text = QString::fromUtf16(static_cast<const char16_t*>(sqlite3_errmsg16(db.handle())));
        sqlite3_reset(statement.handle());
        throw CppSQLite3Exception(rc, text);
    }
    return sqlite3_reset(statement.handle());
}

void removeDatabaseFile(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

QString CDataOperator::keyColumn() const
{
    return page.columns.isEmpty() ? QString() : page.columns.front();
}

// Whether the key column is the table's INTEGER PRIMARY KEY, so that
// "order by key desc limit 1" is a b-tree seek and the key is a number.
bool CDataOperator::keyIsRowid()
{
    if (keyRowidState >= 0)
        return keyRowidState == 1;
    keyRowidState = 0;
    if (!rowidPaging)
        return false;
    try {
        CppSQLite3Query info = db.query(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(tableName)));
        int primaryKeys = 0;
        bool keyIsInteger = false;
        for (; !info.atEnd(); info.next()) {
            if (info.intOr(5, 0) > 0) {
                ++primaryKeys;
                keyIsInteger = info.textOr(1) == keyColumn()
                               && info.textOr(2).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
            }
        }
        info.release();
        keyRowidState = (primaryKeys == 1 && keyIsInteger) ? 1 : 0;
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
    }
    return keyRowidState == 1;
}

// ---- page starts across edits ------------------------------------------------------------

void CDataOperator::pageStartsAfterAdd(qint64 newRowid)
{
    if (!rowidPaging)
        return;
    if (newRowid > maxRowid || pagedRecords == 0) {
        // Appended behind every record: at most a new last page begins.
        if (pagedRecords % rowsPerPage == 0)
            pageStarts.push_back(newRowid);
        ++pagedRecords;
        maxRowid = newRowid;
        return;
    }
    findPageStarts(pagedRecords + 1);
}

void CDataOperator::pageStartsAfterDelete(const std::vector<qint64>& deletedRowids)
{
    if (!rowidPaging)
        return;
    if (deletedRowids.size() != 1) {
        findPageStarts(pagedRecords - qint64(deletedRowids.size()));
        return;
    }
    // Every page from the one holding the deleted record on now starts one
    // record later: one seek per later page instead of a scan of the table.
    const qint64 deleted = deletedRowids.front();
    CppSQLite3Statement following = db.prepare(
        QStringLiteral("SELECT %1 FROM %2 WHERE %1 > ? ORDER BY %1 LIMIT 1").arg(rowidName, quoteIdentifier(tableName)));
    size_t kept = pageStarts.size();
    for (size_t i = 0; i < pageStarts.size(); ++i) {
        if (pageStarts[i] < deleted)
            continue;
        following.bindInt64(1, pageStarts[i]);
        CppSQLite3Query next = following.executeQuery();
        const bool found = !next.atEnd();
        const qint64 start = found ? next.int64Or(0, 0) : 0;
        following.reset();
        if (!found) {
            kept = i;
            break;
        }
        pageStarts[i] = start;
    }
    pageStarts.resize(kept);
    --pagedRecords;
}

// ---- editing -----------------------------------------------------------------------------

int CDataOperator::addRecord(QStringList& row)
{
    try {
        const QString table = quoteIdentifier(tableName);
        const QString key = quoteIdentifier(keyColumn());
        // Keys of extracted and imported files are TEXT: compared as text
        // '9' sorts after '10' and the new key would repeat an old one.
        const QString largest = keyIsRowid()
            ? QStringLiteral("SELECT %1 FROM %2 order by %1 desc limit 0,1").arg(key, table)
            : QStringLiteral("SELECT CAST(%1 AS INTEGER) FROM %2 order by 1 desc limit 0,1").arg(key, table);
        CppSQLite3Query q = db.query(largest);
        if (q.atEnd())
            return -1;
        const int newKey = q.intOr(0, 0) + 1;
        q.release();

        row.append(QString::number(newKey));
        QString values = quoteLiteral(QString::number(newKey));

        QString timeText;
        QString storedTime;
        if (fileKind == SampleData || fileKind == AlarmData) {
            timeText = recordTimeText(std::time(nullptr));
            storedTime = timeText;
            if (numericTime) {
                timeText += QStringLiteral(".000");
                storedTime = timeTextToMs(timeText);
            }
        }
        for (int d = 1; d < columnCount; ++d) {
            const bool time = (d == 1 && fileKind == SampleData && ullTimeIndex <= 0)
                || (d == 2 && (fileKind == AlarmData || (fileKind == SampleData && ullTimeIndex > 0)))
                || (d == 5 && fileKind == AlarmData);
            if (time) {
                row.append(timeText);
                values += u',' + quoteLiteral(storedTime);
            } else {
                values += QStringLiteral(",'0'");
                if (d != ullTimeIndex)
                    row.append(QStringLiteral("0"));
            }
        }
        const int result = db.execUpdate(QStringLiteral("INSERT INTO %1 VALUES(%2)").arg(table, values));
        if (result > 0)
            return -2;
        pageStartsAfterAdd(db.lastInsertRowId());
        return 0;
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
        return -3;
    }
}

int CDataOperator::deleteRecord(const int& key)
{
    try {
        const QString table = quoteIdentifier(tableName);
        const QString keyName = quoteIdentifier(keyColumn());
        // The key goes in as text, as the quoted literal always did: the
        // column's affinity makes it match INTEGER and TEXT keys alike.
        CppSQLite3Statement find = db.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                                  .arg(rowidPaging ? rowidName : QStringLiteral("1"), table, keyName));
        find.bindText(1, QString::number(key));
        std::vector<qint64> rowids;
        for (CppSQLite3Query q = find.executeQuery(); !q.atEnd(); q.next())
            rowids.push_back(q.int64Or(0, 0));
        find.release();
        if (rowids.empty())
            return -1;

        CppSQLite3Statement remove = db.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, keyName));
        remove.bindText(1, QString::number(key));
        if (runLikeExecUpdate(db, remove) != 0)
            return -2;
        remove.release();
        page.rows.erase(key);
        pageStartsAfterDelete(rowids);
        return 0;
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
        return -3;
    }
}

int CDataOperator::updateCell(const int& key, const QString& columnName, const QString& newText,
                              const bool& isTimeColumn)
{
    try {
        const QString table = quoteIdentifier(tableName);
        const QString keyName = quoteIdentifier(keyColumn());
        CppSQLite3Statement find = db.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, keyName));
        find.bindText(1, QString::number(key));
        const bool exists = !find.executeQuery().atEnd();
        find.release();
        if (!exists)
            return -1;

        QString stored = newText;
        if (isTimeColumn && numericTime) {
            stored = timeTextToMs(newText);
            const qsizetype dot = newText.indexOf(u'.');
            if (dot >= 0 && stored.size() >= 3) {
                const QString fraction = newText.mid(dot + 1);
                const qsizetype at = stored.size() - 3;
                const qsizetype n = std::min<qsizetype>(fraction.size(), stored.size() - at);
                stored.replace(at, n, fraction.left(n));
            }
        }

        CppSQLite3Statement update = db.prepare(
            QStringLiteral("UPDATE  %1 set %2 = ? where %3 = ?").arg(table, quoteIdentifier(columnName), keyName));
        update.bindText(1, stored);
        update.bindText(2, QString::number(key));
        if (runLikeExecUpdate(db, update) != 0)
            return -2;
        update.release();

        auto row = page.rows.find(key);
        const qsizetype c = page.columns.indexOf(columnName);
        if (row != page.rows.end() && c >= 1 && c <= row->second.size())
            row->second[c - 1] = newText;
        return 0;
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
        return -3;
    }
}

// ---- time-range extraction -------------------------------------------------------------

int CDataOperator::exportTimeRange(const QString& newPath, const QString& start, const QString& end,
                                   const std::function<bool(qint64)>& progress)
{
    const bool existedBefore = pathExists(newPath);
    bool created = false;
    CppSQLite3DB out;
    try {
        const QString table = quoteIdentifier(tableName);
        const QString collect = quoteIdentifier(QStringLiteral("CollectTime"));
        CppSQLite3Query first = db.query(QStringLiteral("select %1 from %2 limit 0,1").arg(collect, table));
        if (first.atEnd())
            return -1;
        QString sample = first.textOr(0);
        first.release();
        if (sample.isNull()) {
            // A NULL first time says nothing about the storage; the first
            // time that is there does.
            CppSQLite3Query any = db.query(
                QStringLiteral("select %1 from %2 where %1 is not null limit 0,1").arg(collect, table));
            sample = any.atEnd() ? QString() : any.textOr(0);
        }
        QString lower = start;
        QString upper = end;
        if (!sample.isNull() && !sample.contains(u':')) {
            lower = timeTextToMs(start);
            upper = timeTextToMs(end);
        }

        CppSQLite3Statement range = db.prepare(
            QStringLiteral("select * from %1 where %2 between ? and ?").arg(table, collect));
        range.bindText(1, lower);
        range.bindText(2, upper);
        CppSQLite3Query q = range.executeQuery();
        if (q.atEnd())
            return -2;

        created = !existedBefore;
        out.open(newPath);
        const int n = q.columnCount();
        QStringList definitions, names, marks;
        for (int i = 0; i < n; ++i) {
            const QString name = quoteIdentifier(q.columnName(i));
            definitions << name + QStringLiteral(" TEXT");
            names << name;
            marks << QStringLiteral("?");
        }
        out.execUpdate(QStringLiteral("create table %1(%2);").arg(table, definitions.join(u',')));
        CppSQLite3Statement insert = out.prepare(
            QStringLiteral("INSERT INTO %1 (%2)VALUES (%3)").arg(table, names.join(u','), marks.join(u',')));
        out.execUpdate(QStringLiteral("begin"));
        qint64 copied = 0;
        for (; !q.atEnd(); q.next()) {
            for (int i = 0; i < n; ++i)
                insert.bindText(i + 1, q.textOr(i, QString()));
            insert.execute();
            ++copied;
            if (progress && copied % 4096 == 0 && !progress(copied)) {
                insert.release();
                out.close();
                if (created)
                    removeDatabaseFile(newPath);
                return -4;
            }
        }
        if (out.execUpdate(QStringLiteral("commit")) != 0)
            throw CppSQLite3Exception(SQLITE_BUSY, QStringLiteral("commit failed"));
        q.release();
        insert.release();
        range.release();
        out.close();
        if (progress)
            progress(copied);
        return 0;
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
        try {
            out.close();
        } catch (const CppSQLite3Exception&) {
        }
        if (created)
            removeDatabaseFile(newPath);
        return -3;
    }
}
