// The baseline of the start-up and memory benchmarks: a bare QMainWindow with the main menu's
// six menu captions, in the menu's font and at its size, and nothing else. It reports its first
// painted frame exactly as the menu does (TEVO_REPORT_FIRST_FRAME).

#include "shell/window/FirstFrameReport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

namespace {

constexpr const char* kCaptions[] = {"(&A) 功能",     "(&S) 營業作業", "(&D) 倉庫管理",
                                     "(&F) 會計作業", "(&H) 基本資料", "(&J) 系統管理"};

// The menu's client area, 11880 by 8265 twips at 15 twips a pixel.
constexpr int kClientWidth = 792;
constexpr int kClientHeight = 551;

// The font the menu ends up with: the first installed Ming family at 9.75 points, the others
// as fall-backs.
QFont menuFont()
{
    QStringList families{QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
                         QStringLiteral("Noto Serif CJK TC")};
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            families.removeAll(family);
            families.prepend(family);
            break;
        }
    }
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(9.75);
    font.setStyleHint(QFont::Serif);
    return font;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setFont(menuFont());

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tevo bench bare window"));
    QMenuBar* bar = window.menuBar();
    bar->setNativeMenuBar(false);
    for (const char* caption : kCaptions)
        bar->addMenu(QString::fromUtf8(caption));
    const int barHeight = bar->heightForWidth(kClientWidth);
    window.resize(kClientWidth,
                  kClientHeight + (barHeight > 0 ? barHeight : bar->sizeHint().height()));
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());

    tevo::FirstFrameReport::installFromEnvironment(&window);
    window.show();
    return app.exec();
}
