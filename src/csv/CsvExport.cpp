#include "csv/CsvExport.h"

#include "csv/CsvWriter.h"
#include "store/CDataOperator.h"
#include "util/CCodeConverter.h"
#include "util/Log.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace CsvExport {

namespace {

const QString exportModule = QStringLiteral("ExportDlg");
constexpr int cannotWriteKey = 3;
constexpr int doneKey = 13;

CsvResult noData()
{
    return CsvResult::failure(QStringLiteral("InfoDlg"), 7, QStringLiteral("there is no data to export"));
}

CsvResult cannotWrite(const QString& detail)
{
    return CsvResult::failure(exportModule, cannotWriteKey, detail);
}

CsvResult writerFailed(const CsvWriter& writer)
{
    return cannotWrite(QString::fromLocal8Bit(writer.errorText.c_str()));
}

std::string systemPath(const QString& path)
{
    CCodeConverter converter;
    return converter.wideToAnsi(reinterpret_cast<const char16_t*>(path.utf16()));
}

void encodeUtf8(QStringEncoder& encoder, QStringView text, std::string& out)
{
    out.resize(size_t(encoder.requiredSpace(text.size())));
    char* end = encoder.appendToBuffer(out.data(), text);
    out.resize(size_t(end - out.data()));
}

// A cell as the CSV shows it. Panels end some texts with a line feed that
// would only break the record for other programs; one in the middle is part
// of the text. The alarm ID column shows the alarm's text when it is known.
QStringView shownText(QStringView text, bool alarmColumn, const AlarmTextMap& alarmTexts)
{
    const qsizetype lineFeed = text.indexOf(u'\n');
    if (lineFeed >= 0 && lineFeed == text.size() - 1)
        text.chop(1);
    if (alarmColumn && !alarmTexts.empty()) {
        const auto found = alarmTexts.find(text.toString());
        if (found != alarmTexts.end())
            return found->second;
    }
    return text;
}

// Turns the cells of a page into CSV records. The field texts live in one
// reused vector and are encoded straight into it, so a record costs no
// allocation once the first few have sized the strings.
class RecordEncoder
{
public:
    RecordEncoder(CsvWriter& writer, const AlarmTextMap& alarmTexts)
        : writer(writer)
        , alarmTexts(alarmTexts)
        , encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)
    {
    }

    bool header(const PageView& view)
    {
        const QStringList& columns = view.page.columns;
        // The marker goes on the name at the document's column count, which
        // for a sample file is the last one.
        const qsizetype markerAt = view.fileKind == SampleData ? view.displayColumnCount - 1 : -1;
        fields.resize(size_t(columns.size()));
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (i == markerAt)
                encodeUtf8(encoder, columns[i] + QChar(0x02), fields[size_t(i)]);
            else
                encodeUtf8(encoder, columns[i], fields[size_t(i)]);
        }
        return writer.WriteRow(fields);
    }

    bool rows(const std::map<int, QStringList>& rows)
    {
        for (const auto& [key, cells] : rows) {
            fields.resize(size_t(cells.size()) + 1);
            fields[0] = std::to_string(key);
            for (qsizetype i = 0; i < cells.size(); ++i)
                encodeUtf8(encoder, shownText(cells[i], i == 2, alarmTexts), fields[size_t(i) + 1]);
            if (!writer.WriteRow(fields))
                return false;
        }
        return true;
    }

private:
    CsvWriter& writer;
    const AlarmTextMap& alarmTexts;
    QStringEncoder encoder;
    std::vector<std::string> fields;
};

struct Session {
    CsvWriter writer;
    std::unique_ptr<RecordEncoder> encoder;
};

bool begin(std::ostream& out, const PageView& view, Session& session)
{
    if (!session.writer.Associate(&out, 0))
        return false;
    session.writer.terminator = "\r\n";
    session.writer.quoteAll = true;
    session.encoder = std::make_unique<RecordEncoder>(session.writer, view.alarmTexts);
    return session.encoder->header(view);
}

