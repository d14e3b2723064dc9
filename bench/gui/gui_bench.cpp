// Opening a document and changing pages as the window does it, on a
// generated file of 5M records: the backup copy, the store's open, page 1
// and the first offscreen paint of the grid; a page change to page 2 and
// to the last page with their paints; and the first and last screen of a
// 100000-row page. Prints median wall times; a separate program because
// the window needs a QApplication, which Google Benchmark's main has not.
//
//   QT_QPA_PLATFORM=offscreen build/vantrel_gui_bench [records]
#include "../bench_support.h"

#include "EditWnd/CReportGridModel.h"
#include "EditWnd/CVantrelDoc.h"
#include "EditWnd/CVantrelView.h"
#include "MainWnd/CMainFrame.h"
#include "MainWnd/CVantrelApp.h"
#include "uilib/MessageSeam.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

CVantrelView* reportView(CVantrelDoc* doc)
{
    for (CView* view : doc->views())
        if (auto* report = qobject_cast<CVantrelView*>(view))
            return report;
    return nullptr;
}

// Paints the main window offscreen, as the first screen after a change.
void paint(CMainFrame* frame)
{
    frame->grab();
}

double ms(double seconds)
{
    return seconds * 1000.0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings (the recent-file list) and cache of a throwaway home, not
    // the user's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
    QApplication application(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 5000000;
    const QString file = benchSampleFile(records);

    // A working folder of its own, with the language files of the build.
    QTemporaryDir work;
    const QString dataDir = QCoreApplication::applicationDirPath();
    QDir().mkpath(work.filePath(QStringLiteral("Language")));
    for (const QFileInfo& entry : QDir(dataDir + QStringLiteral("/Language")).entryInfoList(QDir::Files))
        QFile::copy(entry.absoluteFilePath(), work.filePath(QStringLiteral("Language/") + entry.fileName()));
    QDir::setCurrent(work.path());
    uilib::setMessageResponder([](const uilib::MessageRequest& request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return uilib::MessageAnswer::Ok;
    });

    CVantrelApp app;
    app.setExecutableFolder(work.filePath(QStringLiteral("bin")));
    QDir().mkpath(work.filePath(QStringLiteral("bin")));
    if (!app.InitInstance()) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    auto* frame = static_cast<CMainFrame*>(app.mainFrame());
    frame->resize(1100, 640);

    const auto openDocument = [&] {
        auto* doc = qobject_cast<CVantrelDoc*>(app.OpenDocumentFile(file));
        if (!doc) {
            std::fprintf(stderr, "open failed\n");
            std::exit(1);
        }
        paint(frame);
        return doc;
    };
    const auto closeDocument = [&](CVantrelDoc* doc) {
        doc->OnCloseDocument();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    std::printf("file: %d records, %.0f MB\n", records, double(QFileInfo(file).size()) / 1e6);

    // Open: backup copy, open and page 1, first paint.
    const double open = medianSeconds([&] { closeDocument(openDocument()); }, 3);
    const double copyOnly = medianSeconds([&] {
        const QString copy = work.filePath(QStringLiteral("copy.db"));
        QFile::remove(copy);
        QFile::copy(file, copy);
    }, 3);
    std::printf("open document (copy, open, page 1, first paint): %8.1f ms  (of which the backup copy %.1f ms)\n",
                ms(open), ms(copyOnly));

    // Page changes, each from page 1, with the paint that follows.
    CVantrelDoc* doc = openDocument();
    const auto pageChange = [&](int page) {
        std::vector<double> times;
        for (int run = 0; run < 7; ++run) {
            doc->openPage(1);
            paint(frame);
            QElapsedTimer timer;
            timer.start();
            doc->openPage(page);
            paint(frame);
            times.push_back(double(timer.nsecsElapsed()) / 1e9);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double second = pageChange(2);
    const double last = pageChange(doc->pageCount);
    std::printf("page change to page 2 with its paint:            %8.2f ms\n", ms(second));
    std::printf("page change to the last page (%d) with its paint: %8.2f ms  (ratio %.2f)\n",
                doc->pageCount, ms(last), last / second);
    closeDocument(doc);

    // A page of 100000 rows: the first and the last screen.
    app.maxRowsPerPage = 100000;
    doc = openDocument();
    CVantrelView* view = reportView(doc);
    QTableView* grid = view->grid();
    std::printf("100000-row page: %d rows in the grid\n", view->gridModel()->rowCount());
    const auto screen = [&](bool bottom) {
        return medianSeconds([&] {
            if (bottom)
                grid->scrollToBottom();
            else
                grid->scrollToTop();
            grid->viewport()->grab();
        }, 21);
    };
    const double top = screen(false);
    const double bottom = screen(true);
    std::printf("repaint of the first screen: %8.3f ms\n", ms(top));
    std::printf("repaint of the last screen:  %8.3f ms  (ratio %.2f)\n", ms(bottom), bottom / top);
    doc->openPage(1);
    const double bigPage = medianSeconds([&] {
        doc->openPage(doc->currentPage == 1 ? 2 : 1);
        paint(frame);
    }, 5);
    const double storeRead = medianSeconds([&] { doc->store.readPage(2); }, 5);
    std::printf("page change between 100000-row pages with its paint: %8.1f ms  (the store's read %.1f ms)\n",
                ms(bigPage), ms(storeRead));
    closeDocument(doc);

    delete app.mainFrame();
    app.ExitInstance();
    return 0;
}
