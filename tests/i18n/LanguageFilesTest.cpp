#include "util/DataFiles.h"
#include "winbaselib/src/i18n/CMultiLang.h"
#include "winbaselib/src/i18n/LangFormat.h"
#include "winbaselib/src/i18n/LangKeys.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using KeySet = std::set<std::pair<QString, int>>;

KeySet keysOf(const CMultiLang::TextTable& table)
{
    KeySet keys;
    for (const auto& [module, entries] : table) {
        for (const auto& entry : entries)
            keys.emplace(module, entry.first);
    }
    return keys;
}

// Loads the index file the way start-up does, then each language file it
// names (0 Simplified Chinese, 1 English) into its own object.
class LanguageFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The tests run in the build folder, where the build copies Language/.
        indexPath = findDataFile(QStringLiteral("Language/Language.xml"));
        ASSERT_FALSE(indexPath.isEmpty()) << "Language/Language.xml not found from "
                                          << QDir::currentPath().toStdString();
        CMultiLang index;
        ASSERT_EQ(index.setLangFile(indexPath), 0);
        for (int id = 0; id < 2; ++id) {
            const QString name = index.findText(QString::fromUtf16(langkeys::LanguageIndex),
                                                QString::number(id));
            ASSERT_FALSE(name.isEmpty()) << "no language file for " << id;
            const QString path = QFileInfo(indexPath).dir().filePath(name);
            ASSERT_EQ(languages[id].setLangFile(path), 0) << path.toStdString();
        }
    }

    QString indexPath;
    CMultiLang languages[2];
};

TEST_F(LanguageFilesTest, LoadingALanguageFileReplacesTheIndex)
{
    CMultiLang lang;
    ASSERT_EQ(lang.setLangFile(indexPath), 0);
    const QString name = lang.findText(QString::fromUtf16(langkeys::LanguageIndex), QStringLiteral("1"));
    ASSERT_EQ(lang.setLangFile(QFileInfo(indexPath).dir().filePath(name)), 0);
    EXPECT_EQ(lang.findText(QString::fromUtf16(langkeys::LanguageIndex), QStringLiteral("1")), QString());
    EXPECT_FALSE(lang.findText(QString::fromUtf16(langkeys::InfoDlg), QStringLiteral("7")).isEmpty());
}

TEST_F(LanguageFilesTest, BothFilesHoldExactlyTheKeysTheProgramUses)
{
    KeySet expected;
    for (const langkeys::LangKey& key : langkeys::allKeys())
        EXPECT_TRUE(expected.emplace(key.module, key.key).second)
            << "key listed twice: " << key.module.toStdString() << " " << key.key;

    const KeySet chinese = keysOf(languages[0].texts());
    const KeySet english = keysOf(languages[1].texts());
    EXPECT_EQ(chinese, english);
    EXPECT_EQ(chinese, expected);
    EXPECT_EQ(english, expected);
}

TEST_F(LanguageFilesTest, EveryTextIsPresentWithTheRightPlaceholders)
{
    for (const CMultiLang& lang : languages) {
        for (const langkeys::LangKey& key : langkeys::allKeys()) {
            SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(lang.languageFilePath(), key.module).arg(key.key)
                             .toStdString());
            const QString text = lang.findText(key.module, QString::number(key.key));
            EXPECT_FALSE(text.trimmed().isEmpty());
            EXPECT_EQ(placeholderPattern(text), key.placeholders) << text.toStdString();
            // Texts shown as they are must hold no '%' at all, or a "%%" would
            // show doubled.
            if (key.placeholders.isEmpty()) {
                EXPECT_FALSE(text.contains(u'%')) << text.toStdString();
            }
        }
    }
}

TEST_F(LanguageFilesTest, MenusShowTheirShortcutsAfterATab)
{
    const struct {
        int key;
        const char16_t* shortcut;
    } cases[] = {{2, u"Ctrl+O"}, {8, u"Ctrl+P"}, {9, u"Ctrl+R"}, {10, u"Ctrl+E"}};
    for (const CMultiLang& lang : languages) {
        for (const auto& c : cases) {
            const QString text = lang.findText(QString::fromUtf16(langkeys::MenuBar), QString::number(c.key));
            EXPECT_TRUE(text.endsWith(u'\t' + QString::fromUtf16(c.shortcut))) << text.toStdString();
        }
    }
}

// Enter in the page selector reads the page number from the start of the
// item text, so the item format must begin with the number.
TEST_F(LanguageFilesTest, PageItemStartsWithThePageNumber)
{
    for (const CMultiLang& lang : languages) {
        const QString format = lang.findText(QString::fromUtf16(langkeys::OtherMsg),
                                             QString::number(langkeys::PageItemFormat));
        const QString item = formatLangText(format, {27});
        EXPECT_TRUE(item.startsWith(QStringLiteral("27")) && (item.size() == 2 || !item[2].isDigit()))
            << item.toStdString();
    }
}

} // namespace
