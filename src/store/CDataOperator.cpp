#include "store/CDataOperator.h"

#include "util/Log.h"
#include "util/PathUtil.h"

#include <QFile>

#include <cstdio>
#include <limits>
#include <ctime>

namespace {

const QString kCollectTime = QStringLiteral("CollectTime");
const QString kUllTime = QStringLiteral("ullTime");

// _wtoi64: optional blanks and sign, then leading decimal digits.
qint64 leadingInt64(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    qint64 v = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (v > (std::numeric_limits<qint64>::max() - 9) / 10)
            return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        v = v * 10 + (text[i].unicode() - u'0');
    }
    return negative ? -v : v;
}

void debugError(const CppSQLite3Exception& e)
{
    vlog::debugOutput(e.message());
}

} // namespace

CDataOperator::CDataOperator() = default;

CDataOperator::~CDataOperator()
{
    try {
        db.close();
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
    }
}

// Taking an empty or non-numeric value for milliseconds would turn every
// real time text of the file into 1970.
bool CDataOperator::isMillisecondSample(const QString& sample)
{
    if (sample.isEmpty() || sample.contains(u':'))
        return false;
    const QChar c = sample.front();
    return c.isDigit() || ((c == u'-' || c == u'+') && sample.size() > 1 && sample[1].isDigit());
}

int CDataOperator::setRowsPerPage(int n)
{
    rowsPerPage = n;
    return 0;
}

int CDataOperator::pageCount() const
{
    if (recordCount <= 0 || rowsPerPage <= 0)
        return 0;
    return (recordCount + rowsPerPage - 1) / rowsPerPage;
}

bool CDataOperator::isTimeColumn(int i) const
{
    switch (fileKind) {
    case SampleData: return i >= 0 && i == collectTimeIndex;
    case AlarmData: return i == 2 || i == 5;
    case OperationLog: return i == 1;
    default: return false;
    }
}

// ---- open -------------------------------------------------------------------------

int CDataOperator::openDataFile(const QString& path, int& kind)
{
    if (!pathExists(path))
        return -1;
    if (path == filePath && opened)
        return 0;
    filePath = path;
    const int result = discoverTables();
    opened = result == 0;
    if (result < 0)
        return -2;
    kind = fileKind;
    return 0;
}

int CDataOperator::discoverTables()
{
    if (filePath.isEmpty())
        return -1;
    judgeAlarmData(filePath);
    try {
        db.close();
        db.open(filePath);
        if (db.hasTable(QStringLiteral("DataGrpData")))
            fileKind = SampleData;
        else if (db.hasTable(QStringLiteral("AlarmTable")) || db.hasTable(QStringLiteral("AlarmTextTable")))
            fileKind = AlarmData;
        else
            fileKind = OperationLog;

        CppSQLite3Query names = db.query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
        if (names.atEnd()) {
            names.release();
            return -3;
        }
        tableName = names.textOr(0);
        names.release();

        recordCount = db.queryInt(QStringLiteral("select count(*) from ") + quoteIdentifier(tableName));

        CppSQLite3Query first = db.query(QStringLiteral("select * from %1 limit 0,1").arg(quoteIdentifier(tableName)));
        if (first.atEnd())
            return -4;
        columnCount = first.columnCount();
        page.columns.clear();
        for (int i = 0; i < columnCount; ++i) {
            const QString name = first.columnName(i);
            if (name == kUllTime) {
                ullTimeIndex = i;
                continue;
            }
            page.columns.append(name);
            if (name == kCollectTime)
                collectTimeIndex = i;
        }
        first.release();

        findPageStarts(recordCount);
        readPage(1);
        return 0;
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
        return -5;
    }
}

