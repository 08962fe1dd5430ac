#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace tevo::fuzz {

// Text for a failure message: printable ASCII as it is, everything else as \uXXXX, so that a
// message shows exactly which characters were involved.
inline QString shown(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\')
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out + u'"';
}

inline QString shown(const QByteArray& bytes)
{
    QString out = QStringLiteral("\"");
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\')
            out += QLatin1Char(c);
        else
            out += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return out + u'"';
}

// Ends the run when an invariant does not hold; libFuzzer keeps the input as a crash.
[[noreturn]] inline void failed(const char* condition, const char* file, int line,
                                const QString& detail)
{
    std::fprintf(stderr, "\n%s:%d: invariant failed: %s\n%s\n", file, line, condition,
                 detail.toUtf8().constData());
    std::abort();
}

} // namespace tevo::fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::tevo::fuzz::failed(#condition, __FILE__, __LINE__, (detail));                        \
    } while (false)
