// The first-frame report that start-up measurements read: written once, after the first paint,
// only when asked for, and never in the way of the window.

#include "shell/window/FirstFrameReport.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace tevo;

namespace {

qint64 monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A child that notes when it was last painted.
class TimedLabel : public QLabel
{
public:
    using QLabel::QLabel;
    qint64 paintedAt = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLabel::paintEvent(event);
        paintedAt = monotonicNs();
    }
};

// A window with something to paint, like the menu: a top-level widget with a child.
struct PaintedWindow
{
    QWidget window;
    TimedLabel* label = new TimedLabel(QStringLiteral("主目錄"), &window);
};

} // namespace

class FirstFrameReportWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv(FirstFrameReport::kEnvironmentVariable); }

    void writesTheMomentOfTheFirstPaintOnce()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("first frame"));
        qputenv(FirstFrameReport::kEnvironmentVariable, QFile::encodeName(file));
        PaintedWindow w;
        FirstFrameReport::installFromEnvironment(&w.window);
        QVERIFY(!QFile::exists(file));

        const qint64 before = monotonicNs();
        w.window.show();
        QTRY_VERIFY(QFile::exists(file));
        const qint64 after = monotonicNs();
        QFile report(file);
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QByteArray text = report.readAll();
        QVERIFY2(text.endsWith('\n'), text.constData());
        const QList<QByteArray> fields = text.trimmed().split(' ');
        QCOMPARE(fields.size(), 2);
        bool numbers[2] = {false, false};
        const qint64 reported = fields[0].toLongLong(&numbers[0]);
        const qint64 cpu = fields[1].toLongLong(&numbers[1]);
        QVERIFY2(numbers[0] && numbers[1], text.constData());
        QVERIFY(reported > before);
        QVERIFY(reported < after);
        QVERIFY(cpu > 0);
        // The frame is complete: its children were painted before the moment reported.
        QVERIFY(w.label->paintedAt > 0);
        QVERIFY(w.label->paintedAt < reported);

        // Later frames leave the report alone.
        QVERIFY(QFile::remove(file));
        w.label->setText(QStringLiteral("第二個畫面"));
        w.window.repaint();
        w.window.update();
        QTest::qWait(100);
        QVERIFY(!QFile::exists(file));
    }

    void nothingIsInstalledWithoutAnAbsoluteFileName_data()
    {
        QTest::addColumn<bool>("set");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("variable not set") << false << QByteArray();
        QTest::newRow("variable empty") << true << QByteArray();
        QTest::newRow("relative name") << true << QByteArray("report");
    }

    void nothingIsInstalledWithoutAnAbsoluteFileName()
    {
        QFETCH(bool, set);
        QFETCH(QByteArray, value);
        if (set)
            qputenv(FirstFrameReport::kEnvironmentVariable, value);
        PaintedWindow w;
        FirstFrameReport::installFromEnvironment(&w.window);
        QVERIFY(w.window.findChildren<FirstFrameReport*>().isEmpty());
    }

    void aFileThatCannotBeWrittenDoesNotStopTheWindow()
    {
        QTemporaryDir folder;
        qputenv(FirstFrameReport::kEnvironmentVariable,
                QFile::encodeName(folder.filePath(QStringLiteral("missing/report"))));
        PaintedWindow w;
        FirstFrameReport::installFromEnvironment(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QTest::qWait(50);
        QVERIFY(w.window.isVisible());
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("missing/report"))));
    }

    // The report is a new file: a file of that name keeps its bytes, and a link of that name
    // does not lead to a file being made where it points.
    void anExistingFileOrLinkIsLeftAsItWas_data()
    {
        QTest::addColumn<bool>("link");
        QTest::newRow("file") << false;
        QTest::newRow("link to nothing") << true;
    }

    void anExistingFileOrLinkIsLeftAsItWas()
    {
        QFETCH(bool, link);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("report"));
        const QString target = folder.filePath(QStringLiteral("target"));
        QFile existing(file);
        QVERIFY(link ? QFile::link(target, file)
                     : existing.open(QIODevice::WriteOnly) && existing.write("kept\n") == 5);
        existing.close();
        qputenv(FirstFrameReport::kEnvironmentVariable, QFile::encodeName(file));
        PaintedWindow w;
        FirstFrameReport::installFromEnvironment(&w.window);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QTest::qWait(100);
        QCOMPARE(QFileInfo(file).isSymLink(), link);
        QVERIFY(!QFile::exists(target));
        QVERIFY(link || (existing.open(QIODevice::ReadOnly) && existing.readAll() == "kept\n"));
    }
};

QTEST_MAIN(FirstFrameReportWidgetTest)
#include "FirstFrameReportWidgetTest.moc"
