#include "csv/CsvReader.h"

#include <csv.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::int64_t initialBufferSize = 4096;
constexpr std::uint64_t maximumRecordNumber = 4294967295u;

std::string libcsvText(csv_parser* parser)
{
    return std::string("libcsv: ") + csv_strerror(csv_error(parser));
}

} // namespace

// What csv_parse and csv_fini hand to the callbacks. The counter is the
// number of the record being parsed; fields of records before the target
// are dropped, so jumping forward stores nothing it will not return.
struct CsvReader::ParseContext {
    CsvReader* reader;
    std::uint64_t counter;
    std::uint64_t target;
};

CsvReader::CsvReader()
{
    Reset(false);
}

CsvReader::CsvReader(std::istream* stream, std::uint32_t options)
{
    if (Reset(false))
        Associate(stream, options);
}

CsvReader::CsvReader(const std::string& path, std::uint32_t options)
{
    if (Reset(false))
        Open(path, options);
}

CsvReader::~CsvReader()
{
    if (parser) {
        csv_free(parser);
        delete parser;
    }
    std::free(buffer);
    cache.clear();
    state.row.clear();
    if (ownFile.is_open())
        ownFile.close();
}

std::string CsvReader::StreamStateText(std::ios::iostate streamState)
{
    if (streamState == std::ios::goodbit)
        return "No errors";
    std::string text;
    auto add = [&text](const char* part) {
        if (!text.empty())
            text += ", ";
        text += part;
    };
    if (streamState & std::ios::eofbit)
        add("EOF on input operation");
    if (streamState & std::ios::failbit)
        add("Logical error on i/o operation");
    if (streamState & std::ios::badbit)
        add("Read/write error on i/o operation");
    return text.empty() ? std::string("Unknown error") : text;
}

bool CsvReader::fail(std::string text)
{
    state.failed = true;
    state.errorText = std::move(text);
    return false;
}

void CsvReader::applyParserOptions()
{
    unsigned char parserOptions = 0;
    if (options & EveryNewline)
        parserOptions |= CSV_REPALL_NL;
    if (options & Strict)
        parserOptions |= CSV_STRICT | CSV_STRICT_FINI;
    csv_set_opts(parser, parserOptions);
}

void CsvReader::resetCache()
{
    cache.clear();
    cache.emplace_back();
}

bool CsvReader::Reset(bool keepPosition)
{
    if (!buffer) {
        buffer = static_cast<char*>(std::malloc(initialBufferSize));
        if (!buffer)
            return fail("buffer allocation failed. size in bytes: " + std::to_string(initialBufferSize));
        state.bufferSize = initialBufferSize;
    }

    if (parser) {
        csv_free(parser);
        delete parser;
        parser = nullptr;
    }
    parser = new csv_parser;
    if (csv_init(parser, 0) != 0) {
        std::string text = libcsvText(parser);
        delete parser;
        parser = nullptr;
        return fail(std::move(text));
    }
    csv_set_delim(parser, static_cast<unsigned char>(delimiter));

    resetCache();

    if (input) {
        input->clear();
        const std::streamoff start = state.bomFound ? 3 : 0;
        input->seekg(start);
        bytesTaken = std::uint64_t(start);
        state.streamAtEnd = input->eof();
    } else {
        options = 0;
        state.streamAtEnd = false;
        state.bomFound = false;
        bytesTaken = 0;
    }
    applyParserOptions();

    state.failed = false;
    inputFinished = false;
    state.errorText.clear();

    if (keepPosition)
        return true;
    state.recordNumber = 0;
    state.totalRecords = 0;
    state.totalRecordsKnown = false;
    state.row.clear();
    return true;
}

void CsvReader::fieldCallback(void* data, std::size_t length, void* contextPointer)
{
    auto& context = *static_cast<ParseContext*>(contextPointer);
    CsvReader& reader = *context.reader;
    if (reader.inputFinished || context.counter < context.target)
        return;
    Row& current = reader.cache.back();
    // libcsv hands a null pointer for an empty field it never buffered.
    current.emplace_back(length ? static_cast<const char*>(data) : "", length);
    if ((reader.options & RejectNul) && length && std::memchr(current.back().data(), 0, length)) {
        reader.inputFinished = true;
        reader.state.errorText = "Record #" + std::to_string(context.counter) + " Field #"
            + std::to_string(current.size()) + " is invalid due to NULL byte in field.";
    }
}

void CsvReader::recordCallback(int terminator, void* contextPointer)
{
    auto& context = *static_cast<ParseContext*>(contextPointer);
    CsvReader& reader = *context.reader;
    if (reader.inputFinished)
        return;
    // With every line end reported, CR LF would end two records; only the
    // LF counts, so a CR LF file reads like an LF one.
    if (terminator == '\r' && (reader.options & EveryNewline))
        return;
    if (terminator == -1)
        reader.state.totalRecordsKnown = true;
    if (context.counter >= context.target) {
        // Records of one file have the same width: sizing the next row like
        // this one saves the vector's regrowth on every record.
        const std::size_t width = reader.cache.back().size();
        reader.cache.emplace_back();
        reader.cache.back().reserve(width);
    }
    ++context.counter;
}

std::size_t CsvReader::readChunk(char* into, std::size_t size)
{
    input->read(into, std::streamsize(size));
    const auto count = std::size_t(input->gcount());
    bytesTaken += count;
    state.streamAtEnd = input->eof();
    return count;
}

void CsvReader::parseFailed()
{
    inputFinished = true;
    state.errorText = libcsvText(parser);
}

