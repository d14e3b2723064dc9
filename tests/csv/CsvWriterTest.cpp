#include "csv/CsvWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct WriteCase {
    const char* name;
    std::vector<std::vector<std::string>> records;
    std::string expected;
    bool quoteAll = true;
    std::uint32_t options = 0;
};

std::string writeRecords(const WriteCase& c, std::int64_t bufferSize)
{
    std::ostringstream out;
    CsvWriter writer;
    EXPECT_TRUE(writer.SetBufferSize(bufferSize));
    EXPECT_TRUE(writer.Associate(&out, c.options));
    writer.terminator = "\r\n";
    writer.quoteAll = c.quoteAll;
    for (const auto& record : c.records) {
        EXPECT_TRUE(writer.WriteRow(record, false));
        EXPECT_TRUE(writer.EndRecord());
    }
    EXPECT_FALSE(writer.failed) << writer.errorText;
    return out.str();
}

// Small buffers split doubled quotes and terminators across buffer fills.
TEST(CsvWriter, WritesTheBytesAtEveryBufferSize)
{
    const std::vector<WriteCase> cases = {
        {"plain", {{"a", "b"}, {"1", "2"}}, "\"a\",\"b\"\r\n\"1\",\"2\"\r\n"},
        {"quote doubled", {{"a\"b", "\"\""}}, "\"a\"\"b\",\"\"\"\"\"\"\r\n"},
        {"empty cell", {{"", "x"}}, "\"\",\"x\"\r\n"},
        {"comma and line break stay in one field", {{"a,b", "c\nd"}}, "\"a,b\",\"c\nd\"\r\n"},
        {"UTF-8 bytes untouched", {{"温度", "Ä"}}, "\"温度\",\"Ä\"\r\n"},
        {"no quoting still doubles quotes", {{"a\"b", "c"}}, "a\"\"b,c\r\n", false},
        {"empty record skipped", {{"a"}, {}, {"b"}}, "\"a\"\r\n\r\n\"b\"\r\n"},
        {"empty record written", {{"a"}, {}}, "\"a\"\r\n\r\n", true, CsvWriter::WriteEmptyRecords},
    };
    for (const WriteCase& c : cases) {
        for (std::int64_t bufferSize : {1, 2, 3, 4096}) {
            SCOPED_TRACE(std::string(c.name) + ", buffer size " + std::to_string(bufferSize));
            EXPECT_EQ(writeRecords(c, bufferSize), c.expected);
        }
    }
}

TEST(CsvWriter, WriteRowEndsAnOpenRecordFirst)
{
    std::ostringstream out;
    CsvWriter writer(&out, 0);
    ASSERT_TRUE(writer.WriteField("a"));
    ASSERT_TRUE(writer.WriteRow({"b", "c"}, true));
    ASSERT_TRUE(writer.WriteField("d", true));
    EXPECT_EQ(out.str(), "\"a\"\n\"b\",\"c\"\n\"d\"\n");
}

// A stream that refuses every byte, like a full disk.
struct RefusingBuffer : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(CsvWriter, AFailedWriteIsStickyAndNamed)
{
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    CsvWriter writer(&out, 0);
    ASSERT_FALSE(writer.failed);
    EXPECT_FALSE(writer.WriteField("abc"));
    EXPECT_TRUE(writer.failed);
    EXPECT_EQ(writer.errorText, "ostream: Read/write error on i/o operation");
    EXPECT_FALSE(writer.EndRecord());
    EXPECT_TRUE(writer.Close());
    EXPECT_FALSE(writer.failed);
}

TEST(CsvWriter, MisuseGivesItsText)
{
    CsvWriter unassociated;
    EXPECT_FALSE(unassociated.WriteRow({"a"}));
    EXPECT_EQ(unassociated.errorText, "A stream is not associated with the object.");

    std::ostringstream out;
    CsvWriter textMode;
    EXPECT_FALSE(textMode.Associate(&out, CsvWriter::TextMode));
    EXPECT_EQ(textMode.errorText, "Text mode is only valid for files opened by this class.");

    CsvWriter twice(&out, 0);
    EXPECT_FALSE(twice.Associate(&out, 0));
    EXPECT_EQ(twice.errorText, "A stream is already associated. Call Close() to dissociate.");

    CsvWriter noFolder("/nonexistent/folder/x.csv", CsvWriter::Truncate);
    EXPECT_TRUE(noFolder.failed);
    EXPECT_EQ(noFolder.errorText, "Failed opening /nonexistent/folder/x.csv");

    CsvWriter negative;
    EXPECT_FALSE(negative.SetBufferSize(-1));
    EXPECT_EQ(negative.errorText, "buffer allocation failed. size of bytes is <= 0.");
}

TEST(CsvWriter, OwnFileTruncatesOrAppends)
{
    const auto path = std::filesystem::temp_directory_path() / "vantrel_writer_own_file.csv";
    auto writeOnce = [&path](std::uint32_t options, const std::string& field) {
        CsvWriter writer(path.string(), options);
        ASSERT_FALSE(writer.failed) << writer.errorText;
        ASSERT_TRUE(writer.WriteBom());
        ASSERT_TRUE(writer.WriteField(field, true));
        writer.Close();
    };
    auto content = [&path] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    writeOnce(CsvWriter::Truncate, "a");
    writeOnce(0, "b");
    EXPECT_EQ(content(), "\xEF\xBB\xBF\"a\"\n\xEF\xBB\xBF\"b\"\n");
    writeOnce(CsvWriter::Truncate, "c");
    EXPECT_EQ(content(), "\xEF\xBB\xBF\"c\"\n");
    std::filesystem::remove(path);
}

} // namespace
