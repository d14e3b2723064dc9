#include "util/CCodeConverter.h"

#include <QStringConverter>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace {

size_t wideLength(const char16_t* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

// Invalid input is replaced (U+FFFD, or '?' when encoding), as the platform
// conversion does without its strict flag; only a null input gives null.
QString decode(QStringConverter::Encoding encoding, const char* text)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Default);
    return decoder.decode(QByteArrayView(text, qsizetype(std::strlen(text))));
}

QByteArray encode(QStringConverter::Encoding encoding, const char16_t* text)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Default);
    return encoder.encode(QStringView(text, qsizetype(wideLength(text))));
}

} // namespace

CCodeConverter::~CCodeConverter()
{
    for (const Buffer& b : buffers) {
        if (b.wide)
            delete[] static_cast<char16_t*>(b.data);
        else
            delete[] static_cast<char*>(b.data);
    }
}

const char16_t* CCodeConverter::keepWide(const char16_t* src, size_t units)
{
    auto* out = new char16_t[units + 1];
    std::memcpy(out, src, units * sizeof(char16_t));
    out[units] = 0;
    buffers.push_back({true, out});
    return out;
}

const char* CCodeConverter::keepNarrow(const char* src, size_t bytes)
{
    auto* out = new char[bytes + 1];
    std::memcpy(out, src, bytes);
    out[bytes] = 0;
    buffers.push_back({false, out});
    return out;
}

const char16_t* CCodeConverter::ansiToWide(const char* text)
{
    if (!text)
        return nullptr;
    const QString s = decode(QStringConverter::System, text);
    return keepWide(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

const char16_t* CCodeConverter::utf8ToWide(const char* text)
{
    if (!text)
        return nullptr;
    const QString s = decode(QStringConverter::Utf8, text);
    return keepWide(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

const char* CCodeConverter::wideToAnsi(const char16_t* text)
{
    if (!text)
        return nullptr;
    const QByteArray b = encode(QStringConverter::System, text);
    return keepNarrow(b.constData(), size_t(b.size()));
}

const char* CCodeConverter::wideToUtf8(const char16_t* text)
{
    if (!text)
        return nullptr;
    const QByteArray b = encode(QStringConverter::Utf8, text);
    return keepNarrow(b.constData(), size_t(b.size()));
}

const char* CCodeConverter::ansiToUtf8(const char* text)
{
    const char16_t* wide = ansiToWide(text);
    return wide ? wideToUtf8(wide) : nullptr;
}

const char* CCodeConverter::utf8ToAnsi(const char* text)
{
    const char16_t* wide = utf8ToWide(text);
    return wide ? wideToAnsi(wide) : nullptr;
}
