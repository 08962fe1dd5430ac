// Replies of the vendor service server, from the bytes on the wire to the stored values and the
// notice line.
//
// Input layout: one byte of choices (bits 0-3: the Content-Type, bit 4: the version fetch fails,
// bit 5: the notice fetch fails), then the version reply body, "\0\xff", the notice reply body,
// "\0\xff", the customer code (UTF-8). Missing parts are empty.
//
// The bodies are decoded as the HTTP fetcher decodes them, handed to the online refresh through
// a scripted fetcher and an in-memory store, and the stored notice is shown and scrolled by the
// notice marquee on a fake view.

#include "FuzzCheck.h"

#include "core/NumericText.h"
#include "online/CurlHttpFetcher.h"
#include "online/FetchConvention.h"
#include "online/OnlineRefresh.h"
#include "online/WebAddresses.h"
#include "platform/TextCodec.h"
#include "shell/NoticeMarquee.h"
#include "support/Fakes.h"

#include <QByteArrayList>
#include <QStringDecoder>

#include <cstdint>

using tevo::TextCodec;
using tevo::fuzz::shown;

namespace {

const QString kHost = QStringLiteral("service.tevo.invalid");
const QByteArray kSeparator("\0\xff", 2);

const char* const kContentTypes[16] = {
    "",
    "text/plain",
    "text/html; charset=utf-8",
    "text/html; charset=\"UTF-8\"",
    "text/html; charset=big5",
    "text/plain;charset=Big5",
    "text/html; charset=big5-hkscs",
    "text/html; charset=x-windows-950",
    "text/html; charset=gb2312",
    "text/html; charset=iso-8859-1",
    "text/html; charset=windows-1252",
    "text/html; charset=us-ascii",
    "text/html; charset=x-unknown",
    "text/html; charset=",
    "application/octet-stream; name=charset",
    "text/html; format=flowed; charset = \"cp950\" ",
};

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

QString decoded(const QByteArray& body, const QByteArray& contentType)
{
    const QString text = tevo::decodeBody(body, contentType);
    const QString context =
        QStringLiteral("%1 as %2 gave %3").arg(shown(body), shown(contentType), shown(text));
    // No encoding makes more UTF-16 units than bytes: one byte gives at most one unit, and a
    // character outside the basic plane takes four bytes.
    FUZZ_CHECK(text.size() <= body.size(), context);
    // Every encoding the fetcher knows reads ASCII as ASCII.
    if (isAscii(body))
        FUZZ_CHECK(text == QString::fromLatin1(body), context);
    // Without a charset: UTF-8 when valid (a leading byte-order mark dropped), else code page
    // 950 exactly as the profile reader decodes it.
    if (contentType.isEmpty()) {
        // One leading mark goes; a second one is text.
        const QByteArray withoutBom = TextCodec::hasUtf8Bom(body) ? body.mid(3) : body;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const QString expected =
            TextCodec::isValidUtf8(body) ? utf8.decode(withoutBom) : TextCodec::decodeCp950(body);
        FUZZ_CHECK(text == expected,
                   context + QStringLiteral(", expected %1").arg(shown(expected)));
    }
    return text;
}

// The address as sent: nothing but printable ASCII, and the text itself once the escapes are
// undone (when it holds no "%" of its own).
void checkRequestLine(const QString& url)
{
    const QByteArray line = tevo::requestLineAddress(url);
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        FUZZ_CHECK(byte > 0x20 && byte < 0x7F,
                   shown(url) + QStringLiteral(" sent as ") + shown(line));
    }
    if (!url.contains(u'%'))
        FUZZ_CHECK(QByteArray::fromPercentEncoding(line) == url.toUtf8(),
                   shown(url) + QStringLiteral(" sent as ") + shown(line));
}

// A stored value is what follows the tag in the reply trimmed of spaces; nothing is stored when
// the trimmed reply does not start with the tag.
void checkStored(const std::optional<QString>& stored, const QString& reply, const QString& tag)
{
    const QString trimmed = tevo::trimSpaces(reply);
    if (stored)
        FUZZ_CHECK(tag + *stored == trimmed,
                   QStringLiteral("%1 stored from %2").arg(shown(*stored), shown(reply)));
    else
        FUZZ_CHECK(!trimmed.startsWith(tag), shown(reply) + QStringLiteral(" stored nothing"));
    FUZZ_CHECK(tevo::valueAfterTag(reply, tag) == stored, shown(reply));
}

