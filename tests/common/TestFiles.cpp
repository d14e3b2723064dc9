#include "common/TestFiles.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <sqlite3.h>

TempFolder::TempFolder()
{
    EXPECT_TRUE(dir.isValid());
}

QString TempFolder::path(const QString& name) const
{
    return dir.filePath(name);
}

void execSql(const QString& dbPath, const QString& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "") << " in " << sql.toStdString();
    sqlite3_free(error);
    sqlite3_close(db);
}

std::vector<QString> queryRows(const QString& dbPath, const QString& sql)
{
    std::vector<QString> rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(dbPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
        sqlite3_close(db);
        return rows;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QStringList cells;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const auto* t = sqlite3_column_text(stmt, i);
            cells << (t ? QString::fromUtf8(reinterpret_cast<const char*>(t)) : QStringLiteral("<null>"));
        }
        rows.push_back(cells.join(u'|'));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QString cliPath()
{
    return QString::fromUtf8(VANTREL_CLI_PATH);
}

CliResult runCli(const QStringList& args, const QString& workingDir)
{
    QProcess p;
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.start(cliPath(), args);
    p.waitForFinished(120000);
    CliResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}
