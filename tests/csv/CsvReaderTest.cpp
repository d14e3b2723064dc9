#include "csv/CsvReader.h"

#include <gtest/gtest.h>

#include <csv.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Rows = std::vector<CsvReader::Row>;
const std::string endOfInput = "istream: EOF on input operation, Logical error on i/o operation";

struct ReadAll {
    Rows rows;
    std::string errorText;
};

ReadAll readAll(const std::string& bytes, std::uint32_t options, std::int64_t bufferSize = 4096)
{
    std::istringstream in(bytes);
    CsvReader reader;
    EXPECT_TRUE(reader.SetBufferSize(bufferSize));
    EXPECT_TRUE(reader.Associate(&in, options));
    ReadAll result;
    while (reader.ReadRecord(0))
        result.rows.push_back(reader.row);
    result.errorText = reader.errorText;
    EXPECT_TRUE(reader.failed);
    return result;
}

std::string parseErrorText()
{
    return std::string("libcsv: ") + csv_strerror(CSV_EPARSE);
}

struct ParseCase {
    const char* name;
    std::string input;
    std::uint32_t options;
    Rows expected;
    std::string endText = endOfInput;
};

class CsvReaderParse : public ::testing::TestWithParam<ParseCase> {};

// Each case runs with chunk sizes from one byte up, so records, quotes, the
// byte-order mark and CR LF pairs are split across chunks at every position.
TEST_P(CsvReaderParse, GivesTheRecordsAtEveryChunkSize)
{
    const ParseCase& c = GetParam();
    for (std::int64_t bufferSize : {1, 2, 3, 5, 7, 4096}) {
        SCOPED_TRACE("buffer size " + std::to_string(bufferSize));
        const ReadAll result = readAll(c.input, c.options, bufferSize);
        EXPECT_EQ(result.rows, c.expected);
        EXPECT_EQ(result.errorText, c.endText);
    }
}

const std::string bom = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvReaderParse,
    ::testing::Values(
        ParseCase{"Empty", "", 0, {}},
        ParseCase{"OnlyByteOrderMark", bom, 0, {}},
        ParseCase{"LineFeeds", "a,b\nc,d\n", 0, {{"a", "b"}, {"c", "d"}}},
        ParseCase{"LastRecordWithoutLineEnd", "a,b\nc,d", 0, {{"a", "b"}, {"c", "d"}}},
        ParseCase{"CarriageReturns", "a\rb\r", 0, {{"a"}, {"b"}}},
        ParseCase{"CrLf", "a\r\nb\r\n", 0, {{"a"}, {"b"}}},
        ParseCase{"BlankLinesSkipped", "a\n\n\r\n\nb\n", 0, {{"a"}, {"b"}}},
        ParseCase{"EveryNewlineKeepsEmptyLines", "a\n\nb\r\n\r\nc", CsvReader::EveryNewline,
                  {{"a"}, {}, {"b"}, {}, {"c"}}},
        ParseCase{"QuotesSpacesAndDelimiters", "a, \"b,c\" ,\"d\"\"e\"\n", 0, {{"a", "b,c", "d\"e"}}},
        ParseCase{"QuotedLineBreak", "\"x\r\ny\",z\n", 0, {{"x\r\ny", "z"}}},
        ParseCase{"TrailingEmptyField", "a,b,\n", 0, {{"a", "b", ""}}},
        ParseCase{"ByteOrderMarkSkipped", bom + "a,b\n", 0, {{"a", "b"}}},
        ParseCase{"ByteOrderMarkKept", bom + "a,b\n", CsvReader::NoBomCheck, {{bom + "a", "b"}}},
        ParseCase{"NulKeptWithoutRejectNul", std::string("a,b\0c\n", 6), 0, {{"a", std::string("b\0c", 3)}}},
        ParseCase{"UnclosedQuoteAtEndIsAField", "a,\"bc", 0, {{"a", "bc"}}},
        ParseCase{"StrictUnclosedQuote", "a\n\"bc", CsvReader::Strict, {{"a"}}, parseErrorText()},
        ParseCase{"StrictStrayQuote", "x\na\"b\n", CsvReader::Strict, {{"x"}}, parseErrorText()},
        ParseCase{"RejectNul", std::string("a,b\nc,d\ne,f\0g\nh\n", 17), CsvReader::RejectNul,
                  {{"a", "b"}, {"c", "d"}},
                  "Record #3 Field #2 is invalid due to NULL byte in field."}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

std::string tenRecords()
{
    std::string text;
    for (int i = 1; i <= 10; ++i)
        text += "r" + std::to_string(i) + ",x\n";
    return text;
}

TEST(CsvReader, ReadsForwardJumpsAndGoesBack)
{
    for (std::int64_t bufferSize : {4, 4096}) {
        SCOPED_TRACE("buffer size " + std::to_string(bufferSize));
        std::istringstream in(bom + tenRecords());
        CsvReader reader;
        ASSERT_TRUE(reader.SetBufferSize(bufferSize));
        ASSERT_TRUE(reader.Associate(&in, 0));
        EXPECT_TRUE(reader.bomFound);
        ASSERT_TRUE(reader.ReadRecord(3));
        EXPECT_EQ(reader.row.front(), "r3");
        ASSERT_TRUE(reader.ReadRecord(7));
        EXPECT_EQ(reader.row.front(), "r7");
        EXPECT_EQ(reader.recordNumber, 7u);
        ASSERT_TRUE(reader.ReadRecord(7));
        EXPECT_EQ(reader.row.front(), "r7");
        // Going back parses again from after the byte-order mark.
        ASSERT_TRUE(reader.ReadRecord(1));
        EXPECT_EQ(reader.row.front(), "r1");
        ASSERT_TRUE(reader.ReadRecord(2));
        EXPECT_EQ(reader.row.front(), "r2");
        ASSERT_TRUE(reader.ReadRecord(10));
        EXPECT_EQ(reader.row.front(), "r10");
        EXPECT_FALSE(reader.ReadRecord(0));
        EXPECT_TRUE(reader.failed);
        EXPECT_EQ(reader.totalRecords, 10u);
        // Sticky: even a record that exists is refused until Close.
        EXPECT_FALSE(reader.ReadRecord(1));
        EXPECT_TRUE(reader.Close());
        EXPECT_FALSE(reader.failed);
        EXPECT_TRUE(reader.errorText.empty());
        EXPECT_EQ(reader.recordNumber, 0u);
    }
}

TEST(CsvReader, JumpBeyondTheLastRecordFails)
{
    std::istringstream in(tenRecords());
    CsvReader reader(&in, 0);
    EXPECT_FALSE(reader.ReadRecord(11));
    EXPECT_TRUE(reader.failed);
    EXPECT_EQ(reader.errorText, endOfInput);
}

TEST(CsvReader, KeepsAVeryLongField)
{
    const std::string longField(1 << 20, 'x');
    const ReadAll result = readAll("a,\"" + longField + "\",b\nc\n", 0);
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[0][1], longField);
    EXPECT_EQ(result.rows[1], CsvReader::Row{"c"});
}

