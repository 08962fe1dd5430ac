// The profile reader and writer on arbitrary file contents.
//
// The input is the whole file. Several section/key pairs (taken from the file itself, case
// changed, and fixed ones) are looked up through IniProfileFiles and compared with what the
// parsed ProfileDocument holds; then one key is written into a copy of the file, and the copy
// must read back the value written, keep every other key's value and every byte outside the
// one line changed, keep its encoding, and stay as it was when the write is refused.

#include "FuzzCheck.h"

#include "platform/IniProfileFiles.h"
#include "platform/ProfileDocument.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <vector>

using tevo::IniProfileFiles;
using tevo::ProfileDocument;
using tevo::TextCodec;
using tevo::fuzz::shown;

namespace {

// Values long enough for any file of the fuzzed size: no lookup here is cut by the buffer
// except the one that checks the cut.
constexpr int kWholeValue = 1 << 20;
const QString kDefault = QStringLiteral("\x01"
                                        "default");

struct Pair
{
    QString section;
    QString key;
};

// The folder for the two files, removed at exit. On tmpfs when there is one: the writer flushes
// every file to disk, which would otherwise dominate the run.
const QTemporaryDir& scratch()
{
    static const QTemporaryDir folder((QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                           ? QStringLiteral("/dev/shm")
                                           : QDir::tempPath()) +
                                      QStringLiteral("/tevo-fuzz-profile-XXXXXX"));
    if (!folder.isValid())
        tevo::fuzz::failed("scratch folder", __FILE__, __LINE__, folder.errorString());
    return folder;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        tevo::fuzz::failed("write scratch file", __FILE__, __LINE__, path);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        tevo::fuzz::failed("read scratch file", __FILE__, __LINE__, path);
    return file.readAll();
}

// What a reader must get for the pair, worked out from the parsed lines.
QString valueInDocument(const ProfileDocument& doc, const Pair& pair)
{
    const qsizetype header = doc.findSection(pair.section);
    if (header < 0)
        return kDefault;
    const qsizetype line = doc.findKey(header, pair.key);
    if (line < 0 || doc.lines()[line].kind != ProfileDocument::LineKind::Entry)
        return kDefault;
    return ProfileDocument::unquote(doc.lines()[line].writtenValue);
}

bool isAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool samePair(const Pair& a, const Pair& b)
{
    return a.section.compare(b.section, Qt::CaseInsensitive) == 0 &&
           a.key.compare(b.key, Qt::CaseInsensitive) == 0;
}

// Up to four sections of the file with up to three keys each, the first of them with its
// letter case changed, and pairs that most files do not hold.
std::vector<Pair> pairsToLookUp(const std::optional<ProfileDocument>& doc)
{
    std::vector<Pair> pairs;
    if (doc) {
        const auto& lines = doc->lines();
        int sections = 0;
        for (qsizetype i = 0; i < qsizetype(lines.size()) && sections < 4; ++i) {
            if (lines[i].kind != ProfileDocument::LineKind::Section)
                continue;
            ++sections;
            int keys = 0;
            for (qsizetype k = i + 1; k < doc->sectionEnd(i) && keys < 3; ++k) {
                if (lines[k].kind == ProfileDocument::LineKind::Entry ||
                    lines[k].kind == ProfileDocument::LineKind::NameOnly) {
                    pairs.push_back({lines[i].name, lines[k].name});
                    ++keys;
                }
            }
            if (keys == 0)
                pairs.push_back({lines[i].name, QStringLiteral("AAA")});
        }
    }
    if (!pairs.empty()) {
        pairs.push_back({pairs.front().section.toUpper(), pairs.front().key.toLower()});
        pairs.push_back({pairs.front().section.toLower(), pairs.front().key.toUpper()});
    }
    pairs.push_back({QStringLiteral("Level"), QStringLiteral("EDVY")});
    pairs.push_back({QStringLiteral("權限"), QStringLiteral("目錄位置")});
    return pairs;
}

// Values to write: fixed ones of every kind the reader treats specially, and values found in
// the file, which the fuzzer controls.
std::vector<QString> valuesToWrite(const std::optional<ProfileDocument>& doc)
{
    std::vector<QString> values = {
        QStringLiteral("1"),
        QString(),
        QStringLiteral("GARVO"),
        QStringLiteral("2.5"),
        QStringLiteral("中文值"),
        QStringLiteral("許功蓋"),
        QStringLiteral("a=b;c"),
        QStringLiteral("[x]"),
        QStringLiteral("\"q\""),
        QStringLiteral("  padded\t"),
        QStringLiteral("é"),
        QStringLiteral("\U0001F600"),
        QStringLiteral("two\nlines"),
        QStringLiteral("羅"),
        QString::fromUtf16(u"a\0b", 3),
    };
    if (doc) {
        for (const ProfileDocument::Line& line : doc->lines()) {
            if (line.kind == ProfileDocument::LineKind::Entry && values.size() < 24)
                values.push_back(line.writtenValue);
        }
    }
    return values;
}

// Bytes the text takes in code page 950, as the reader's buffer counts them.
qsizetype cp950Bytes(const QString& text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        bytes += TextCodec::cp950Length(codePoint);
    }
    return bytes;
}

