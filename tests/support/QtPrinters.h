#pragma once

// Readable GoogleTest output for Qt text: a failing comparison shows the text, not its bytes.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
