#include "cli/CsvCommands.h"

#include "cli/CliSupport.h"
#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "store/CDataOperator.h"

#include <ext/stdio_filebuf.h>

#include <climits>
#include <ostream>
#include <unistd.h>

namespace {

CsvProgress progressTo(cli::Progress& bar)
{
    return [&bar](qint64 done, qint64 total) {
        bar.update(done, total);
        return !cli::InterruptGuard::interrupted();
    };
}

// The failure line names a file; the writer's own texts do not.
int reportFailure(const CsvResult& result, const QString& file)
{
    if (result.cancelled)
        return cli::fail(file, QStringLiteral("cancelled"));
    QString cause = result.detail;
    if (cause.startsWith(file + QStringLiteral(": ")))
        cause = cause.mid(file.size() + 2);
    return cli::fail(file, cause);
}

QString openFailure(int result, const CDataOperator& store)
{
    if (result == -1)
        return QStringLiteral("no such file");
    if (store.recordCount == 0)
        return QStringLiteral("the shown table has no records");
    return QStringLiteral("not a data-record file, or it cannot be read");
}

} // namespace

int runExportCommand(const QStringList& arguments)
{
    QStringList args = arguments;
    QString pageText;
    QString rowsText = QStringLiteral("1000");
    QString languageText = QStringLiteral("0");
    bool onePage = false;
    if (!cli::takeOption(args, QStringLiteral("--page"), &pageText, &onePage)
        || !cli::takeOption(args, QStringLiteral("--rows-per-page"), &rowsText)
        || !cli::takeOption(args, QStringLiteral("--alarm-language"), &languageText))
        return cli::usage(QStringLiteral("export: an option is missing its value"));
    int page = 1;
    int rowsPerPage = 1000;
    int alarmLanguage = 0;
    if (onePage && !cli::parseInt(pageText, 1, INT_MAX, &page))
        return cli::usage(QStringLiteral("export: --page takes a page number from 1"));
    if (!cli::parseInt(rowsText, 1, INT_MAX, &rowsPerPage))
        return cli::usage(QStringLiteral("export: --rows-per-page takes a positive number"));
    if (!cli::parseInt(languageText, 0, 7, &alarmLanguage))
        return cli::usage(QStringLiteral("export: --alarm-language takes 0 to 7"));
    for (const QString& word : args) {
        if (word.startsWith(QLatin1String("--")))
            return cli::usage(QStringLiteral("export: unknown option ") + word);
    }
    if (args.size() != 2)
        return cli::usage(QStringLiteral("export needs FILE and OUT.csv (or - for standard output)"));
    const QString& file = args[0];
    const QString& out = args[1];
    const bool toStandardOutput = out == QLatin1String("-");

    CDataOperator store;
    store.setRowsPerPage(rowsPerPage);
    int kind = 0;
    const int opened = store.openDataFile(file, kind);
    if (opened < 0)
        return cli::fail(file, openFailure(opened, store));
    if (page > 1 && store.readPage(page) < 0)
        return cli::fail(file, QStringLiteral("page %1 does not exist (pages: %2)").arg(page).arg(store.pageCount()));

    const auto texts = store.alarmTexts.find(alarmLanguage);
    const CsvExport::AlarmTextMap noTexts;
    const CsvExport::AlarmTextMap& alarmTexts = texts != store.alarmTexts.end() ? texts->second : noTexts;
    const CsvExport::PageView view{store.page, store.fileKind, CsvExport::displayColumnCount(store), alarmTexts};

    cli::InterruptGuard guard;
    CsvResult result;
    {
        cli::Progress bar(QStringLiteral("export"));
        if (toStandardOutput) {
            // Straight onto descriptor 1 with a large buffer: std::cout would
            // hand every field to stdio on its own.
            __gnu_cxx::stdio_filebuf<char> buffer(STDOUT_FILENO, std::ios::out, 1 << 16);
            std::ostream stream(&buffer);
            result = onePage ? CsvExport::exportPage(stream, view)
                             : CsvExport::exportAll(stream, store, 1, view, progressTo(bar));
            if (result.ok && !stream.flush())
                result = CsvResult::failure(QStringLiteral("ExportDlg"), 3, QStringLiteral("writing failed"));
        } else {
            result = onePage ? CsvExport::exportPage(out, view)
                             : CsvExport::exportAll(out, store, 1, view, progressTo(bar));
        }
    }
    if (result.ok)
        return cli::Ok;
    if (result.module == QLatin1String("InfoDlg"))
        return cli::fail(file, QStringLiteral("no data to export (it needs records and more than two columns)"));
    return reportFailure(result, toStandardOutput ? QStringLiteral("standard output") : out);
}

int runImportCommand(const QStringList& arguments)
{
    QStringList args = arguments;
    QString out;
    bool outGiven = false;
    if (!cli::takeOption(args, QStringLiteral("--out"), &out, &outGiven) || (outGiven && out.isEmpty()))
        return cli::usage(QStringLiteral("import: --out needs a file name"));
    for (const QString& word : args) {
        if (word.startsWith(QLatin1String("--")))
            return cli::usage(QStringLiteral("import: unknown option ") + word);
    }
    if (args.size() != 1)
        return cli::usage(QStringLiteral("import needs one CSV file"));
    const QString& csv = args[0];

    cli::InterruptGuard guard;
    CsvResult result;
    {
        cli::Progress bar(QStringLiteral("import"));
        result = CsvImport::importCsv(csv, out, progressTo(bar));
    }
    if (!result.ok)
        return reportFailure(result, csv);
    cli::out(result.newPath);
    return cli::Ok;
}
