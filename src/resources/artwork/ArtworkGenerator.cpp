// Draws the menu's built-in pictures at build time: the window icon (32 x 32), the button
// pictures (57 x 28, and 28 x 28 for the exit button), the banner (789 x 111, JPEG) and the
// background (678 x 382, 8-bit palette BMP), and writes the resource file that embeds them.
// The same icon is also drawn at the larger sizes of the desktop's icon theme (icon-48.png to
// icon-256.png); those are installed, not embedded.
// Shapes and gradients only, so the pictures look the same on every machine.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cstdio>

namespace {

// The icon is designed on a 32 x 32 grid; other sizes scale the same shapes.
QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setBrush(QColor(0, 64, 128));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(1, 1, 30, 30, 6, 6);
    // A wrench: a ring and a handle.
    p.setPen(QPen(QColor(255, 200, 0), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(10, 22, 21, 11);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(22, 10), 5, 5);
    return image;
}

QImage buttonPicture(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, colour.lighter(150));
    gradient.setColorAt(1, colour.darker(130));
    p.setBrush(gradient);
    p.setPen(QPen(colour.darker(180), 1));
    p.drawRoundedRect(QRectF(1.5, 1.5, width - 3, height - 3), 5, 5);
    return image;
}

QImage exitPicture()
{
    QImage image = buttonPicture(28, 28, QColor(170, 40, 40));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(9, 9, 19, 19);
    p.drawLine(19, 9, 9, 19);
    return image;
}

QImage banner()
{
    QImage image(789, 111, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 789, 0);
    sky.setColorAt(0, QColor(0, 48, 96));
    sky.setColorAt(1, QColor(0, 128, 160));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(255, 255, 255, 30 + 10 * i));
        p.drawEllipse(QPointF(120 + 110 * i, 55), 40 - 4 * i, 40 - 4 * i);
    }
    p.setBrush(QColor(255, 200, 0));
    p.drawRect(0, 100, 789, 11);
    return image;
}

QImage background()
{
    QImage image(678, 382, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(339, 191, 420);
    glow.setColorAt(0, QColor(70, 110, 150));
    glow.setColorAt(1, QColor(20, 30, 50));
    p.fillRect(image.rect(), glow);
    p.setPen(QPen(QColor(255, 255, 255, 40), 2));
    for (int x = -382; x < 678; x += 40)
        p.drawLine(x, 382, x + 382, 0);
    p.end();
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

bool save(const QImage& image, const QString& path, const char* format)
{
    if (image.save(path, format, format == QByteArrayLiteral("JPG") ? 90 : -1))
        return true;
    std::fprintf(stderr, "tevo-artwork: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tevo-artwork OUTPUT-FOLDER\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    bool ok = save(icon(32), dir + "/icon.png", "PNG") &&
              save(buttonPicture(57, 28, QColor(40, 110, 170)), dir + "/button.png", "PNG") &&
              save(exitPicture(), dir + "/exit.png", "PNG") &&
              save(banner(), dir + "/banner.jpg", "JPG") &&
              save(background(), dir + "/background.bmp", "BMP");
    for (const int size : {48, 64, 128, 256})
        ok = ok && save(icon(size), QStringLiteral("%1/icon-%2.png").arg(dir).arg(size), "PNG");
    QFile qrc(dir + "/artwork.qrc");
    if (!ok || !qrc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream out(&qrc);
    out << "<RCC><qresource prefix=\"/artwork\">\n";
    for (const char* name : {"icon.png", "button.png", "exit.png", "banner.jpg", "background.bmp"})
        out << "<file>" << name << "</file>\n";
    out << "</qresource></RCC>\n";
    return 0;
}
