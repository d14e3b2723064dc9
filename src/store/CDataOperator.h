#pragma once
#include "store/CppSQLite3.h"
#include "store/RecordPage.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

// The store of one open data-record file: opens it, decides its kind, finds
// the shown table and its columns, counts the records, reads pages of
// records as text, edits records in place and extracts time ranges into new
// files. It reports by result codes and never shows a message; swallowed
// SQLite errors go to the debug channel.
//
// Pages are read by rowid range: the rowid at which each page starts is
// found when the records are counted at open (and again after an add or a
// delete), so the last page of a file of millions of records costs what the
// first does. A table without rowid (or one SQLite would scan through an
// index) is read with LIMIT/OFFSET; both give the same records in the same
// order.
class CDataOperator
{
public:
    CDataOperator();
    CDataOperator(const CDataOperator&) = delete;
    CDataOperator& operator=(const CDataOperator&) = delete;
    virtual ~CDataOperator();

    int setRowsPerPage(int n);
    // 0 opened; -1 nothing at the path; -2 the file could not be read
    // (recordCount tells: -1 no table or no database, 0 an empty table).
    int openDataFile(const QString& path, int& kind);
    int closeDataFile();
    // Replaces `page` with page p (from 1). 0; -1 p < 1; -2 no record there;
    // -3 no columns; -5 an SQLite error. `page` is kept on failure.
    int readPage(int p);
    void judgeAlarmData(const QString& path);

    // Whether a time value sampled from a file means the file stores
    // milliseconds: a number without ':'. An empty (NULL) or non-numeric
    // value decides nothing.
    static bool isMillisecondSample(const QString& sample);
    // Milliseconds since 1970 (UTC) as text <-> local record time text.
    static QString msToTimeText(const QString& text);
    // Seconds since 1970 as local record time text without milliseconds;
    // empty when the C library cannot place them in local time.
    static QString recordTimeText(qint64 seconds);
    static QString timeTextToMs(const QString& text);

    // Record editing. Results: 0 done; -1 table empty / no such key;
    // -2 SQLite gave a non-zero result (busy, read-only); -3 an SQLite error.
    int addRecord(QStringList& row);
    int deleteRecord(const int& key);
    int updateCell(const int& key, const QString& columnName, const QString& newText,
                   const bool& isTimeColumn);

    // Copies the records whose CollectTime lies in [start, end] into a new
    // file at newPath. 0 written; -1 no record; -2 none in the range; -3 an
    // SQLite error. A file this call created is removed again on failure.
    // `progress`, when given, is called with the records copied so far and
    // stops the copy (result -4, the new file removed) when it returns false.
    int exportTimeRange(const QString& newPath, const QString& start, const QString& end,
                        const std::function<bool(qint64)>& progress = {});

    // Number of pages of rowsPerPage records (0 for an empty table).
    int pageCount() const;
    // Whether column i of the shown table (0 = key) holds times.
    bool isTimeColumn(int tableColumn) const;
    // Whether pages are read by rowid range (false: LIMIT/OFFSET).
    bool readsByRowid() const { return rowidPaging; }

    // Members read by the document, the views and the commands; only the
    // store writes them.
    CppSQLite3DB db;
    bool opened = false;
    int rowsPerPage = 0;
    int columnCount = 0;
    int recordCount = -1;
    int fileKind = 0;
    bool numericTime = false;
    int collectTimeIndex = -1;
    int ullTimeIndex = -1;
    QString tableName;
    QString sideTableName = QStringLiteral("AlarmTableSideTable");
    QString filePath;
    RecordPage page;
    std::map<int, std::map<QString, QString>> alarmTexts;

private:
    int discoverTables();
    void findPageStarts(qint64 records);
    void pageStartsAfterAdd(qint64 newRowid);
    void pageStartsAfterDelete(const std::vector<qint64>& deletedRowids);
    bool keyIsRowid();
    QString keyColumn() const;
    int readMainRows(int p, std::map<int, QStringList>& rows);
    int readSideRows(std::map<int, QStringList>& rows);

    bool rowidPaging = false;
    QString rowidName;                    // rowid, _rowid_ or oid: whichever no column shadows
    std::vector<sqlite3_int64> pageStarts; // rowid of each page's first record
    qint64 pagedRecords = 0;              // records the starts account for
    qint64 maxRowid = 0;
    int keyRowidState = -1;               // -1 unknown, 0 no, 1 the key column is the rowid
    bool sideColumnsAdded = false;
};
