#include "common/TestFiles.h"
#include "util/CCodeConverter.h"
#include "util/Log.h"
#include "util/PathUtil.h"
#include "util/ProfileFile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(PathUtil, FileExtension)
{
    const struct {
        const char* path;
        const char* extension;
    } cases[] = {{"a/Line1.db", "db"}, {"a/name.", ""}, {"a/name", ""}, {"x.tar.gz", "gz"},
                 {"dir.v2/name", "v2/name"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(getFileExtension(QString::fromUtf8(c.path)), QString::fromUtf8(c.extension)) << c.path;
}

TEST(PathUtil, PathExists)
{
    TempFolder t;
    EXPECT_FALSE(pathExists(""));
    EXPECT_TRUE(pathExists(t.root()));
    EXPECT_FALSE(pathExists(t.path("missing")));
}

TEST(CodeConverter, RoundTripsAndBufferLifetime)
{
    CCodeConverter c;
    EXPECT_EQ(c.utf8ToWide(nullptr), nullptr);
    EXPECT_EQ(c.wideToUtf8(nullptr), nullptr);
    const char16_t* empty = c.utf8ToWide("");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], 0);
    const char* first = c.wideToUtf8(u"液位 level");
    const char* second = c.ansiToUtf8("plain");
    // Both results stay valid while the converter lives.
    EXPECT_STREQ(first, "液位 level");
    EXPECT_STREQ(second, "plain");
    EXPECT_EQ(std::u16string(c.utf8ToWide("温度")), u"温度");
    // Invalid UTF-8 is replaced, not refused.
    EXPECT_NE(c.utf8ToWide("\xff\xfe"), nullptr);
    EXPECT_NE(c.wideToAnsi(u"\U0001F600"), nullptr);
}

TEST(ProfileFile, WindowsSemantics)
{
    TempFolder t;
    const QString path = t.path("RoruDize.ini");
    writeAll(path, "; settings\r\n[VantrelTool]\r\nLANGUAGEID=1\r\n\r\n[maxrowsinglepage]\r\n"
                   "MaxRow = 250abc\r\nmaxrow=7\r\nEmpty=\r\n[MaxRowSinglePage]\r\nMAXROW=9\r\n"
                   "Neg=-12\r\nQuoted=\"a b\"\r\n");
    ProfileFile ini(path);
    EXPECT_EQ(ini.getInt("vantreltool", "languageid", 0), 1);
    EXPECT_EQ(ini.getInt("MaxRowSinglePage", "MAXROW", 1000), 250) << "first section, first key, leading digits";
    EXPECT_EQ(ini.getInt("MaxRowSinglePage", "Missing", 1000), 1000);
    EXPECT_EQ(ini.getInt("NoSection", "MAXROW", -1), -1);
    EXPECT_EQ(ini.getString("MaxRowSinglePage", "Empty", "default"), "");
    EXPECT_EQ(ini.getString("MaxRowSinglePage", "Quoted", ""), "");
    EXPECT_EQ(ini.getString("LineSet", "RANGEMIN", "0.0"), "0.0");
    EXPECT_EQ(ini.getString("VantrelTool", "LANGUAGEID", "", 1), "") << "a one-character buffer holds nothing";

    ASSERT_TRUE(ini.writeString("MAXROWSINGLEPAGE", "maxrow", "500"));
    ASSERT_TRUE(ini.writeString("LineSet", "RANGEMIN", "-5.5"));
    ASSERT_TRUE(ini.writeString("VantrelTool", "Other", "x"));
    EXPECT_EQ(ini.getInt("MaxRowSinglePage", "MAXROW", 0), 500);
    EXPECT_EQ(ini.getString("LineSet", "RANGEMIN", ""), "-5.5");
    EXPECT_EQ(ini.getInt("VantrelTool", "LANGUAGEID", 0), 1);
    const QString text = QString::fromUtf8(readAll(path));
    EXPECT_TRUE(text.startsWith("; settings\n[VantrelTool]\nLANGUAGEID=1\nOther=x\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("maxrow=500\nmaxrow=7\n")) << "only the first key is written";
    EXPECT_TRUE(text.contains("[MaxRowSinglePage]\nMAXROW=9\n")) << "the second section stays";
    EXPECT_TRUE(text.endsWith("[LineSet]\nRANGEMIN=-5.5\n"));
    EXPECT_EQ(QDir(t.root()).entryList(QDir::Files), QStringList{"RoruDize.ini"}) << "no temporary file left";
}

TEST(ProfileFile, WriteCreatesFileAndFailsCleanly)
{
    TempFolder t;
    ProfileFile fresh(t.path("new.ini"));
    EXPECT_EQ(fresh.getInt("MaxRowSinglePage", "MAXROW", 1000), 1000);
    ASSERT_TRUE(fresh.writeString("MaxRowSinglePage", "MAXROW", "200"));
    EXPECT_EQ(QString::fromUtf8(readAll(t.path("new.ini"))), "[MaxRowSinglePage]\nMAXROW=200\n");
    ProfileFile nowhere(t.path("no/such/folder/x.ini"));
    EXPECT_FALSE(nowhere.writeString("a", "b", "c"));
}

TEST(Logging, UnconfiguredIsSilentAndConfiguredWritesTheEntry)
{
    TempFolder t;
    VLOG_ERROR("EditWnd/VantrelDoc", "nothing configured yet");
    EXPECT_FALSE(vlog::configure(t.path("missing.cfg").toStdString()));
    const QString logFile = t.path("test.log");
    writeAll(t.path("log.cfg"), QStringLiteral("log4cplus.rootLogger=ERROR, F\n"
                                               "log4cplus.appender.F=log4cplus::FileAppender\n"
                                               "log4cplus.appender.F.File=%1\n"
                                               "log4cplus.appender.F.layout=log4cplus::PatternLayout\n"
                                               "log4cplus.appender.F.layout.ConversionPattern=%m%n\n")
                                    .arg(logFile).toUtf8());
    ASSERT_TRUE(vlog::configure(t.path("log.cfg").toStdString()));
    VLOG_ERROR("EditWnd/VantrelDoc", "OnOpenDocument failed .");
    const QString text = QString::fromUtf8(readAll(logFile));
    EXPECT_TRUE(text.startsWith("OnOpenDocument failed . [EditWnd/VantrelDoc:")) << text.toStdString();
    EXPECT_TRUE(text.contains("TestBody()")) << "function signature missing: " << text.toStdString();
}
