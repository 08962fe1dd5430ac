// The numeric reading of settings on arbitrary text, and rounding on arbitrary doubles.
//
// The input is UTF-8 text (its first eight bytes are also taken as a double for the rounding).
// leadingNumber must never give NaN, must stop at the first character that cannot continue
// the number, must agree with strtod on plain decimal text, and the roundings must agree with
// the C library's round-half-to-even.

#include "FuzzCheck.h"

#include "core/NumericText.h"

#include <QRegularExpression>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

using tevo::fuzz::shown;

namespace {

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

template <typename Int>
void checkRounding(double value, const std::optional<Int>& rounded, const char* width)
{
    const QString context = QStringLiteral("%1 of %2 gave %3")
                                .arg(QLatin1String(width), number(value),
                                     rounded ? QString::number(*rounded) : QStringLiteral("none"));
    if (!std::isfinite(value)) {
        FUZZ_CHECK(!rounded, context);
        return;
    }
    // The default rounding mode rounds halves to the even neighbour.
    const double expected = std::nearbyint(value);
    const bool fits = expected >= double(std::numeric_limits<Int>::min()) &&
                      expected <= double(std::numeric_limits<Int>::max());
    FUZZ_CHECK(rounded.has_value() == fits, context);
    if (rounded)
        FUZZ_CHECK(double(*rounded) == expected, context);
}

void checkRoundings(double value)
{
    checkRounding(value, tevo::roundToInt16(value), "roundToInt16");
    checkRounding(value, tevo::roundToInt32(value), "roundToInt32");
}

bool sameNumber(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// Plain decimal text (blanks anywhere, sign, digits, point, exponent with E or D) read whole by
// the C library, as the reference for leadingNumber.
std::optional<double> plainDecimal(const QString& text)
{
    static const QRegularExpression plain(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eEdD][+-]?[0-9]+)?$"));
    QString compact = text;
    compact.remove(u' ').remove(u'\t').remove(u'\n');
    if (!plain.match(compact).hasMatch())
        return std::nullopt;
    QByteArray ascii = compact.toLatin1();
    ascii.replace('d', 'e').replace('D', 'e');
    return std::strtod(ascii.constData(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (std::fegetround() != FE_TONEAREST)
        tevo::fuzz::failed("rounding mode", __FILE__, __LINE__, QString());

    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double value = tevo::leadingNumber(text);
    FUZZ_CHECK(!std::isnan(value), shown(text));

    // Nothing after the number changes it: "z" continues no number, decimal or "&H"/"&O".
    const double withTail = tevo::leadingNumber(text + QStringLiteral("z"));
    FUZZ_CHECK(sameNumber(withTail, value), QStringLiteral("%1 read %2, with a tail %3")
                                                .arg(shown(text), number(value), number(withTail)));

    // A minus sign before unsigned decimal text negates it.
    const QString compact = QString(text).remove(u' ').remove(u'\t').remove(u'\n');
    if (!compact.isEmpty() && (compact[0].isDigit() && compact[0].unicode() < 0x80)) {
        const double negated = tevo::leadingNumber(u'-' + text);
        FUZZ_CHECK(sameNumber(negated, -value),
                   QStringLiteral("%1 read %2, negated %3")
                       .arg(shown(text), number(value), number(negated)));
    }

    if (const std::optional<double> reference = plainDecimal(text)) {
        FUZZ_CHECK(sameNumber(value, *reference),
                   QStringLiteral("%1 read %2, strtod reads %3")
                       .arg(shown(text), number(value), number(*reference)));
    }

    checkRoundings(value);
    const qint16 level = tevo::userLevelFromText(text);
    const std::optional<qint16> rounded = tevo::roundToInt16(value);
    FUZZ_CHECK(level == rounded.value_or(0),
               QStringLiteral("%1 gave level %2").arg(shown(text)).arg(level));

    // The raw bytes as a double: NaN, infinities, subnormals, halves at the edges.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkRoundings(raw);
        // Halves next to the 16- and 32-bit limits, reached from the fuzzed number.
        checkRoundings(std::trunc(raw) + 0.5);
    }
    return 0;
}
