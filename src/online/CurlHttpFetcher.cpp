#include "online/CurlHttpFetcher.h"

#include "online/CurlLibrary.h"

#include "Version.h"

#include <QByteArrayList>
#include <QStringDecoder>

#include <curl/curl.h>
#include <iconv.h>

#include <cerrno>
#include <memory>

namespace tevo {

namespace {

struct Transfer
{
    QByteArray body;
    bool tooLarge = false;
};

size_t collectBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    // Checked here as well as by CURLOPT_MAXFILESIZE, which only sees an announced length: a
    // chunked or unannounced body is cut off as soon as it passes the limit.
    if (transfer->body.size() + static_cast<qsizetype>(bytes) > CurlHttpFetcher::kMaxBodyBytes) {
        transfer->tooLarge = true;
        return 0; // anything but `bytes` aborts the transfer
    }
    transfer->body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

FetchResult curlFailure(const CurlLibrary& curl, CURLcode code)
{
    return FetchResult::failure(static_cast<int>(code), QString::fromUtf8(curl.easyStrerror(code)));
}

// Decodes with glibc iconv; each byte that does not decode becomes U+FFFD and decoding goes on
// after it. std::nullopt when iconv does not know the encoding.
std::optional<QString> decodeWithIconv(const QByteArray& bytes, const char* encoding)
{
    iconv_t converter = iconv_open("UTF-8", encoding);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray utf8;
    utf8.reserve(bytes.size() * 3 / 2);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        utf8.append(buffer, out - buffer);
        if (done != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ (invalid sequence) or EINVAL (incomplete sequence at the end).
        utf8.append("\xEF\xBF\xBD");
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return QString::fromUtf8(utf8);
}

QString decodeCodePage950(const QByteArray& bytes)
{
    if (auto text = decodeWithIconv(bytes, "CP950"))
        return *text;
    return QString::fromUtf8(bytes); // iconv without its CP950 module: keep what UTF-8 gives
}

QByteArray charsetOf(const QByteArray& contentType)
{
    for (QByteArray parameter : contentType.split(';')) {
        parameter = parameter.trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0 || parameter.left(equals).trimmed().toLower() != "charset")
            continue;
        QByteArray value = parameter.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value.trimmed().toLower();
    }
    return {};
}

// The encodings a server may name, mapped to fixed names; a name the server sends never reaches
// iconv_open itself. Empty for a name not in the list.
const char* knownEncoding(const QByteArray& charset)
{
    static const struct
    {
        const char* charset;
        const char* encoding;
    } table[] = {
        {"utf-8", "UTF-8"},
        {"utf8", "UTF-8"},
        {"big5", "CP950"},
        {"big-5", "CP950"},
        {"x-big5", "CP950"},
        {"cn-big5", "CP950"},
        {"cp950", "CP950"},
        {"ms950", "CP950"},
        {"windows-950", "CP950"},
        {"x-windows-950", "CP950"},
        {"big5-hkscs", "BIG5-HKSCS"},
        {"big5hkscs", "BIG5-HKSCS"},
        {"us-ascii", "ISO-8859-1"},
        {"iso-8859-1", "ISO-8859-1"},
        {"latin1", "ISO-8859-1"},
        {"windows-1252", "CP1252"},
        {"cp1252", "CP1252"},
        {"gb2312", "GB18030"},
        {"gbk", "GB18030"},
        {"gb18030", "GB18030"},
    };
    for (const auto& row : table) {
        if (charset == row.charset)
            return row.encoding;
    }
    return "";
}

} // namespace

QByteArray requestLineAddress(const QString& url)
{
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = url.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) {
            out.append('%');
            out.append(hex[byte >> 4]);
            out.append(hex[byte & 0x0F]);
        } else {
            out.append(c);
        }
    }
    return out;
}

QString decodeBody(const QByteArray& body, const QByteArray& contentType)
{
    const char* encoding = knownEncoding(charsetOf(contentType));
    // Stateless: the body is complete, so a sequence cut off at its end is an error, not a
    // start kept for more bytes that never come.
    if (qstrcmp(encoding, "UTF-8") == 0)
        return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless).decode(body);
    if (*encoding) {
        if (auto text = decodeWithIconv(body, encoding))
            return *text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return decodeCodePage950(body);
}

CurlHttpFetcher::CurlHttpFetcher(std::chrono::milliseconds timeout) : m_timeout(timeout) {}

FetchResult CurlHttpFetcher::get(const QString& url)
{
    const CurlLibrary& curlLibrary = CurlLibrary::process();
    if (!curlLibrary.isLoaded())
        return FetchResult::failure(static_cast<int>(CURLE_FAILED_INIT), curlLibrary.error());
    if (curlLibrary.initCode() != CURLE_OK)
        return curlFailure(curlLibrary, curlLibrary.initCode());
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curlLibrary.easyInit(),
                                                                     curlLibrary.easyCleanup);
    if (!handle)
        return curlFailure(curlLibrary, CURLE_FAILED_INIT);
    CURL* curl = handle.get();

    const QByteArray address = requestLineAddress(url);
    static const QByteArray userAgent =
        QByteArrayLiteral("tevo-menu/") + QByteArray::number(version::kMajor) + '.' +
        QByteArray::number(version::kMinor) + '.' + QByteArray::number(version::kRevision);
    Transfer transfer;
    // Set in this order; an option libcurl refuses ends the request before anything is sent.
    const CURLcode settings[] = {
        curlLibrary.easySetopt(curl, CURLOPT_URL, address.constData()),
        curlLibrary.easySetopt(curl, CURLOPT_HTTPGET, 1L),
        curlLibrary.easySetopt(curl, CURLOPT_PROTOCOLS_STR, "http,https"),
        curlLibrary.easySetopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"),
        curlLibrary.easySetopt(curl, CURLOPT_FOLLOWLOCATION, 1L),
        curlLibrary.easySetopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects),
        curlLibrary.easySetopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(m_timeout.count())),
        // Time-outs without SIGALRM: the menu's thread must not be interrupted by a signal.
        curlLibrary.easySetopt(curl, CURLOPT_NOSIGNAL, 1L),
        curlLibrary.easySetopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                               static_cast<curl_off_t>(kMaxBodyBytes)),
        curlLibrary.easySetopt(curl, CURLOPT_WRITEFUNCTION, &collectBody),
        curlLibrary.easySetopt(curl, CURLOPT_WRITEDATA, &transfer),
        curlLibrary.easySetopt(curl, CURLOPT_USERAGENT, userAgent.constData()),
    };
    for (const CURLcode setting : settings) {
        if (setting != CURLE_OK)
            return curlFailure(curlLibrary, setting);
    }

    const CURLcode code = curlLibrary.easyPerform(curl);
    if (transfer.tooLarge)
        return curlFailure(curlLibrary, CURLE_FILESIZE_EXCEEDED);
    if (code != CURLE_OK)
        return curlFailure(curlLibrary, code);

    char* contentType = nullptr;
    if (curlLibrary.easyGetinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) != CURLE_OK)
        contentType = nullptr;
    return FetchResult::reply(decodeBody(transfer.body, QByteArray(contentType)));
}

} // namespace tevo
