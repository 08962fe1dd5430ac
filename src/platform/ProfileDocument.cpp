#include "platform/ProfileDocument.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace tevo {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
}

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

qsizetype lineEndIn(const QByteArray& bytes, qsizetype from)
{
    for (qsizetype i = from; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n')
            return i;
    }
    return bytes.size();
}

qsizetype lineEndIn(const QString& text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            return i;
    }
    return text.size();
}

// Length of the line end at `at`: CR LF counts as one.
template <typename Text> qsizetype lineEndLength(const Text& text, qsizetype at)
{
    if (at >= text.size())
        return 0;
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
        return 2;
    return 1;
}

} // namespace

QStringView ProfileDocument::trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString ProfileDocument::unquote(const QString& writtenValue)
{
    if (writtenValue.size() >= 2) {
        const QChar first = writtenValue.front();
        if ((first == u'"' || first == u'\'') && writtenValue.back() == first)
            return writtenValue.mid(1, writtenValue.size() - 2);
    }
    return writtenValue;
}

ProfileDocument::Parts ProfileDocument::split(QStringView lineText)
{
    const QStringView trimmed = trimBlanks(lineText);
    if (trimmed.isEmpty())
        return {LineKind::Blank, {}, {}};
    if (trimmed.front() == u'[') {
        // The name runs to the last `]`; a `[` line without one is an ordinary line.
        const qsizetype closing = trimmed.lastIndexOf(u']');
        if (closing > 0)
            return {LineKind::Section, trimBlanks(trimmed.sliced(1, closing - 1)), {}};
    }
    if (trimmed.front() == u';')
        return {LineKind::Comment, {}, {}};
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0)
        return {LineKind::NameOnly, trimmed, {}};
    return {LineKind::Entry, trimBlanks(trimmed.first(equals)),
            trimBlanks(trimmed.sliced(equals + 1))};
}

ProfileDocument::Encoding ProfileDocument::encodingOf(const QByteArray& bytes)
{
    if (TextCodec::hasUtf8Bom(bytes))
        return Encoding::Utf8WithBom;
    // ASCII alone counts as code page 950 (both read it alike), so that text added to such a
    // file is written the way the suite's other programs read it.
    if (!isAscii(bytes) && TextCodec::isValidUtf8(bytes))
        return Encoding::Utf8;
    return Encoding::Cp950;
}

QString ProfileDocument::decode(const QByteArray& bytes, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8WithBom:
        return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Cp950:
        break;
    }
    return TextCodec::decodeCp950(bytes);
}

std::optional<QString> ProfileDocument::lookUp(const QByteArray& bytes, QStringView section,
                                               QStringView key)
{
    if (bytes.contains('\0'))
        return std::nullopt;
    section = trimBlanks(section);
    key = trimBlanks(key);
    // The menu looks up every key of a profile in turn, each time in the file as read afresh:
    // the text of the same bytes is decoded once.
    thread_local QByteArray lastBytes;
    thread_local QString lastText;
    if (bytes != lastBytes) {
        lastText = decode(bytes, encodingOf(bytes));
        lastBytes = bytes;
    }
    const QString text = lastText;
    bool inSection = false;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype end = lineEndIn(text, pos);
        const Parts parts = split(QStringView(text).sliced(pos, end - pos));
        pos = end + lineEndLength(text, end);
        if (parts.kind == LineKind::Section) {
            if (inSection)
                return std::nullopt; // only the first section of that name counts
            inSection = parts.name.compare(section, Qt::CaseInsensitive) == 0;
        } else if (inSection &&
                   (parts.kind == LineKind::Entry || parts.kind == LineKind::NameOnly) &&
                   parts.name.compare(key, Qt::CaseInsensitive) == 0) {
            if (parts.kind == LineKind::NameOnly)
                return std::nullopt;
            return unquote(parts.writtenValue.toString());
        }
    }
    return std::nullopt;
}

std::optional<ProfileDocument> ProfileDocument::parse(QByteArray bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;

    ProfileDocument doc;
    doc.m_bytes = std::move(bytes);
    doc.m_encoding = encodingOf(doc.m_bytes);
    const QByteArray& raw = doc.m_bytes;
    const qsizetype textStart = doc.m_encoding == Encoding::Utf8WithBom ? 3 : 0;
    // Lines of a code page 950 file, and of a marked file that is not valid UTF-8 as a whole,
    // are checked one by one where they hold U+FFFD.
    const bool wholeTextValid = doc.m_encoding == Encoding::Utf8 ||
                                (doc.m_encoding == Encoding::Utf8WithBom &&
                                 TextCodec::isValidUtf8(QByteArrayView(raw).sliced(textStart)));

    // The whole file is decoded first; the decoded text and the bytes are then split at the
    // same line ends. CR and LF are never part of a multi-byte character in either encoding
    // and a byte that is not a character becomes U+FFFD on its own, so the k-th line of the
    // text is the k-th line of the bytes.
    const QString text = decode(raw, doc.m_encoding);
    qsizetype rawPos = textStart;
    qsizetype textPos = 0;
    while (rawPos < raw.size()) {
        Line line;
        line.begin = rawPos;
        line.contentEnd = lineEndIn(raw, rawPos);
        line.end = line.contentEnd + lineEndLength(raw, line.contentEnd);
        const qsizetype textEnd = lineEndIn(text, textPos);
        if ((textEnd == text.size()) != (line.contentEnd == raw.size()))
            return std::nullopt; // cannot happen with the decoders above; never guess
        const QStringView lineText = QStringView(text).sliced(textPos, textEnd - textPos);
        textPos = textEnd + lineEndLength(text, textEnd);
        rawPos = line.end;

        if (!wholeTextValid && lineText.contains(QChar::ReplacementCharacter)) {
            const QByteArrayView lineBytes(raw.constData() + line.begin,
                                           line.contentEnd - line.begin);
            line.validText = doc.m_encoding == Encoding::Cp950 ? TextCodec::isValidCp950(lineBytes)
                                                               : TextCodec::isValidUtf8(lineBytes);
        }
        const Parts parts = split(lineText);
        line.kind = parts.kind;
        line.name = parts.name.toString();
        line.writtenValue = parts.writtenValue.toString();
        if (line.kind == LineKind::Entry) {
            // `=` is never part of a multi-byte character either, so its first byte on the
            // line is the `=` found in the text.
            line.valueBegin = raw.indexOf('=', line.begin) + 1;
        }
        doc.m_lines.push_back(std::move(line));
    }
    return doc;
}

qsizetype ProfileDocument::findSection(QStringView name) const
{
    name = trimBlanks(name);
    for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == LineKind::Section && line.name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype ProfileDocument::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < qsizetype(m_lines.size()) && m_lines[i].kind != LineKind::Section)
        ++i;
    return i;
}

qsizetype ProfileDocument::findKey(qsizetype header, QStringView key) const
{
    key = trimBlanks(key);
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& line = m_lines[i];
        if ((line.kind == LineKind::Entry || line.kind == LineKind::NameOnly) &&
            line.name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace tevo
