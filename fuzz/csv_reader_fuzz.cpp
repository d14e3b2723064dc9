// libFuzzer target for CsvReader. The first byte picks the options, the
// second the chunk size; the rest is the input. The records read with that
// chunk size must equal those read in one chunk, and going back to a record
// must give it again: both catch faults in the chunk and cache handling that
// a crash alone would not show.
#include "csv/CsvReader.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<CsvReader::Row> readAll(const std::string& bytes, std::uint32_t options, std::int64_t bufferSize,
                                    std::string& endText)
{
    std::istringstream in(bytes);
    CsvReader reader;
    reader.SetBufferSize(bufferSize);
    reader.Associate(&in, options);
    std::vector<CsvReader::Row> rows;
    while (reader.ReadRecord(0) && rows.size() < 100000)
        rows.push_back(reader.row);
    endText = reader.errorText;
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint32_t options = data[0] & 0x0F; // TextMode needs a file
    const std::int64_t bufferSize = 1 + data[1] % 17;
    const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

    std::string smallEnd;
    std::string wholeEnd;
    const auto small = readAll(bytes, options, bufferSize, smallEnd);
    const auto whole = readAll(bytes, options, 1 << 20, wholeEnd);
    if (small != whole || smallEnd != wholeEnd)
        std::abort();

    if (small.size() >= 2) {
        std::istringstream in(bytes);
        CsvReader reader;
        reader.SetBufferSize(bufferSize);
        reader.Associate(&in, options);
        const std::uint64_t last = small.size();
        if (!reader.ReadRecord(last) || reader.row != small[last - 1])
            std::abort();
        if (!reader.ReadRecord(1) || reader.row != small[0])
            std::abort();
    }
    return 0;
}
