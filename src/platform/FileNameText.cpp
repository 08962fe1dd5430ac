#include "platform/FileNameText.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace tevo {

std::optional<QString> FileNameText::decode(QByteArrayView name)
{
    if (TextCodec::isValidUtf8(name))
        return TextCodec::decodeUtf8(name);
    if (TextCodec::isValidCp950(name))
        return TextCodec::decodeCp950(name);
    return std::nullopt;
}

QString FileNameText::escaped(QByteArrayView name)
{
    QString text;
    const auto hex = [&text](QByteArrayView bytes) {
        for (char byte : bytes)
            text += QString::asprintf("\\x%02X", static_cast<unsigned char>(byte));
    };
    for (qsizetype i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const QByteArrayView sequence = name.sliced(i, std::min(length, name.size() - i));
        if (sequence.size() < length || !TextCodec::isValidUtf8(sequence)) {
            hex(name.sliced(i, 1));
            ++i;
            continue;
        }
        // C0 and DEL are single bytes; C1 (U+0080 to U+009F) is C2 80 to C2 9F.
        const bool control = (length == 1 && (lead < 0x20 || lead == 0x7F)) ||
                             (lead == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0);
        if (control)
            hex(sequence);
        else if (lead == '\\')
            text += QLatin1String("\\\\");
        else
            text += TextCodec::decodeUtf8(sequence);
        i += length;
    }
    return text;
}

QString FileNameText::forMessage(QByteArrayView name)
{
    if (std::optional<QString> text = decode(name))
        return *text;
    return escaped(name);
}

} // namespace tevo
