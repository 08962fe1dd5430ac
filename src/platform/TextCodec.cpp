#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace tevo {

namespace {

constexpr char kCp950[] = "CP950";
constexpr const char* kUtf16 =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// One converter per direction and thread, opened on first use: opening a converter costs far
// more than converting a line, and a profile is read afresh for every key.
class Converter
{
public:
    Converter(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_handle != kNoConverter)
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool isOpen() const { return m_handle != kNoConverter; }
    iconv_t handle()
    {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return m_handle;
    }

private:
    iconv_t m_handle;
};

Converter& decoder()
{
    thread_local Converter converter(kUtf16, kCp950);
    return converter;
}

Converter& encoder()
{
    thread_local Converter converter(kCp950, kUtf16);
    return converter;
}

// Decodes into `out`; returns false at the first byte that is not a character when `strict`,
// else puts U+FFFD for that byte and goes on.
bool decode(QByteArrayView bytes, QString* out, bool strict)
{
    Converter& converter = decoder();
    if (!converter.isOpen()) {
        // No code page 950 in this C library: keep ASCII, mark the rest as unreadable.
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) >= 0x80 && strict)
                return false;
            if (out)
                out->append(static_cast<unsigned char>(c) < 0x80 ? QChar(c)
                                                                 : QChar::ReplacementCharacter);
        }
        return true;
    }
    iconv_t cd = converter.handle();
    // Every character of code page 950 is one UTF-16 unit and takes at least one byte, so the
    // buffer grows only if the C library maps differently.
    QString buffer(bytes.size() + 1, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* outStart = reinterpret_cast<char*>(buffer.data());
    char* outPtr = outStart;
    size_t outLeft = static_cast<size_t>(buffer.size()) * sizeof(char16_t);
    const auto grow = [&] {
        const qsizetype used = outPtr - outStart;
        buffer.resize(buffer.size() * 2);
        outStart = reinterpret_cast<char*>(buffer.data());
        outPtr = outStart + used;
        outLeft = static_cast<size_t>(buffer.size()) * sizeof(char16_t) - used;
    };
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            grow();
            continue;
        }
        // EILSEQ (no character) or EINVAL (a lead byte at the end): one U+FFFD for one byte.
        if (strict)
            return false;
        if (outLeft < sizeof(char16_t))
            grow();
        const char16_t replacement = QChar::ReplacementCharacter;
        std::memcpy(outPtr, &replacement, sizeof replacement);
        outPtr += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
        cd = converter.handle();
    }
    if (out) {
        buffer.truncate((outPtr - outStart) / qsizetype(sizeof(char16_t)));
        out->append(buffer);
    }
    return true;
}

} // namespace

QString TextCodec::decodeCp950(QByteArrayView bytes)
{
    QString text;
    decode(bytes, &text, false);
    return text;
}

bool TextCodec::isValidCp950(QByteArrayView bytes)
{
    return decode(bytes, nullptr, true);
}

std::optional<QByteArray> TextCodec::encodeCp950(QStringView text)
{
    Converter& converter = encoder();
    if (!converter.isOpen()) {
        QByteArray ascii;
        for (QChar c : text) {
            if (c.unicode() >= 0x80)
                return std::nullopt;
            ascii.append(char(c.unicode()));
        }
        return ascii;
    }
    iconv_t cd = converter.handle();
    // At most two bytes a UTF-16 unit.
    QByteArray out(text.size() * 2 + 1, Qt::Uninitialized);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.data()));
    size_t inLeft = static_cast<size_t>(text.size()) * sizeof(char16_t);
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    out.truncate(outPtr - out.data());
    return out;
}

QString TextCodec::decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool TextCodec::isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length;
        char32_t value;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            value = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            value = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            value = c & 0x07;
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        for (int k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[i + k] & 0x3F);
        }
        if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) ||
            (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

bool TextCodec::hasUtf8Bom(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

bool TextCodec::isUtf8Text(QByteArrayView bytes)
{
    return hasUtf8Bom(bytes) || isValidUtf8(bytes);
}

int TextCodec::cp950Length(char32_t codePoint)
{
    if (codePoint < 0x80)
        return 1;
    if (codePoint > 0xFFFF)
        return 1; // outside the Basic Multilingual Plane: no code page 950 form
    const char16_t unit = static_cast<char16_t>(codePoint);
    const std::optional<QByteArray> bytes = encodeCp950(QStringView(&unit, 1));
    return bytes ? int(bytes->size()) : 1;
}

QString TextCodec::cutToCp950Bytes(const QString& text, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return QString();
    // No character takes more than two bytes, nor more bytes than its UTF-16 units times two.
    if (text.size() * 2 <= maxBytes)
        return text;
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        char32_t codePoint = text[i].unicode();
        qsizetype units = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        }
        const int length = cp950Length(codePoint);
        if (used + length > maxBytes)
            break;
        used += length;
        i += units;
    }
    return text.left(i);
}

} // namespace tevo
