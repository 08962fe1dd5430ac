// A permission profile on disk, read by the real profile reader, applied to the real window:
// exactly the controls of the forbidden areas are greyed, every other action and button keeps
// its state, and what is greyed cannot be reached by shortcut or click.

#include "online/RunningVersion.h"
#include "platform/IniProfileFiles.h"
#include "shell/window/MainMenuBar.h"
#include "shell/window/UiFonts.h"
#include "support/ProfileTestFiles.h"
#include "support/WindowTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace tevo;
using namespace tevo::test;

namespace {

// The fakes, except that profiles are real files read by the real reader, in a temporary
// working folder that is also the host directory.
struct WindowWithProfile
{
    explicit WindowWithProfile(const QString& folder) { fakes.workingDirectory.path = folder; }

    FakePlatform fakes;
    IniProfileFiles profiles;
    Platform platform{
        fakes.store,  fakes.workingDirectory, fakes.processes, fakes.shell, fakes.exit,
        fakes.beeper, fakes.messages,         fakes.cursor,    fakes.clock, fakes.http,
        profiles,     fakes.volumeSerial};
    MainWindow window{platform};

    void login(const QString& level, const QString& profileFolder)
    {
        const QString section = fakes.workingDirectory.path;
        fakes.store.set(QStringLiteral("kelpan"), section, QStringLiteral("VA"),
                        QStringLiteral("測試員"));
        fakes.store.set(QStringLiteral("kelpan"), section, QStringLiteral("AAA"), level);
        fakes.store.set(QStringLiteral("kelpan"), section, QStringLiteral("mx"), profileFolder);
        fakes.store.set(QStringLiteral("kelpan"), section, QStringLiteral("r5"), section);
    }

    bool start() { return startWindow(window); }
};

struct ControlState
{
    bool enabled;
    int depth; // 0 header, 1 entry or submenu of a header, 2 entry of a submenu; -1 button
};

void collect(const QList<QAction*>& actions, int depth, QMap<QString, ControlState>& out)
{
    for (QAction* action : actions) {
        if (action->isSeparator())
            continue;
        out.insert(action->objectName(), {action->isEnabled(), depth});
        if (QMenu* menu = action->menu())
            collect(menu->actions(), depth + 1, out);
    }
}

// Every action of the menu bar and every button of the window, by design name.
QMap<QString, ControlState> controlsOf(MainWindow& window)
{
    QMap<QString, ControlState> out;
    collect(window.mainMenuBar()->actions(), 0, out);
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->objectName().startsWith(QLatin1String("Command")))
            out.insert(button->objectName(), {button->isEnabled(), -1});
    }
    return out;
}

