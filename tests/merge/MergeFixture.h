#pragma once
// Small series fixtures for the merge tests, written with plain sqlite3
// calls so that each test can shape its files (other columns, odd names,
// broken files) without going through the code under test.
#include "common/TestFiles.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace mergetest {

inline const char* const kSchema =
    "CREATE TABLE DataGrpData(RecordNo INTEGER PRIMARY KEY,CollectTime TEXT,Value1 REAL,Value2 REAL)";

inline void exec(const QString& dbPath, const std::string& sql)
{
    execSql(dbPath, QString::fromStdString(sql));
}

// Rows of a query, cells joined by '|', NULL as "<null>".
inline std::vector<std::string> rows(const QString& dbPath, const std::string& sql)
{
    std::vector<std::string> out;
    for (const QString& row : queryRows(dbPath, QString::fromStdString(sql)))
        out.push_back(row.toStdString());
    return out;
}

inline std::string scalar(const QString& dbPath, const std::string& sql)
{
    const auto r = rows(dbPath, sql);
    return r.empty() ? std::string("<none>") : r.front();
}

// A series file of `count` records whose Value1 is `tag`, so the order of
// the files shows in the merged rows. Keys start at 1 in every file, as a
// panel writes them.
inline void writeSeriesFile(const QString& path, int count, int tag, const std::string& schema = kSchema)
{
    exec(path, schema + ";");
    std::string sql = "begin;";
    for (int i = 1; i <= count; ++i)
        sql += "insert into DataGrpData(RecordNo,CollectTime,Value1,Value2) values(" + std::to_string(i) + ",'2026-01-01 00:00:" +
               std::to_string(10 + i % 50) + "'," + std::to_string(tag) + "," + std::to_string(i) + ");";
    exec(path, sql + "commit;");
}

// Contents and modification time of every file under the folder.
inline std::map<QString, QByteArray> snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        files[path] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex() + ' ' +
                      QByteArray::number(QFileInfo(path).lastModified().toMSecsSinceEpoch());
    }
    return files;
}

} // namespace mergetest
