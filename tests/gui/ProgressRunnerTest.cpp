// The progress window itself, without the test seam: hidden for short
// work, shown for long work, and its Cancel reaching the work.
#include "GuiTestSupport.h"

#include "uilib/ProgressRunner.h"

#include <QLabel>
#include <QProgressDialog>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ProgressRunner, ShowsForLongWorkAndHandsCancelBack)
{
    ProgressRunner runner(nullptr, QStringLiteral("Export"), QStringLiteral("Cancel"));
    EXPECT_TRUE(runner.report(1, 5000000));
    // Short work shows nothing.
    QProgressDialog* window = runner.window();
    EXPECT_FALSE(window->isVisible());

    QTest::qWait(450);
    EXPECT_TRUE(runner.report(1750000, 5000000));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isModal());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Export"));
    EXPECT_EQ(window->value(), 1750000);
    EXPECT_EQ(window->findChild<QLabel*>()->text(), QStringLiteral("1,750,000 / 5,000,000"));

    // Totals past what the bar counts in (bytes of a large file).
    QTest::qWait(60);
    EXPECT_TRUE(runner.report(3'000'000'000LL, 6'000'000'000LL));
    EXPECT_EQ(window->maximum(), 1000);
    EXPECT_EQ(window->value(), 500);

    window->cancel();
    QTest::qWait(60);
    EXPECT_FALSE(runner.report(3'100'000'000LL, 6'000'000'000LL));
    EXPECT_TRUE(runner.cancelled());
    // Once cancelled it stays so, however soon the next report comes.
    EXPECT_FALSE(runner.report(3'200'000'000LL, 6'000'000'000LL));
}

} // namespace
