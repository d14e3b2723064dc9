#include "csv/CsvWriter.h"

#include "csv/CsvReader.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr std::int64_t initialBufferSize = 4096;
constexpr char notAssociated[] = "A stream is not associated with the object.";
} // namespace

CsvWriter::CsvWriter()
{
    allocateBuffer();
}

CsvWriter::CsvWriter(std::ostream* stream, std::uint32_t newOptions)
{
    if (allocateBuffer())
        Associate(stream, newOptions);
}

CsvWriter::CsvWriter(const std::string& path, std::uint32_t newOptions)
{
    if (allocateBuffer())
        Open(path, newOptions);
}

CsvWriter::~CsvWriter()
{
    std::free(buffer);
    if (ownFile.is_open())
        ownFile.close();
}

bool CsvWriter::fail(std::string text)
{
    failedValue = true;
    errorTextValue = std::move(text);
    return false;
}

bool CsvWriter::allocateBuffer()
{
    if (buffer)
        return true;
    buffer = static_cast<char*>(std::malloc(initialBufferSize));
    if (!buffer)
        return fail("buffer allocation failed. size in bytes: " + std::to_string(initialBufferSize));
    bufferSize = initialBufferSize;
    return true;
}

bool CsvWriter::checkOutput()
{
    if (output->good())
        return true;
    return fail("ostream: " + CsvReader::StreamStateText(output->rdstate()));
}

bool CsvWriter::flush()
{
    if (used == 0)
        return true;
    output->write(buffer, std::streamsize(used));
    used = 0;
    return checkOutput();
}

bool CsvWriter::put(const char* bytes, std::size_t count)
{
    while (count > 0) {
        const std::size_t room = std::size_t(bufferSize) - used;
        const std::size_t part = count < room ? count : room;
        std::memcpy(buffer + used, bytes, part);
        used += part;
        bytes += part;
        count -= part;
        if (used == std::size_t(bufferSize) && !flush())
            return false;
    }
    return true;
}

bool CsvWriter::Open(const std::string& path, std::uint32_t newOptions)
{
    if (failedValue)
        return false;
    if (ownFile.is_open())
        return fail("A file is already open. Call Close() to close the file.");
    if (output)
        return fail("A stream is already associated. Call Close() to dissociate.");
    std::ios::openmode mode = std::ios::out;
    mode |= (newOptions & Truncate) ? std::ios::trunc : std::ios::app;
    if (!(newOptions & TextMode))
        mode |= std::ios::binary;
    ownFile.open(path, mode);
    if (!ownFile.is_open() || ownFile.fail() || ownFile.bad())
        return fail("Failed opening " + path);
    return Associate(&ownFile, newOptions);
}

bool CsvWriter::Associate(std::ostream* stream, std::uint32_t newOptions)
{
    if (failedValue)
        return false;
    if (!stream)
        return fail("The stream parameter is NULL.");
    if (output)
        return fail("A stream is already associated. Call Close() to dissociate.");
    if ((newOptions & TextMode) && stream != &ownFile)
        return fail("Text mode is only valid for files opened by this class.");
    output = stream;
    options = newOptions;
    return checkOutput();
}

bool CsvWriter::Close()
{
    // A failed close sets the stream's fail bit by itself.
    if (ownFile.is_open())
        ownFile.close();
    output = nullptr;
    used = 0;
    allocateBuffer();
    options = 0;
    failedValue = false;
    errorTextValue.clear();
    recordEnded = true;
    return true;
}

bool CsvWriter::WriteField(std::string_view text, bool last)
{
    if (failedValue)
        return false;
    if (!output)
        return fail(notAssociated);

    if (!recordEnded && !put(delimiter.data(), delimiter.size()))
        return false;
    if (quoteAll && !put("\"", 1))
        return false;
    // Quotes are doubled even without quoteAll; the field is then not a
    // valid CSV field unless the caller quotes it, but the bytes are what
    // readers of older files expect.
    const char* at = text.data();
    const char* end = at + text.size();
    while (at < end) {
        const auto* quote = static_cast<const char*>(std::memchr(at, '"', std::size_t(end - at)));
        const char* spanEnd = quote ? quote + 1 : end;
        if (!put(at, std::size_t(spanEnd - at)))
            return false;
        if (quote && !put("\"", 1))
            return false;
        at = spanEnd;
    }
    if (quoteAll && !put("\"", 1))
        return false;
    if (last && !put(terminator.data(), terminator.size()))
        return false;
    if (!flush())
        return false;
    recordEnded = last;
    return true;
}

bool CsvWriter::WriteRow(const std::vector<std::string>& fields, bool terminate)
{
    if (failedValue)
        return false;
    if (!output)
        return fail(notAssociated);
    if (!recordEnded && !EndRecord())
        return false;
    if (fields.empty() && !(options & WriteEmptyRecords))
        return true;
    for (const std::string& field : fields) {
        if (!WriteField(field, false))
            return false;
    }
    return terminate ? EndRecord() : true;
}

bool CsvWriter::EndRecord()
{
    if (failedValue)
        return false;
    if (!output)
        return fail(notAssociated);
    output->write(terminator.data(), std::streamsize(terminator.size()));
    if (!checkOutput())
        return false;
    recordEnded = true;
    return true;
}

bool CsvWriter::WriteBom()
{
    if (failedValue)
        return false;
    if (!output)
        return fail(notAssociated);
    output->write("\xEF\xBB\xBF", 3);
    return checkOutput();
}

bool CsvWriter::SetBufferSize(std::int64_t size)
{
    if (buffer && size == bufferSize)
        return true;
    if (size <= 0)
        return fail("buffer allocation failed. size of bytes is <= 0.");
    // Whatever is still buffered belongs before the next bytes.
    if (output && !flush())
        return false;
    auto* grown = static_cast<char*>(std::realloc(buffer, std::size_t(size)));
    if (!grown)
        return fail("buffer allocation failed. size in bytes: " + std::to_string(size));
    buffer = grown;
    bufferSize = size;
    return true;
}
