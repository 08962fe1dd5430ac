#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

// Profile (INI) files as the suite's other programs write them: code page 950, or UTF-8 when
// the file has a byte-order mark or is valid UTF-8 as a whole; read by the private-profile
// rules (first section and first key win, names without regard to case and trimmed of blanks,
// the caller's as well as the file's, one pair of quotes removed, a value cut to
// bufferSize - 1 bytes of code page 950 at a character boundary).
class ProfileFiles
{
public:
    virtual ~ProfileFiles() = default;
    // The value, or defaultValue when the file, section or key is missing or unreadable.
    virtual QString readString(const QString& file, const QString& section, const QString& key,
                               const QString& defaultValue = QString(), int bufferSize = 200) = 0;
    // Writes one key keeping every other byte; replaces the file atomically. Never throws.
    virtual Status writeString(const QString& file, const QString& section, const QString& key,
                               const QString& value) = 0;
};

} // namespace tevo
