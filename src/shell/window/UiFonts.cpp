#include "shell/window/UiFonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace tevo {

QStringList UiFonts::mingFamilies()
{
    return {QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
            QStringLiteral("Noto Serif CJK TC")};
}

QString UiFonts::installedMingFamily()
{
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : mingFamilies()) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return {};
}

namespace {

QFont fontOf(QStringList families, double pointSize, bool bold)
{
    QFont font;
    // Qt takes the first family as the primary font and the others only as fall-backs for
    // missing glyphs: the installed Ming family takes PMingLiU's place, so that a machine
    // without PMingLiU does not draw the window in an unrelated default font.
    const QString installed = UiFonts::installedMingFamily();
    const qsizetype preferred = families.indexOf(QStringLiteral("PMingLiU"));
    if (!installed.isEmpty() && families.at(preferred) != installed) {
        families.removeAll(installed);
        families.insert(preferred, installed);
    }
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::Serif);
    return font;
}

} // namespace

QFont UiFonts::ming(double pointSize, bool bold)
{
    return fontOf(mingFamilies(), pointSize, bold);
}

QFont UiFonts::sansSerif(double pointSize)
{
    QStringList families = mingFamilies();
    families.prepend(QStringLiteral("MS Sans Serif"));
    return fontOf(families, pointSize, false);
}

void UiFonts::applyToApplication()
{
    QApplication::setFont(ming(9.75));
}

} // namespace tevo
