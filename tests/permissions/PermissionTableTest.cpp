#include "permissions/PermissionTable.h"

#include "core/MenuTree.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tevo {
namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// The function areas as the administrator's documentation lists them: key, menu entry and its
// caption, button.
const struct
{
    const char* key;
    const char* menuEntry;
    const char* caption;
    const char* button;
} kExpectedRows[] = {
    {"工單作業", "DC222R", "工作單作業", "Command1"},
    {"估價作業", "ERYU", "估價單作業", ""},
    {"日報表", "YCB", "綜合日報表", ""},
    {"未收查", "JGDTV", "未收款查詢", ""},
    {"銷貨表", "hxtc", "零件進銷貨明細表", ""},
    {"營業查詢", "uutv", "營業查詢", "Command6"},
    {"出險作業", "tvyu", "車輛出險作業", ""},
    {"車輛控制", "d55v", "車輛控制中心", ""},
    {"結帳登記", "uugd", "結帳登記", "Command2"},
    {"保險結帳", "VR5", "保險結帳", ""},
    {"收款查詢", "GDRX", "收款記錄查詢", ""},
    {"零件轉入", "yx5b", "零件資料轉入", ""},
    {"進貨編輯", "rc2r", "進貨作業", "Command4"},
    {"進貨查詢", "rctv", "進貨查詢", ""},
    {"付款登記", "RCZD", "進貨付款登記", "Command5"},
    {"付款查詢", "rczdtv", "進貨付款查詢", ""},
    {"材料編輯", "QA", "材料(零件)資料", ""},
    {"庫存表", "DH", "庫存表", ""},
    {"雜項收入", "YVGB", "雜項收入", ""},
    {"雜項收入查詢", "YVTG", "雜項收入查詢", ""},
    {"雜項支出", "DRGB", "雜項支出", ""},
    {"雜項支出查詢", "YVT5", "雜項支出查詢", ""},
    {"銀行作業", "UCYU", "銀行作業", ""},
    {"支票作業", "YQYU", "支票(信用卡)作業", ""},
    {"發票查詢", "ZQTV", "發票查詢", ""},
    {"客戶編輯", "DCYX", "客戶資料", "Command3"},
    {"廠商編輯", "TGYX", "廠商資料", ""},
    {"員工編輯", "MEYX", "員工資料", ""},
    {"車種編輯", "TY1R", "車型資料作業", ""},
    {"保險編輯", "VEN", "保險公司資料", ""},
    {"檢修編輯", "EY1R", "檢修內容(工資)", ""},
    {"注意事項", "YUGV", "注意事項", ""},
    {"系統設定", "VWG2", "系統設計", ""},
    {"對帳單", "Y2XU", "對帳單", ""},
    {"權限設定", "fvg2", "權限設定", ""},
    {"公司資料", "EGYX", "公司資料", ""},
    {"薪資編輯", "VYZZ", "薪資編輯", ""},
    {"薪資查詢", "VYTV", "薪資查詢", ""},
    {"資料備份", "yx1z", "資料備份", ""},
    {"營運總成", "gbyx", "營運總成分析", ""},
    {"工具", "er1r", "工具管理", ""},
    {"各人", "METV", "業績查詢", ""},
    {"更新", "TGEV", "程式更新", "Command8"},
};

TEST(PermissionTable, FortyThreeAreasInOrderWithTheirControls)
{
    const auto table = permissionTable();
    ASSERT_EQ(table.size(), std::size(kExpectedRows));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& expected = kExpectedRows[i];
        EXPECT_STREQ(table[i].key, expected.key) << i;
        EXPECT_STREQ(table[i].menuEntry, expected.menuEntry) << expected.key;
        EXPECT_STREQ(table[i].button ? table[i].button : "", expected.button) << expected.key;
        const MenuItem* item = findMenuItem(u8(expected.menuEntry));
        ASSERT_NE(item, nullptr) << expected.menuEntry;
        EXPECT_STREQ(item->caption, expected.caption) << expected.key;
    }
}

TEST(PermissionTable, ControlsNoAreaGovernsStayFree)
{
    std::set<std::string> governed;
    for (const PermissionRow& row : permissionTable())
        governed.insert(row.menuEntry);
    for (const char* name : {"bbvg", "trvzn", "rx5", "XD", "zx1", "qmg2"})
        EXPECT_EQ(governed.count(name), 0u) << name;
    for (const MenuItem& item : menuTree())
        EXPECT_FALSE(isHeader(item) && governed.count(item.name)) << item.name;
}

TEST(PermissionTable, SectionOfEachLevel)
{
    const struct
    {
        int level;
        const char* section; // "" for none
    } cases[] = {
        {-32768, ""},  {0, ""},       {1, ""},       {2, "第二級"}, {3, "第三級"},
        {4, "第四級"}, {5, "第五級"}, {6, "第六級"}, {7, ""},       {32767, ""},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(permissionSection(qint16(row.level)).value_or(QString()), u8(row.section))
            << row.level;
        if (*row.section) {
            EXPECT_EQ(levelOfPermissionSection(u8(row.section)), row.level) << row.section;
        }
    }
    EXPECT_EQ(levelOfPermissionSection(u8("第一級")), 0);
    EXPECT_EQ(levelOfPermissionSection(u8("第七級")), 0);
}

} // namespace
} // namespace tevo
