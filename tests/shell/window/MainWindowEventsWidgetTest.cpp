// The main window's life cycle and events: loading and first activation, the two timers, the
// notice line, pointer activity, closing, and the pictures it loads.

#include "shell/window/UiFonts.h"
#include "support/WindowTestSupport.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tevo;
using namespace tevo::test;

namespace {

QTimer* timer(const WindowUnderTest& w, const char* name)
{
    return w.control<QTimer>(name);
}

// A bitmap header that announces width x height pixels and carries no pixel data.
QByteArray bitmapHeader(qint32 width, qint32 height)
{
    QByteArray data(54, '\0');
    auto put32 = [&data](int at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = char((value >> (8 * i)) & 0xff);
    };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    data[26] = 1;  // planes
    data[28] = 24; // bits per pixel
    return data;
}

QByteArray pictureBytes(QSize size, const char* format,
                        QImage::Format pixels = QImage::Format_RGB32)
{
    QImage image(size, pixels);
    image.fill(pixels == QImage::Format_Mono ? 1 : QColor(Qt::darkGreen).rgb());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

class MainWindowEventsWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    void loadingPreparesAndActivationGreetsAndStartsTheTimers()
    {
        WindowUnderTest w;
        w.fakes.store.set(QStringLiteral("kelpan"), w.fakes.workingDirectory.path,
                          QStringLiteral("VA"), QStringLiteral("  王小明  "));
        QVERIFY(w.window.load());
        QCOMPARE(w.fakes.beeper.count, 1);
        QCOMPARE(w.control<QProgressBar>("ProgressBar1")->value(), 100);
        QCOMPARE(w.window.countdownValue(), 100.0);
        QVERIFY(w.window.statusText().isEmpty());
        w.window.show();
        // Shown but not yet activated: neither timer runs yet.
        QVERIFY(!timer(w, "Timer1")->isActive());
        QVERIFY(!timer(w, "Timer2")->isActive());
        QTRY_VERIFY(timer(w, "Timer2")->isActive());
        QVERIFY(timer(w, "Timer1")->isActive());
        QCOMPARE(timer(w, "Timer1")->interval(), 100);
        QCOMPARE(timer(w, "Timer2")->interval(), 800);
        QCOMPARE(w.window.statusText(),
                 QStringLiteral("歡迎 王小明 進入本系統  您可以用快取鍵進入權限內之各作業區"));
        QCOMPARE(w.fakes.beeper.count, 1);
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        // Later activations leave the status line alone.
        w.window.setStatusText(QStringLiteral("x"));
        w.window.activateWindow();
        QCoreApplication::processEvents();
        QCOMPARE(w.window.statusText(), QStringLiteral("x"));
    }

    void idleTimerRestartsOnlyWhenDisabledFirst()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        QTimer* timer2 = timer(w, "Timer2");
        QTest::qWait(300);
        // Enabling a running timer keeps its rhythm.
        w.window.setIdleTimerEnabled(true);
        QVERIFY(timer2->remainingTime() < 600);
        // Disabling and enabling again makes the next tick a full interval later.
        w.window.setIdleTimerEnabled(false);
        QVERIFY(!timer2->isActive());
        QVERIFY(!w.window.isIdleTimerEnabled());
        w.window.setIdleTimerEnabled(true);
        QVERIFY(timer2->isActive());
        QVERIFY(timer2->remainingTime() > 700);
        w.window.setNoticeTimerEnabled(false);
        QVERIFY(!timer(w, "Timer1")->isActive());
    }

    void timerDisabledBeforeActivationStaysOff()
    {
        WindowUnderTest w;
        QVERIFY(w.window.load());
        w.window.setIdleTimerEnabled(false);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QTRY_VERIFY(timer(w, "Timer1")->isActive());
        QVERIFY(!timer(w, "Timer2")->isActive());
    }

    void noticeLineIsPlainTextSizedToItsText()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        auto* label = w.control<QLabel>("Label2");
        QCOMPARE(label->textFormat(), Qt::PlainText);
        const QFontMetrics metrics(label->font());
        // Markup shows literally; trailing blanks, the gap of the scrolling text, count.
        // The widths of a scrolling step and of appended blanks are worked out, not measured:
        // they must come out as measured.
        const QString rows[] = {QStringLiteral("<b>x</b>"),      QStringLiteral("A&B <i>通告</i>"),
                                QStringLiteral("通告    "),      QStringLiteral("通告"),
                                QStringLiteral("通告   "),       QStringLiteral("告   通"),
                                QStringLiteral("   通告"),       QStringLiteral("Korvel科技 AV"),
                                QStringLiteral("orvel科技 AVK"), QStringLiteral("orvel科技 AVK  ")};
        for (const QString& text : rows) {
            w.window.setNoticeText(text);
            QVERIFY2(w.window.noticeText() == text, qPrintable(text));
            QVERIFY2(label->width() == metrics.horizontalAdvance(text), qPrintable(text));
            QVERIFY2(w.window.noticeTextWidthTwips() == label->width() * 15.0, qPrintable(text));
            QVERIFY2(label->height() == 20 && label->pos() == QPoint(112, 112), qPrintable(text));
        }
        const QPalette palette = label->palette();
        QCOMPARE(palette.color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(palette.color(QPalette::Window), QColor(Qt::black));
    }

