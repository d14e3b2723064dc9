#include "csv/CsvImport.h"

#include "csv/CsvReader.h"
#include "store/CppSQLite3.h"
#include "store/OutputNames.h"
#include "util/CCodeConverter.h"
#include "util/Log.h"
#include "util/PathUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cstring>
#include <string_view>
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
// invalid sequences become U+FFFD. Valid text (nearly every field) is bound
// as it lies in the reader's row, without a copy.
class FieldDecoder
{
public:
    FieldDecoder()
        : decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)
    {
    }

    QString toString(const std::string& field)
    {
        return decoder.decode(QByteArrayView(field.data(), textLength(field)));
    }

    // The field as valid UTF-8; `spare` holds it when it had to be repaired.
    std::string_view utf8Text(const std::string& field, std::string& spare)
    {
        const qsizetype length = textLength(field);
        const QByteArrayView bytes(field.data(), length);
        bool ascii = true;
        for (qsizetype i = 0; i < length && ascii; ++i)
            ascii = static_cast<unsigned char>(field[size_t(i)]) < 0x80;
        if (ascii || bytes.isValidUtf8())
            return std::string_view(field.data(), size_t(length));
        spare = QString(decoder.decode(bytes)).toUtf8().toStdString();
        return spare;
    }

private:
    static qsizetype textLength(const std::string& field)
    {
        const void* nul = std::memchr(field.data(), 0, field.size());
        return nul ? static_cast<const char*>(nul) - field.data() : qsizetype(field.size());
    }

    QStringDecoder decoder;
};

// The new file's connection. It belongs to this import alone, so it is
// opened without SQLite's per-connection mutex, which every bind and step
// would otherwise take: a fifth of the import's time. Texts are bound as
// UTF-8 into a UTF-8 file, so SQLite converts nothing.
class DataFile
{
public:
    ~DataFile() { close(); }

    bool open(const QString& path)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK)
            return remember();
        sqlite3_busy_timeout(db, CPPSQLITE_DEFAULT_BUSY_TIMEOUT_MS);
        return true;
    }
    bool exec(const QString& sql)
    {
        return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK || remember();
    }
    bool prepare(const QString& sql)
    {
        return sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK || remember();
    }
    // SQLITE_STATIC: the bytes stay where they are until the row is stepped.
    bool bindText(int n, std::string_view text)
    {
        return sqlite3_bind_text(statement, n, text.data(), int(text.size()), SQLITE_STATIC) == SQLITE_OK
            || remember();
    }
    bool bindNull(int n) { return sqlite3_bind_null(statement, n) == SQLITE_OK || remember(); }
    bool step()
    {
        const int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        return rc == SQLITE_DONE || remember();
    }
    bool close()
    {
        sqlite3_finalize(statement);
        statement = nullptr;
        const int rc = sqlite3_close(db);
        db = nullptr;
        return rc == SQLITE_OK || remember();
    }
    const QString& error() const { return text; }

private:
    bool remember()
    {
        if (text.isEmpty())
            text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        vlog::debugOutput(text);
        return false;
    }

    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    QString text;
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

} // namespace

QString newDataFilePath(const QString& csvPath, quint32 seconds)
{
    return freeFileName(QFileInfo(csvPath).absolutePath() + u'/' + QString::number(seconds) + QStringLiteral(".db"));
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
    DataFile file;
    CsvResult result;
    if (!file.open(newPath) || !file.exec(QStringLiteral("create table %1(%2);").arg(table, definitions.join(u',')))
        || !file.prepare(QStringLiteral("INSERT INTO %1(%2)VALUES(%3)").arg(table, names.join(u','), parameters.join(u',')))
        || !file.exec(QStringLiteral("begin"))) {
        result = failed(newPath + QStringLiteral(": ") + file.error());
    } else {
        std::vector<std::string> converted(count);
        qint64 records = 0;
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
            bool bound = true;
            for (size_t k = 0; k < count && bound; ++k) {
                if (k >= row.size())
                    bound = file.bindNull(int(k) + 1);
                else
                    bound = file.bindText(int(k) + 1, decoder.utf8Text(row[k], converted[k]));
            }
            if (!bound || !file.step()) {
                result = failed(newPath + QStringLiteral(": ") + file.error());
                break;
            }
            if (++records % progressEvery == 0 && progress && !progress(qint64(reader.bytesRead()), csvSize)) {
                result = CsvResult::cancel();
                break;
            }
        }
        if (result.detail.isEmpty() && reader.totalRecords == 0 && !reader.totalRecordsKnown) {
            // The reader stopped before the end of the file (a read error):
            // what was read is not the whole file.
            result = failed(csvPath + QStringLiteral(": ") + QString::fromLocal8Bit(reader.errorText.c_str()));
        } else if (result.detail.isEmpty()) {
            if (file.exec(QStringLiteral("commit")) && file.close()) {
                if (progress)
                    progress(csvSize, csvSize);
                result = CsvResult::success();
                result.newPath = newPath;
                return result;
            }
            result = failed(newPath + QStringLiteral(": ") + file.error());
        }
    }
    // Closing without commit rolls the transaction back.
    file.close();
    removeDataFile(newPath);
    return result;
}

} // namespace CsvImport