// Chooses how pages are read and, for rowid reading, where each starts.
// LIMIT/OFFSET makes SQLite step over every record before the page, so the
// last page of 5M records costs a hundred times the first; a rowid range is
// a b-tree seek. Both read the table in rowid order, which is the order of
// the plain "select *" scan, as long as SQLite scans the table itself and
// not an index that happens to cover every column.
void CDataOperator::findPageStarts(qint64 records)
{
    rowidPaging = false;
    pageStarts.clear();
    if (rowsPerPage <= 0)
        return;
    const QString table = quoteIdentifier(tableName);
    try {
        CppSQLite3Query sql = db.query(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ")
                                       + quoteLiteral(tableName));
        const QString create = sql.atEnd() ? QString() : sql.textOr(0);
        sql.release();
        if (create.startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive))
            return;

        // rowid, _rowid_ and oid all name the rowid unless a column takes
        // the name; a table with all three taken is read by offset.
        rowidName.clear();
        for (const char* alias : {"rowid", "_rowid_", "oid"}) {
            bool taken = false;
            for (const QString& column : page.columns)
                taken = taken || column.compare(QLatin1String(alias), Qt::CaseInsensitive) == 0;
            if (ullTimeIndex >= 0)
                taken = taken || kUllTime.compare(QLatin1String(alias), Qt::CaseInsensitive) == 0;
            if (!taken) {
                rowidName = QLatin1String(alias);
                break;
            }
        }
        if (rowidName.isEmpty())
            return;

        CppSQLite3Query plan = db.query(QStringLiteral("EXPLAIN QUERY PLAN select * from ") + table);
        for (; !plan.atEnd(); plan.next()) {
            if (plan.textOr(plan.columnCount() - 1).contains(QLatin1String("INDEX"), Qt::CaseInsensitive))
                return;
        }
        plan.release();

        // Fails on a WITHOUT ROWID table. Two sub-selects, because SQLite
        // seeks the b-tree's ends only for a lone min() or max(); both in
        // one select scan the whole table.
        CppSQLite3Query range = db.query(QStringLiteral("SELECT (SELECT min(%1) FROM %2), (SELECT max(%1) FROM %2)").arg(rowidName, table));
        const qint64 low = range.int64Or(0, 0);
        const qint64 high = range.int64Or(1, -1);
        range.release();
        maxRowid = high;
        pagedRecords = records;

        if (records > 0 && high - low + 1 == records) {
            // Rowids without gaps, the usual case for a panel's file: the
            // starts follow from the count without reading a record.
            for (qint64 start = low; start <= high; start += rowsPerPage)
                pageStarts.push_back(start);
        } else {
            CppSQLite3Query rows = db.query(QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(rowidName, table));
            qint64 n = 0;
            for (; !rows.atEnd(); rows.next(), ++n) {
                if (n % rowsPerPage == 0)
                    pageStarts.push_back(rows.int64Or(0, 0));
            }
            rows.release();
            pagedRecords = n;
        }
        rowidPaging = true;
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
        rowidPaging = false;
        pageStarts.clear();
    }
}

// ---- page reading ----------------------------------------------------------------

int CDataOperator::readPage(int p)
{
    if (p < 1)
        return -1;
    try {
        std::map<int, QStringList> rows;
        const int result = readMainRows(p, rows);
        if (result < 0)
            return result;
        if (fileKind == AlarmData && readSideRows(rows) < 0)
            return -5;
        page.rows.swap(rows);
        return 0;
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
        return -5;
    }
}

int CDataOperator::readMainRows(int p, std::map<int, QStringList>& rows)
{
    const QString table = quoteIdentifier(tableName);
    CppSQLite3Statement statement;
    CppSQLite3Query q;
    if (rowidPaging) {
        if (size_t(p) > pageStarts.size())
            return -2;
        statement = db.prepare(QStringLiteral("select * from %1 where %2 >= ? order by %2 limit ?").arg(table, rowidName));
        statement.bindInt64(1, pageStarts[size_t(p) - 1]);
        statement.bindInt(2, rowsPerPage);
        q = statement.executeQuery();
    } else {
        const qint64 offset = qint64(rowsPerPage) * (p - 1);
        q = db.query(QStringLiteral("select * from %1 limit %2,%3").arg(table).arg(offset).arg(rowsPerPage));
    }
    if (q.atEnd())
        return -2;
    if (columnCount <= 0)
        return -3;

    int sampleColumn = -1;
    if (fileKind == SampleData)
        sampleColumn = collectTimeIndex;
    else if (fileKind == AlarmData)
        sampleColumn = 2;
    else if (fileKind == OperationLog)
        sampleColumn = 1;
    if (sampleColumn >= 0 && sampleColumn < q.columnCount() && isMillisecondSample(q.textOr(sampleColumn)))
        numericTime = true;

    const int columns = q.columnCount();
    std::vector<char> timeColumn(size_t(columns), 0);
    for (int i = 1; i < columns; ++i)
        timeColumn[size_t(i)] = isTimeColumn(i);

    for (; !q.atEnd(); q.next()) {
        const int key = q.intOr(0, 0);
        if (rows.count(key))
            continue;
        QStringList cells;
        cells.reserve(columns - 1);
        for (int i = 1; i < columns; ++i) {
            if (i == ullTimeIndex)
                continue;
            QString cell = q.textOr(i, QString());
            if (numericTime && timeColumn[size_t(i)])
                cell = msToTimeText(cell);
            cells.append(std::move(cell));
        }
        rows.emplace(key, std::move(cells));
    }
    return 0;
}

