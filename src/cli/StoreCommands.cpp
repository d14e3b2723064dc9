#include "cli/StoreCommands.h"

#include "cli/CliSupport.h"
#include "store/CDataOperator.h"
#include "store/OutputNames.h"
#include "store/SampleGenerator.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const char* kindName(int kind)
{
    switch (kind) {
    case SampleData: return "SampleData";
    case AlarmData: return "AlarmData";
    default: return "OperationLog";
    }
}

// Opens FILE into the store, or explains in one line why it cannot.
int openOrFail(CDataOperator& store, const QString& path, int rowsPerPage, int* kind)
{
    store.setRowsPerPage(rowsPerPage);
    const int result = store.openDataFile(path, *kind);
    if (result == 0)
        return cli::Ok;
    if (result == -1)
        return cli::fail(path, QStringLiteral("no such file or folder"));
    if (QFileInfo(path).isDir())
        return cli::fail(path, QStringLiteral("is a folder, not a data-record file"));
    if (store.recordCount == 0)
        return cli::fail(path, QStringLiteral("table %1 holds no records").arg(store.tableName));
    return cli::fail(path, QStringLiteral("not a data-record file (no table, or not an SQLite database)"));
}

bool parseRowsPerPage(QStringList& args, int* rows)
{
    QString text;
    bool present = false;
    if (!cli::takeOption(args, QStringLiteral("--rows-per-page"), &text, &present))
        return false;
    return !present || cli::parseInt(text, 1, 100000, rows);
}

bool isRecordTime(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$"));
    return pattern.match(text).hasMatch()
        && QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid();
}

} // namespace

int runInfoCommand(QStringList args)
{
    int rowsPerPage = 1000;
    if (!parseRowsPerPage(args, &rowsPerPage))
        return cli::usage(QStringLiteral("--rows-per-page takes a number from 1 to 100000"));
    if (args.size() != 1)
        return cli::usage(QStringLiteral("usage: vantrel-cli info FILE [--rows-per-page N]"));
    CDataOperator store;
    int kind = 0;
    if (const int rc = openOrFail(store, args[0], rowsPerPage, &kind))
        return rc;
    cli::out(QStringLiteral("kind: %1").arg(QLatin1String(kindName(kind))));
    cli::out(QStringLiteral("table: %1").arg(store.tableName));
    QStringList shown = store.page.columns;
    // Alarm side-table columns are part of the grid, not of the table.
    shown = shown.mid(0, store.columnCount - (store.ullTimeIndex >= 0 ? 1 : 0));
    cli::out(QStringLiteral("columns: %1").arg(shown.join(u',')));
    cli::out(QStringLiteral("records: %1").arg(store.recordCount));
    cli::out(QStringLiteral("pages: %1").arg(store.pageCount()));
    cli::out(QStringLiteral("time: %1").arg(store.numericTime ? QStringLiteral("milliseconds") : QStringLiteral("text")));
    return cli::Ok;
}

int runQueryCommand(QStringList args)
{
    QString outPath;
    bool hasOut = false;
    if (!cli::takeOption(args, QStringLiteral("--out"), &outPath, &hasOut))
        return cli::usage(QStringLiteral("--out needs a file name"));
    if (args.size() != 3)
        return cli::usage(QStringLiteral("usage: vantrel-cli query FILE START END [--out DB]"));
    const QString& file = args[0];
    const QString& start = args[1];
    const QString& end = args[2];
    if (!isRecordTime(start) || !isRecordTime(end))
        return cli::usage(QStringLiteral("START and END are times as \"YYYY-MM-DD HH:MM:SS\""));
    if (start > end)
        return cli::usage(QStringLiteral("START lies after END"));

    CDataOperator store;
    int kind = 0;
    if (const int rc = openOrFail(store, file, 1000, &kind))
        return rc;
    if (kind != SampleData)
        return cli::fail(file, QStringLiteral("holds no sampled data (DataGrpData); time ranges need it"));
    if (hasOut && QFileInfo::exists(outPath))
        return cli::fail(outPath, QStringLiteral("already exists"));
    const QString path = hasOut ? outPath : queryOutputPath(file, QDateTime::currentSecsSinceEpoch());

    cli::InterruptGuard guard;
    cli::Progress progress(QStringLiteral("extracting"));
    const int result = store.exportTimeRange(path, start, end, [&](qint64 done) {
        progress.update(done);
        return !cli::InterruptGuard::interrupted();
    });
    switch (result) {
    case 0:
        break;
    case -1: return cli::fail(file, QStringLiteral("holds no records"));
    case -2: return cli::fail(file, QStringLiteral("no record lies between %1 and %2").arg(start, end));
    case -4: return cli::fail(path, QStringLiteral("cancelled"));
    default: return cli::fail(path, QStringLiteral("could not be written"));
    }
    cli::out(path);
    return cli::Ok;
}

int runSampleCommand(QStringList args)
{
    SampleOptions options;
    QString text;
    bool present = false;
    if (!cli::takeOption(args, QStringLiteral("--rows"), &text, &present)
        || (present && !cli::parseInt(text, 0, 100000000, &options.rows)))
        return cli::usage(QStringLiteral("--rows takes a number"));
    int files = 3;
    if (!cli::takeOption(args, QStringLiteral("--files"), &text, &present)
        || (present && !cli::parseInt(text, 1, 100000, &files)))
        return cli::usage(QStringLiteral("--files takes a number"));
    options.numericTime = cli::takeFlag(args, QStringLiteral("--numeric-time"));
    options.ullTime = cli::takeFlag(args, QStringLiteral("--ulltime"));
    if (args.size() != 2)
        return cli::usage(QStringLiteral("usage: vantrel-cli sample samples|alarms|oplog|series OUT "
                                         "[--rows N] [--numeric-time] [--ulltime] [--files N]"));
    const QString& kind = args[0];
    const QString& out = args[1];
    QString error;
    int result = 0;
    if (kind == QLatin1String("samples")) {
        result = writeSampleFile(out, options, &error);
    } else if (kind == QLatin1String("alarms")) {
        options.kind = SampleOptions::Alarms;
        result = writeSampleFile(out, options, &error);
    } else if (kind == QLatin1String("oplog")) {
        options.kind = SampleOptions::OperationLogs;
        result = writeSampleFile(out, options, &error);
    } else if (kind == QLatin1String("series")) {
        result = writeSampleSeries(out, files, options, &error);
    } else {
        return cli::usage(QStringLiteral("unknown sample kind '%1'").arg(kind));
    }
    if (result != 0)
        return cli::fail(out, error);
    return cli::Ok;
}
