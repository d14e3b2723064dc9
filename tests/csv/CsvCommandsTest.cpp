#include "common/TestFiles.h"
#include "store/SampleGenerator.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// The command line writes what the application writes: its file equals
// its standard output, and an import of it gives a file with every record.
TEST(CsvCommands, ExportThenImport)
{
    TempFolder folder;
    const QString db = folder.path(QStringLiteral("s.db"));
    SampleOptions options;
    options.rows = 2500;
    ASSERT_EQ(writeSampleFile(db, options), 0);
    const QString csv = folder.path(QStringLiteral("s.csv"));

    const CliResult toFile = runCli({QStringLiteral("export"), db, csv, QStringLiteral("--rows-per-page"), QStringLiteral("700")});
    ASSERT_EQ(toFile.exitCode, 0) << toFile.err.toStdString();
    const CliResult toStdout = runCli({QStringLiteral("export"), db, QStringLiteral("-")});
    ASSERT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out.toUtf8(), readAll(csv));
    EXPECT_EQ(readAll(csv).count("\r\n"), 2501);

    const CliResult onePage = runCli({QStringLiteral("export"), db, QStringLiteral("-"), QStringLiteral("--page"),
                                      QStringLiteral("3"), QStringLiteral("--rows-per-page"), QStringLiteral("1000")});
    ASSERT_EQ(onePage.exitCode, 0);
    EXPECT_EQ(onePage.out.toUtf8().count("\r\n"), 501);

    const CliResult imported = runCli({QStringLiteral("import"), csv});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const QString newPath = imported.out.trimmed();
    EXPECT_TRUE(QFileInfo(newPath).fileName().endsWith(QStringLiteral(".db")));
    EXPECT_EQ(queryRows(newPath, QStringLiteral("SELECT count(*) FROM DataGrpData")), std::vector<QString>{"2500"});
}

TEST(CsvCommands, FailuresNameTheFileAndUsageErrorsGiveTwo)
{
    TempFolder folder;
    const QString db = folder.path(QStringLiteral("s.db"));
    ASSERT_EQ(writeSampleFile(db, SampleOptions{}), 0);
    const QString missing = folder.path(QStringLiteral("missing.csv"));
    struct Case {
        QStringList args;
        int exitCode;
        QString errContains;
    };
    const std::vector<Case> cases = {
        {{QStringLiteral("export"), folder.path(QStringLiteral("none.db")), QStringLiteral("-")}, 1, QStringLiteral("none.db")},
        {{QStringLiteral("export"), db, folder.path(QStringLiteral("no/x.csv"))}, 1, QStringLiteral("no/x.csv")},
        {{QStringLiteral("export"), db, QStringLiteral("-"), QStringLiteral("--page"), QStringLiteral("9")}, 1,
         QStringLiteral("page 9")},
        {{QStringLiteral("export"), db}, 2, QString()},
        {{QStringLiteral("export"), db, QStringLiteral("-"), QStringLiteral("--alarm-language"), QStringLiteral("8")}, 2,
         QStringLiteral("alarm-language")},
        {{QStringLiteral("export"), db, QStringLiteral("-"), QStringLiteral("--rows-per-page")}, 2, QString()},
        {{QStringLiteral("import"), missing}, 1, missing},
        {{QStringLiteral("import")}, 2, QString()},
        {{QStringLiteral("import"), missing, QStringLiteral("--bogus")}, 2, QStringLiteral("--bogus")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliResult r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.errContains)) << r.err.toStdString();
        if (c.exitCode == 1) {
            EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
        }
    }
}

} // namespace