// Writes beside the target and renames over it only when `write` succeeded:
// a full disk, a cancel or an unreadable page must not cost the user the
// file that was there before.
CsvResult toFile(const QString& path, const PageView& view, const std::function<CsvResult(std::ostream&)>& write)
{
    if (!hasExportableData(view.page, view.displayColumnCount))
        return noData();

    const QFileInfo target(path);
    const bool replacing = target.exists();
    if (replacing) {
        if (target.isDir())
            return cannotWrite(path + QStringLiteral(": is a folder"));
        // Root may write any file; a file without write bits is still one
        // the user marked read-only.
        const QFile::Permissions writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        if (!target.isWritable() || !(target.permissions() & writeBits))
            return cannotWrite(path + QStringLiteral(": the file is read-only"));
    }

    const QString folder = target.absolutePath();
    QString tempPath;
    for (int n = 0; tempPath.isEmpty() && n < 100; ++n) {
        const QString candidate = folder + u'/'
            + QStringLiteral(".%1.%2-%3.tmp").arg(target.fileName()).arg(QCoreApplication::applicationPid()).arg(n);
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            tempPath = candidate;
        else if (!file.exists())
            return cannotWrite(path + QStringLiteral(": ") + file.errorString());
    }
    if (tempPath.isEmpty())
        return cannotWrite(path + QStringLiteral(": no free temporary name in ") + folder);

    const std::string tempName = systemPath(tempPath);
    CsvResult result;
    {
        // A larger stream buffer means a write call per 64 KiB instead of
        // per 8 KiB; the writer hands over whole fields either way.
        std::vector<char> streamBuffer(1 << 16);
        std::ofstream out;
        out.rdbuf()->pubsetbuf(streamBuffer.data(), std::streamsize(streamBuffer.size()));
        out.open(tempName, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!out.is_open()) {
            result = cannotWrite(path + QStringLiteral(": cannot write ") + tempPath);
        } else {
            result = write(out);
            out.close(); // the last bytes reach the disk here, and may not fit
            if (result.ok && out.fail())
                result = cannotWrite(path + QStringLiteral(": writing failed"));
        }
    }
    if (result.ok) {
        if (replacing)
            QFile::setPermissions(tempPath, target.permissions());
        if (std::rename(tempName.c_str(), systemPath(path).c_str()) != 0)
            result = cannotWrite(path + QStringLiteral(": cannot replace the file"));
    }
    if (!result.ok)
        QFile::remove(tempPath);
    return result;
}


// Bytes that SQLite's UTF-16 conversion would change: invalid UTF-8 and the
// noncharacters U+FFFE/U+FFFF, which it turns into U+FFFD.
bool needsWideConversion(const char* text, int length)
{
    bool ascii = true;
    for (int i = 0; i < length && ascii; ++i)
        ascii = static_cast<unsigned char>(text[i]) < 0x80;
    if (ascii)
        return false;
    const QByteArrayView bytes(text, length);
    return !bytes.isValidUtf8() || bytes.contains("\xEF\xBF\xBE") || bytes.contains("\xEF\xBF\xBF");
}

