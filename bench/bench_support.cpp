#include "bench_support.h"

#include "store/SampleGenerator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

QString benchDir()
{
    const char* env = std::getenv("VANTREL_BENCH_DIR");
    const QString dir = env ? QString::fromLocal8Bit(env) : QStringLiteral("/tmp/vantrel-bench");
    QDir().mkpath(dir);
    return dir;
}

QString benchSampleFile(int rows, bool gaps)
{
    const QString path = QStringLiteral("%1/samples_%2%3.db").arg(benchDir()).arg(rows).arg(gaps ? "_gaps" : "");
    if (QFile::exists(path))
        return path;
    std::fprintf(stderr, "generating %s ...\n", path.toLocal8Bit().constData());
    SampleOptions o;
    o.rows = rows;
    const QString tmp = path + ".part";
    if (writeSampleFile(tmp, o) != 0)
        std::abort();
    if (gaps) {
        sqlite3* db = nullptr;
        sqlite3_open(tmp.toUtf8().constData(), &db);
        sqlite3_exec(db, "DELETE FROM DataGrpData WHERE RecordNo % 7 = 0; VACUUM;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    QFile::rename(tmp, path);
    return path;
}

double medianSeconds(const std::function<void()>& work, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double medianShellSeconds(const QString& command, int runs)
{
    const QByteArray cmd = command.toLocal8Bit();
    return medianSeconds([&] {
        if (std::system(cmd.constData()) != 0)
            std::fprintf(stderr, "failed: %s\n", cmd.constData());
    }, runs);
}

QString shellQuote(const QString& s)
{
    QString q = s;
    q.replace(u'\'', QLatin1String("'\\''"));
    return u'\'' + q + u'\'';
}
