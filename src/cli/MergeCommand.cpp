#include "cli/MergeCommand.h"

#include "cli/CliSupport.h"
#include "merge/MergeFiles.h"

#include <QDir>
#include <QFileInfo>

int runMergeCommand(const QStringList& args)
{
    if (args.size() != 2)
        return cli::usage(QStringLiteral("merge takes FILE OUTPUT_FOLDER"));
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1String("--")))
            return cli::usage(QStringLiteral("merge: unknown option %1").arg(arg));
    }

    // Absolute paths, so that a bare file name still has a folder whose
    // name is the series name.
    const QFileInfo file(args.at(0));
    const QFileInfo folder(args.at(1));
    if (!file.isFile())
        return cli::fail(args.at(0), QStringLiteral("no such file"));
    if (!folder.isDir())
        return cli::fail(args.at(1), QStringLiteral("no such folder"));

    MergePaths paths;
    paths.chosenFile = QDir::cleanPath(file.absoluteFilePath());
    paths.sourceFolder = sourceFolderOf(paths.chosenFile);
    paths.outputFolder = QDir::cleanPath(folder.absoluteFilePath());
    paths.outputPath = paths.outputFolder;

    cli::InterruptGuard guard;
    cli::Progress progress(QStringLiteral("merging"));
    const MergeOutcome outcome = runMerge(paths, [&progress](int done, int total) {
        progress.update(done, total);
        return !cli::InterruptGuard::interrupted();
    });
    if (outcome.cancelled)
        return cli::fail(paths.outputFolder, QStringLiteral("cancelled"));

    switch (outcome.messageKey) {
    case MergeDlgKey::Done:
        break;
    case MergeDlgKey::SourceIsRoot:
        return cli::fail(args.at(0), QStringLiteral("files at the root of a file system cannot be merged"));
    case MergeDlgKey::NoSeriesFiles:
        return cli::fail(paths.sourceFolder,
                         QStringLiteral("no data-record files to merge were found (%1_<number>.db)")
                             .arg(QFileInfo(paths.sourceFolder).fileName()));
    case MergeDlgKey::NoSourceFile:
    case MergeDlgKey::NoOutputFolder:
        return cli::fail(args.at(0), QStringLiteral("no file or output folder to merge"));
    default:
        return cli::fail(outcome.failedPath.isEmpty() ? args.at(0) : outcome.failedPath, outcome.text);
    }

    cli::out(outcome.outputPath);
    cli::out(QStringLiteral("merged: %1").arg(outcome.mergedFiles));
    cli::out(QStringLiteral("skipped: %1").arg(outcome.skippedFiles.size()));
    return cli::Ok;
}
