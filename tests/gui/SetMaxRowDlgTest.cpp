// The rows-per-page setting: what is read at start, the dialog's limits
// and key filter, and the command that stores an accepted value.
#include "GuiTestSupport.h"

#include "EditWnd/CSetMaxRowDlg.h"
#include "MainWnd/CMainFrame.h"
#include "uilib/CommandIds.h"
#include "util/ProfileFile.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SetMaxRowDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        work = std::make_unique<WorkFolder>();
        app = std::make_unique<TestApp>();
        ASSERT_TRUE(app->start(work->path(QStringLiteral("bin"))));
    }
    void TearDown() override
    {
        app.reset();
        work.reset();
    }

    QString text(int key) const { return languageText(0, langkeys::SetMaxRowsDlg, key); }
    QString storedRows() const
    {
        return ProfileFile(QStringLiteral("RoruDize.ini"))
            .getString(QStringLiteral("MaxRowSinglePage"), QStringLiteral("MAXROW"), QStringLiteral("<none>"));
    }

    std::unique_ptr<WorkFolder> work;
    std::unique_ptr<TestApp> app;
};

TEST_F(SetMaxRowDlgTest, ShowsTheValueAndTheLanguageTexts)
{
    CSetMaxRowDlg dialog(2500);
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("2500"));
    EXPECT_EQ(dialog.windowTitle(), text(3));
    EXPECT_EQ(dialog.okButton->text(), text(2));
    EXPECT_EQ(dialog.label->text(), text(4));
    EXPECT_EQ(dialog.edit->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
}

TEST_F(SetMaxRowDlgTest, OkAcceptsOneTo100000AndOtherwiseNamesTheLimit)
{
    const struct {
        const char* entered;
        bool accepted;
    } cases[] = {
        {"1", true}, {"100000", true}, {"000042", true},
        {"0", false}, {"100001", false}, {"999999", false}, {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entered);
        MessageRecorder messages;
        CSetMaxRowDlg dialog(1000);
        dialog.edit->setText(QString::fromLatin1(c.entered));
        dialog.OnOK();
        if (c.accepted) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.value, QString::fromLatin1(c.entered).toInt());
            EXPECT_TRUE(messages.shown.empty());
        } else {
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.value, 1000);
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, QString(text(1)).replace(QStringLiteral("%d"), QStringLiteral("100000")));
            EXPECT_EQ(messages.shown[0].owner, &dialog);
        }
    }
}

TEST_F(SetMaxRowDlgTest, EditTakesAtMostSixDigitsAndNothingElse)
{
    CSetMaxRowDlg dialog(1000);
    dialog.edit->clear();
    QTest::keyClicks(dialog.edit, QStringLiteral("-1a2.3 4"));
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("1234"));
    QTest::keyClicks(dialog.edit, QStringLiteral("5678"));
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("123456"));
    QTest::keyClick(dialog.edit, Qt::Key_Backspace);
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("12345"));
    QApplication::clipboard()->setText(QStringLiteral("9x"));
    QTest::keyClick(dialog.edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(dialog.edit->text(), QStringLiteral("12345"));
}

TEST_F(SetMaxRowDlgTest, CommandStoresAnAcceptedValueOnly)
{
    auto* frame = static_cast<CMainFrame*>(app->mainFrame());
    {
        DialogAnswer cancel([](QDialog&) { return int(QDialog::Rejected); });
        EXPECT_TRUE(frame->routeCommand(cmd::RowsPerPage));
    }
    EXPECT_EQ(app->maxRowsPerPage, 1000);
    EXPECT_EQ(storedRows(), QStringLiteral("<none>"));
    {
        DialogAnswer enter([](QDialog& d) {
            auto& dialog = static_cast<CSetMaxRowDlg&>(d);
            dialog.edit->setText(QStringLiteral("2500"));
            dialog.OnOK();
            return dialog.result();
        });
        EXPECT_TRUE(frame->routeCommand(cmd::RowsPerPage));
    }
    EXPECT_EQ(app->maxRowsPerPage, 2500);
    EXPECT_EQ(storedRows(), QStringLiteral("2500"));
}

TEST(RowsPerPageSetting, ReadAtStartWithOutOfRangeValuesCountingAsTheDefault)
{
    const struct {
        const char* stored;
        int expected;
    } cases[] = {
        {nullptr, 1000}, {"2500", 2500}, {"100000", 100000}, {"1", 1},
        {"0", 1000}, {"-5", 1000}, {"abc", 1000}, {"100001", 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        WorkFolder work;
        if (c.stored)
            work.writeFile(QStringLiteral("RoruDize.ini"),
                           QByteArray("[MaxRowSinglePage]\nMAXROW=") + c.stored + "\n");
        TestApp app;
        EXPECT_EQ(app.maxRowsPerPage, c.expected);
    }
}

} // namespace