QStringList greyed(const QMap<QString, ControlState>& controls)
{
    QStringList out;
    for (auto it = controls.begin(); it != controls.end(); ++it) {
        if (!it->enabled)
            out.append(it.key());
    }
    return out;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// The controls that no area governs: they stay available at every level.
const QStringList kUngoverned = {"bbvg", "trvzn", "rx5", "XD", "zx1", "qmg2", "Command7"};

// What a profile that forbids every area greys: each entry directly under a header and each
// button, except the ungoverned ones. Headers stay available, and entries inside a submenu
// keep their own state (the submenu's header is what is greyed).
QStringList everyGovernedControl(const QMap<QString, ControlState>& controls)
{
    QStringList out;
    for (auto it = controls.begin(); it != controls.end(); ++it) {
        if ((it->depth == 1 || it->depth == -1) && !kUngoverned.contains(it.key()))
            out.append(it.key());
    }
    return out;
}

const QStringList kAllAreas = {
    "工單作業",     "估價作業", "日報表",   "未收查",   "銷貨表",   "營業查詢",     "出險作業",
    "車輛控制",     "結帳登記", "保險結帳", "收款查詢", "零件轉入", "進貨編輯",     "進貨查詢",
    "付款登記",     "付款查詢", "材料編輯", "庫存表",   "雜項收入", "雜項收入查詢", "雜項支出",
    "雜項支出查詢", "銀行作業", "支票作業", "發票查詢", "客戶編輯", "廠商編輯",     "員工編輯",
    "車種編輯",     "保險編輯", "檢修編輯", "注意事項", "系統設定", "對帳單",       "權限設定",
    "公司資料",     "薪資編輯", "薪資查詢", "資料備份", "營運總成", "工具",         "各人",
    "更新"};

QByteArray everyAreaForbidden(const char* section)
{
    QByteArray text = QByteArray("[") + section + "]\r\n";
    for (const QString& area : kAllAreas)
        text += area.toUtf8() + "=NO\r\n";
    return text;
}

// A level-3 section as an administrator might write it by hand: refusals in several spellings,
// values that only look like one, a later duplicate section, and other levels' sections.
const char* const kMixedProfile = "; 權限設定檔\r\n"
                                  "[第二級]\r\n"
                                  "營業查詢=NO\r\n"
                                  "[第三級]\r\n"
                                  "工單作業=NO\r\n"
                                  "客戶編輯=  NO  \r\n"
                                  "更新=\"NO\"\r\n"
                                  "各人='NO'\r\n"
                                  "車種編輯 = NO\r\n"
                                  "材料編輯=NO\r\n"
                                  "日報表=NO ; 暫停\r\n"
                                  "結帳登記=no\r\n"
                                  "估價作業=No\r\n"
                                  "庫存表=NO.\r\n"
                                  "工具=N0\r\n"
                                  "銷貨表\r\n"
                                  "[第四級]\r\n"
                                  "工單作業=YES\r\n"
                                  "[第三級]\r\n"
                                  "資料備份=NO\r\n";

const QStringList kMixedProfileGreys = {"DC222R",   "Command1", "DCYX", "Command3", "TGEV",
                                        "Command8", "METV",     "TY1R", "QA"};

struct GreyRow
{
    const char* what;
    const char* level;
    const char* profileFolder;
    QByteArray fileBytes; // empty: no file
    bool everyArea;       // expect every governed control greyed
    QStringList expected; // otherwise: exactly these
};

// Opens the window at the row's level under its profile and compares the greyed controls.
void checkGreyRow(const GreyRow& row)
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("權限")));
    if (!row.fileBytes.isEmpty())
        writeBytes(dir.filePath(QStringLiteral("權限/權限.INI")), row.fileBytes);
    WindowWithProfile w(dir.path());
    w.login(QString::fromLatin1(row.level), QString::fromUtf8(row.profileFolder));
    QVERIFY2(w.start(), row.what);

    const QMap<QString, ControlState> controls = controlsOf(w.window);
    // 83 actions without the separators (6 headers, 10 submenus, 59 commands) and the
    // 8 buttons of the window.
    QVERIFY2(controls.size() == 83, row.what);
    const QStringList expected =
        sorted(row.everyArea ? everyGovernedControl(controls) : row.expected);
    if (row.everyArea)
        QVERIFY2(expected.size() == 50, row.what);
    const QStringList actual = sorted(greyed(controls));
    QVERIFY2(actual == expected, qPrintable(QStringLiteral("%1\n   greyed: %2\n expected: %3")
                                                .arg(QString::fromUtf8(row.what), actual.join(u' '),
                                                     expected.join(u' '))));
}

} // namespace

class MainWindowPermissionsWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    void profileGreysExactlyItsAreas()
    {
        const GreyRow rows[] = {
            {"level 3, mixed spellings, code page 950", "3", "/權限/", big5(kMixedProfile), false,
             kMixedProfileGreys},
            {"level 3, mixed spellings, UTF-8 with byte-order mark", "3", "/權限/",
             "\xEF\xBB\xBF" + QByteArray(kMixedProfile), false, kMixedProfileGreys},
            {"level 3, every area forbidden",
             "3",
             "/權限/",
             big5("[第二級]\r\n" + everyAreaForbidden("第三級")),
             true,
             {}},
            {"level 2 under a profile that forbids level 3 everything",
             "2",
             "/權限/",
             big5(everyAreaForbidden("第三級")),
             false,
             {}},
            {"level 1 under a profile that forbids everything",
             "1",
             "/權限/",
             big5(everyAreaForbidden("第二級") + everyAreaForbidden("第三級")),
             false,
             {}},
            {"level 7 has no section",
             "7",
             "/權限/",
             big5(everyAreaForbidden("第六級") + everyAreaForbidden("第七級")),
             false,
             {}},
            {"level 3, profile file missing", "3", "/權限/", QByteArray(), false, {}},
            {"level 3, profile folder text too short",
             "3",
             "/",
             big5(everyAreaForbidden("第三級")),
             false,
             {}},
        };
        for (const GreyRow& row : rows)
            checkGreyRow(row);
    }

    // Greyed controls of the mixed profile refuse every way in; an area whose value only looks
    // like a refusal hands off as usual.
    void greyedControlsCannotBeReached()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("權限")));
        writeBytes(dir.filePath(QStringLiteral("權限/權限.INI")), big5(kMixedProfile));
        WindowWithProfile w(dir.path());
        w.login(QStringLiteral("3"), QStringLiteral("/權限/"));
        // The announced version is the running one: the update button stays hidden, and greyed.
        w.fakes.store.set(QStringLiteral("EEYX"), dir.path(), QStringLiteral("GR"),
                          runningVersionString());
        QVERIFY(w.start());
        auto* command8 = w.window.findChild<QAbstractButton*>(QStringLiteral("Command8"));
        QVERIFY(!w.window.isUpdateButtonVisible());
        QVERIFY(!command8->isEnabled());

        struct Row
        {
            const char* what;
            std::function<void()> attempt;
        };
        auto key = [&w](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
            return [&w, k, m] { QTest::keyClick(&w.window, k, m); };
        };
        auto click = [&w](const char* button) {
            return [&w, button] {
                QTest::mouseClick(w.window.findChild<QWidget*>(QLatin1String(button)),
                                  Qt::LeftButton);
            };
        };
        auto entry = [&w](const char* name) {
            return [&w, name] { w.window.mainMenuBar()->action(QLatin1String(name))->trigger(); };
        };
        const Row blocked[] = {
            {"F1, entry inside the greyed 工作單作業", key(Qt::Key_F1)},
            {"button 開立新工單", click("Command1")},
            {"F7, entry inside the greyed 客戶資料", key(Qt::Key_F7)},
            {"button 客戶新增", click("Command3")},
            {"F8, entry inside the greyed 材料(零件)資料", key(Qt::Key_F8)},
            {"Shift+F6, the greyed 業績查詢", key(Qt::Key_F6, Qt::ShiftModifier)},
            {"程式更新 chosen from code", entry("TGEV")},
            {"工作單編輯 chosen from code inside its greyed submenu", entry("E2VE")},
        };
        for (const Row& row : blocked) {
            row.attempt();
            QCoreApplication::processEvents();
            QVERIFY2(w.fakes.processes.started.isEmpty() && w.fakes.exit.count == 0 &&
                         w.fakes.http.requests.isEmpty() && w.fakes.store.writes.isEmpty(),
                     row.what);
        }
        // "結帳登記" = "no" allows the area: F2 hands off to its module.
        QTest::keyClick(&w.window, Qt::Key_F2);
        QCOMPARE(w.fakes.processes.started, QStringList{QStringLiteral("GD.exe")});
        QCOMPARE(w.fakes.exit.count, 1);
    }
};

QTEST_MAIN(MainWindowPermissionsWidgetTest)
#include "MainWindowPermissionsWidgetTest.moc"
