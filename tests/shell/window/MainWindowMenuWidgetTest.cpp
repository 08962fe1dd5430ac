// The menu bar of the main window as built, the header beep, shortcut keys, the enabled state
// of entries and buttons, and the entries that press a button.

#include "launch/CommandCatalogue.h"
#include "shell/window/MainMenuBar.h"
#include "shell/window/UiFonts.h"
#include "support/WindowTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace tevo;
using namespace tevo::test;

namespace {

// The whole tree as the user reads it: two blanks of indentation per level, design name,
// caption, shortcut in brackets.
const char* const kExpectedTree = R"(ES (&A) 功能
  d55v 車輛控制中心
  bbvg 百寶箱
  trvzn 查詢簡訊發送情形
  rx5 監理站加值服務網
  zer -
  XD 離開 [Ctrl+Q]
uu2r (&S) 營業作業
  DC222R 工作單作業
    EDVY 開立新工作單 [F1]
    E2VE 工作單編輯
  tvyu 車輛出險作業
    tvyuVY 開立新出險工作單 [Ctrl+F1]
    tvyuVE 出險工作單編輯
  ERYU 估價單作業
    DER 開立新估價單
    ERQR 估價單編輯
  ZE1 -
  uutv 營業查詢 [F6]
  METV 業績查詢 [Shift+F6]
  ZER5 -
  uugd 結帳登記 [F2]
  VR5 保險結帳 [Ctrl+F2]
  GDRX 收款記錄查詢 [Shift+F2]
  ZE2 -
  Y2XU 對帳單
  JGDTV 未收款查詢
tdex (&D) 倉庫管理
  rc2r 進貨作業
    rc2rVY 開立新進貨單 [F3]
    rc2rVE 進貨單編輯
  rctv 進貨查詢 [Shift+F3]
  ZEM -
  RCZD 進貨付款登記 [F4]
  rczdtv 進貨付款查詢 [Shift+F4]
  ze9 -
  hxtc 零件進銷貨明細表
  DH 庫存表 [Shift+F8]
  zekk -
  er1r 工具管理
  yx5b 零件資料轉入
dryu (&F) 會計作業
  YVGB 雜項收入
  YVTG 雜項收入查詢
  ZEJ -
  DRGB 雜項支出 [F5]
  YVT5 雜項支出查詢 [Shift+F5]
  ZEI -
  VYZZ 薪資編輯
  VYTV 薪資查詢
  ZDD -
  UCYU 銀行作業
  YQYU 支票(信用卡)作業
  ZQTV 發票查詢
  ze56 -
  YCB 綜合日報表 [F12]
  gbyx 營運總成分析
r1yx (&H) 基本資料
  DCYX 客戶資料
    DCVY 客戶資料新增 [F7]
    DCVE 客戶資料編輯查詢
  TGYX 廠商資料
    TGYXVY 廠商資料新增 [Ctrl+F7]
    TGYXVE 廠商資料編輯查詢
  MEYX 員工資料
    MEYXVV 員工資料新增
    MEYXVE 員工資料編輯查詢
  VEN 保險公司資料
    VENVY 保險公司新增
    VENVE 保險公司編輯查詢
  zx1 費率表
  ZEB -
  QA 材料(零件)資料
    QAVY 材料資料新增 [F8]
    QAVE 材料資料編輯查詢
  EY1R 檢修內容(工資)
    EY1RVY 檢修內容新增
    EY1RVE 檢修內容編輯查詢
  TY1R 車型資料作業
WGW1 (&J) 系統管理
  YUGV 注意事項 [F9]
  VW -
  VWG2 系統設計 [Ctrl+F9]
  fvg2 權限設定
  EGYX 公司資料
  zek -
  qmg2 片語設定 [F11]
  yx1z 資料備份
  TGEV 程式更新)";