TEST(CsvReader, MisuseGivesItsText)
{
    struct Case {
        const char* name;
        std::function<bool(CsvReader&, std::istream&)> call;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"null stream", [](CsvReader& r, std::istream&) { return r.Associate(nullptr, 0); },
         "The stream parameter is NULL."},
        {"second stream",
         [](CsvReader& r, std::istream& in) { return r.Associate(&in, 0) && r.Associate(&in, 0); },
         "A stream is already associated. Call Close() to dissociate."},
        {"open with a stream",
         [](CsvReader& r, std::istream& in) { return r.Associate(&in, 0) && r.Open("x.csv", 0); },
         "A stream is already associated. Call Close() to dissociate."},
        {"text mode on a stream",
         [](CsvReader& r, std::istream& in) { return r.Associate(&in, CsvReader::TextMode); },
         "Text mode is only valid for files opened by this class."},
        {"read without stream", [](CsvReader& r, std::istream&) { return r.ReadRecord(0); },
         "A stream is not associated with the object."},
        {"missing file", [](CsvReader& r, std::istream&) { return r.Open("/nonexistent/x.csv", 0); },
         "Failed opening /nonexistent/x.csv"},
        {"zero buffer", [](CsvReader& r, std::istream&) { return r.SetBufferSize(0); },
         "buffer allocation failed. size of bytes is <= 0."},
        {"stream not good",
         [](CsvReader& r, std::istream& in) {
             in.setstate(std::ios::badbit);
             return r.Associate(&in, 0);
         },
         "istream: Read/write error on i/o operation"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in("a\n");
        CsvReader reader;
        EXPECT_FALSE(c.call(reader, in));
        EXPECT_TRUE(reader.failed);
        EXPECT_EQ(reader.errorText, c.text);
    }
}

TEST(CsvReader, OpensItsOwnFileAndReopensAfterClose)
{
    const auto path = std::filesystem::temp_directory_path() / "vantrel_reader_own_file.csv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "h1,h2\r\n1,2\r\n";
    }
    CsvReader reader(path.string(), 0);
    ASSERT_FALSE(reader.failed) << reader.errorText;
    ASSERT_TRUE(reader.ReadRecord(2));
    EXPECT_EQ(reader.row, (CsvReader::Row{"1", "2"}));
    EXPECT_FALSE(reader.Open(path.string(), 0)); // sticky after the misuse
    EXPECT_EQ(reader.errorText, "A file is already open. Call Close() to close the file.");
    EXPECT_TRUE(reader.Close());
    ASSERT_TRUE(reader.Open(path.string(), 0));
    ASSERT_TRUE(reader.ReadRecord(0));
    EXPECT_EQ(reader.row, (CsvReader::Row{"h1", "h2"}));
    reader.Close();
    std::filesystem::remove(path);
}

TEST(CsvReader, StreamStateTexts)
{
    EXPECT_EQ(CsvReader::StreamStateText(std::ios::goodbit), "No errors");
    EXPECT_EQ(CsvReader::StreamStateText(std::ios::eofbit | std::ios::failbit | std::ios::badbit),
              "EOF on input operation, Logical error on i/o operation, Read/write error on i/o operation");
    EXPECT_EQ(CsvReader::StreamStateText(std::ios::iostate(0x100)), "Unknown error");
}

TEST(CsvReader, OtherDelimiter)
{
    std::istringstream in("a;b,c\n");
    CsvReader reader;
    reader.SetDelimiter(';');
    ASSERT_TRUE(reader.Associate(&in, 0));
    ASSERT_TRUE(reader.ReadRecord(0));
    EXPECT_EQ(reader.row, (CsvReader::Row{"a", "b,c"}));
}

} // namespace
