// vantrel-cli: the data-record store, CSV exchange and merging for scripts
// and batch work, on the same core as the application.
#include "cli/CliSupport.h"
#include "cli/CsvCommands.h"
#include "cli/MergeCommand.h"
#include "cli/StoreCommands.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] =
    "usage: vantrel-cli COMMAND ...\n"
    "\n"
    "  info FILE [--rows-per-page N]          kind, table, columns, records, pages, time storage\n"
    "  export FILE OUT.csv|- [--page N] [--rows-per-page N] [--alarm-language L]\n"
    "                                         all records or one page as CSV\n"
    "  import CSV [--out DB]                  a CSV file into a new data-record file\n"
    "  query FILE START END [--out DB]        the records of a time range into a new file\n"
    "                                         (START/END as \"YYYY-MM-DD HH:MM:SS\")\n"
    "  merge FILE OUTPUT_FOLDER               the numbered series in FILE's folder into one file\n"
    "  sample KIND OUT [--rows N] [--numeric-time] [--ulltime] [--files N]\n"
    "                                         KIND samples|alarms|oplog|series: generated files\n"
    "\n"
    "Exit status: 0 done, 1 the operation failed, 2 usage error.\n";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return cli::usage(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        std::fputs(kHelp, stdout);
        return cli::Ok;
    }
    if (command == QLatin1String("info"))
        return runInfoCommand(args);
    if (command == QLatin1String("query"))
        return runQueryCommand(args);
    if (command == QLatin1String("sample"))
        return runSampleCommand(args);

    if (command == QLatin1String("export"))
        return runExportCommand(args);
    if (command == QLatin1String("import"))
        return runImportCommand(args);
    if (command == QLatin1String("merge"))
        return runMergeCommand(args);
    return cli::usage(QStringLiteral("unknown command '%1'").arg(command));
}
