#include "core/SettingsExport.h"

#include "platform/EscapedText.h"
#include "platform/TextCodec.h"

#include <QStringList>

namespace tevo {

namespace {

constexpr char kHeaderStart[] = "tevo-settings export ";
constexpr char kHeader[] = "tevo-settings export 1";

// Exactly four hexadecimal digits.
std::optional<char16_t> hexUnit(QStringView digits)
{
    char16_t code = 0;
    for (const QChar d : digits) {
        const char16_t u = d.unicode();
        const int value = u >= '0' && u <= '9'   ? u - '0'
                          : u >= 'a' && u <= 'f' ? u - 'a' + 10
                          : u >= 'A' && u <= 'F' ? u - 'A' + 10
                                                 : -1;
        if (value < 0)
            return std::nullopt;
        code = char16_t(code * 16 + value);
    }
    return code;
}

std::optional<QString> unescaped(QStringView field, QString& problem)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char16_t c = field[i].unicode();
        if (EscapedText::isControl(c)) {
            problem =
                QStringLiteral("含有未跳脫的控制字元 U+%1").arg(int(c), 4, 16, QLatin1Char('0'));
            return std::nullopt;
        }
        if (c != u'\\') {
            out += QChar(c);
            continue;
        }
        const char16_t next = i + 1 < field.size() ? field[i + 1].unicode() : 0;
        i += 1;
        if (next == u'\\') {
            out += u'\\';
        } else if (next == u't') {
            out += u'\t';
        } else if (next == u'r') {
            out += u'\r';
        } else if (next == u'n') {
            out += u'\n';
        } else if (next == u'u' && i + 4 < field.size()) {
            const std::optional<char16_t> code = hexUnit(field.sliced(i + 1, 4));
            if (!code || QChar::isSurrogate(*code)) {
                problem = QStringLiteral("「\\u」後面須是四位十六進位數字（不可為代理字元）");
                return std::nullopt;
            }
            out += QChar(*code);
            i += 4;
        } else {
            problem =
                QStringLiteral("無法辨識的跳脫序列「\\%1」").arg(next ? QChar(next) : QChar());
            return std::nullopt;
        }
    }
    return out;
}

} // namespace

bool SettingsExport::recognises(QByteArrayView bytes)
{
    if (TextCodec::hasUtf8Bom(bytes))
        bytes = bytes.sliced(3);
    return bytes.startsWith(QByteArrayView(kHeaderStart));
}

QString SettingsExport::line(const SettingsStore::Entry& entry)
{
    namespace Text = EscapedText;
    const auto field = [](const QString& text) {
        return Text::escape(text, Text::Backslash::Doubled);
    };
    return field(entry.app) + u'\t' + field(entry.section) + u'\t' + field(entry.key) + u'\t' +
           Text::escape(entry.value, Text::Backslash::Doubled, Text::FinalBlank::Escaped);
}

QByteArray SettingsExport::write(const std::vector<SettingsStore::Entry>& entries)
{
    QByteArray out = QByteArray(kHeader) + '\n';
    for (const SettingsStore::Entry& entry : entries)
        out += line(entry).toUtf8() + '\n';
    return out;
}

Result<std::vector<SettingsStore::Entry>> SettingsExport::read(QByteArrayView bytes)
{
    using ReadResult = Result<std::vector<SettingsStore::Entry>>;
    if (TextCodec::hasUtf8Bom(bytes))
        bytes = bytes.sliced(3);
    std::vector<SettingsStore::Entry> entries;
    qsizetype start = 0;
    for (int number = 1; start < bytes.size(); ++number) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView raw = bytes.sliced(start, end - start);
        start = end + 1;
        if (raw.endsWith('\r'))
            raw.chop(1);
        const auto refuse = [number](const QString& problem) {
            return ReadResult::error(QStringLiteral("第 %1 行：%2").arg(number).arg(problem));
        };
        if (!TextCodec::isValidUtf8(raw))
            return refuse(QStringLiteral("不是有效的 UTF-8 文字"));
        if (number == 1) {
            if (raw != QByteArrayView(kHeader)) {
                return refuse(QStringLiteral("「%1」不是這個程式能讀的匯出格式版本（須為「%2」）")
                                  .arg(QString::fromUtf8(raw), QLatin1String(kHeader)));
            }
            continue;
        }
        if (raw.isEmpty())
            continue;
        const QString text = TextCodec::decodeUtf8(raw);
        const QList<QStringView> fields = QStringView(text).split(u'\t');
        if (fields.size() != 4) {
            return refuse(QStringLiteral("須有四個以 Tab 分隔的欄位（應用程式、區段、名稱、值），"
                                         "這一行有 %1 個")
                              .arg(fields.size()));
        }
        QString problem;
        std::optional<QString> parts[4];
        for (int i = 0; i < 4; ++i) {
            parts[i] = unescaped(fields[i], problem);
            if (!parts[i])
                return refuse(problem);
        }
        entries.push_back({*parts[0], *parts[1], *parts[2], *parts[3]});
    }
    if (bytes.isEmpty())
        return ReadResult::error(QStringLiteral("第 1 行：檔案是空的"));
    return entries;
}

} // namespace tevo
