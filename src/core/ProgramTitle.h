#pragma once

#include <QString>

namespace tevo {

// The main window's caption, also the title of every message box the menu shows.
inline QString programTitle()
{
    return QStringLiteral("Tevo 保養廠管理系統(主目錄)");
}

} // namespace tevo
