#include "csv/CsvExport.h"

#include "csv/CsvWriter.h"
#include "store/CDataOperator.h"
#include "util/CCodeConverter.h"
#include "util/Log.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <cstdio>
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
                encode(columns[i] + QChar(0x02), fields[size_t(i)]);
            else
                encode(columns[i], fields[size_t(i)]);
        }
        return writer.WriteRow(fields, false) && writer.EndRecord();
    }

    bool rows(const std::map<int, QStringList>& rows)
    {
        for (const auto& [key, cells] : rows) {
            fields.resize(size_t(cells.size()) + 1);
            fields[0] = std::to_string(key);
            for (qsizetype i = 0; i < cells.size(); ++i) {
                QStringView text = cells[i];
                // Panels end some texts with a line feed that would only
                // break the record for other programs; one in the middle is
                // part of the text.
                const qsizetype lineFeed = text.indexOf(u'\n');
                if (lineFeed >= 0 && lineFeed == text.size() - 1)
                    text.chop(1);
                if (i == 2 && !alarmTexts.empty()) {
                    const auto found = alarmTexts.find(text.toString());
                    if (found != alarmTexts.end())
                        text = found->second;
                }
                encode(text, fields[size_t(i) + 1]);
            }
            if (!writer.WriteRow(fields, false) || !writer.EndRecord())
                return false;
        }
        return true;
    }

private:
    void encode(QStringView text, std::string& out)
    {
        out.resize(size_t(encoder.requiredSpace(text.size())));
        char* end = encoder.appendToBuffer(out.data(), text);
        out.resize(size_t(end - out.data()));
    }

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