// Export all in one pass over the table, cut into pages as the rowid page
// read cuts it, each page put in key order with its duplicate keys dropped:
// the bytes of reading page after page, at a third of the cost. Reading
// pages builds a map of QStrings per page through the store's connection,
// whose mutex every column call takes; here a private connection without
// that mutex hands UTF-8 bytes straight to the writer. Files this does not
// cover (alarm files with their side table, tables read by LIMIT/OFFSET,
// UTF-16 files) go through the page read. Returns false when not covered.
class OnePassExport
{
public:
    OnePassExport(CDataOperator& store, const AlarmTextMap& alarmTexts)
        : store(store)
        , alarmTexts(alarmTexts)
        , encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)
    {
    }
    ~OnePassExport()
    {
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }

    bool prepare()
    {
        if (!store.readsByRowid() || store.fileKind == AlarmData || store.rowsPerPage <= 0 || store.filePath.isEmpty())
            return false;
        if (sqlite3_open_v2(QFile::encodeName(store.filePath).constData(), &db,
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
            return false;
        sqlite3_busy_timeout(db, CPPSQLITE_DEFAULT_BUSY_TIMEOUT_MS);
        if (!hasUtf8Encoding())
            return false;
        const QString table = quoteIdentifier(store.tableName);
        QString rowid;
        for (const char* alias : {"rowid", "_rowid_", "oid"}) {
            if (!hasColumn(QLatin1String(alias))) {
                rowid = QLatin1String(alias);
                break;
            }
        }
        if (rowid.isEmpty())
            return false;
        const QByteArray sql = QStringLiteral("select * from %1 order by %2").arg(table, rowid).toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
            return false;
        columns = sqlite3_column_count(statement);
        return columns == store.columnCount;
    }

    // Steps through the table; false with `error` set when SQLite failed.
    template<typename PageSink>
    bool run(PageSink&& writePage, QString& error)
    {
        const int ullTime = store.ullTimeIndex;
        std::vector<char> timeColumn(size_t(columns), 0);
        for (int i = 1; i < columns; ++i)
            timeColumn[size_t(i)] = store.isTimeColumn(i);
        int sampleColumn = -1;
        if (store.fileKind == SampleData)
            sampleColumn = store.collectTimeIndex;
        else if (store.fileKind == OperationLog)
            sampleColumn = 1;
        bool numericTime = store.numericTime;

        const size_t rowsPerPage = size_t(store.rowsPerPage);
        const size_t cells = size_t(columns - 1 - (ullTime > 0 ? 1 : 0));
        rows.resize(rowsPerPage);
        keys.resize(rowsPerPage);
        size_t filled = 0;
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            if (filled == 0 && sampleColumn >= 0 && sampleColumn < columns
                && CDataOperator::isMillisecondSample(wideText(sampleColumn)))
                numericTime = true;
            keys[filled] = sqlite3_column_int(statement, 0);
            std::vector<std::string>& row = rows[filled];
            row.resize(cells + 1);
            row[0] = std::to_string(keys[filled]);
            size_t cell = 1;
            for (int i = 1; i < columns; ++i) {
                if (i == ullTime)
                    continue;
                cellBytes(i, numericTime && timeColumn[size_t(i)], cell - 1, row[cell]);
                ++cell;
            }
            if (++filled == rowsPerPage) {
                if (!writePage(rows, order(filled)))
                    return true;
                filled = 0;
            }
        }
        if (rc != SQLITE_DONE) {
            error = QString::fromUtf8(sqlite3_errmsg(db));
            return false;
        }
        if (filled > 0)
            writePage(rows, order(filled));
        return true;
    }

private:
    bool hasUtf8Encoding()
    {
        sqlite3_stmt* pragma = nullptr;
        bool utf8 = false;
        if (sqlite3_prepare_v2(db, "pragma encoding", -1, &pragma, nullptr) == SQLITE_OK
            && sqlite3_step(pragma) == SQLITE_ROW)
            utf8 = qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(pragma, 0)), "UTF-8") == 0;
        sqlite3_finalize(pragma);
        return utf8;
    }

    // The rowid alias must be one no column shadows, as in the page read.
    bool hasColumn(QLatin1String name) const
    {
        for (const QString& column : store.page.columns) {
            if (column.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }

    // The cell as the page read gives it: NULL empty, text up to a NUL.
    QString wideText(int i)
    {
        if (sqlite3_column_type(statement, i) == SQLITE_NULL)
            return QString();
        const auto* text = static_cast<const QChar*>(sqlite3_column_text16(statement, i));
        QString s(text, sqlite3_column_bytes16(statement, i) / 2);
        const qsizetype nul = s.indexOf(QChar(0));
        if (nul >= 0)
            s.truncate(nul);
        return s;
    }

    void cellBytes(int i, bool timeCell, size_t cellIndex, std::string& out)
    {
        const int type = sqlite3_column_type(statement, i);
        if (type == SQLITE_NULL) {
            out.clear();
            return;
        }
        const bool replace = cellIndex == 2 && !alarmTexts.empty();
        if (type != SQLITE_BLOB && !timeCell && !replace) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            int length = sqlite3_column_bytes(statement, i);
            if (!needsWideConversion(text, length)) {
                if (const void* nul = std::memchr(text, 0, size_t(length)))
                    length = int(static_cast<const char*>(nul) - text);
                const void* lineFeed = std::memchr(text, '\n', size_t(length));
                if (lineFeed && static_cast<const char*>(lineFeed) == text + length - 1)
                    --length;
                out.assign(text, size_t(length));
                return;
            }
        }
        QString text = wideText(i);
        if (timeCell)
            text = CDataOperator::msToTimeText(text);
        encodeUtf8(encoder, shownText(text, replace, alarmTexts), out);
    }

    // Positions of the page's records in key order, the first of equal keys
    // only. Pages of files keyed by their rowid are in order already.
    const std::vector<size_t>& order(size_t filled)
    {
        positions.resize(filled);
        for (size_t i = 0; i < filled; ++i)
            positions[i] = i;
        bool ascending = true;
        for (size_t i = 1; i < filled && ascending; ++i)
            ascending = keys[i - 1] < keys[i];
        if (!ascending) {
            std::stable_sort(positions.begin(), positions.end(), [this](size_t a, size_t b) { return keys[a] < keys[b]; });
            positions.erase(std::unique(positions.begin(), positions.end(),
                                        [this](size_t a, size_t b) { return keys[a] == keys[b]; }),
                            positions.end());
        }
        return positions;
    }

    CDataOperator& store;
    const AlarmTextMap& alarmTexts;
    QStringEncoder encoder;
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    int columns = 0;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> keys;
    std::vector<size_t> positions;
};

} // namespace

