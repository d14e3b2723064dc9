#pragma once
// Fixtures of the GUI runner: a working folder per test with the language
// files and a logging configuration, recorders for the message and dialog
// seams, and an application whose restart and exit are recorded instead of
// done.
#include "MainWnd/CVantrelApp.h"
#include "uilib/DialogSeam.h"
#include "uilib/MessageSeam.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <vector>

// A temporary working directory holding Language/ and log4cplus.cfg (the
// log goes to log/test.log there) and the test's own settings store; the
// previous working directory comes back at destruction.
class WorkFolder
{
public:
    explicit WorkFolder(bool withLanguageFiles = true);
    ~WorkFolder();

    QString path(const QString& name = QString()) const;
    // Log entries written since the folder was made.
    QStringList logEntries() const;
    void writeFile(const QString& name, const QByteArray& content) const;

private:
    QTemporaryDir dir;
    QString previous;
};

// Records every message box and answers from a queue (OK when empty).
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();

    std::vector<uilib::MessageRequest> shown;
    std::deque<uilib::MessageAnswer> answers;
    QStringList texts() const;

private:
    uilib::MessageResponder previous;
};

// Answers the program's modal dialogs with `answer`, which may fill the
// dialog in first.
class DialogAnswer
{
public:
    explicit DialogAnswer(std::function<int(QDialog&)> answer);
    ~DialogAnswer();

private:
    uilib::DialogResponder previous;
};

class TestApp : public CVantrelApp
{
public:
    TestApp();
    ~TestApp() override;

    // Start-up, with the temporary folder next to `exeFolder`.
    bool start(const QString& exeFolder);
    // What main does at the end: the frame goes, then shutdown.
    void shutdown();

    int restarts = 0;
    std::vector<int> endCodes;
    std::function<void()> onRestart;

protected:
    bool restartProcess() override;
    void endProcess(int exitCode) override;

private:
    bool shutDown = false;
};

// Text of `key` in `module` of the given language file (0 Chinese,
// 1 English) of the source tree.
QString languageText(int language, const char16_t* module, int key);

// Deletes what was deleted later (documents, frames).
void flushDeferredDeletes();
