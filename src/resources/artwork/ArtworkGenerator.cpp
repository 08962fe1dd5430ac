// Draws the menu's built-in pictures at build time from the SVG drawings in this folder, and
// writes the resource file that embeds them:
//
//   tevo-artwork SOURCE-FOLDER OUTPUT-FOLDER THEME-ICON-SIZES PICTURE...
//
// Each PICTURE (for example "command1.png") is drawn from the SVG of the same base name
// (command1.svg) at the SVG's own size and at twice that size ("command1@2x.png"), which Qt
// picks on screens scaled above 100 %. The file's extension chooses the format: PNG, JPEG, or
// BMP, which is written as an 8-bit palette bitmap with error diffusion. The window icon
// (icon.svg) is also drawn at each of THEME-ICON-SIZES ("48,64,128,256") for the desktop's icon
// theme (icon-48.png ...); those are installed, not embedded.
// A font named by an SVG must be installed: a picture never falls back to another font.

#include "DitheredPalette.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

namespace {

bool fail(const QString& message)
{
    std::fprintf(stderr, "tevo-artwork: %s\n", qPrintable(message));
    return false;
}

// Every font-family an SVG file names is one of the installed families.
bool fontsInstalled(const QString& svgFile)
{
    QFile file(svgFile);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(svgFile));
    const QString text = QString::fromUtf8(file.readAll());
    const QStringList installed = QFontDatabase::families();
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]+)\""));
    for (const QRegularExpressionMatch& match : family.globalMatch(text)) {
        if (!installed.contains(match.captured(1), Qt::CaseInsensitive))
            return fail(QStringLiteral("%1 names the font \"%2\", which is not installed")
                            .arg(svgFile, match.captured(1)));
    }
    return true;
}

QImage render(QSvgRenderer& renderer, QSize size, bool opaque)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return opaque ? image.convertToFormat(QImage::Format_RGB32)
                  : image.convertToFormat(QImage::Format_ARGB32);
}

bool save(const QImage& image, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    bool saved = false;
    if (suffix == QLatin1String("jpg"))
        saved = image.save(path, "JPG", 92);
    else if (suffix == QLatin1String("bmp"))
        saved = tevo::ditheredPalette(image).save(path, "BMP");
    else
        saved = image.save(path, "PNG");
    return saved || fail(QStringLiteral("cannot write %1").arg(path));
}

// Draws `picture` from its SVG at 1x and 2x into `outputDir`.
bool drawPicture(const QString& sourceDir, const QString& outputDir, const QString& picture,
                 const QList<int>& themeIconSizes)
{
    const QFileInfo name(picture);
    const QString svg = sourceDir + QLatin1Char('/') + name.completeBaseName() + ".svg";
    if (!fontsInstalled(svg))
        return false;
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return fail(QStringLiteral("%1 is not a drawing Qt can render").arg(svg));
    const QSize size = renderer.defaultSize();
    // JPEG and BMP have no transparency: those pictures are drawn on white.
    const bool opaque = name.suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) != 0;
    const QString stem = outputDir + QLatin1Char('/') + name.completeBaseName();
    if (!save(render(renderer, size, opaque), outputDir + QLatin1Char('/') + picture) ||
        !save(render(renderer, size * 2, opaque), stem + "@2x." + name.suffix()))
        return false;
    if (name.completeBaseName() == QLatin1String("icon")) {
        for (const int side : themeIconSizes) {
            if (!save(render(renderer, QSize(side, side), false),
                      QStringLiteral("%1-%2.png").arg(stem).arg(side)))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(
            stderr,
            "usage: tevo-artwork SOURCE-FOLDER OUTPUT-FOLDER THEME-ICON-SIZES PICTURE...\n");
        return 2;
    }
    const QString& sourceDir = args.at(1);
    const QString& outputDir = args.at(2);
    QList<int> themeIconSizes;
    for (const QString& side : args.at(3).split(QLatin1Char(','), Qt::SkipEmptyParts))
        themeIconSizes.append(side.toInt());
    const QStringList pictures = args.mid(4);

    QDir().mkpath(outputDir);
    for (const QString& picture : pictures) {
        if (!drawPicture(sourceDir, outputDir, picture, themeIconSizes))
            return 1;
    }
    QFile qrc(outputDir + "/artwork.qrc");
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(QStringLiteral("cannot write %1").arg(qrc.fileName()));
        return 1;
    }
    QTextStream out(&qrc);
    out << "<RCC><qresource prefix=\"/artwork\">\n";
    for (const QString& picture : pictures) {
        const QFileInfo name(picture);
        out << "<file>" << picture << "</file>\n"
            << "<file>" << name.completeBaseName() << "@2x." << name.suffix() << "</file>\n";
    }
    out << "</qresource></RCC>\n";
    return 0;
}
