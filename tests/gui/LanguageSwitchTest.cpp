// The language switch and the about box.
#include "GuiTestSupport.h"

#include "EditWnd/CVantrelDoc.h"
#include "MainWnd/CAboutDlg.h"
#include "MainWnd/CMainFrame.h"
#include "uilib/CDocTemplate.h"
#include "uilib/CMDIChildWnd.h"
#include "uilib/CommandIds.h"
#include "util/ProfileFile.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class RecordingDoc : public CVantrelDoc
{
public:
    explicit RecordingDoc(QStringList* events) : events(events) {}
    void OnCloseDocument() override
    {
        events->append(QStringLiteral("close %1").arg(dataModified ? QStringLiteral("changed") : QString()).trimmed());
        CVantrelDoc::OnCloseDocument();
    }
    QStringList* events;
};

QString storedLanguage()
{
    return ProfileFile(QStringLiteral("RoruDize.ini"))
        .getString(QStringLiteral("VantrelTool"), QStringLiteral("LANGUAGEID"), QString());
}

TEST(LanguageSwitch, SameLanguageDoesNothing)
{
    WorkFolder work;
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    MessageRecorder messages;
    EXPECT_TRUE(app.mainFrame()->routeCommand(cmd::LanguageChinese));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(app.restarts, 0);
    EXPECT_TRUE(app.endCodes.empty());
    app.mainFrame()->updateCommandUI();
    EXPECT_TRUE(app.commandAction(cmd::LanguageChinese)->isChecked());
}

TEST(LanguageSwitch, ClosesDocumentsThenRestartsAndEnds)
{
    WorkFolder work;
    TestApp app;
    ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
    const QString temp = app.tempFolderPath;

    QStringList events;
    auto* doc = new RecordingDoc(&events);
    doc->dataModified = true;
    app.pDocLogTemplate->AddDocument(doc);
    app.pDocLogTemplate->InitialUpdateFrame(app.pDocLogTemplate->CreateNewFrame(doc, nullptr), doc, true);
    app.mainFrame()->updateCommandUI();

    MessageRecorder messages;
    app.onRestart = [&] { events.append(QStringLiteral("restart")); };
    EXPECT_TRUE(app.mainFrame()->routeCommand(cmd::LanguageEnglish));

    EXPECT_EQ(storedLanguage(), QStringLiteral("1"));
    // The notice is still in the language of the running program.
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].text, languageText(0, langkeys::InfoDlg, 3));
    // A changed document is closed the normal way before the new process
    // starts, so its question comes while the user can still answer it.
    EXPECT_EQ(events, QStringList({QStringLiteral("close changed"), QStringLiteral("restart")}));
    EXPECT_EQ(app.restarts, 1);
    EXPECT_EQ(app.endCodes, std::vector<int>{0});
    EXPECT_FALSE(QFileInfo::exists(temp)); // shutdown already ran
}

TEST(AboutBox, ShowsTheLanguageTexts)
{
    for (int language : {0, 1}) {
        SCOPED_TRACE(language);
        WorkFolder work;
        work.writeFile(QStringLiteral("RoruDize.ini"),
                       QStringLiteral("[VantrelTool]\nLANGUAGEID=%1\n").arg(language).toUtf8());
        TestApp app;
        ASSERT_TRUE(app.start(work.path(QStringLiteral("bin"))));
        QStringList seen;
        DialogAnswer look([&](QDialog& d) {
            auto& about = static_cast<CAboutDlg&>(d);
            seen << about.windowTitle() << about.okButton->text() << about.upperLabel->text()
                 << about.lowerLabel->text();
            return int(QDialog::Accepted);
        });
        EXPECT_TRUE(app.mainFrame()->routeCommand(cmd::AppAbout));
        QStringList expected;
        for (int key = 1; key <= 4; ++key)
            expected << languageText(language, langkeys::AboutDlg, key);
        EXPECT_EQ(seen, expected);
    }
}

} // namespace