int displayColumnCount(const CDataOperator& store)
{
    return store.columnCount - (store.ullTimeIndex > 0 ? 1 : 0);
}

bool hasExportableData(const RecordPage& page, int displayColumnCount)
{
    return !page.columns.isEmpty() && !page.rows.empty() && displayColumnCount > 2;
}

CsvResult exportPage(std::ostream& out, const PageView& view)
{
    if (!hasExportableData(view.page, view.displayColumnCount))
        return noData();
    Session session;
    if (!begin(out, view, session) || !session.encoder->rows(view.page.rows))
        return writerFailed(session.writer);
    return CsvResult::success(exportModule, doneKey);
}

CsvResult exportPage(const QString& path, const PageView& view)
{
    return toFile(path, view, [&view](std::ostream& out) { return exportPage(out, view); });
}

CsvResult exportAll(std::ostream& out, CDataOperator& store, int currentPage, const PageView& view,
                    const CsvProgress& progress)
{
    if (!hasExportableData(view.page, view.displayColumnCount))
        return noData();
    Session session;
    if (!begin(out, view, session))
        return writerFailed(session.writer);

    CsvResult result = CsvResult::success(exportModule, doneKey);
    const int pages = store.pageCount();
    OnePassExport onePass(store, view.alarmTexts);
    if (onePass.prepare()) {
        int page = 0;
        QString error;
        const bool read = onePass.run(
            [&](const std::vector<std::vector<std::string>>& rows, const std::vector<size_t>& order) {
                for (size_t i : order) {
                    if (!session.writer.WriteRow(rows[i])) {
                        result = writerFailed(session.writer);
                        return false;
                    }
                }
                ++page;
                if (progress && !progress(page, pages)) {
                    result = CsvResult::cancel();
                    return false;
                }
                return true;
            },
            error);
        if (!read)
            result = cannotWrite(store.filePath + QStringLiteral(": ") + error);
        return result;
    }
    for (int p = 1; p <= pages; ++p) {
        // A page that cannot be read would leave a gap in a file that claims
        // to hold every record; the export fails instead.
        if (store.readPage(p) < 0) {
            result = cannotWrite(store.filePath + QStringLiteral(": page %1 could not be read").arg(p));
            break;
        }
        if (!session.encoder->rows(store.page.rows)) {
            result = writerFailed(session.writer);
            break;
        }
        if (progress && !progress(p, pages)) {
            result = CsvResult::cancel();
            break;
        }
    }
    if (currentPage >= 1 && store.readPage(currentPage) < 0)
        vlog::debugOutput(QStringLiteral("export: page %1 could not be read again").arg(currentPage));
    return result;
}

CsvResult exportAll(const QString& path, CDataOperator& store, int currentPage, const PageView& view,
                    const CsvProgress& progress)
{
    return toFile(path, view, [&](std::ostream& out) { return exportAll(out, store, currentPage, view, progress); });
}

} // namespace CsvExport
