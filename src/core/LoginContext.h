#pragma once

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

    static LoginContext read(SettingsStore& store, const QString& section);
};

// "歡迎 " + trimmed display name + " 進入本系統  " + string 309.
QString welcomeLine(const QString& displayName);

} // namespace tevo