void checkLookUps(IniProfileFiles& files, const QString& path, const QByteArray& bytes,
                  const std::optional<ProfileDocument>& doc, const std::vector<Pair>& pairs,
                  std::vector<QString>* found)
{
    for (const Pair& pair : pairs) {
        const QString value = files.readString(path, pair.section, pair.key, kDefault, kWholeValue);
        const QString expected = doc ? valueInDocument(*doc, pair) : kDefault;
        FUZZ_CHECK(value == expected,
                   QStringLiteral("[%1] %2: read %3, the lines hold %4")
                       .arg(shown(pair.section), shown(pair.key), shown(value), shown(expected)));
        const std::optional<QString> direct =
            ProfileDocument::lookUp(bytes, pair.section, pair.key);
        FUZZ_CHECK(direct.value_or(kDefault) == value,
                   QStringLiteral("[%1] %2: lookUp %3, readString %4")
                       .arg(shown(pair.section), shown(pair.key), shown(direct.value_or(kDefault)),
                            shown(value)));
        found->push_back(value);
    }

    // A small buffer: the start of the value, at most bufferSize - 1 bytes of code page 950,
    // and no shorter than it must be.
    if (pairs.empty())
        return;
    const int bufferSize = 1 + int(bytes.size() % 24);
    const QString cut =
        files.readString(path, pairs.front().section, pairs.front().key, kDefault, bufferSize);
    const QString& whole = found->front();
    FUZZ_CHECK(
        whole.startsWith(cut) && cp950Bytes(cut) <= bufferSize - 1,
        QStringLiteral("buffer %1: %2 from %3").arg(bufferSize).arg(shown(cut), shown(whole)));
    if (cut.size() < whole.size()) {
        const qsizetype next = whole[cut.size()].isHighSurrogate() ? 2 : 1;
        FUZZ_CHECK(cp950Bytes(whole.left(cut.size() + next)) > bufferSize - 1,
                   QStringLiteral("buffer %1 cut %2 from %3 too short")
                       .arg(bufferSize)
                       .arg(shown(cut), shown(whole)));
    }
}

// The bytes of `before` that `after` no longer holds lie within one line.
void checkOneLineChanged(const QByteArray& before, const QByteArray& after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const QByteArray removed = before.mid(prefix, before.size() - suffix - prefix);
    FUZZ_CHECK(!removed.contains('\n') && !removed.contains('\r'),
               QStringLiteral("write removed %1 from %2, giving %3")
                   .arg(shown(removed), shown(before), shown(after)));
}

