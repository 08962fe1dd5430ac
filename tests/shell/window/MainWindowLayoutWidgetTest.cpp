// The main window as the user sees it before any command runs: every control in its place with
// its texts and fonts, stacking, focus order, status bar panels and the built-in pictures.

#include "shell/window/StatusPanelBar.h"
#include "shell/window/UiFonts.h"
#include "support/WindowTestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QRawFont>
#include <QTest>
#include <QToolButton>

using namespace tevo;
using namespace tevo::test;

namespace {

const QString kThanks = QStringLiteral("Korvel科技股份有限公司感謝您使用本系統");

// Places and sizes as drawn, in twips, relative to the container's client area.
struct ControlRow
{
    const char* name;
    const char* container;
    QRect twips; // left, top, width, height; width -1: the control's own width
    QString text;
    QString toolTip;
};

const ControlRow kControls[] = {
    {"Command8",
     "clientArea",
     {1800, 6720, 2895, 660},
     QStringLiteral("發現本系統有更新的版本，請立即為本程式升級"),
     QStringLiteral("請立即為本程式升級")},
    {"Picture2", "clientArea", {0, 0, 11895, 1575}, {}, {}},
    {"Image2", "Picture2", {0, 0, 11835, 1665}, {}, QStringLiteral("廣告")},
    {"Picture1", "clientArea", {0, 1680, 1575, 6135}, {}, {}},
    {"Command7",
     "Picture1",
     {120, 5280, 1335, 735},
     QStringLiteral("離開 Ctrl+Q"),
     QStringLiteral("離開主畫面")},
    {"Command6", "Picture1", {120, 3600, 1335, 735}, QStringLiteral("營業查詢"), {}},
    {"Command5", "Picture1", {120, 2760, 1335, 735}, QStringLiteral("付款登記"), {}},
    {"Command4", "Picture1", {120, 1920, 1335, 735}, QStringLiteral("開立進貨單"), {}},
    {"Command3", "Picture1", {120, 4440, 1335, 735}, QStringLiteral("客戶新增"), {}},
    {"Command2", "Picture1", {120, 1080, 1335, 735}, QStringLiteral("結帳登記"), {}},
    {"Command1",
     "Picture1",
     {120, 120, 1335, 855},
     QStringLiteral("開立新工單"),
     QStringLiteral("車輛進廠，開立新的工作單")},
    {"ProgressBar1",
     "clientArea",
     {1800, 7440, 2895, 255},
     {},
     QStringLiteral("離開主畫面剩餘時間")},
    {"Label2", "clientArea", {1680, 1680, -1, 300}, kThanks, QStringLiteral("系統通告")},
    {"Image1", "clientArea", {1680, 2040, 10215, 5775}, {}, {}},
};

QString textOf(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return {};
}

bool drawsChinese(const QFont& font)
{
    const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::TraditionalChinese);
    for (char32_t c : {U'開', U'離', U'營', U'帳', U'歡'}) {
        if (!raw.supportsCharacter(c))
            return false;
    }
    return true;
}

} // namespace

class MainWindowLayoutWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    void windowHasTitleIconAndDesignedClientArea()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        QCOMPARE(w.window.objectName(), QStringLiteral("Form3"));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Tevo 保養廠管理系統(主目錄)"));
        QVERIFY(!w.window.windowIcon().isNull());
        QVERIFY(w.window.windowIcon().availableSizes().contains(QSize(32, 32)));
        // 11880 x 8265 twips below the menu bar, the status bar docked at its bottom.
        QWidget* client = w.window.centralWidget();
        QCOMPARE(client->objectName(), QStringLiteral("clientArea"));
        QCOMPARE(client->width(), 792);
        QCOMPARE(client->y(), w.window.menuBar()->geometry().bottom() + 1);
        QCOMPARE(w.window.height() - client->y(), 551);
        QCOMPARE(w.window.clientWidthTwips(), 11880.0);
    }

    // As created, before loading changes texts and visibility.
    void everyControlSitsInItsPlaceWithItsTexts()
    {
        WindowUnderTest w;
        for (const ControlRow& row : kControls) {
            QWidget* widget = w.control(row.name);
            QVERIFY2(widget, row.name);
            QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(row.container));
            const QRect expected(row.twips.x() / 15, row.twips.y() / 15,
                                 row.twips.width() < 0 ? widget->width() : row.twips.width() / 15,
                                 row.twips.height() / 15);
            QVERIFY2(widget->geometry() == expected, row.name);
            QVERIFY2(textOf(widget) == row.text, row.name);
            QVERIFY2(widget->toolTip() == row.toolTip, row.name);
        }
        auto* bar = w.control<QProgressBar>("ProgressBar1");
        QVERIFY(bar->minimum() == 0 && bar->maximum() == 100 && !bar->isTextVisible());
    }

    void fontsAreMingExceptTheExitButtonAndDrawChinese()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        const QString ming = UiFonts::installedMingFamily();
        QVERIFY2(!ming.isEmpty(), "no Ming-style font installed (fonts-arphic-uming)");
        struct Row
        {
            const char* name;
            QString firstFamily;
            double points;
            bool bold;
        };
        const Row rows[] = {
            {"Command1", ming, 9.75, false},
            {"Command8", ming, 9.75, false},
            {"StatusBar1", ming, 9.75, false},
            {"Label2", ming, 12, true},
            {"Command7", QStringLiteral("MS Sans Serif"), 9.75, false},
        };
        for (const Row& row : rows) {
            const QFont font = w.control(row.name)->font();
            QVERIFY2(font.families().value(0) == row.firstFamily, row.name);
            QVERIFY2(qFuzzyCompare(font.pointSizeF(), row.points), row.name);
            QVERIFY2(font.bold() == row.bold, row.name);
            QVERIFY2(drawsChinese(font), row.name);
        }
    }

    // Graphical buttons show their picture above the caption.
    void buttonColumnShowsPicturesAboveCaptions()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        for (const char* name :
             {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6", "Command7"}) {
            auto* button = w.control<QToolButton>(name);
            const QSize picture = qstrcmp(name, "Command7") == 0 ? QSize(28, 28) : QSize(57, 28);
            QVERIFY2(button && button->toolButtonStyle() == Qt::ToolButtonTextUnderIcon, name);
            QVERIFY2(button->iconSize() == picture && !button->icon().isNull(), name);
        }
        QCOMPARE(w.control<QLabel>("Image2")->pixmap().size(), QSize(789, 111));
        // Drawn at the size of its area, which stretches it.
        QCOMPARE(w.control<QLabel>("Image1")->pixmap().size(), w.control("Image1")->size());
        QVERIFY(w.control<QLabel>("Image1")->hasScaledContents());
    }

    void onlyTheUpdateButtonIsHiddenAndBarsLieAboveTheBackground()
    {
        WindowUnderTest w;
        for (const ControlRow& row : kControls) {
            const bool hidden = qstrcmp(row.name, "Command8") == 0;
            QVERIFY2(w.control(row.name)->isHidden() == hidden, row.name);
        }
        QVERIFY(w.start());
        // Loading may have shown the update button already.
        w.window.setUpdateButtonVisible(false);
        QWidget* client = w.window.centralWidget();
        auto topAt = [&](const char* name) {
            return client->childAt(w.control(name)->geometry().center());
        };
        QCOMPARE(topAt("ProgressBar1"), w.control("ProgressBar1"));
        // Hidden, the update button leaves the background visible; shown, it lies above it.
        QCOMPARE(topAt("Command8"), w.control("Image1"));
        w.window.setUpdateButtonVisible(true);
        QCOMPARE(topAt("Command8"), w.control("Command8"));
        // Within the banner box the banner lies above the box.
        QCOMPARE(client->childAt(QPoint(400, 50)), w.control("Image2"));
    }

    void tabVisitsTheButtonsInDesignOrder()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        w.window.setUpdateButtonVisible(true);
        const char* order[] = {"Command1", "Command2", "Command3", "Command4", "Command5",
                               "Command6", "Command7", "Command8", "Command1"};
        w.control("Command1")->setFocus();
        QTRY_VERIFY(w.control("Command1")->hasFocus());
        for (size_t i = 1; i < std::size(order); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY2(QApplication::focusWidget() == w.control(order[i]), order[i]);
        }
        // Hidden, the update button is skipped.
        w.window.setUpdateButtonVisible(false);
        w.control("Command7")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.control("Command1"));
        QCOMPARE(w.control("Label2")->focusPolicy(), Qt::NoFocus);
    }

    void statusBarHasThreePanelsWithDateAndTime()
    {
        WindowUnderTest w;
        w.fakes.clock.time = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 40));
        QVERIFY(w.start());
        auto* bar = w.control<StatusPanelBar>("StatusBar1");
        QVERIFY(bar);
        QCOMPARE(bar->height(), 25);
        QCOMPARE(bar->geometry().bottom(), w.window.height() - 1);
        QCOMPARE(bar->width(), 792);
        // 8655, 1440 and 1440 twips side by side from the left edge.
        const QRect panels[] = {{0, 0, 577, 25}, {577, 0, 96, 25}, {673, 0, 96, 25}};
        for (int i = 1; i <= 3; ++i) {
            QCOMPARE(bar->panel(i)->geometry(), panels[i - 1]);
            QCOMPARE(bar->panel(i)->textFormat(), Qt::PlainText);
        }
        QCOMPARE(bar->panel(2)->text(), QStringLiteral("2026/12/08"));
        QCOMPARE(bar->panel(3)->text(), QStringLiteral("09:05"));
        // The panels follow the clock by themselves, across midnight too.
        w.fakes.clock.time = QDateTime(QDate(2026, 12, 9), QTime(0, 1));
        QTRY_COMPARE_WITH_TIMEOUT(bar->panel(3)->text(), QStringLiteral("00:01"), 3000);
        QCOMPARE(bar->panel(2)->text(), QStringLiteral("2026/12/09"));
    }
};

QTEST_MAIN(MainWindowLayoutWidgetTest)
#include "MainWindowLayoutWidgetTest.moc"
