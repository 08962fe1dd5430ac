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
template <typename Text>
qsizetype lineEndLength(const Text& text, qsizetype at)
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

std::optional<ProfileDocument> ProfileDocument::parse(QByteArray bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;

    ProfileDocument doc;
    doc.m_bytes = std::move(bytes);
    const QByteArray& raw = doc.m_bytes;
    qsizetype rawPos = 0;
    bool wholeTextValid = true;
    if (TextCodec::hasUtf8Bom(raw)) {
        doc.m_encoding = Encoding::Utf8WithBom;
        rawPos = 3;
        wholeTextValid = TextCodec::isValidUtf8(QByteArrayView(raw).sliced(rawPos));
    } else if (!isAscii(raw) && TextCodec::isValidUtf8(raw)) {
        // ASCII alone counts as code page 950 (both read it alike), so that text added to
        // such a file is written the way the suite's other programs read it.
        doc.m_encoding = Encoding::Utf8;
    } else {
        doc.m_encoding = Encoding::Cp950;
        wholeTextValid = false; // checked line by line below, where a line holds U+FFFD
    }

    // The whole file is decoded first; the decoded text and the bytes are then split at the
    // same line ends. CR and LF are never part of a multi-byte character in either encoding
    // and a byte that is not a character becomes U+FFFD on its own, so the k-th line of the
    // text is the k-th line of the bytes.
    const QByteArrayView body = QByteArrayView(raw).sliced(rawPos);
    const QString text = doc.m_encoding == Encoding::Cp950 ? TextCodec::decodeCp950(body)
                                                            : QString::fromUtf8(body);
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

        const QStringView trimmed = trimBlanks(lineText);
        const qsizetype closing = trimmed.lastIndexOf(u']');
        if (trimmed.isEmpty()) {
            line.kind = LineKind::Blank;
        } else if (trimmed.front() == u'[' && closing > 0) {
            line.kind = LineKind::Section;
            line.name = trimBlanks(trimmed.sliced(1, closing - 1)).toString();
        } else if (trimmed.front() == u';') {
            line.kind = LineKind::Comment;
        } else if (const qsizetype equals = trimmed.indexOf(u'='); equals >= 0) {
            line.kind = LineKind::Entry;
            line.name = trimBlanks(trimmed.first(equals)).toString();
            line.writtenValue = trimBlanks(trimmed.sliced(equals + 1)).toString();
            // `=` is never part of a multi-byte character either, so its first byte on the
            // line is the `=` found in the text.
            line.valueBegin = raw.indexOf('=', line.begin) + 1;
        } else {
            line.kind = LineKind::NameOnly;
            line.name = trimmed.toString();
        }
        doc.m_lines.push_back(std::move(line));
    }
    return doc;
}

qsizetype ProfileDocument::findSection(QStringView name) const
{
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
