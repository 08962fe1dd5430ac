#pragma once

// Lets GoogleTest show QString values (alone, in QStringList, in std::optional) as UTF-8 text
// when an expectation fails.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
