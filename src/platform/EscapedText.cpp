#include "platform/EscapedText.h"

namespace tevo {

bool EscapedText::isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

QString EscapedText::escape(QStringView text, Backslash backslash, FinalBlank finalBlank)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool lastBlank =
            finalBlank == FinalBlank::Escaped && i == text.size() - 1 && text[i].isSpace();
        if (c == u'\\')
            out += backslash == Backslash::Doubled ? QLatin1String("\\\\") : QLatin1String("\\");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (isControl(c) || lastBlank)
            out += QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
        else
            out += QChar(c);
    }
    return out;
}

} // namespace tevo
