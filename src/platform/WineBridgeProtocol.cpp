#include "platform/WineBridgeProtocol.h"

#include "platform/TextCodec.h"

namespace tevo {

QByteArray WineBridgeProtocol::line(const QStringList& fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += '\t';
        for (const char c : fields[i].toUtf8()) {
            switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
            }
        }
    }
    out += '\n';
    return out;
}

std::optional<QStringList> WineBridgeProtocol::fields(QByteArrayView line)
{
    QList<QByteArray> raw(1);
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            raw.append(QByteArray());
            continue;
        }
        if (c != '\\') {
            raw.last() += c;
            continue;
        }
        if (++i == line.size())
            return std::nullopt;
        switch (line[i]) {
        case '\\':
            raw.last() += '\\';
            break;
        case 't':
            raw.last() += '\t';
            break;
        case 'r':
            raw.last() += '\r';
            break;
        case 'n':
            raw.last() += '\n';
            break;
        default:
            return std::nullopt;
        }
    }
    QStringList fields;
    for (const QByteArray& field : raw) {
        if (!TextCodec::isValidUtf8(field))
            return std::nullopt;
        fields.append(TextCodec::decodeUtf8(field));
    }
    return fields;
}

} // namespace tevo
