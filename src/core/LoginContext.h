#pragma once

#include "platform/Result.h"

#include <QString>
#include <QtGlobal>

namespace tevo {

class SettingsStore;

// The four values the entry program leaves for the menu under application "kelpan", section =
// working directory. Read once at loading and never written back.
struct LoginContext
{
    QString profileFolder; // "mx"
    QString displayName;   // "VA"
    qint16 userLevel = 0;  // "AAA", as a number; 1 or less means no restriction
    QString hostDirectory; // "r5", unchanged

    // A key that is absent reads as empty text. A key that cannot be read (I/O error, damaged
    // store, store busy too long) is an error naming the key and the store's own message: the
    // menu must then not open, since empty values would mean level 0, nothing restricted.
    static Result<LoginContext> read(SettingsStore& store, const QString& section);
};

// "歡迎 " + trimmed display name + " 進入本系統  " + string 309.
QString welcomeLine(const QString& displayName);

} // namespace tevo
