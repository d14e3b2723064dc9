#pragma once
// Helpers for tests that need files: a temporary folder per test, raw SQL on
// a file, and the sample generator.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>
#include <vector>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

class TempFolder
{
public:
    TempFolder();
    QString path(const QString& name) const;
    QString root() const { return dir.path(); }

private:
    QTemporaryDir dir;
};

// Runs statements on a database file with plain sqlite3 calls; fails the
// test on error.
void execSql(const QString& dbPath, const QString& sql);
// Rows of a query as text, cells joined by '|', NULL as "<null>".
std::vector<QString> queryRows(const QString& dbPath, const QString& sql);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& data);

// Path of the built vantrel-cli.
QString cliPath();
struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};
CliResult runCli(const QStringList& args, const QString& workingDir = QString());