// Writes the built menu in the format of kExpectedTree. Anything else worth knowing is flagged
// on the line: a submenu whose QMenu lacks the design name, a shortcut that is not window-wide.
void describe(const QList<QAction*>& actions, int depth, QStringList& lines)
{
    for (QAction* action : actions) {
        QString line = QString(depth * 2, u' ') + action->objectName() + u' ' +
                       (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (!action->shortcut().isEmpty()) {
            line += QStringLiteral(" [%1]").arg(action->shortcut().toString());
            if (action->shortcutContext() != Qt::WindowShortcut)
                line += QStringLiteral(" !context");
        }
        QMenu* menu = action->menu();
        if (menu && menu->objectName() != action->objectName())
            line += QStringLiteral(" !menu ") + menu->objectName();
        lines.append(line);
        if (menu)
            describe(menu->actions(), depth + 1, lines);
    }
}

struct Shortcut
{
    QString name;
    QKeySequence keys;
};

QList<Shortcut> expectedShortcuts()
{
    QList<Shortcut> out;
    for (const QString& line : QString::fromUtf8(kExpectedTree).split(u'\n')) {
        const qsizetype open = line.indexOf(u'[');
        if (open < 0)
            continue;
        out.append({line.trimmed().section(u' ', 0, 0),
                    QKeySequence(line.mid(open + 1, line.size() - open - 2))});
    }
    return out;
}

// What a command did, as the fakes saw it.
QString effectsOf(const FakePlatform& fakes, int beepsBefore)
{
    return QStringLiteral("started=%1 writes=%2 exit=%3 beeps=%4 messages=%5 opened=%6 http=%7")
        .arg(fakes.processes.started.join(u','), fakes.store.writes.join(u','))
        .arg(fakes.exit.count)
        .arg(fakes.beeper.count - beepsBefore)
        .arg(fakes.messages.shown.join(u'|'), fakes.shell.opened.join(u','),
             fakes.http.requests.join(u','));
}

} // namespace

class MainWindowMenuWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    // 89 items: 6 headers, 10 submenus, 14 separators, 59 commands, 22 with a shortcut key.
    void menuBarHoldsTheWholeTreeInOrder()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        QStringList built;
        describe(w.window.mainMenuBar()->actions(), 0, built);
        const QStringList expected = QString::fromUtf8(kExpectedTree).split(u'\n');
        for (qsizetype i = 0; i < qMin(built.size(), expected.size()); ++i)
            QCOMPARE(built.at(i), expected.at(i));
        QCOMPARE(built.size(), 89);
        QCOMPARE(w.window.mainMenuBar()->actions().size(), 6);
    }

    void openingAHeaderBeepsOnceAndASubmenuDoesNot()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        struct Row
        {
            Qt::Key accessKey;
            const char* header;
        };
        const Row rows[] = {{Qt::Key_A, "ES"},   {Qt::Key_S, "uu2r"}, {Qt::Key_D, "tdex"},
                            {Qt::Key_F, "dryu"}, {Qt::Key_H, "r1yx"}, {Qt::Key_J, "WGW1"}};
        for (const Row& row : rows) {
            const int before = w.fakes.beeper.count;
            QTest::keyClick(&w.window, row.accessKey, Qt::AltModifier);
            QMenu* menu = w.window.findChild<QMenu*>(QString::fromLatin1(row.header));
            QTRY_VERIFY2(menu->isVisible(), row.header);
            QVERIFY2(w.fakes.beeper.count == before + 1, row.header);
            menu->hide();
            QTRY_VERIFY2(!QApplication::activePopupWidget(), row.header);
        }
        const int before = w.fakes.beeper.count;
        QMenu* submenu = w.window.findChild<QMenu*>(QStringLiteral("DC222R"));
        submenu->popup(w.window.geometry().center());
        QTRY_VERIFY(submenu->isVisible());
        submenu->hide();
        QCOMPARE(w.fakes.beeper.count, before);
    }

    void everyShortcutChoosesItsEntry()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        QSignalSpy chosen(&w.window, &MainWindow::commandChosen);
        const QList<Shortcut> shortcuts = expectedShortcuts();
        QCOMPARE(shortcuts.size(), 22);
        for (const Shortcut& row : shortcuts) {
            chosen.clear();
            const QKeyCombination key = row.keys[0];
            QTest::keyClick(&w.window, key.key(), key.keyboardModifiers());
            QVERIFY2(chosen.size() == 1, qPrintable(row.name));
            QVERIFY2(chosen.at(0).at(0).toString() == row.name, qPrintable(row.name));
        }
    }

    void enabledStateByDesignName()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        MainMenuBar* bar = w.window.mainMenuBar();
        // Entries, submenus and headers show their state on their action, buttons on themselves.
        const std::pair<const char*, QObject*> rows[] = {
            {"EDVY", bar->action(QStringLiteral("EDVY"))},
            {"DC222R", bar->menu(QStringLiteral("DC222R"))->menuAction()},
            {"uu2r", bar->menu(QStringLiteral("uu2r"))->menuAction()},
            {"TGEV", bar->action(QStringLiteral("TGEV"))},
            {"Command1", w.control("Command1")},
            {"Command8", w.control("Command8")},
        };
        for (const auto& [name, shownOn] : rows) {
            QVERIFY2(w.window.isControlEnabled(QLatin1String(name)), name);
            w.window.setControlEnabled(QLatin1String(name), false);
            QVERIFY2(!w.window.isControlEnabled(QLatin1String(name)), name);
            QVERIFY2(!shownOn->property("enabled").toBool(), name);
        }
        // A greyed entry ignores its shortcut key.
        QSignalSpy chosen(&w.window, &MainWindow::commandChosen);
        QTest::keyClick(&w.window, Qt::Key_F1);
        QCOMPARE(chosen.size(), 0);
        // Greying one control leaves its neighbours alone; unknown names are ignored.
        QVERIFY(w.window.isControlEnabled(QStringLiteral("E2VE")));
        QVERIFY(w.window.isControlEnabled(QStringLiteral("Command2")));
        w.window.setControlEnabled(QStringLiteral("NoSuchControl"), false);
        QVERIFY(w.window.isControlEnabled(QStringLiteral("NoSuchControl")));
    }

    void buttonClicksChooseTheirButton()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        w.window.setUpdateButtonVisible(true);
        QSignalSpy chosen(&w.window, &MainWindow::commandChosen);
        for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5",
                                 "Command6", "Command7", "Command8"}) {
            chosen.clear();
            QTest::mouseClick(w.control(name), Qt::LeftButton);
            QVERIFY2(chosen.size() == 1 && chosen.at(0).at(0).toString() == QLatin1String(name),
                     name);
        }
        // A greyed button is not pressed.
        w.window.setControlEnabled(QStringLiteral("Command2"), false);
        chosen.clear();
        QTest::mouseClick(w.control("Command2"), Qt::LeftButton);
        QCOMPARE(chosen.size(), 0);
    }

    // The eight entries that press a button do exactly what a click on the button does.
    void forwardEntriesDoWhatTheirButtonDoes()
    {
        if (commandCatalogue().empty())
            QSKIP("the command catalogue is not part of this build");
        struct Row
        {
            const char* entry;
            const char* button;
        };
        const Row rows[] = {{"EDVY", "Command1"},   {"uugd", "Command2"}, {"DCVY", "Command3"},
                            {"rc2rVY", "Command4"}, {"RCZD", "Command5"}, {"uutv", "Command6"},
                            {"XD", "Command7"},     {"TGEV", "Command8"}};
        for (const Row& row : rows) {
            WindowUnderTest byButton;
            QVERIFY(byButton.start());
            byButton.window.setUpdateButtonVisible(true);
            const int beepsBefore = byButton.fakes.beeper.count;
            QTest::mouseClick(byButton.control(row.button), Qt::LeftButton);
            const QString clicked = effectsOf(byButton.fakes, beepsBefore);

            WindowUnderTest byEntry;
            QVERIFY(byEntry.start());
            byEntry.window.setUpdateButtonVisible(true);
            const int entryBeepsBefore = byEntry.fakes.beeper.count;
            byEntry.window.mainMenuBar()->action(QString::fromLatin1(row.entry))->trigger();
            QCOMPARE(effectsOf(byEntry.fakes, entryBeepsBefore), clicked);
            QVERIFY2(clicked != effectsOf(FakePlatform(), 0), row.entry);
        }
    }

    void functionKeysReachTheirModules()
    {
        if (commandCatalogue().empty())
            QSKIP("the command catalogue is not part of this build");
        struct Row
        {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char* program;
            int exits; // a hand-off ends the menu, a side launch keeps it open
        };
        const Row rows[] = {{Qt::Key_F1, Qt::NoModifier, "E2.exe", 1},
                            {Qt::Key_F11, Qt::NoModifier, "QMG.exe", 0},
                            {Qt::Key_Q, Qt::ControlModifier, "GARVO.exe", 1}};
        for (const Row& row : rows) {
            WindowUnderTest w;
            QVERIFY(w.start());
            QTest::keyClick(&w.window, row.key, row.modifiers);
            QVERIFY2(w.fakes.processes.started == QStringList{QString::fromLatin1(row.program)},
                     row.program);
            QVERIFY2(w.fakes.exit.count == row.exits, row.program);
        }
    }
};

QTEST_MAIN(MainWindowMenuWidgetTest)
#include "MainWindowMenuWidgetTest.moc"
