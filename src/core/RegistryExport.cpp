#include "core/RegistryExport.h"

#include "platform/TextCodec.h"

#include <QStringList>

namespace tevo {

namespace {

using Entry = SettingsStore::Entry;
using ParseResult = Result<std::vector<Entry>>;

constexpr char kUnicodeHeader[] = "Windows Registry Editor Version 5.00";
constexpr char kRegedit4Header[] = "REGEDIT4";
const QString kSettingsKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\");

QString atLine(qsizetype number, const QString& problem)
{
    return QStringLiteral("第 %1 行：%2").arg(number).arg(problem);
}

bool startsWithHeader(QByteArrayView bytes, const char* header)
{
    const QByteArrayView h(header);
    if (!bytes.startsWith(h))
        return false;
    const QByteArrayView rest = bytes.sliced(h.size());
    return rest.isEmpty() || rest.startsWith('\r') || rest.startsWith('\n');
}

bool startsWithUtf16Header(QByteArrayView bytes)
{
    const QByteArrayView h(kUnicodeHeader);
    if (bytes.size() < 2 + 2 * h.size() || uchar(bytes[0]) != 0xFF || uchar(bytes[1]) != 0xFE)
        return false;
    for (qsizetype i = 0; i < h.size(); ++i) {
        if (bytes[2 + 2 * i] != h[i] || bytes[3 + 2 * i] != 0)
            return false;
    }
    return true;
}

// The file's lines, decoded; an error names the first line that is not valid text.
Result<QStringList> decodedLines(QByteArrayView bytes, RegistryExport::Form form)
{
    QStringList lines;
    if (form == RegistryExport::Form::Unicode) {
        bytes = bytes.sliced(2);
        QString text(bytes.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8));
        lines = text.split(u'\n');
        if (bytes.size() % 2 != 0) {
            return Result<QStringList>::error(
                atLine(lines.size(), QStringLiteral("UTF-16 文字在檔案結尾少了一個位元組")));
        }
        for (qsizetype n = 0; n < lines.size(); ++n) {
            const QString& line = lines[n];
            for (qsizetype i = 0; i < line.size(); ++i) {
                const bool paired = line[i].isHighSurrogate() && i + 1 < line.size() &&
                                    line[i + 1].isLowSurrogate();
                if (paired)
                    ++i;
                else if (line[i].isSurrogate())
                    return Result<QStringList>::error(
                        atLine(n + 1, QStringLiteral("不是有效的 UTF-16 文字")));
            }
        }
    } else {
        const bool utf8 = form == RegistryExport::Form::Utf8;
        if (utf8 && TextCodec::hasUtf8Bom(bytes))
            bytes = bytes.sliced(3);
        // LF is never part of a multi-byte character in UTF-8 or code page 950.
        qsizetype start = 0;
        while (true) {
            qsizetype end = bytes.indexOf('\n', start);
            const QByteArrayView raw = bytes.sliced(start, (end < 0 ? bytes.size() : end) - start);
            if (utf8 ? !TextCodec::isValidUtf8(raw) : !TextCodec::isValidCp950(raw)) {
                return Result<QStringList>::error(atLine(
                    lines.size() + 1, utf8 ? QStringLiteral("不是有效的 UTF-8 文字")
                                           : QStringLiteral("不是有效的 Big5（CP950）文字")));
            }
            lines.append(utf8 ? TextCodec::decodeUtf8(raw) : TextCodec::decodeCp950(raw));
            if (end < 0)
                break;
            start = end + 1;
        }
    }
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

// A quoted string at `pos` (on its opening quote) with the escapes \\ and \"; `pos` ends after
// the closing quote. nullopt when it is not closed or holds another escape.
std::optional<QString> quoted(QStringView line, qsizetype& pos)
{
    QString out;
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            pos = i + 1;
            return out;
        }
        if (c == u'\\') {
            if (i + 1 == line.size() || (line[i + 1] != u'\\' && line[i + 1] != u'"'))
                return std::nullopt;
            ++i;
        }
        out += line[i];
    }
    return std::nullopt;
}

enum class KeyKind
{
    None,        // before the first key
    Elsewhere,   // outside the settings key: skipped
    Application, // the key of an application: holds sections, no values
    Section
};

// The key whose values the lines that follow give.
struct CurrentKey
{
    KeyKind kind = KeyKind::None;
    QString app;
    QString section;
};

Status refused(const QString& problem)
{
    return Status::error(problem);
}

