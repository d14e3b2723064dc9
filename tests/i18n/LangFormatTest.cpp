#include "winbaselib/src/i18n/LangFormat.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

TEST(LangFormatTest, OnlyIntegerPlaceholdersAreFilled)
{
    const struct {
        const char* name;
        const char16_t* format;
        std::initializer_list<long long> numbers;
        const char16_t* expected;
    } cases[] = {
        {"one number", u"%d", {7}, u"7"},
        {"two numbers in order", u"第 %d 页，共 %d 页", {2, 5}, u"第 2 页，共 5 页"},
        {"negative and large", u"%d %d", {-3, 100000}, u"-3 100000"},
        {"escaped percent", u"100%% of %d", {3}, u"100% of 3"},
        {"string conversion stays literal", u"%s and %d", {4}, u"%s and 4"},
        {"width stays literal", u"%5d", {3}, u"%5d"},
        {"more placeholders than numbers", u"%d %d", {1}, u"1 %d"},
        {"no numbers", u"%d", {}, u"%d"},
        {"percent at the end", u"50%", {}, u"50%"},
        {"more numbers than placeholders", u"plain", {1, 2}, u"plain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formatLangText(QString::fromUtf16(c.format), c.numbers), QString::fromUtf16(c.expected));
    }
}

TEST(LangFormatTest, PlaceholderPatternListsEveryConversion)
{
    const struct {
        const char16_t* text;
        const char16_t* expected;
    } cases[] = {
        {u"Page %d of %d", u"%d%d"}, {u"plain", u""},       {u"100%%", u""},
        {u"%s", u"%s"},              {u"%5d", u"%5d"},      {u"%-08.3lf!", u"%-08.3lf"},
        {u"%lld", u"%lld"},          {u"50%", u"%"},        {u"%%%d", u"%d"},
        {u"%ls%n", u"%ls%n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(placeholderPattern(QString::fromUtf16(c.text)), QString::fromUtf16(c.expected));
    }
}

} // namespace
