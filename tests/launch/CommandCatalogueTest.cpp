#include "launch/CommandCatalogue.h"

#include "core/MenuTree.h"
#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>

namespace tevo {
namespace {

using K = CommandKind;

// What the modules and the user see of a row: the operation name written as "AT", the mode
// key and value, the program (or the button pressed), and its optional steps.
struct Expected
{
    const char* entry;
    CommandKind kind;
    const char* at;     // the text written as "AT"; "" when none
    const char* mode;   // "YXQ=A", "YXQ=B", "ATU=" or ""
    const char* target; // program started, or the button pressed
    const char* steps;  // keepsIdle, beep, hourglass, guarded, failureBeep
    const char* failure = "";
};

const Expected kExpected[] = {
    {"d55v", K::HandOff, "廠內狀況", "YXQ=A", "TS5D.exe", "keepsIdle"},
    {"bbvg", K::IdentityShortcut, "", "", "", ""},
    {"trvzn", K::IdentityShortcut, "", "", "", ""},
    {"rx5", K::LicensingSite, "", "", "", ""},
    {"XD", K::Forward, "", "", "Command7", ""},
    {"EDVY", K::Forward, "", "", "Command1", ""},
    {"E2VE", K::HandOff, "工單作業", "YXQ=B", "E2.exe", "hourglass"},
    {"tvyuVY", K::HandOff, "車輛出險", "YXQ=A", "E2.exe", ""},
    {"tvyuVE", K::HandOff, "車輛出險", "YXQ=B", "E2.exe", ""},
    {"DER", K::HandOff, "估價單作業", "YXQ=A", "E2.exe", "hourglass"},
    {"ERQR", K::HandOff, "估價單作業", "YXQ=B", "E2.exe", ""},
    {"uutv", K::Forward, "", "", "Command6", ""},
    {"METV", K::HandOff, "業績查詢", "YXQ=A", "URT.exe", "beep"},
    {"uugd", K::Forward, "", "", "Command2", ""},
    {"VR5", K::HandOff, "保險結帳", "ATU=", "GD.exe", ""},
    {"GDRX", K::HandOff, "收款記錄", "YXQ=A", "gdt.exe", "beep"},
    {"Y2XU", K::HandOff, "對帳單作業", "ATU=", "YTY.exe", "hourglass"},
    {"JGDTV", K::HandOff, "未收款查詢", "ATU=", "JGT.exe", "hourglass"},
    {"rc2rVY", K::Forward, "", "", "Command4", ""},
    {"rc2rVE", K::HandOff, "進貨單編輯", "YXQ=B", "RC2.exe", ""},
    {"rctv", K::HandOff, "進貨查詢", "YXQ=A", "RCT.exe", "beep"},
    {"RCZD", K::Forward, "", "", "Command5", ""},
    {"rczdtv", K::HandOff, "付款查詢", "YXQ=A", "ZDT.exe", "beep"},
    {"hxtc", K::HandOff, "零件銷貨明細表", "YXQ=A", "tcT.exe", "beep"},
    {"DH", K::HandOff, "庫存表", "YXQ=A", "DH.exe", ""},
    {"er1r", K::HandOff, "工具管理", "YXQ=A", "ER.exe", ""},
    {"yx5b", K::HandOff, "零件資料轉入", "YXQ=A", "garvodata.exe", ""},
    {"YVGB", K::HandOff, "雜項收入", "YXQ=A", "DR.exe", ""},
    {"YVTG", K::HandOff, "雜項收入查詢", "YXQ=A", "DRT.exe", "beep"},
    {"DRGB", K::HandOff, "雜項支出", "YXQ=B", "DR.exe", ""},
    {"YVT5", K::HandOff, "雜項支出查詢", "YXQ=B", "DRT.exe", "beep"},
    {"VYZZ", K::HandOff, "員工薪資編輯", "YXQ=A", "VY.exe", ""},
    {"VYTV", K::HandOff, "薪資查詢", "YXQ=A", "VYT.exe", "beep"},
    {"UCYU", K::HandOff, "銀行作業", "YXQ=A", "UC.exe", ""},
    {"YQYU", K::HandOff, "支票作業", "YXQ=A", "yqyu.exe", ""},
    {"ZQTV", K::HandOff, "發票查詢", "YXQ=A", "ZQ.exe", ""},
    {"YCB", K::HandOff, "綜合日報表", "YXQ=A", "B1.exe", "guarded", "此功能無效，請使用更新版本"},
    {"gbyx", K::HandOff, "營運總成", "YXQ=A", "YT.exe", "beep"},
    {"DCVY", K::Forward, "", "", "Command3", ""},
    {"DCVE", K::HandOff, "客戶資料編輯", "YXQ=B", "DC.exe", ""},
    {"TGYXVY", K::HandOff, "廠商資料新增", "YXQ=A", "TG.exe", ""},
    {"TGYXVE", K::HandOff, "廠商資料編輯", "YXQ=B", "TG.exe", ""},
    {"MEYXVV", K::HandOff, "員工資料新增", "YXQ=A", "MEYX.exe", ""},
    {"MEYXVE", K::HandOff, "員工資料編輯", "YXQ=B", "MEYX.exe", ""},
    {"VENVY", K::HandOff, "保險公司編輯", "YXQ=A", "VEG.exe", ""},
    {"VENVE", K::HandOff, "保險公司新增", "YXQ=B", "VEG.exe", ""},
    {"zx1", K::SideLaunch, "", "", "1vzx.exe", "failureBeep", "此功能無效，請聯絡程式設計人員"},
    {"QAVY", K::HandOff, "材料新增", "YXQ=A", "HX.exe", ""},
    {"QAVE", K::HandOff, "材料編輯", "YXQ=B", "HX.exe", ""},
    {"EY1RVY", K::HandOff, "檢修項目新增", "YXQ=A", "EYY.exe", ""},
    {"EY1RVE", K::HandOff, "檢修項目編輯", "YXQ=B", "EYY.exe", ""},
    {"TY1R", K::HandOff, "車型資料作業", "YXQ=A", "TY.exe", "keepsIdle"},
    {"YUGV", K::HandOff, "注意事項", "YXQ=A", "YUGV.exe", ""},
    {"VWG2", K::HandOff, "系統設計", "YXQ=A", "VW.exe", "beep"},
    {"fvg2", K::PermissionSetting, "權限設定", "YXQ=A", "FV.exe", ""},
    {"EGYX", K::CompanyData, "", "", "CO.exe", "failureBeep", "此功能無效，請聯絡程式設計人員"},
    {"qmg2", K::SideLaunch, "", "", "QMG.exe", "keepsIdle", "此功能無效"},
    {"yx1z", K::DataBackup, "", "", "PREPARE.exe", "beep failureBeep",
     "此功能無效，請聯絡程式設計人員"},
    {"TGEV", K::Forward, "", "", "Command8", ""},
    {"Command1", K::HandOff, "工單作業", "YXQ=A", "E2.exe", "hourglass"},
    {"Command2", K::HandOff, "結帳登記", "ATU=", "GD.exe", "hourglass"},
    {"Command3", K::HandOff, "客戶資料新增", "YXQ=A", "DC.exe", ""},
    {"Command4", K::HandOff, "開立新進貨單", "YXQ=A", "RC2.exe", ""},
    {"Command5", K::HandOff, "進貨付款", "YXQ=A", "ZD.exe", ""},
    {"Command6", K::HandOff, "營業查詢", "YXQ=A", "uut.exe", "beep"},
    {"Command7", K::Leave, "", "", "", ""},
    {"Command8", K::Update, "", "", "", ""},
};

QString modeOf(const CommandRow& row)
{
    switch (row.modeKey) {
    case ModeKey::Yxq:
        return QStringLiteral("YXQ=") + QString::fromUtf8(row.modeValue);
    case ModeKey::Atu:
        return QStringLiteral("ATU=") + QString::fromUtf8(row.modeValue);
    case ModeKey::None:
        break;
    }
    return {};
}

QString stepsOf(const CommandRow& row)
{
    QStringList steps;
    if (!row.stopsIdle)
        steps << QStringLiteral("keepsIdle");
    if (row.beeps)
        steps << QStringLiteral("beep");
    if (row.hourglass)
        steps << QStringLiteral("hourglass");
    if (row.guarded)
        steps << QStringLiteral("guarded");
    if (row.failureBeeps)
        steps << QStringLiteral("failureBeep");
    return steps.join(u' ');
}

// A number the string table does not hold is no identifier: making a StringId of it does not
// compile, so no unknown number can reach loadString().
template <int N>
concept StringTableNumber = requires
{
    typename std::integral_constant<int, StringId(N).number()>;
};
static_assert(StringTableNumber<6> && StringTableNumber<309> && StringTableNumber<513>);
static_assert(!StringTableNumber<7> && !StringTableNumber<310> && !StringTableNumber<-1>);

TEST(CommandCatalogue, EveryRowCarriesItsValues)
{
    ASSERT_EQ(commandCatalogue().size(), std::size(kExpected));
    for (const Expected& want : kExpected) {
        const CommandRow* row = findCommand(QString::fromLatin1(want.entry));
        ASSERT_NE(row, nullptr) << want.entry;
        EXPECT_EQ(row->kind, want.kind) << want.entry;
        EXPECT_EQ(row->atStringId != 0 ? loadString(row->atStringId) : QString(),
                  QString::fromUtf8(want.at))
            << want.entry;
        EXPECT_EQ(modeOf(*row), QString::fromUtf8(want.mode)) << want.entry;
        EXPECT_STREQ(row->kind == K::Forward ? row->pressedButton : row->program, want.target)
            << want.entry;
        EXPECT_EQ(stepsOf(*row), QString::fromUtf8(want.steps)) << want.entry;
        const QString failure = row->failureStringId != 0 ? loadString(row->failureStringId)
                                                          : QString::fromUtf8(row->failureText);
        EXPECT_EQ(failure, QString::fromUtf8(want.failure)) << want.entry;
    }
}

TEST(CommandCatalogue, CoversEveryMenuCommandAndButtonOnce)
{
    QSet<QString> expected;
    for (const MenuItem& item : menuTree()) {
        if (!isHeader(item) && !isSeparator(item) && !hasChildren(item))
            expected.insert(QString::fromLatin1(item.name));
    }
    ASSERT_EQ(expected.size(), 59);
    for (int i = 1; i <= 8; ++i)
        expected.insert(QStringLiteral("Command%1").arg(i));

    QSet<QString> seen;
    for (const CommandRow& row : commandCatalogue()) {
        const QString entry = QString::fromLatin1(row.entry);
        EXPECT_FALSE(seen.contains(entry)) << row.entry << " listed twice";
        seen.insert(entry);
        EXPECT_TRUE(expected.contains(entry)) << row.entry << " is no menu command or button";
        if (row.kind == K::Forward) {
            const CommandRow* pressed = findCommand(QString::fromLatin1(row.pressedButton));
            ASSERT_NE(pressed, nullptr) << row.entry;
            EXPECT_TRUE(QString::fromLatin1(pressed->entry).startsWith(u"Command")) << row.entry;
        }
    }
    EXPECT_EQ(seen, expected);

    for (const char* name : {"edvy", "ES", "DC222R", "zer", "", "Command9"})
        EXPECT_EQ(findCommand(QString::fromLatin1(name)), nullptr) << name;
}

} // namespace
} // namespace tevo
