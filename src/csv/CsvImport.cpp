#include "csv/CsvImport.h"

#include "csv/CsvReader.h"
#include "store/CppSQLite3.h"
#include "util/CCodeConverter.h"
#include "util/Log.h"
#include "util/PathUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cstring>
#include <ctime>
#include <vector>

namespace CsvImport {

namespace {

const QString module = QStringLiteral("ExportDlg");
constexpr int notFoundKey = 21;
constexpr int unreadableKey = 22;
constexpr int failedKey = 23;
constexpr int progressEvery = 4096; // records between progress calls

CsvResult failed(const QString& detail)
{
    return CsvResult::failure(module, failedKey, detail);
}

// Fields are taken as zero-terminated UTF-8: bytes after a NUL are dropped,
// invalid sequences become U+FFFD. Decoding into a buffer kept per column
// spares an allocation per field, and the bytes are bound from there.
class FieldDecoder
{
public:
    FieldDecoder()
        : decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)
    {
    }

    QStringView decode(const std::string& field, std::vector<QChar>& buffer)
    {
        const void* nul = std::memchr(field.data(), 0, field.size());
        const qsizetype length = nul ? static_cast<const char*>(nul) - field.data() : qsizetype(field.size());
        buffer.resize(size_t(length) + 1);
        QChar* end = decoder.appendToBuffer(buffer.data(), QByteArrayView(field.data(), length));
        return QStringView(buffer.data(), end - buffer.data());
    }

    QString toString(const std::string& field)
    {
        std::vector<QChar> buffer;
        return decode(field, buffer).toString();
    }

private:
    QStringDecoder decoder;
};

// Reserves the name by creating the file, so two imports in one second
// (or two processes) never write into one file.
QString reserveNewFile(const QString& csvPath)
{
    const auto seconds = quint32(std::time(nullptr));
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString candidate = newDataFilePath(csvPath, seconds);
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return candidate;
        if (!file.exists())
            return QString();
    }
    return QString();
}

void removeDataFile(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

void closeQuietly(CppSQLite3DB& db)
{
    try {
        db.close();
    } catch (const CppSQLite3Exception& e) {
        vlog::debugOutput(e.message());
    }
}

} // namespace

QString newDataFilePath(const QString& csvPath, quint32 seconds)
{
    const QString base = QFileInfo(csvPath).absolutePath() + u'/' + QString::number(seconds);
    QString candidate = base + QStringLiteral(".db");
    for (int n = 1; pathExists(candidate); ++n)
        candidate = base + QStringLiteral("_%1.db").arg(n);
    return candidate;
}

CsvResult importCsv(const QString& csvPath, const QString& outPath, const CsvProgress& progress)
{
    if (!pathExists(csvPath))
        return CsvResult::failure(module, notFoundKey, csvPath + QStringLiteral(": no such file"));
    const QFileInfo csvInfo(csvPath);
    if (csvInfo.isDir())
        return CsvResult::failure(module, unreadableKey, csvPath + QStringLiteral(": is a folder"));

    CCodeConverter converter;
    CsvReader reader(std::string(converter.wideToAnsi(reinterpret_cast<const char16_t*>(csvPath.utf16()))), 0);
    if (reader.failed)
        return CsvResult::failure(module, unreadableKey,
                                  csvPath + QStringLiteral(": ") + QString::fromLocal8Bit(reader.errorText.c_str()));

    // An empty file would otherwise become a database without a table.
    if (!reader.ReadRecord(0) || reader.row.empty())
        return failed(csvPath + QStringLiteral(": the file has no header record"));

    FieldDecoder decoder;
    const size_t count = reader.row.size();
    const std::string& lastName = reader.row.back();
    const bool sampleData = !lastName.empty() && lastName.back() == '\x02';
    const QString table = sampleData ? QStringLiteral("DataGrpData") : QStringLiteral("Data");
    QStringList definitions;
    QStringList names;
    QStringList parameters;
    for (size_t i = 0; i < count; ++i) {
        QString name = decoder.toString(reader.row[i]);
        if (sampleData && i + 1 == count && name.endsWith(QChar(0x02)))
            name.chop(1);
        // Quoted as identifiers, so quotes, commas and blanks in a header
        // name make a column of that name instead of broken SQL.
        names << quoteIdentifier(name);
        definitions << quoteIdentifier(name) + QStringLiteral(" TEXT");
        parameters << QStringLiteral("?");
    }

    QString newPath = outPath;
    if (newPath.isEmpty()) {
        newPath = reserveNewFile(csvPath);
        if (newPath.isEmpty())
            return failed(csvInfo.absolutePath() + QStringLiteral(": cannot create a file in this folder"));
    } else if (pathExists(newPath)) {
        return failed(newPath + QStringLiteral(": the file exists already"));
    }

    const qint64 csvSize = csvInfo.size();
    CppSQLite3DB db;
    CsvResult result;
    try {
        db.open(newPath);
        db.execUpdate(QStringLiteral("create table %1(%2);").arg(table, definitions.join(u',')));
        CppSQLite3Statement insert = db.prepare(
            QStringLiteral("INSERT INTO %1(%2)VALUES(%3)").arg(table, names.join(u','), parameters.join(u',')));
        sqlite3_stmt* statement = insert.handle();
        std::vector<std::vector<QChar>> buffers(count);
        db.execUpdate(QStringLiteral("begin"));

        qint64 records = 0;
        bool cancelled = false;
        while (reader.ReadRecord(0)) {
            const CsvReader::Row& row = reader.row;
            if (row.size() > count) {
                result = failed(QStringLiteral("%1: record %2 has %3 fields, the header %4")
                                    .arg(csvPath)
                                    .arg(reader.recordNumber)
                                    .arg(row.size())
                                    .arg(count));
                break;
            }
            for (size_t k = 0; k < count; ++k) {
                int rc;
                if (k < row.size()) {
                    // Bound without a copy: the buffer stays as it is until
                    // this row has been stepped, and the file is UTF-16
                    // (sqlite3_open16), so SQLite stores the text as given.
                    const QStringView text = decoder.decode(row[k], buffers[k]);
                    rc = sqlite3_bind_text16(statement, int(k) + 1, text.utf16(), int(text.size() * 2), SQLITE_STATIC);
                } else {
                    rc = sqlite3_bind_null(statement, int(k) + 1);
                }
                if (rc != SQLITE_OK)
                    throw CppSQLite3Exception(rc, QStringLiteral("Error binding string param"));
            }
            insert.execute();
            if (++records % progressEvery == 0 && progress && !progress(qint64(reader.bytesRead()), csvSize)) {
                cancelled = true;
                break;
            }
        }

        if (cancelled) {
            result = CsvResult::cancel();
        } else if (result.detail.isEmpty() && reader.totalRecords == 0 && !reader.totalRecordsKnown) {
            // The reader stopped before the end of the file (a read error):
            // what was read is not the whole file.
            result = failed(csvPath + QStringLiteral(": ") + QString::fromLocal8Bit(reader.errorText.c_str()));
        } else if (result.detail.isEmpty()) {
            db.execUpdate(QStringLiteral("commit"));
            insert.release();
            db.close();
            if (progress)
                progress(csvSize, csvSize);
            result = CsvResult::success();
            result.newPath = newPath;
            return result;
        }
    } catch (const CppSQLite3Exception& e) {
        vlog::debugOutput(e.message());
        result = failed(newPath + QStringLiteral(": ") + e.message());
    }
    closeQuietly(db);
    removeDataFile(newPath);
    return result;
}

} // namespace CsvImport
