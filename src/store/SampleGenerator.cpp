#include "store/SampleGenerator.h"

#include "store/CDataOperator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <cmath>

namespace {

class Writer
{
public:
    explicit Writer(QString* error) : error(error) {}
    ~Writer()
    {
        if (stmt)
            sqlite3_finalize(stmt);
        if (db)
            sqlite3_close(db);
    }

    bool open(const QString& path)
    {
        QFile::remove(path);
        if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
            return fail();
        // A generated file is either finished or thrown away, so the
        // journal buys nothing and would double the write time.
        return exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    }
    bool exec(const char* sql)
    {
        return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail();
    }
    bool prepare(const QString& sql)
    {
        if (stmt)
            sqlite3_finalize(stmt);
        stmt = nullptr;
        return sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK || fail();
    }
    void text(int n, const QString& value)
    {
        const QByteArray b = value.toUtf8();
        sqlite3_bind_text(stmt, n, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    void integer(int n, qint64 value) { sqlite3_bind_int64(stmt, n, value); }
    void real(int n, double value) { sqlite3_bind_double(stmt, n, value); }
    void time(int n, qint64 ms, bool numeric)
    {
        if (numeric)
            integer(n, ms);
        else
            text(n, CDataOperator::recordTimeText(ms / 1000));
    }
    bool step()
    {
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        return rc == SQLITE_DONE || fail();
    }
    bool fail()
    {
        if (error)
            *error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        return false;
    }

    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    QString* error;
};

bool writeSamples(Writer& w, const SampleOptions& o)
{
    QStringList columns{QStringLiteral("RecordNo INTEGER PRIMARY KEY")};
    if (o.ullTime)
        columns << QStringLiteral("ullTime INTEGER");
    columns << (o.numericTime ? QStringLiteral("CollectTime INTEGER") : QStringLiteral("CollectTime TEXT"));
    for (int v = 1; v <= o.valueColumns; ++v)
        columns << QStringLiteral("Value%1 REAL").arg(v);
    const QString create = QStringLiteral("CREATE TABLE DataGrpData(%1)").arg(columns.join(u','));
    if (!w.exec(create.toUtf8().constData()))
        return false;
    const int params = int(columns.size());
    QStringList marks;
    for (int i = 0; i < params; ++i)
        marks << QStringLiteral("?");
    if (!w.prepare(QStringLiteral("INSERT INTO DataGrpData VALUES(%1)").arg(marks.join(u','))))
        return false;
    for (int r = 0; r < o.rows; ++r) {
        const qint64 ms = o.startMs + qint64(r) * o.intervalMs;
        int n = 1;
        w.integer(n++, o.firstKey + r);
        if (o.ullTime)
            w.integer(n++, ms);
        w.time(n++, ms, o.numericTime);
        for (int v = 1; v <= o.valueColumns; ++v) {
            // Slow waves of different periods, rounded as a panel rounds.
            const double value = 50.0 + 40.0 * std::sin((r + 37 * v) / (60.0 * v));
            w.real(n++, std::round(value * 100.0) / 100.0);
        }
        if (!w.step())
            return false;
    }
    return true;
}

const char* const kAlarmNames[][2] = {
    {"1号罐液位过高", "Tank 1 level high"},
    {"1号罐液位过低", "Tank 1 level low"},
    {"主电机过载", "Main motor overload"},
    {"冷却水压力低", "Cooling water pressure low"},
    {"急停按钮按下", "Emergency stop pressed"},
    {"变频器故障", "Inverter fault"},
    {"温度传感器断线", "Temperature sensor open circuit"},
    {"安全门打开", "Safety door open"},
};

bool writeAlarms(Writer& w, const SampleOptions& o)
{
    if (!w.exec("CREATE TABLE AlarmTable(AlarmNo INTEGER PRIMARY KEY, AlarmGroup INTEGER,"
                " TriggerTime TEXT, AlarmID TEXT, AlarmState INTEGER, RecoverTime TEXT,"
                " AlarmValue REAL);"
                "CREATE TABLE AlarmTextTable(ID TEXT, Language1 TEXT, Language2 TEXT,"
                " Language3 TEXT, Language4 TEXT, Language5 TEXT, Language6 TEXT,"
                " Language7 TEXT, Language8 TEXT);"
                "CREATE TABLE AlarmTableSideTable(AlarmNo INTEGER PRIMARY KEY,"
                " ConfirmTime TEXT, Operator TEXT);"))
        return false;
    const int kinds = int(sizeof kAlarmNames / sizeof kAlarmNames[0]);
    if (!w.prepare(QStringLiteral("INSERT INTO AlarmTextTable VALUES(?,?,?,?,?,?,?,?,?)")))
        return false;
    for (int id = 0; id < kinds; ++id) {
        w.text(1, QString::number(id + 1));
        w.text(2, QString::fromUtf8(kAlarmNames[id][0]));
        w.text(3, QString::fromUtf8(kAlarmNames[id][1]));
        for (int lang = 3; lang <= 8; ++lang)
            w.text(lang + 1, QStringLiteral("L%1 alarm %2").arg(lang).arg(id + 1));
        if (!w.step())
            return false;
    }
    if (!w.prepare(QStringLiteral("INSERT INTO AlarmTable VALUES(?,?,?,?,?,?,?)")))
        return false;
    for (int r = 0; r < o.rows; ++r) {
        const qint64 ms = o.startMs + qint64(r) * o.intervalMs;
        w.integer(1, o.firstKey + r);
        w.integer(2, r % 3);
        w.time(3, ms, o.numericTime);
        w.text(4, QString::number(r % kinds + 1));
        w.integer(5, r % 2);
        w.time(6, ms + 30000, o.numericTime);
        w.real(7, 10.0 + r % 90);
        if (!w.step())
            return false;
    }
    // Every second alarm has been confirmed by an operator.
    if (!w.prepare(QStringLiteral("INSERT INTO AlarmTableSideTable VALUES(?,?,?)")))
        return false;
    for (int r = 0; r < o.rows; r += 2) {
        w.integer(1, o.firstKey + r);
        w.time(2, o.startMs + qint64(r) * o.intervalMs + 60000, o.numericTime);
        w.text(3, r % 4 ? QStringLiteral("operator") : QStringLiteral("admin"));
        if (!w.step())
            return false;
    }
    return true;
}

bool writeOperationLogs(Writer& w, const SampleOptions& o)
{
    if (!w.exec("CREATE TABLE NewUserOperationLogs(LogNo INTEGER PRIMARY KEY, OperateTime TEXT,"
                " UserName TEXT, Operation TEXT, Detail TEXT)"))
        return false;
    static const char* const actions[][2] = {
        {"登录", "user logged in"},
        {"修改参数", "set point Tank1.Level changed"},
        {"确认报警", "alarm acknowledged"},
        {"注销", "user logged out"},
    };
    if (!w.prepare(QStringLiteral("INSERT INTO NewUserOperationLogs VALUES(?,?,?,?,?)")))
        return false;
    for (int r = 0; r < o.rows; ++r) {
        const qint64 ms = o.startMs + qint64(r) * o.intervalMs;
        w.integer(1, o.firstKey + r);
        w.time(2, ms, o.numericTime);
        w.text(3, r % 3 ? QStringLiteral("operator") : QStringLiteral("admin"));
        w.text(4, QString::fromUtf8(actions[r % 4][0]));
        w.text(5, QString::fromUtf8(actions[r % 4][1]));
        if (!w.step())
            return false;
    }
    return true;
}

} // namespace

int writeSampleFile(const QString& path, const SampleOptions& options, QString* error)
{
    Writer w(error);
    if (!w.open(path) || !w.exec("BEGIN"))
        return -1;
    bool ok = false;
    switch (options.kind) {
    case SampleOptions::Samples: ok = writeSamples(w, options); break;
    case SampleOptions::Alarms: ok = writeAlarms(w, options); break;
    case SampleOptions::OperationLogs: ok = writeOperationLogs(w, options); break;
    }
    if (!ok || !w.exec("COMMIT"))
        return -1;
    return 0;
}

int writeSampleSeries(const QString& folder, int files, const SampleOptions& options, QString* error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create folder");
        return -1;
    }
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    SampleOptions o = options;
    for (int i = 1; i <= files; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("%1_%2.db").arg(name).arg(i));
        if (writeSampleFile(path, o, error) != 0)
            return -1;
        o.startMs += qint64(o.rows) * o.intervalMs;
    }
    return 0;
}
