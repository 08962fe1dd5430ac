// Large real pictures as background and banner (a photograph from a camera put in as gjvw.JPG):
// they show as they would at full size, but only what can be seen is decoded, so that they cost
// neither seconds at start-up nor hundreds of megabytes for as long as the menu is open.

#include "shell/window/UiFonts.h"
#include "support/WindowTestSupport.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace tevo;
using namespace tevo::test;

namespace {

const QColor kQuadrants[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};

// Four coloured quadrants, and in the top left corner a band of black and white stripes of
// different widths that shows whether the banner holds exactly the picture's corner.
QImage testPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    painter.fillRect(0, 0, w, h, kQuadrants[0]);
    painter.fillRect(w, 0, size.width() - w, h, kQuadrants[1]);
    painter.fillRect(0, h, w, size.height() - h, kQuadrants[2]);
    painter.fillRect(w, h, size.width() - w, size.height() - h, kQuadrants[3]);
    int x = 0;
    for (int i = 0; x < 900; ++i) {
        const int width = 8 + (i % 5) * 8;
        painter.fillRect(x, 0, width, 60, i % 2 ? Qt::white : Qt::black);
        x += width;
    }
    return image;
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 48 && qAbs(a.green() - b.green()) < 48 &&
           qAbs(a.blue() - b.blue()) < 48;
}

// Largest difference of any colour channel between two images of one size.
int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                                qAbs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

} // namespace

class LargePictureWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    void largePicturesShowFullyButOnlyWhatIsSeenIsDecoded()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const struct
        {
            const char* file;
            const char* format;
            QSize size;
        } rows[] = {
            {"photo.JPG", "JPG", QSize(4000, 3000)},
            {"scan.PNG", "PNG", QSize(3000, 2400)},
            {"paint.BMP", "BMP", QSize(2800, 2000)},
            // Wide and low: fewer rows than the background, many more pixels.
            {"strip.JPG", "JPG", QSize(12000, 300)},
        };
        for (const auto& row : rows) {
            const QString path = dir.filePath(QString::fromLatin1(row.file));
            QVERIFY2(testPicture(row.size).save(path, row.format, 90), row.file);
            // What the picture looks like decoded whole, the way the banner used to be read.
            const QImage whole = QImageReader(path).read().convertToFormat(QImage::Format_RGB32);
            QVERIFY2(whole.size() == row.size, row.file);

            WindowUnderTest w;
            auto* image1 = w.control<QLabel>("Image1");
            auto* image2 = w.control<QLabel>("Image2");
            QElapsedTimer timer;
            timer.start();
            QVERIFY2(w.window.loadBackgroundPicture(QFile::encodeName(path)), row.file);
            QVERIFY2(w.window.loadBannerPicture(QFile::encodeName(path)), row.file);
            const qint64 elapsed = timer.elapsed();
            qInfo("%s (%dx%d): both pictures loaded in %lld ms", row.file, row.size.width(),
                  row.size.height(), elapsed);

            // The background holds at most its own size, and still the whole picture: each
            // quadrant's colour in its place (stretching does the rest).
            const QImage background = image1->pixmap().toImage();
            QVERIFY2(background.width() <= image1->width() &&
                         background.height() <= image1->height(),
                     row.file);
            const int bw = background.width();
            const int bh = background.height();
            const QPoint centres[] = {{bw / 4, bh / 4},
                                      {bw * 3 / 4, bh / 4},
                                      {bw / 4, bh * 3 / 4},
                                      {bw * 3 / 4, bh * 3 / 4}};
            for (int i = 0; i < 4; ++i) {
                QVERIFY2(near(background.pixelColor(centres[i]), kQuadrants[i]),
                         qPrintable(QStringLiteral("%1: quadrant %2 shows %3")
                                        .arg(row.file)
                                        .arg(i)
                                        .arg(background.pixelColor(centres[i]).name())));
            }

            // The banner holds exactly the picture's top left corner, as much as it can show.
            const QImage banner = image2->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
            const QSize corner = row.size.boundedTo(image2->size());
            QVERIFY2(banner.size() == corner, row.file);
            QVERIFY2(largestDifference(banner, whole.copy(QRect(QPoint(0, 0), corner))) <= 2,
                     row.file);
        }
    }

    // A JPEG that can be decoded at the size it is shown has no pixel limit short of its
    // format's; any picture decoded whole (a progressive JPEG, a PNG) is refused beyond what
    // suits the background's area (64 times its pixels), before it is decoded.
    void onlyPicturesDecodedWholeAreLimitedByTheirArea()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const struct
        {
            const char* file;
            const char* format;
            QSize size;
            QImage::Format pixels;
            bool progressive;
            bool loads;
        } rows[] = {
            {"camera.JPG", "JPG", QSize(8200, 6200), QImage::Format_Grayscale8, false, true},
            {"web-large.JPG", "JPG", QSize(4200, 4200), QImage::Format_Grayscale8, true, false},
            {"scan.PNG", "PNG", QSize(4200, 4200), QImage::Format_Mono, false, false},
        };
        for (const auto& row : rows) {
            const QString path = dir.filePath(QString::fromLatin1(row.file));
            QImage picture(row.size, row.pixels);
            picture.fill(0);
            QImageWriter writer(path, row.format);
            writer.setProgressiveScanWrite(row.progressive);
            QVERIFY2(writer.write(picture), row.file);
            picture = QImage();

            WindowUnderTest w;
            auto* image1 = w.control<QLabel>("Image1");
            QCOMPARE(w.window.loadBackgroundPicture(QFile::encodeName(path)), row.loads);
            if (row.loads)
                QVERIFY2(image1->pixmap().width() <= image1->width(), row.file);
        }
    }
};

QTEST_MAIN(LargePictureWidgetTest)
#include "LargePictureWidgetTest.moc"
