#pragma once
#include <QString>
#include <QStringList>
#include <cstdio>

// Shared pieces of the vantrel-cli commands: exit codes, the one-line
// error report and option parsing.
namespace cli {

enum Exit { Ok = 0, Failed = 1, Usage = 2 };

// One line on stderr naming the file and what is wrong with it.
int fail(const QString& file, const QString& cause);
int usage(const QString& message);
void out(const QString& line);

// Takes "--name VALUE" out of args; false when the option is there without
// a value. *value is untouched when the option is absent.
bool takeOption(QStringList& args, const QString& name, QString* value, bool* present = nullptr);
bool takeFlag(QStringList& args, const QString& name);
// A whole positive number within [low, high].
bool parseInt(const QString& text, int low, int high, int* value);

// While one lives, Ctrl+C no longer kills the process but sets a flag that
// the command's progress callback turns into a cancel, so a half-written
// output goes away and an old file stays as it was. The previous handler
// comes back when the guard goes.
class InterruptGuard
{
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
    static bool interrupted();

private:
    void (*previous)(int);
};

// A progress line on stderr, only when stderr is a terminal.
class Progress
{
public:
    explicit Progress(QString label);
    ~Progress();
    void update(qint64 done, qint64 total = 0);

private:
    QString label;
    bool enabled;
    bool shown = false;
};

} // namespace cli
