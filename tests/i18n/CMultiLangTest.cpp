#include "winbaselib/src/i18n/CMultiLang.h"

#include "LogCapture.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr char unit[] = "winbaselib/src/i18n/multilang";

class CMultiLangTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        logcapture::takeNewEntries();
    }

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }

    // Every entry logged since the test began must start with the expected
    // text, in order, and name this unit.
    void expectLogged(const QStringList& texts)
    {
        const QStringList entries = logcapture::takeNewEntries();
        ASSERT_EQ(entries.size(), texts.size()) << entries.join(u'\n').toStdString();
        for (qsizetype i = 0; i < texts.size(); ++i) {
            EXPECT_TRUE(entries[i].startsWith(texts[i])) << entries[i].toStdString();
            EXPECT_TRUE(entries[i].contains(QLatin1String(unit))) << entries[i].toStdString();
        }
    }

    QTemporaryDir dir;
};

QByteArray language(const char* modules)
{
    return QByteArray("<?xml version=\"1.0\"?>\n<Language>") + modules + "</Language>\n";
}

struct LookupCase {
    const char* name;
    QByteArray xml;
    const char16_t* module;
    const char16_t* keyText;
    const char16_t* expected;
};

TEST_F(CMultiLangTest, EntriesAreReadAsTheFileFormatSays)
{
    const LookupCase cases[] = {
        {"missing ID is key 0", language(R"(<Module Name="M"><E Text="zero"/></Module>)"),
         u"M", u"0", u"zero"},
        {"missing Text is empty", language(R"(<Module Name="M"><E ID="1"/></Module>)"),
         u"M", u"1", u""},
        {"element name is not examined",
         language(R"(<Module Name="M"><Anything ID="1" Text="one"/></Module>)"), u"M", u"1", u"one"},
        {"hexadecimal ID", language(R"(<Module Name="M"><E ID="0x10" Text="sixteen"/></Module>)"),
         u"M", u"16", u"sixteen"},
        {"plus sign", language(R"(<Module Name="M"><E ID="+5" Text="five"/></Module>)"),
         u"M", u"5", u"five"},
        {"negative ID", language(R"(<Module Name="M"><E ID="-3" Text="minus three"/></Module>)"),
         u"M", u"-3", u"minus three"},
        {"leading blank in ID", language(R"(<Module Name="M"><E ID=" 7" Text="seven"/></Module>)"),
         u"M", u"7", u"seven"},
        {"digits then letters", language(R"(<Module Name="M"><E ID="12abc" Text="twelve"/></Module>)"),
         u"M", u"12", u"twelve"},
        {"non-numeric ID is 0", language(R"(<Module Name="M"><E ID="abc" Text="zero"/></Module>)"),
         u"M", u"0", u"zero"},
        {"too large ID clamps", language(R"(<Module Name="M"><E ID="99999999999" Text="max"/></Module>)"),
         u"M", u"2147483647", u"max"},
        {"too small ID clamps", language(R"(<Module Name="M"><E ID="-99999999999" Text="min"/></Module>)"),
         u"M", u"-2147483648", u"min"},
        {"first of two equal keys wins",
         language(R"(<Module Name="M"><E ID="1" Text="first"/><E ID="1" Text="second"/></Module>)"),
         u"M", u"1", u"first"},
        {"text inside a module takes key 0",
         language(R"(<Module Name="M">loose text<E ID="0" Text="later"/></Module>)"), u"M", u"0", u""},
        {"CDATA inside a module takes key 0",
         language(R"(<Module Name="M"><![CDATA[data]]><E ID="0" Text="later"/></Module>)"), u"M", u"0", u""},
        {"text does not take a key 0 already there",
         language(R"(<Module Name="M"><E ID="0" Text="zero"/>loose text</Module>)"), u"M", u"0", u"zero"},
        {"line feed reference is a line break",
         language(R"(<Module Name="M"><E ID="1" Text="a&#10;b"/></Module>)"), u"M", u"1", u"a\nb"},
        {"tab reference stays a tab",
         language(R"(<Module Name="M"><E ID="1" Text="Open&#9;Ctrl+O"/></Module>)"), u"M", u"1", u"Open\tCtrl+O"},
        {"literal line break becomes a space",
         language("<Module Name=\"M\"><E ID=\"1\" Text=\"a\nb\"/></Module>"), u"M", u"1", u"a b"},
        {"entities are expanded",
         language(R"(<Module Name="M"><E ID="1" Text="&amp;File &lt;&gt;"/></Module>)"), u"M", u"1", u"&File <>"},
        {"module names are case-sensitive",
         language(R"(<Module Name="InfoDlg"><E ID="1" Text="x"/></Module>)"), u"infodlg", u"1", u""},
        {"module names are not trimmed",
         language(R"(<Module Name=" M"><E ID="1" Text="x"/></Module>)"), u"M", u"1", u""},
        {"first of two equal modules wins",
         language(R"(<Module Name="M"><E ID="1" Text="first"/></Module>)"
                  R"(<Module Name="M"><E ID="1" Text="second"/></Module>)"), u"M", u"1", u"first"},
        {"equal modules are not merged",
         language(R"(<Module Name="M"><E ID="1" Text="first"/></Module>)"
                  R"(<Module Name="M"><E ID="2" Text="second"/></Module>)"), u"M", u"2", u""},
        {"modules below another element are ignored",
         language(R"(<Group><Module Name="M"><E ID="1" Text="x"/></Module></Group>)"), u"M", u"1", u""},
        {"root other than Language gives no modules",
         R"(<Other><Module Name="M"><E ID="1" Text="x"/></Module></Other>)", u"M", u"1", u""},
        {"UTF-8 text", language(R"x(<Module Name="模块"><E ID="1" Text="打开(&amp;O)"/></Module>)x"),
         u"模块", u"1", u"打开(&O)"},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        CMultiLang lang;
        ASSERT_EQ(lang.setLangFile(write(QStringLiteral("case.xml"), c.xml)), 0);
        EXPECT_EQ(lang.findText(QString::fromUtf16(c.module), QString::fromUtf16(c.keyText)),
                  QString::fromUtf16(c.expected));
    }
    expectLogged({});
}

TEST_F(CMultiLangTest, MissingNameAndMissingTextAreStoredEmpty)
{
    CMultiLang lang;
    ASSERT_EQ(lang.setLangFile(write(QStringLiteral("a.xml"),
                                     language(R"(<Module><E ID="1" Text="x"/></Module>)"
                                              R"(<Module Name="M">text<E ID="2"/></Module>)"))),
              0);
    const CMultiLang::TextTable& table = lang.texts();
    ASSERT_EQ(table.size(), 2u);
    ASSERT_TRUE(table.count(QString()));
    EXPECT_EQ(table.at(QString()).at(1), QStringLiteral("x"));
    const CMultiLang::KeyTexts expected{{0, QString()}, {2, QString()}};
    EXPECT_EQ(table.at(QStringLiteral("M")), expected);
    // An empty module name never matches, even though the table holds one.
    EXPECT_EQ(lang.findText(QString(), QStringLiteral("1")), QString());
}

TEST_F(CMultiLangTest, FileEncodingIsDetected)
{
    const QString xml = QStringLiteral(
        "<?xml version=\"1.0\"?><Language><Module Name=\"M\"><E ID=\"1\" Text=\"历史曲线\"/></Module></Language>");
    struct EncodingCase {
        const char* name;
        QStringConverter::Encoding encoding;
        bool bom;
    };
    const EncodingCase cases[] = {
        {"UTF-8", QStringConverter::Utf8, false},
        {"UTF-8 with BOM", QStringConverter::Utf8, true},
        {"UTF-16LE with BOM", QStringConverter::Utf16LE, true},
        {"UTF-16BE with BOM", QStringConverter::Utf16BE, true},
    };
    for (const EncodingCase& c : cases) {
        SCOPED_TRACE(c.name);
        QStringEncoder encoder(c.encoding, c.bom ? QStringConverter::Flag::WriteBom
                                                 : QStringConverter::Flag::Default);
        const QByteArray bytes = encoder.encode(xml);
        CMultiLang lang;
        ASSERT_EQ(lang.setLangFile(write(QStringLiteral("enc.xml"), bytes)), 0);
        EXPECT_EQ(lang.findText(QStringLiteral("M"), QStringLiteral("1")), QStringLiteral("历史曲线"));
    }
}

TEST_F(CMultiLangTest, PathWithChineseFolderNameLoads)
{
    const QString path = write(QStringLiteral("语言 文件/简体中文.xml"),
                               language(R"(<Module Name="M"><E ID="1" Text="x"/></Module>)"));
    CMultiLang lang;
    ASSERT_EQ(lang.setLangFile(path), 0);
    EXPECT_EQ(lang.findText(u"M", u"1"), QStringLiteral("x"));
}

// Key texts are read like a decimal string-to-int conversion. A text with no
// number, or one beyond the int range, finds nothing: the lookup must never
// throw, where the plain conversion would end the program.
TEST_F(CMultiLangTest, KeyTextIsReadAsADecimalNumber)
{
    CMultiLang lang;
    ASSERT_EQ(lang.setLangFile(write(QStringLiteral("k.xml"),
                                     language(R"(<Module Name="M"><E ID="12" Text="twelve"/>)"
                                              R"(<E ID="-3" Text="minus three"/><E ID="0" Text="zero"/>)"
                                              R"(<E ID="2147483647" Text="max"/>)"
                                              R"(<E ID="-2147483648" Text="min"/></Module>)"))),
              0);
    const struct {
        const char16_t* keyText;
        const char16_t* expected;
    } cases[] = {
        {u"12", u"twelve"},       {u" 12", u"twelve"},     {u"\t\n12", u"twelve"},
        {u"+12", u"twelve"},      {u"012", u"twelve"},     {u"12abc", u"twelve"},
        {u"12.9", u"twelve"},     {u"-3", u"minus three"}, {u"-0", u"zero"},
        {u"2147483647", u"max"},  {u"-2147483648", u"min"},
        {u"2147483648", u""},     {u"-2147483649", u""},   {u"99999999999999999999", u""},
        {u"abc", u""},            {u"-", u""},             {u"+", u""},
        {u" ", u""},              {u"", u""},              {u"0x0C", u"zero"},
        {u"١٢", u""}, // Arabic-Indic digits are not decimal digits here
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.keyText).toStdString());
        EXPECT_EQ(lang.findText(QStringLiteral("M"), QString::fromUtf16(c.keyText)),
                  QString::fromUtf16(c.expected));
    }
    ASSERT_EQ(lang.setTrFindModule(QStringLiteral("M")), 0);
    EXPECT_EQ(lang.findText(-3), QStringLiteral("minus three"));
    EXPECT_EQ(lang.findText(INT_MAX), QStringLiteral("max"));
    EXPECT_EQ(lang.findText(INT_MIN), QStringLiteral("min"));
    EXPECT_EQ(lang.findText(u"12"), QStringLiteral("twelve"));
    EXPECT_EQ(lang.findText(QStringLiteral("abc")), QString());
}

struct LoadCase {
    const char* name;
    QString path;
    int expected;
    QStringList logged;
};

TEST_F(CMultiLangTest, LoadFailuresGiveTheirCodeAndLogText)
{
    const QByteArray good = language(R"(<Module Name="M"><E ID="1" Text="x"/></Module>)");
    QDir(dir.path()).mkpath(QStringLiteral("folder.xml"));
    const LoadCase cases[] = {
        {"empty path", QString(), -1, {"language file not exists."}},
        {"nothing at the path", dir.filePath(QStringLiteral("missing.xml")), -1,
         {"language file not exists."}},
        {"upper-case extension", write(QStringLiteral("upper.XML"), good), -2,
         {"language file format error.", "loadAllEntry failed."}},
        {"extension after xml", write(QStringLiteral("lang.xml.bak"), good), -2,
         {"language file format error.", "loadAllEntry failed."}},
        {"only dot in a folder name", write(QStringLiteral("dot.d/lang"), good), -2,
         {"language file format error.", "loadAllEntry failed."}},
        {"no extension at all", write(QStringLiteral("plain"), good), -2,
         {"language file format error.", "loadAllEntry failed."}},
        {"malformed XML", write(QStringLiteral("bad.xml"), "<Language><Module Name=\"M\"></Language>"), -2,
         {"load xmlfile failed, errmsg:Start-end tags mismatch", "parse language file failed.",
          "loadAllEntry failed."}},
        {"empty file", write(QStringLiteral("empty.xml"), QByteArray()), -2,
         {"load xmlfile failed, errmsg:No document element found", "parse language file failed.",
          "loadAllEntry failed."}},
        {"folder named like a language file", dir.filePath(QStringLiteral("folder.xml")), -2,
         {"load xmlfile failed, errmsg:", "parse language file failed.", "loadAllEntry failed."}},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        logcapture::takeNewEntries();
        CMultiLang lang;
        EXPECT_EQ(lang.setLangFile(c.path), c.expected);
        EXPECT_FALSE(lang.isLoaded());
        EXPECT_TRUE(lang.texts().empty());
        expectLogged(c.logged);
    }
}

TEST_F(CMultiLangTest, NullAndEmptyArgumentsAreRefused)
{
    CMultiLang lang;
    CMultiLang::TextTable table;
    EXPECT_EQ(lang.setLangFile(static_cast<const char16_t*>(nullptr)), -1);
    EXPECT_EQ(lang.parseLangFile(nullptr, table), -1);
    EXPECT_EQ(lang.loadAllEntry(), -1);
    ASSERT_EQ(lang.setTrFindModule(u"M"), 0);
    EXPECT_EQ(lang.setTrFindModule(static_cast<const char16_t*>(nullptr)), -1);
    EXPECT_EQ(lang.setTrFindModule(QString()), -1);
    EXPECT_EQ(lang.setTrFindModule(u""), -1);
    EXPECT_EQ(lang.trFindModule(), QStringLiteral("M"));
    expectLogged({"pLangFilePath pointer is nullptr.", "pfile pointer is empty.",
                  "language file path is empty.", "pModuleName pointer is nullptr.",
                  "module name is empty", "module name is empty"});

    // Lookups never fail and never log.
    EXPECT_EQ(lang.findText(nullptr, u"1"), QString());
    EXPECT_EQ(lang.findText(u"M", nullptr), QString());
    EXPECT_EQ(lang.findText(static_cast<const char16_t*>(nullptr)), QString());
    EXPECT_EQ(lang.findText(1), QString());
    expectLogged({});
}

TEST_F(CMultiLangTest, ParseCountsModulesAndLoadsIntoTheGivenTable)
{
    const QString path = write(QStringLiteral("p.xml"),
                               language(R"(<Module Name="A"/><Module Name="B"/><Module Name="A"/>)"));
    CMultiLang lang;
    CMultiLang::TextTable table;
    EXPECT_EQ(lang.parseLangFile(reinterpret_cast<const char16_t*>(path.utf16()), table), 2);
    EXPECT_EQ(table.size(), 2u);
    // Only loadAllEntry replaces the object's own table.
    EXPECT_TRUE(lang.texts().empty());
    const QString bad = write(QStringLiteral("bad.xml"), "<Language>");
    EXPECT_EQ(lang.parseLangFile(reinterpret_cast<const char16_t*>(bad.utf16()), table), -2);
}

TEST_F(CMultiLangTest, ReloadAndFailedLoadKeepWhatIsShown)
{
    const QString first = write(QStringLiteral("first.xml"),
                                language(R"(<Module Name="M"><E ID="1" Text="first"/></Module>)"));
    CMultiLang lang;
    ASSERT_EQ(lang.setLangFile(first), 0);
    EXPECT_TRUE(lang.isLoaded());

    // The same path is not read again, even after the file changed.
    write(QStringLiteral("first.xml"), language(R"(<Module Name="M"><E ID="1" Text="changed"/></Module>)"));
    EXPECT_EQ(lang.setLangFile(first), 0);
    EXPECT_EQ(lang.findText(u"M", u"1"), QStringLiteral("first"));

    // A failed load keeps the old texts but marks the object not loaded ...
    const QString second = write(QStringLiteral("second.xml"), "<Language><Module>");
    EXPECT_EQ(lang.setLangFile(second), -2);
    EXPECT_FALSE(lang.isLoaded());
    EXPECT_EQ(lang.languageFilePath(), second);
    EXPECT_EQ(lang.findText(u"M", u"1"), QStringLiteral("first"));

    // ... so the same path is read again once it has been mended.
    write(QStringLiteral("second.xml"), language(R"(<Module Name="M"><E ID="1" Text="second"/></Module>)"));
    EXPECT_EQ(lang.setLangFile(second), 0);
    EXPECT_TRUE(lang.isLoaded());
    EXPECT_EQ(lang.findText(u"M", u"1"), QStringLiteral("second"));

    // A path that went missing fails before the table is touched.
    ASSERT_TRUE(QFile::remove(first));
    EXPECT_EQ(lang.setLangFile(first), -1);
    EXPECT_TRUE(lang.isLoaded());
    EXPECT_EQ(lang.languageFilePath(), second);
}

TEST_F(CMultiLangTest, CurrentModuleStaysUntilTheNextSetTrFindModule)
{
    CMultiLang lang;
    ASSERT_EQ(lang.setLangFile(write(QStringLiteral("m.xml"),
                                     language(R"(<Module Name="ExportDlg"><E ID="5" Text="five"/>)"
                                              R"(<E ID="6" Text="six"/></Module>)"
                                              R"(<Module Name="InfoDlg"><E ID="6" Text="info six"/></Module>)"))),
              0);
    // No current module yet: key-only lookups find nothing.
    EXPECT_EQ(lang.findText(5), QString());

    // What the application's getLangText(module, key) does, followed by a
    // key-only lookup, which then searches the same module.
    ASSERT_EQ(lang.setTrFindModule(QStringLiteral("ExportDlg")), 0);
    EXPECT_EQ(lang.findText(5), QStringLiteral("five"));
    EXPECT_EQ(lang.findText(6), QStringLiteral("six"));

    // A lookup with a module name does not change the current module.
    EXPECT_EQ(lang.findText(u"InfoDlg", u"6"), QStringLiteral("info six"));
    EXPECT_EQ(lang.findText(6), QStringLiteral("six"));

    // A module that is not in the table is accepted and finds nothing.
    EXPECT_EQ(lang.setTrFindModule(u"Nowhere"), 0);
    EXPECT_EQ(lang.findText(6), QString());
}

} // namespace