// A key line ("[path]" or "[-path]"): makes it the current key, or says what is wrong.
Status readKeyLine(QStringView line, CurrentKey& key)
{
    if (!line.endsWith(u']'))
        return refused(QStringLiteral("機碼行缺少結尾的「]」"));
    QStringView path = line.sliced(1, line.size() - 2);
    const bool deletion = path.startsWith(u'-');
    if (deletion)
        path = path.sliced(1);
    if (!path.startsWith(kSettingsKey, Qt::CaseInsensitive)) {
        key.kind = KeyKind::Elsewhere;
        return Status::ok();
    }
    if (deletion)
        return refused(QStringLiteral("刪除機碼的項目無法匯入"));
    const QStringView rest = path.sliced(kSettingsKey.size());
    const qsizetype split = rest.indexOf(u'\\');
    key.app = (split < 0 ? rest : rest.first(split)).toString();
    key.section = split < 0 ? QString() : rest.sliced(split + 1).toString();
    if (key.app.isEmpty() || (split >= 0 && key.section.isEmpty()))
        return refused(QStringLiteral("機碼路徑中有空的名稱"));
    key.kind = split < 0 ? KeyKind::Application : KeyKind::Section;
    return Status::ok();
}

// The name of a value line ("@" for the default value, which has none) and the position after
// it, or what is wrong.
Result<std::optional<QString>> valueName(QStringView line, qsizetype& pos)
{
    using NameResult = Result<std::optional<QString>>;
    if (line.startsWith(u'@')) {
        pos = 1;
        return std::optional<QString>();
    }
    if (!line.startsWith(u'"'))
        return NameResult::error(QStringLiteral("不認得這一行（須為 [機碼] 或 \"名稱\"=\"值\"）"));
    std::optional<QString> name = quoted(line, pos);
    if (!name)
        return NameResult::error(QStringLiteral("名稱的引號沒有結束，或有無法辨識的跳脫字元"));
    return name;
}

// A value line of the current settings key; `n` moves past the lines that binary data
// continues on. A text value is added to `entries`; the default value is skipped.
Status readValueLine(const QStringList& lines, qsizetype& n, QStringView line,
                     const CurrentKey& key, std::vector<Entry>& entries)
{
    qsizetype pos = 0;
    const Result<std::optional<QString>> named = valueName(line, pos);
    if (!named)
        return named.status();
    const std::optional<QString>& name = named.value();
    if (pos == line.size() || line[pos] != u'=')
        return refused(QStringLiteral("名稱後面缺少「=」"));
    QString data = line.sliced(pos + 1).toString();
    // Binary data continues on the next lines after a closing backslash.
    while (!data.startsWith(u'"') && data.endsWith(u'\\') && n + 1 < lines.size())
        data = data.chopped(1) + lines[++n].trimmed();
    if (!name)
        return Status::ok(); // the default value is not a setting
    if (data == u'-')
        return refused(QStringLiteral("刪除設定值「%1」的項目無法匯入").arg(*name));
    if (!data.startsWith(u'"')) {
        const qsizetype colon = data.indexOf(u':');
        return refused(QStringLiteral("「%1」不是文字值（%2），無法匯入")
                           .arg(*name, colon < 0 ? data : data.first(colon)));
    }
    qsizetype end = 0;
    const std::optional<QString> value = quoted(data, end);
    if (!value || end != data.size())
        return refused(QStringLiteral("「%1」的值引號沒有結束，或有無法辨識的跳脫字元").arg(*name));
    if (key.kind == KeyKind::Application)
        return refused(QStringLiteral("「%1」直接放在應用程式機碼下，沒有區段").arg(*name));
    entries.push_back({key.app, key.section, *name, *value});
    return Status::ok();
}

} // namespace

std::optional<RegistryExport::Form> RegistryExport::recognise(QByteArrayView bytes)
{
    if (startsWithUtf16Header(bytes))
        return Form::Unicode;
    if (startsWithHeader(TextCodec::hasUtf8Bom(bytes) ? bytes.sliced(3) : bytes, kUnicodeHeader))
        return Form::Utf8;
    if (startsWithHeader(bytes, kRegedit4Header))
        return Form::Regedit4;
    return std::nullopt;
}

ParseResult RegistryExport::parse(QByteArrayView bytes)
{
    const std::optional<Form> form = recognise(bytes);
    if (!form)
        return ParseResult::error(atLine(1, QStringLiteral("不是 Windows 登錄檔匯出檔")));
    const Result<QStringList> decoded = decodedLines(bytes, *form);
    if (!decoded)
        return ParseResult::error(decoded.status());
    const QStringList& lines = decoded.value();
    if (lines.first() != QLatin1String(*form == Form::Regedit4 ? kRegedit4Header : kUnicodeHeader))
        return ParseResult::error(atLine(1, QStringLiteral("檔頭後面有多餘的文字")));

    std::vector<Entry> entries;
    CurrentKey key;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const qsizetype number = n + 1;
        QStringView line = QStringView(lines[n]);
        while (line.endsWith(u' ') || line.endsWith(u'\t'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        Status read = Status::ok();
        if (line.startsWith(u'['))
            read = readKeyLine(line, key);
        else if (key.kind == KeyKind::None)
            read = refused(QStringLiteral("設定值出現在第一個機碼之前"));
        else if (key.kind != KeyKind::Elsewhere) // other programs' values are not read
            read = readValueLine(lines, n, line, key, entries);
        if (!read)
            return ParseResult::error(atLine(number, read.message()));
    }
    return entries;
}

} // namespace tevo
