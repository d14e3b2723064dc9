#include "DocumentFixture.h"

#include "uilib/CDocTemplate.h"
#include "uilib/CommandIds.h"
#include "uilib/FileDialogSeam.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

namespace {

// The recent-file list lives in the runner's settings, shared by every
// test; each test here starts and leaves it empty.
void clearSettings()
{
    QSettings settings(QStringLiteral("VantrelTool"), QStringLiteral("VantrelTool"));
    settings.clear();
    settings.sync();
}

} // namespace

void DocumentFixture::SetUp()
{
    clearSettings();
    work = std::make_unique<WorkFolder>();
    work->writeFile(QStringLiteral("RoruDize.ini"), settingsFile());
    // Before the application, so that documents still open at shutdown
    // are answered too.
    messages = std::make_unique<MessageRecorder>();
    app = std::make_unique<TestApp>();
    ASSERT_TRUE(app->start(work->path(QStringLiteral("bin"))));
    frame = static_cast<CMainFrame*>(app->mainFrame());
    QApplication::setActiveWindow(frame);
}

void DocumentFixture::TearDown()
{
    app.reset();
    messages.reset();
    work.reset();
    clearSettings();
}

QString DocumentFixture::sample(const QString& name, SampleOptions options) const
{
    const QString path = work->path(QStringLiteral("data/") + name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    EXPECT_EQ(writeSampleFile(path, options, &error), 0) << error.toStdString();
    return path;
}

QString DocumentFixture::sample(const QString& name, SampleOptions::Kind kind, int rows) const
{
    SampleOptions options;
    options.kind = kind;
    options.rows = rows;
    return sample(name, options);
}

CVantrelDoc* DocumentFixture::openThroughDialog(const QString& path)
{
    const uilib::FileDialogResponder previous =
        uilib::setFileDialogResponder([path](const uilib::FileDialogRequest&) { return path; });
    frame->routeCommand(cmd::FileOpen);
    uilib::setFileDialogResponder(previous);
    frame->updateCommandUI();
    return findDocument(path);
}

CVantrelDoc* DocumentFixture::findDocument(const QString& path) const
{
    // By path: offscreen, which child frame is active after others closed
    // is up to the window system.
    for (CDocument* doc : app->documents())
        if (QFileInfo(doc->GetPathName()).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
            return qobject_cast<CVantrelDoc*>(doc);
    return nullptr;
}

CVantrelDoc* DocumentFixture::open(const QString& path)
{
    auto* doc = qobject_cast<CVantrelDoc*>(app->OpenDocumentFile(path));
    frame->updateCommandUI();
    return doc;
}

CVantrelView* DocumentFixture::reportView(CVantrelDoc* doc) const
{
    for (CView* view : doc->views())
        if (auto* report = qobject_cast<CVantrelView*>(view))
            return report;
    return nullptr;
}

void DocumentFixture::close(CVantrelDoc* doc)
{
    doc->OnFileClose();
    flushDeferredDeletes();
    frame->updateCommandUI();
}

QString DocumentFixture::info(int key) const
{
    return languageText(1, langkeys::InfoDlg, key);
}

bool DocumentFixture::logged(const QString& text) const
{
    for (const QString& entry : work->logEntries())
        if (entry.contains(text))
            return true;
    return false;
}
