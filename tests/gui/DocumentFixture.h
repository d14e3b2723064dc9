#pragma once
// Fixture of the document, paging and report-grid tests: a started
// application in a working folder, sample files generated into it, and
// documents opened the way the user opens them.
#include "GuiTestSupport.h"

#include "EditWnd/CVantrelDoc.h"
#include "EditWnd/CVantrelView.h"
#include "MainWnd/CMainFrame.h"
#include "store/SampleGenerator.h"

#include <gtest/gtest.h>

#include <memory>

class DocumentFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The settings file the application starts with; English texts unless
    // a test says otherwise.
    virtual QByteArray settingsFile() const { return "[VantrelTool]\nLANGUAGEID=1\n"; }

    // Writes a sample file under data/ of the working folder.
    QString sample(const QString& name, SampleOptions options = {}) const;
    QString sample(const QString& name, SampleOptions::Kind kind, int rows) const;
    // Opens through the file-open command and its dialog.
    CVantrelDoc* openThroughDialog(const QString& path);
    CVantrelDoc* open(const QString& path);
    CVantrelDoc* findDocument(const QString& path) const;
    CVantrelView* reportView(CVantrelDoc* doc) const;
    // Closes the document; the message recorder answers any question.
    void close(CVantrelDoc* doc);

    // InfoDlg text of the running (English) language.
    QString info(int key) const;
    bool logged(const QString& text) const;

    std::unique_ptr<WorkFolder> work;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<TestApp> app;
    CMainFrame* frame = nullptr;
};