// The notice line: one line without control characters, at most 1000 units before the blanks
// that pad it, scrolled one character at a time without splitting a surrogate pair.
void checkMarquee(tevo::test::FakePlatform& fakes)
{
    tevo::test::FakeView view;
    tevo::NoticeMarquee marquee(fakes.platform, view);
    marquee.resized();
    const QString shownLine = view.notice;
    for (const QChar c : shownLine) {
        FUZZ_CHECK(c.category() != QChar::Other_Control && c != QChar::LineSeparator &&
                       c != QChar::ParagraphSeparator,
                   shown(shownLine));
    }
    FUZZ_CHECK(tevo::trimSpaces(shownLine).size() <= 1000, shown(shownLine));
    FUZZ_CHECK(shownLine.isEmpty() || !shownLine.back().isHighSurrogate(), shown(shownLine));

    QString expected = shownLine;
    const int ticks = int(qMin<qsizetype>(shownLine.size(), 40));
    for (int i = 0; i < ticks; ++i) {
        marquee.tick();
        if (expected.size() >= 2) {
            const qsizetype first =
                expected[0].isHighSurrogate() && expected[1].isLowSurrogate() ? 2 : 1;
            expected = expected.mid(first) + expected.left(first);
        }
        FUZZ_CHECK(view.notice == expected,
                   shown(shownLine) + QStringLiteral(" scrolled to ") + shown(view.notice));
        FUZZ_CHECK(view.notice.isEmpty() || !view.notice.front().isLowSurrogate(),
                   shown(view.notice));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t choices = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QByteArrayList parts;
    for (qsizetype from = 0; parts.size() < 2;) {
        const qsizetype at = rest.indexOf(kSeparator, from);
        if (at < 0) {
            parts.append(rest.mid(from));
            break;
        }
        parts.append(rest.mid(from, at - from));
        from = at + kSeparator.size();
        if (parts.size() == 2)
            parts.append(rest.mid(from));
    }
    while (parts.size() < 3)
        parts.append(QByteArray());

    const QByteArray contentType(kContentTypes[choices & 0x0F]);
    const QString versionReply = decoded(parts[0], contentType);
    const QString noticeReply = decoded(parts[1], contentType);
    const QString customerCode = QString::fromUtf8(parts[2]);

    tevo::test::FakePlatform fakes;
    const QString section = fakes.workingDirectory.path;
    const QString versionAddress = tevo::versionFetchAddress(kHost);
    const QString noticeAddress = tevo::noticeFetchAddress(kHost, customerCode);
    checkRequestLine(versionAddress);
    checkRequestLine(noticeAddress);
    fakes.http.replies[versionAddress] =
        choices & 0x10 ? tevo::FetchResult::failure(28, QStringLiteral("Timeout was reached"))
                       : tevo::FetchResult::reply(versionReply);
    fakes.http.replies[noticeAddress] =
        choices & 0x20 ? tevo::FetchResult::failure(7, QStringLiteral("Couldn't connect to server"))
                       : tevo::FetchResult::reply(noticeReply);

    tevo::OnlineRefresh refresh(fakes.http, fakes.store);
    const tevo::Status status = refresh.run(kHost, section, customerCode);

    const auto stored = [&](const QString& key) {
        return fakes.store.get(tevo::onlinekeys::kApplication, section, key);
    };
    if (choices & 0x10) {
        FUZZ_CHECK(!status && status.message() == QStringLiteral("28:Timeout was reached") &&
                       fakes.http.requests.size() == 1 && fakes.store.values.empty(),
                   status.message());
        return 0;
    }
    checkStored(stored(tevo::onlinekeys::kLatestVersion), versionReply, QStringLiteral("VW11:"));
    FUZZ_CHECK(fakes.http.requests.size() == 2 && fakes.http.requests[1] == noticeAddress,
               fakes.http.requests.join(u' '));
    if (choices & 0x20) {
        FUZZ_CHECK(!status && status.message() == QStringLiteral("7:Couldn't connect to server") &&
                       !stored(tevo::onlinekeys::kNotice),
                   status.message());
    } else {
        FUZZ_CHECK(status, status.message());
        checkStored(stored(tevo::onlinekeys::kNotice), noticeReply, QStringLiteral("通告:"));
    }
    checkMarquee(fakes);
    return 0;
}