// Side rows join the page's records by key. Taken by position instead (the
// side table's rows offset like the page), a side table that holds rows
// for only some alarms - confirmations, say - would hang them on the wrong
// pages and add records of later pages that hold nothing but side cells.
int CDataOperator::readSideRows(std::map<int, QStringList>& rows)
{
    if (db.queryInt(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ")
                    + quoteLiteral(sideTableName)) == 0)
        return 0;
    const QString side = quoteIdentifier(sideTableName);
    CppSQLite3Query head = db.query(QStringLiteral("select * from %1 limit 0,1").arg(side));
    if (head.atEnd())
        return 0;
    const int n = head.columnCount();
    const QString sideKey = quoteIdentifier(head.columnName(0));
    if (!sideColumnsAdded) {
        for (int i = 1; i < n; ++i)
            page.columns.append(head.columnName(i));
        sideColumnsAdded = true;
    }
    head.release();
    if (rows.empty())
        return 0;

    // Every record of the page holds the main table's cells only; a record
    // with more already has its side cells (a key the side table repeats).
    const qsizetype mainCells = rows.begin()->second.size();
    CppSQLite3Statement statement =
        db.prepare(QStringLiteral("select * from %1 where %2 between ? and ?").arg(side, sideKey));
    statement.bindInt(1, rows.begin()->first);
    statement.bindInt(2, rows.rbegin()->first);
    for (CppSQLite3Query q = statement.executeQuery(); !q.atEnd(); q.next()) {
        const auto record = rows.find(q.intOr(0, 0));
        if (record == rows.end() || record->second.size() != mainCells)
            continue;
        QStringList& cells = record->second;
        for (int i = 1; i < n; ++i) {
            QString cell = q.textOr(i, QString());
            if (i == 1 && numericTime)
                cell = msToTimeText(cell);
            cells.append(std::move(cell));
        }
    }
    return 0;
}

void CDataOperator::judgeAlarmData(const QString& path)
{
    alarmTexts.clear();
    CppSQLite3Query q;
    try {
        db.close();
        db.open(path);
        if (db.hasTable(QStringLiteral("AlarmTable")) && db.hasTable(QStringLiteral("AlarmTextTable"))) {
            q = db.query(QStringLiteral("select * from AlarmTextTable limit 0,1"));
            if (q.atEnd() || q.columnCount() != 9) {
                q.release();
                db.close();
                return;
            }
            if (q.columnName(0) == QLatin1String("ID")) {
                q = db.query(QStringLiteral("select * from AlarmTextTable"));
                std::map<int, std::map<QString, QString>> texts;
                bool any = false;
                for (; !q.atEnd(); q.next()) {
                    const QString id = q.textOr(0, QString());
                    for (int t = 0; t < 8; ++t)
                        texts[t][id] = q.textOr(t + 1, QString());
                    any = true;
                }
                if (any)
                    alarmTexts = std::move(texts);
            }
        }
        q.release();
        db.close();
    } catch (const CppSQLite3Exception& e) {
        // A GUI process's standard output goes nowhere on the desktop it was
        // written for; here it would land in the terminal of whoever started
        // us, so the text takes the debug channel with the other SQLite errors.
        vlog::debugOutput(QStringLiteral("judgeAlarmData Error: %1").arg(e.message()));
        try {
            q.release();
            db.close();
        } catch (const CppSQLite3Exception&) {
        }
    }
}

int CDataOperator::closeDataFile()
{
    try {
        db.close();
    } catch (const CppSQLite3Exception& e) {
        debugError(e);
    }
    page.rows.clear();
    return 0;
}

// ---- time conversion ----------------------------------------------------------------

QString CDataOperator::recordTimeText(qint64 seconds)
{
    const std::time_t t = std::time_t(seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return QString();
    return QString::asprintf("%d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                             tm.tm_hour, tm.tm_min, tm.tm_sec);
}

QString CDataOperator::msToTimeText(const QString& text)
{
    if (text.isEmpty())
        return QString();
    const qint64 v = leadingInt64(text);
    const qint64 seconds = v / 1000;
    const qint64 ms = v - seconds * 1000;
    const QString time = recordTimeText(seconds);
    // A number beyond what the C library can place in local time is shown
    // as it stands rather than as a made-up date.
    if (time.isEmpty())
        return text;
    return time + QString::asprintf(".%03d", int(ms));
}

QString CDataOperator::timeTextToMs(const QString& text)
{
    if (text.isEmpty())
        return QString();
    QByteArray local = text.toLocal8Bit();
    if (local.size() > 259)
        local.truncate(259);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // Text that does not hold all six numbers is no time: empty result.
    if (std::sscanf(local.constData(), "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second) != 6)
        return QString();
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return QString::number(qint64(t) * 1000);
}