bool CsvReader::finish(ParseContext& context)
{
    const bool finished = csv_fini(parser, fieldCallback, recordCallback, &context) == 0;
    // A NUL rejected in the last record keeps its own text: it says more
    // than the end-of-file state that would replace it.
    const bool rejected = inputFinished;
    if (!rejected)
        state.errorText = finished ? "istream: " + StreamStateText(input->rdstate()) : libcsvText(parser);
    inputFinished = true;
    if (finished && !rejected && state.streamAtEnd) {
        state.totalRecords = context.counter - 1;
    } else {
        state.totalRecords = 0;
        state.totalRecordsKnown = false;
    }
    return finished && !rejected;
}

bool CsvReader::Open(const std::string& path, std::uint32_t newOptions)
{
    if (state.failed)
        return false;
    if (ownFile.is_open())
        return fail("A file is already open. Call Close() to close the file.");
    if (input)
        return fail("A stream is already associated. Call Close() to dissociate.");
    std::ios::openmode mode = std::ios::in;
    if (!(newOptions & TextMode))
        mode |= std::ios::binary;
    ownFile.open(path, mode);
    if (!ownFile.is_open() || ownFile.fail() || ownFile.bad())
        return fail("Failed opening " + path);
    return Associate(&ownFile, newOptions);
}

bool CsvReader::Associate(std::istream* stream, std::uint32_t newOptions)
{
    if (state.failed)
        return false;
    if (!stream)
        return fail("The stream parameter is NULL.");
    if (input)
        return fail("A stream is already associated. Call Close() to dissociate.");
    if ((newOptions & TextMode) && stream != &ownFile)
        return fail("Text mode is only valid for files opened by this class.");

    input = stream;
    options = newOptions;
    if (!input->good())
        return fail("istream: " + StreamStateText(input->rdstate()));
    applyParserOptions();

    // The mark needs three bytes, so a buffer set smaller still reads three.
    char smallArea[3];
    const bool small = state.bufferSize < 3;
    char* chunk = small ? smallArea : buffer;
    const std::size_t request = small ? 3 : std::size_t(state.bufferSize);
    const std::size_t count = readChunk(chunk, request);

    std::size_t skip = 0;
    if (!(options & NoBomCheck) && count >= 3 && static_cast<unsigned char>(chunk[0]) == 0xEF
        && static_cast<unsigned char>(chunk[1]) == 0xBB && static_cast<unsigned char>(chunk[2]) == 0xBF) {
        state.bomFound = true;
        skip = 3;
    }

    ParseContext context{this, 1, 1};
    if (count > skip) {
        const std::size_t given = count - skip;
        if (csv_parse(parser, chunk + skip, given, fieldCallback, recordCallback, &context) < given
            && !inputFinished)
            parseFailed();
    }
    if (!inputFinished && (!input->good() || count < request))
        finish(context);
    return true;
}

bool CsvReader::ReadRecord(std::uint64_t number)
{
    if (state.failed)
        return false;
    if (!input)
        return fail("A stream is not associated with the object.");
    if (cache.empty())
        return fail("The cache list does not contain any elements");

    state.streamAtEnd = input->eof();
    const std::uint64_t last = state.recordNumber + cache.size();

    if (number == 0) {
        if (state.recordNumber == maximumRecordNumber)
            return fail("The maximum number of lines have been read (SIZE_MAX)");
        number = state.recordNumber + 1;
    }
    if (number == state.recordNumber)
        return true;

    std::uint64_t counter = last;
    if (number < state.recordNumber) {
        if (!Reset(true))
            return false;
        if (!input->good())
            return fail("istream seek failed: " + StreamStateText(input->rdstate()));
        counter = 1;
    } else if (number < last) {
        for (std::uint64_t skipped = number - state.recordNumber - 1; skipped > 0; --skipped)
            cache.pop_front();
        state.recordNumber = number;
        state.row.swap(cache.front());
        cache.pop_front();
        return true;
    } else if (number == last) {
        Row partial = std::move(cache.back());
        resetCache();
        cache.front() = std::move(partial);
    } else {
        resetCache();
    }

    if (inputFinished) {
        inputFinished = false;
        state.failed = true;
        return false;
    }
    if (cache.size() != 1)
        return fail("The cache list has an unexpected size: " + std::to_string(cache.size()));
    if (!input->good())
        return fail("istream: " + StreamStateText(input->rdstate()));

    ParseContext context{this, counter, number};
    bool finished = false;
    for (;;) {
        const auto request = std::size_t(state.bufferSize);
        const std::size_t count = readChunk(buffer, request);
        if (count > 0 && csv_parse(parser, buffer, count, fieldCallback, recordCallback, &context) < count
            && !inputFinished)
            parseFailed();
        if (!inputFinished && (!input->good() || count < request))
            finished = finish(context);
        if (inputFinished || cache.size() > 1)
            break;
    }
    if (!finished || !state.streamAtEnd) {
        state.totalRecords = 0;
        state.totalRecordsKnown = false;
    }

    if (cache.size() > 1) {
        state.recordNumber = number;
        state.row.swap(cache.front());
        cache.pop_front();
        return true;
    }
    state.failed = true;
    return false;
}

bool CsvReader::Close()
{
    // A failed close sets the stream's fail bit by itself.
    if (ownFile.is_open())
        ownFile.close();
    input = nullptr;
    return Reset(false);
}

void CsvReader::SetDelimiter(char c)
{
    delimiter = c;
    if (parser)
        csv_set_delim(parser, static_cast<unsigned char>(c));
}

bool CsvReader::SetBufferSize(std::int64_t size)
{
    if (buffer && size == state.bufferSize)
        return true;
    if (size <= 0)
        return fail("buffer allocation failed. size of bytes is <= 0.");
    auto* grown = static_cast<char*>(std::realloc(buffer, std::size_t(size)));
    if (!grown)
        return fail("buffer allocation failed. size in bytes: " + std::to_string(size));
    buffer = grown;
    state.bufferSize = size;
    return true;
}
