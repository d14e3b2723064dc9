#pragma once
#include <cstddef>
#include <vector>

// Converts zero-terminated text between UTF-16, UTF-8 and the system's
// character set (the locale's, UTF-8 on a UTF-8 locale). Every result is a
// new buffer owned by the converter and valid until it is destroyed, so one
// converter serves one operation and then goes. A null input gives null.
class CCodeConverter
{
public:
    CCodeConverter() = default;
    CCodeConverter(const CCodeConverter&) = delete;
    CCodeConverter& operator=(const CCodeConverter&) = delete;
    ~CCodeConverter();

    const char16_t* ansiToWide(const char* text);
    const char16_t* utf8ToWide(const char* text);
    const char* wideToAnsi(const char16_t* text);
    const char* wideToUtf8(const char16_t* text);
    const char* ansiToUtf8(const char* text);
    const char* utf8ToAnsi(const char* text);

private:
    struct Buffer {
        bool wide;
        void* data;
    };
    const char16_t* keepWide(const char16_t* src, std::size_t units);
    const char* keepNarrow(const char* src, std::size_t bytes);

    std::vector<Buffer> buffers;
};
