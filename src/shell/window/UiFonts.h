#pragma once

#include <QFont>
#include <QStringList>

namespace tevo {

// The one place that chooses the window's fonts. The window was drawn for the Ming-style UI
// font (新細明體); it is asked for as "PMingLiU" and, where that is not installed, as the Ming
// fonts Linux distributions carry, so that Chinese text never shows as empty boxes.
namespace UiFonts {

// "PMingLiU", "AR PL UMing TW", "Noto Serif CJK TC", in order of preference.
QStringList mingFamilies();
// The first of mingFamilies() that is installed; empty when none is.
QString installedMingFamily();

QFont ming(double pointSize, bool bold = false);
// "MS Sans Serif" for Latin text, the Ming families for Chinese.
QFont sansSerif(double pointSize);

// Makes the Ming font at 9.75 points the application's font, so that menus, tooltips and
// message boxes show Chinese with it too. Needs the QApplication.
void applyToApplication();

} // namespace UiFonts

} // namespace tevo
