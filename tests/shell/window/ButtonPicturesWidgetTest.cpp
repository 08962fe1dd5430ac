// The pictures of the button column on a screen scaled to 200 %: each button is told apart by its
// picture, and every picture is drawn from its rendering at twice the size, not blown up.

#include "shell/window/UiFonts.h"
#include "support/WindowTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace tevo;
using namespace tevo::test;

class ButtonPicturesWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    void picturesDifferAndAreDrawnAtTwiceTheirLogicalSize()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        QCOMPARE(w.window.devicePixelRatio(), 2.0);

        const struct
        {
            const char* name;
            QSize logical;
        } buttons[] = {{"Command1", {57, 28}}, {"Command2", {57, 28}}, {"Command3", {57, 28}},
                       {"Command4", {57, 28}}, {"Command5", {57, 28}}, {"Command6", {57, 28}},
                       {"Command7", {28, 28}}};
        QList<QImage> seen;
        for (const auto& row : buttons) {
            const auto* button = w.control<QToolButton>(row.name);
            QVERIFY2(button, row.name);
            QCOMPARE(button->iconSize(), row.logical);
            // What the style paints: the icon at the button's size and pixel ratio.
            const QPixmap pixmap =
                button->icon().pixmap(button->iconSize(), button->devicePixelRatio());
            QVERIFY2(pixmap.size() == row.logical * 2 && pixmap.devicePixelRatio() == 2.0,
                     row.name);
            const QImage picture = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
            // Drawn at 2x from the drawing, not an enlarged 1x picture: the enlargement of the
            // 1x picture differs from it.
            const QImage enlarged = button->icon()
                                        .pixmap(button->iconSize(), 1.0)
                                        .toImage()
                                        .scaled(row.logical * 2)
                                        .convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(picture != enlarged, row.name);
            for (const QImage& other : seen)
                QVERIFY2(picture != other, row.name);
            seen.append(picture);
        }

        // The built-in banner and background are shown from their 2x renderings as well, drawn
        // at the size of their area: the background's area stretches it, and a picture of
        // another size would be rescaled at every start.
        for (const char* name : {"Image2", "Image1"}) {
            const auto* label = w.control<QLabel>(name);
            const QPixmap pixmap = label->pixmap();
            QVERIFY2(pixmap.devicePixelRatio() == 2.0, name);
            QVERIFY2(pixmap.deviceIndependentSize().toSize() == label->size(), name);
        }
    }
};

int main(int argc, char** argv)
{
    // The scale must be known before the application starts.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ButtonPicturesWidgetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ButtonPicturesWidgetTest.moc"