    void pointerActivityComesOnlyFromTheThreeAreas()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        QSignalSpy activity(&w.window, &MainWindow::pointerActivity);
        struct Row
        {
            const char* what;
            std::function<QPoint()> where; // in window coordinates
            bool resets;
        };
        auto centreOf = [&w](const char* name) {
            return [&w, name] {
                QWidget* widget = w.control(name);
                return widget->mapTo(&w.window, widget->rect().center());
            };
        };
        auto inside = [&w](const char* name, QPoint at) {
            return [&w, name, at] { return w.control(name)->mapTo(&w.window, at); };
        };
        const Row rows[] = {
            {"background", centreOf("Image1"), true},
            {"banner", centreOf("Image2"), true},
            {"free area of the button column", inside("Picture1", QPoint(3, 200)), true},
            {"gap between two buttons", inside("Picture1", QPoint(50, 68)), true},
            {"button", centreOf("Command1"), false},
            {"exit button", centreOf("Command7"), false},
            {"countdown bar", centreOf("ProgressBar1"), false},
            {"notice line", inside("Label2", QPoint(5, 5)), false},
            {"status bar", centreOf("StatusBar1"), false},
            {"menu bar", [&w] { return w.window.menuBar()->geometry().center(); }, false},
            {"bare window", inside("clientArea", QPoint(780, 122)), false},
        };
        for (const Row& row : rows) {
            // Move away first, to a spot that resets nothing, then onto the spot under test.
            QTest::mouseMove(&w.window, w.control("StatusBar1")->geometry().center());
            QCoreApplication::processEvents();
            activity.clear();
            const QPoint at = row.where();
            QTest::mouseMove(&w.window, at);
            QTest::mouseMove(&w.window, at + QPoint(1, 0));
            QCoreApplication::processEvents();
            QVERIFY2((activity.size() > 0) == row.resets, row.what);
        }
        // Keys never count as activity.
        activity.clear();
        w.control("Command2")->setFocus();
        QTest::keyClick(w.control("Command2"), Qt::Key_Shift);
        QTest::keyClick(&w.window, Qt::Key_Right);
        QCOMPARE(activity.size(), 0);
    }

    void closingLeavesTheMenuWithABeep()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        const int beeps = w.fakes.beeper.count;
        QVERIFY(w.window.close());
        QCOMPARE(w.fakes.beeper.count, beeps + 1);
        QCOMPARE(w.fakes.processes.started, QStringList{QStringLiteral("GARVO.exe")});
        QCOMPARE(w.fakes.exit.count, 1);
        QVERIFY(!w.window.isIdleTimerEnabled());
        QVERIFY(!timer(w, "Timer2")->isActive());
    }

    void picturesLoadOnlyWhenTheyArePictures()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // The window's own limit holds even where the toolkit's global allocation limit has been
        // lifted by some other part of the program.
        const int toolkitLimit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(0);
        const auto restoreLimit =
            qScopeGuard([=] { QImageReader::setAllocationLimit(toolkitLimit); });
        struct Row
        {
            const char* file;
            QByteArray content;
            bool loads;
            QSize size;
        };
        const Row rows[] = {
            {"ad.JPG", pictureBytes(QSize(789, 111), "JPG"), true, QSize(789, 111)},
            // The name says JPEG, the content is a bitmap: the content decides.
            {"gjvw.JPG", pictureBytes(QSize(640, 360), "BMP"), true, QSize(640, 360)},
            {"notes.JPG", QByteArray("not a picture at all"), false, {}},
            {"empty.JPG", QByteArray(), false, {}},
            {"truncated.JPG", pictureBytes(QSize(200, 100), "PNG").left(60), false, {}},
            // Announces 10000 x 10000 pixels: refused before anything is decoded.
            {"huge.BMP", bitmapHeader(10000, 10000), false, {}},
            // A real picture of 7200 x 7200 pixels, small on disk at one bit a pixel, but more
            // than a banner or background could ever need.
            {"enormous.BMP",
             pictureBytes(QSize(7200, 7200), "BMP", QImage::Format_Mono),
             false,
             {}},
            {"missing.JPG", QByteArray(), false, {}},
        };
        for (const Row& row : rows) {
            const QString path = dir.filePath(QString::fromLatin1(row.file));
            if (qstrcmp(row.file, "missing.JPG") != 0) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(row.content);
            }
            WindowUnderTest w;
            auto* image1 = w.control<QLabel>("Image1");
            auto* image2 = w.control<QLabel>("Image2");
            const qint64 background = image1->pixmap().cacheKey();
            const qint64 banner = image2->pixmap().cacheKey();
            QVERIFY2(w.window.loadBackgroundPicture(QFile::encodeName(path)) == row.loads,
                     row.file);
            QVERIFY2(w.window.loadBannerPicture(QFile::encodeName(path)) == row.loads, row.file);
            if (row.loads) {
                QVERIFY2(image1->pixmap().size() == row.size, row.file);
                QVERIFY2(image2->pixmap().size() == row.size, row.file);
            } else {
                QVERIFY2(image1->pixmap().cacheKey() == background, row.file);
                QVERIFY2(image2->pixmap().cacheKey() == banner, row.file);
            }
            // The controls keep their place whatever the picture's size.
            QVERIFY2(image1->size() == QSize(681, 385) && image2->size() == QSize(789, 111),
                     row.file);
        }
    }

    // The window may be made narrower than its status bar panels; the client width follows.
    void clientWidthFollowsTheWindow()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        w.window.resize(600, w.window.height());
        QTRY_COMPARE(w.window.clientWidthTwips(), 9000.0);
        w.window.setCountdownValue(42);
        QCOMPARE(w.control<QProgressBar>("ProgressBar1")->value(), 42);
    }
};

QTEST_MAIN(MainWindowEventsWidgetTest)
#include "MainWindowEventsWidgetTest.moc"
