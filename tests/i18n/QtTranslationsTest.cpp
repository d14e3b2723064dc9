#include "winbaselib/src/i18n/QtTranslations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include <gtest/gtest.h>

namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "vantrel_tests_i18n";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A standard button text that Qt's own dialogs take from qtbase.
QString cancelText()
{
    return QCoreApplication::translate("QPlatformTheme", "Cancel");
}

TEST(QtTranslationsTest, ChineseLoadsQtsCatalogueAndEnglishRemovesIt)
{
    const QString catalogue =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm");
    if (!QFileInfo::exists(catalogue))
        GTEST_SKIP() << "qt6-translations-l10n is not installed: " << catalogue.toStdString();

    QCoreApplication& app = application();
    ASSERT_TRUE(installQtTranslations(app, 0));
    EXPECT_EQ(cancelText(), QStringLiteral("取消"));

    // A second call replaces the translator instead of stacking another.
    ASSERT_TRUE(installQtTranslations(app, 0));
    EXPECT_TRUE(installQtTranslations(app, 1));
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));

    // A language with no Qt catalogue here installs nothing.
    ASSERT_TRUE(installQtTranslations(app, 0));
    EXPECT_FALSE(installQtTranslations(app, 7));
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));
}

} // namespace
