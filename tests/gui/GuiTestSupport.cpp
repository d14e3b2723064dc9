#include "GuiTestSupport.h"

#include "MainWnd/CMainFrame.h"
#include "util/Log.h"
#include "winbaselib/src/i18n/CMultiLang.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files))
        QFile::copy(entry.absoluteFilePath(), QDir(to).filePath(entry.fileName()));
}

} // namespace

WorkFolder::WorkFolder(bool withLanguageFiles) : previous(QDir::currentPath())
{
    EXPECT_TRUE(dir.isValid());
    if (withLanguageFiles)
        copyFolder(QStringLiteral(VANTREL_SOURCE_DIR "/Language"), path(QStringLiteral("Language")));
    const QString logFile = path(QStringLiteral("log/test.log"));
    writeFile(QStringLiteral("log4cplus.cfg"),
              "log4cplus.rootLogger=ERROR, CAPTURE\n"
              "log4cplus.appender.CAPTURE=log4cplus::FileAppender\n"
              "log4cplus.appender.CAPTURE.File=" + logFile.toUtf8() + "\n"
              "log4cplus.appender.CAPTURE.CreateDirs=true\n"
              "log4cplus.appender.CAPTURE.ImmediateFlush=true\n"
              "log4cplus.appender.CAPTURE.layout=log4cplus::PatternLayout\n"
              "log4cplus.appender.CAPTURE.layout.ConversionPattern=%m%n\n");
    EXPECT_TRUE(QDir::setCurrent(dir.path()));
    vlog::configure("log4cplus.cfg");
    // Each test starts with settings of its own (recent files, layout), so
    // no test sees what an earlier one left behind.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path(QStringLiteral("config")));
}

WorkFolder::~WorkFolder()
{
    QDir::setCurrent(previous);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       qEnvironmentVariable("XDG_CONFIG_HOME"));
}

QString WorkFolder::path(const QString& name) const
{
    return name.isEmpty() ? dir.path() : dir.filePath(name);
}

QStringList WorkFolder::logEntries() const
{
    QFile file(path(QStringLiteral("log/test.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void WorkFolder::writeFile(const QString& name, const QByteArray& content) const
{
    const QString full = path(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

MessageRecorder::MessageRecorder()
{
    previous = uilib::setMessageResponder([this](const uilib::MessageRequest& request) {
        shown.push_back(request);
        if (answers.empty())
            return uilib::MessageAnswer::Ok;
        const uilib::MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    });
}

MessageRecorder::~MessageRecorder()
{
    uilib::setMessageResponder(previous);
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const auto& request : shown)
        result << request.text;
    return result;
}

DialogAnswer::DialogAnswer(std::function<int(QDialog&)> answer)
{
    previous = uilib::setDialogResponder(std::move(answer));
}

DialogAnswer::~DialogAnswer()
{
    uilib::setDialogResponder(previous);
}

TestApp::TestApp() = default;

TestApp::~TestApp()
{
    shutdown();
}

bool TestApp::start(const QString& exeFolder)
{
    QDir().mkpath(exeFolder);
    setExecutableFolder(exeFolder);
    return InitInstance();
}

void TestApp::shutdown()
{
    if (shutDown)
        return;
    shutDown = true;
    CloseAllDocuments();
    flushDeferredDeletes();
    delete mainFrame();
    ExitInstance();
}

bool TestApp::restartProcess()
{
    ++restarts;
    if (onRestart)
        onRestart();
    return true;
}

void TestApp::endProcess(int exitCode)
{
    endCodes.push_back(exitCode);
}

QString languageText(int language, const char16_t* module, int key)
{
    CMultiLang texts;
    const QString file = QStringLiteral(VANTREL_SOURCE_DIR "/Language/%1")
                             .arg(language == 1 ? QStringLiteral("en_US.xml") : QStringLiteral("zh_CN.xml"));
    EXPECT_EQ(texts.setLangFile(file), 0);
    return texts.findText(QString::fromUtf16(module), QString::number(key));
}

void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
