#pragma once
#include <cstdint>
#include <fstream>
#include <istream>
#include <list>
#include <string>
#include <vector>

struct csv_parser;

// Turns a byte stream of comma-separated values into records, one record at
// a time, over libcsv. Fields are the bytes found in the input, without
// quotes and without any character-set conversion. Record numbers start at
// 1. Reading goes forward record by record, jumps forward, or goes back by
// parsing the input again from its start, which costs a re-read of
// everything before the record asked for.
//
// Every failure, the end of the input included, sets the sticky `failed`
// flag and a text in `errorText`; until Close() every further call returns
// false at once. The reader never throws for bad input.
class CsvReader
{
public:
    using Row = std::vector<std::string>;

    enum Option : std::uint32_t {
        NoBomCheck = 0x01,   // keep a leading EF BB BF in the first field
        EveryNewline = 0x02, // every LF (or end of input) ends a record; empty lines are empty records
        Strict = 0x04,       // a stray quote or a quote open at the end is a parse error
        RejectNul = 0x08,    // a NUL byte in a kept field fails the reader
        TextMode = 0x10,     // open the own file in text mode (own file only)
    };

    CsvReader();
    CsvReader(std::istream* stream, std::uint32_t options);
    // `path` is in the system's character set. Check `failed` afterwards.
    CsvReader(const std::string& path, std::uint32_t options);
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;
    ~CsvReader();

    bool Open(const std::string& path, std::uint32_t options);
    bool Associate(std::istream* stream, std::uint32_t options);
    // Makes record `number` the current `row`; 0 means the one after it.
    bool ReadRecord(std::uint64_t number = 0);
    bool Close();
    void SetDelimiter(char c);
    char Delimiter() const { return delimiter; }
    bool SetBufferSize(std::int64_t size);

    // Bytes taken from the input since it was associated (or last rewound);
    // callers show progress against the input's size with it.
    std::uint64_t bytesRead() const { return bytesTaken; }

    // "No errors", or the texts of the set eof, fail and bad bits joined
    // by ", ".
    static std::string StreamStateText(std::ios::iostate state);

private:
    struct State {
        Row row;
        bool failed = false;
        std::string errorText;
        bool streamAtEnd = false;
        bool bomFound = false;
        std::uint64_t recordNumber = 0;
        std::uint64_t totalRecords = 0;
        bool totalRecordsKnown = false;
        std::int64_t bufferSize = 0;
    };
    State state;

public:
    // Read-only views of the state, valid for the reader's life; read them
    // after each call.
    const Row& row = state.row;
    const bool& failed = state.failed;
    const std::string& errorText = state.errorText;
    const bool& streamAtEnd = state.streamAtEnd;
    const bool& bomFound = state.bomFound;
    const std::uint64_t& recordNumber = state.recordNumber;
    const std::uint64_t& totalRecords = state.totalRecords;
    const bool& totalRecordsKnown = state.totalRecordsKnown;
    const std::int64_t& bufferSize = state.bufferSize;

private:
    struct ParseContext;
    static void fieldCallback(void* data, std::size_t length, void* context);
    static void recordCallback(int terminator, void* context);

    bool Reset(bool keepPosition);
    bool fail(std::string text);
    void applyParserOptions();
    void resetCache();
    std::size_t readChunk(char* into, std::size_t size);
    // csv_fini at the end of the input; sets errorText to the way it ended.
    bool finish(ParseContext& context);
    void parseFailed();

    csv_parser* parser = nullptr;
    std::ifstream ownFile;
    std::istream* input = nullptr;
    std::uint32_t options = 0;
    char* buffer = nullptr;
    char delimiter = ',';
    std::list<Row> cache;
    bool inputFinished = false;
    std::uint64_t bytesTaken = 0;
};
