// The notice line paints every scrolling step from one layout of its text: the pixels must be
// those a plain label paints for the scrolled text, whatever the text and the step.

#include "shell/window/NoticeLabel.h"
#include "shell/window/UiFonts.h"

#include <QApplication>
#include <QImage>
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
                const QImage got = notice.grab().toImage();
                const QImage want = plain.grab().toImage();
                QVERIFY2(got == want,
                         qPrintable(QStringLiteral("%1 at step %2").arg(text).arg(step)));
                for (int i = 0; i < 7; ++i) {
                    const qsizetype units = text[0].isHighSurrogate() ? 2 : 1;
                    text = scrolled(text, units);
                    notice.setNotice(text);
                }
                QCOMPARE(notice.text(), text);
            }
        }
    }
};

QTEST_MAIN(NoticeLabelWidgetTest)
#include "NoticeLabelWidgetTest.moc"