void checkWrite(IniProfileFiles& files, const QString& path, const QByteArray& bytes,
                const std::optional<ProfileDocument>& doc, const std::vector<Pair>& pairs,
                const std::vector<QString>& found)
{
    std::vector<Pair> targets = pairs;
    targets.push_back({QStringLiteral("新段落"), QStringLiteral("新鍵")});
    const std::vector<QString> values = valuesToWrite(doc);
    const size_t hash = qHash(bytes);
    const Pair& target = targets[hash % targets.size()];
    const QString& value = values[(hash / targets.size()) % values.size()];

    writeFile(path, bytes);
    const tevo::Status written = files.writeString(path, target.section, target.key, value);
    const QByteArray after = readFile(path);
    const QString context =
        QStringLiteral("[%1] %2 = %3 into %4")
            .arg(shown(target.section), shown(target.key), shown(value), shown(bytes));
    if (!written) {
        FUZZ_CHECK(after == bytes, context + QStringLiteral(": refused, file changed"));
        FUZZ_CHECK(!written.message().isEmpty(), context + QStringLiteral(": no message"));
        // Plain names and value go into any text file that cannot turn into UTF-8 by it.
        const bool plain = !target.section.isEmpty() && !target.key.isEmpty() &&
                           !target.key.startsWith(u'[') && value == QStringLiteral("1") &&
                           isAscii(target.section + target.key);
        const bool mayTurnUtf8 =
            doc && doc->encoding() == ProfileDocument::Encoding::Cp950 && !isAscii(bytes);
        FUZZ_CHECK(!doc || !plain || mayTurnUtf8,
                   context + QStringLiteral(": refused: ") + written.message());
        return;
    }
    FUZZ_CHECK(doc, context + QStringLiteral(": a file that is not text was written"));

    const QString readBack =
        files.readString(path, target.section, target.key, kDefault, kWholeValue);
    const QString expected =
        ProfileDocument::unquote(ProfileDocument::trimBlanks(value).toString());
    FUZZ_CHECK(readBack == expected,
               context +
                   QStringLiteral(": reads back %1, giving %2").arg(shown(readBack), shown(after)));

    for (size_t i = 0; i < pairs.size(); ++i) {
        if (samePair(pairs[i], target))
            continue;
        const QString now =
            files.readString(path, pairs[i].section, pairs[i].key, kDefault, kWholeValue);
        FUZZ_CHECK(now == found[i], context + QStringLiteral(": [%1] %2 was %3, now %4 in %5")
                                                  .arg(shown(pairs[i].section), shown(pairs[i].key),
                                                       shown(found[i]), shown(now), shown(after)));
    }

    checkOneLineChanged(bytes, after);
    const std::optional<ProfileDocument> reparsed = ProfileDocument::parse(after);
    // The encoding stays, but for UTF-8 text that has become ASCII, which reads alike.
    FUZZ_CHECK(reparsed && (reparsed->encoding() == doc->encoding() ||
                            (doc->encoding() == ProfileDocument::Encoding::Utf8 && isAscii(after))),
               context + QStringLiteral(": encoding changed, giving %1").arg(shown(after)));

    // The same write again finds the value in place and leaves the file alone.
    const tevo::Status again = files.writeString(path, target.section, target.key, value);
    FUZZ_CHECK(again && readFile(path) == after,
               context + QStringLiteral(": second write changed %1").arg(shown(after)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString original = scratch().filePath(QStringLiteral("original.ini"));
    const QString copy = scratch().filePath(QStringLiteral("copy.ini"));
    writeFile(original, bytes);

    IniProfileFiles files;
    const std::optional<ProfileDocument> doc = ProfileDocument::parse(bytes);
    FUZZ_CHECK(doc.has_value() == !bytes.contains('\0'), shown(bytes));
    if (doc) {
        // Every byte belongs to exactly one line, in order.
        qsizetype at = doc->encoding() == ProfileDocument::Encoding::Utf8WithBom ? 3 : 0;
        for (const ProfileDocument::Line& line : doc->lines()) {
            FUZZ_CHECK(line.begin == at && line.begin <= line.contentEnd &&
                           line.contentEnd <= line.end,
                       shown(bytes));
            at = line.end;
        }
        FUZZ_CHECK(at == bytes.size(), shown(bytes));
    }

    const std::vector<Pair> pairs = pairsToLookUp(doc);
    std::vector<QString> found;
    checkLookUps(files, original, bytes, doc, pairs, &found);
    checkWrite(files, copy, bytes, doc, pairs, found);
    return 0;
}
