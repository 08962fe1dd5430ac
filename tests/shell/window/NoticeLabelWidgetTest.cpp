// The notice line paints every scrolling step from one layout of its text: the pixels must be
// those a plain label paints for the scrolled text, whatever the text and the step.

#include "shell/window/NoticeLabel.h"
#include "shell/window/UiFonts.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>

using namespace tevo;

namespace {

// Both labels as the window sets up its notice line.
template <typename Label> void setUp(Label& label)
{
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(false);
    label.setFont(UiFonts::ming(12, true));
    label.setAutoFillBackground(true);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(palette);
    label.setContentsMargins(0, 0, 0, 0);
}

QString scrolled(const QString& text, qsizetype units)
{
    return text.mid(units) + text.left(units);
}

} // namespace

class NoticeLabelWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void everyStepLooksAsTheLabelWouldPaintIt()
    {
        const struct
        {
            const char* text;
            int blanks;
        } rows[] = {
            {"Korvel科技股份有限公司感謝您使用本系統", 120},
            {"系統通告：AV Wa To 12.5% (測試) 𠀀𠀁 末", 60},
            {"x", 3},
        };
        for (const auto& row : rows) {
            const QString base = QString::fromUtf8(row.text) + QString(row.blanks, u' ');
            NoticeLabel notice;
            QLabel plain;
            setUp(notice);
            setUp(plain);
            const int width = plain.fontMetrics().horizontalAdvance(base);
            notice.resize(width, 20);
            plain.resize(width, 20);
            QString text = base;
            // A character outside the basic plane moves as a whole, as the marquee moves it.
            for (int step = 0; step < base.size(); step += 7) {
                notice.setNotice(text);
                plain.setText(text);
                // The whole label, and a part of it that cuts glyphs at both ends (the window
                // shows only a part of a long notice).
                for (const QRect part : {notice.rect(), QRect(width / 3, 0, 37, 20)}) {
                    const QImage got = notice.grab(part).toImage();
                    const QImage want = plain.grab(part).toImage();
                    QVERIFY2(got == want, qPrintable(QStringLiteral("%1 at step %2, x %3")
                                                         .arg(text)
                                                         .arg(step)
                                                         .arg(part.x())));
                }
                for (int i = 0; i < 7; ++i) {
                    const qsizetype units = text[0].isHighSurrogate() ? 2 : 1;
                    text = scrolled(text, units);
                    notice.setNotice(text);
                }
                QCOMPARE(notice.text(), text);
            }
        }
    }

    // On the screen a step moves the pixels already there and paints only the strip that comes
    // into view at the right: after any number of steps the window shows what a plain label
    // shows for the text, as the window shows it, the line longer than the window.
    void stepsOnTheScreenPaintOnlyWhatComesIntoView()
    {
        const QString base = QStringLiteral("Korvel科技股份有限公司感謝您使用本系統 AV Wa 12.5%") +
                             QString(40, u' ');
        QWidget window;
        window.resize(200, 20);
        NoticeLabel notice(&window);
        setUp(notice);
        notice.setNotice(base);
        notice.setGeometry(10, 0, notice.fontMetrics().horizontalAdvance(base), 20);
        QList<int> painted;
        struct PaintWidths : QObject
        {
            QList<int>* widths;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Paint) {
                    int width = 0;
                    for (const QRect& part : static_cast<QPaintEvent*>(event)->region())
                        width += part.width();
                    widths->append(width);
                }
                return false;
            }
        } watch;
        watch.widths = &painted;
        notice.installEventFilter(&watch);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLabel plain;
        setUp(plain);
        plain.resize(notice.size());
        const QRect shown(10, 0, 190, 20);
        QString text = base;
        for (int step = 1; step <= 60; ++step) {
            painted.clear();
            text = scrolled(text, 1);
            notice.setNotice(text);
            QCoreApplication::processEvents();
            QVERIFY2(!painted.isEmpty() && painted.last() < 50, qPrintable(text));
            if (step % 6 == 0) {
                plain.setText(text);
                const QImage got = window.screen()
                                       ->grabWindow(window.winId())
                                       .toImage()
                                       .copy(shown)
                                       .convertToFormat(QImage::Format_RGB32);
                const QImage want = plain.grab(shown.translated(-10, 0))
                                        .toImage()
                                        .convertToFormat(QImage::Format_RGB32);
                QVERIFY2(got == want, qPrintable(QStringLiteral("step %1").arg(step)));
            }
        }
    }
};

QTEST_MAIN(NoticeLabelWidgetTest)
#include "NoticeLabelWidgetTest.moc"
