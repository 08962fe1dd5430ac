#include "core/NumericText.h"

#include <cmath>
#include <limits>
#include <string>

namespace tevo {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The characters of the text with blanks removed, as far as the numeric reader needs them.
QString withoutBlanks(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (!isBlank(c))
            out.append(c);
    }
    return out;
}

// "&H" and "&O" whole numbers: up to 4 digits read as a 16-bit, up to 8 (hex) or 11 (octal)
// digits as a 32-bit two's-complement value, as the suite's other programs read them.
double radixNumber(const QString& digits, int radix)
{
    quint64 value = 0;
    int count = 0;
    for (QChar c : digits) {
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c.unicode() - u'0';
        else if (radix == 16 && c >= u'a' && c <= u'f')
            d = c.unicode() - u'a' + 10;
        else if (radix == 16 && c >= u'A' && c <= u'F')
            d = c.unicode() - u'A' + 10;
        if (d < 0 || d >= radix)
            break;
        value = value * radix + d;
        ++count;
        if (value > 0xFFFFFFFFull)
            return std::numeric_limits<double>::infinity();
    }
    if (count == 0)
        return 0;
    if (value <= 0xFFFF && (radix == 16 ? count <= 4 : count <= 6))
        return static_cast<qint16>(static_cast<quint16>(value));
    return static_cast<qint32>(static_cast<quint32>(value));
}

} // namespace

double leadingNumber(const QString& text)
{
    const QString s = withoutBlanks(text);
    if (s.size() >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        if (kind == u'H')
            return radixNumber(s.mid(2), 16);
        if (kind == u'O')
            return radixNumber(s.mid(2), 8);
        return 0;
    }

    std::string number;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        number += static_cast<char>(s[i++].unicode());
    bool digits = false;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
        number += static_cast<char>(s[i++].unicode());
        digits = true;
    }
    if (i < s.size() && s[i] == u'.') {
        number += '.';
        ++i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            number += static_cast<char>(s[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        std::string exponent = "e";
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exponent += static_cast<char>(s[j++].unicode());
        bool expDigits = false;
        while (j < s.size() && s[j] >= u'0' && s[j] <= u'9') {
            exponent += static_cast<char>(s[j++].unicode());
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    // strtod with the C locale's decimal point; the text holds only
    // [+-]digits[.digits][e[+-]digits].
    return std::strtod(number.c_str(), nullptr);
}

namespace {

template <typename Int> std::optional<Int> roundTo(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double floor = std::floor(value);
    double diff = value - floor;
    double rounded = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1.0;
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

std::optional<qint16> roundToInt16(double value)
{
    return roundTo<qint16>(value);
}
std::optional<qint32> roundToInt32(double value)
{
    return roundTo<qint32>(value);
}

qint16 userLevelFromText(const QString& text)
{
    return roundToInt16(leadingNumber(text)).value_or(0);
}

QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace tevo
