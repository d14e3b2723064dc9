#pragma once
#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Writes comma-separated values to a stream: every field in quotes (unless
// quoteAll is switched off), every quote inside a field doubled, records
// ended by `terminator`. Bytes go through a 4096-byte buffer that is handed
// to the stream at the end of each field, so the stream sees whole fields.
// Failures set the sticky `failed` flag and `errorText`; later writes then
// do nothing and return false.
class CsvWriter
{
public:
    enum Option : std::uint32_t {
        Truncate = 0x01,          // the own file is emptied on opening; otherwise appended to
        TextMode = 0x02,          // open the own file in text mode (own file only)
        WriteEmptyRecords = 0x04, // an empty record still writes its terminator
    };

    CsvWriter();
    CsvWriter(std::ostream* stream, std::uint32_t options);
    // `path` is in the system's character set. Check `failed` afterwards.
    CsvWriter(const std::string& path, std::uint32_t options);
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;
    ~CsvWriter();

    bool Open(const std::string& path, std::uint32_t options);
    bool Associate(std::ostream* stream, std::uint32_t options);
    // Always succeeds; check `failed` before it to learn whether everything
    // was written.
    bool Close();

    bool WriteField(std::string_view text, bool last = false);
    bool WriteRow(const std::vector<std::string>& fields, bool terminate = true);
    bool EndRecord();
    bool WriteBom();
    bool SetBufferSize(std::int64_t size);

    void SetDelimiter(std::string text) { delimiter = std::move(text); }
    const std::string& Delimiter() const { return delimiter; }

    std::string terminator = "\n";
    bool quoteAll = true;

private:
    bool failedValue = false;
    std::string errorTextValue;

public:
    const bool& failed = failedValue;
    const std::string& errorText = errorTextValue;

private:
    bool fail(std::string text);
    bool checkOutput();
    bool allocateBuffer();
    // Appends bytes to the buffer, handing it to the stream whenever it
    // fills up.
    bool put(const char* bytes, std::size_t count);
    bool flush();

    std::ofstream ownFile;
    std::ostream* output = nullptr;
    std::uint32_t options = 0;
    char* buffer = nullptr;
    std::int64_t bufferSize = 0;
    std::size_t used = 0;
    std::string delimiter = ",";
    bool recordEnded = true;
};
