#include "core/MenuTree.h"

#include <array>
#include <cstring>

namespace tevo {

namespace {

// The menu bar, in display order: six headers, ten submenus, fourteen separators and
// fifty-nine commands.
constexpr std::array kMenuTree = {
    MenuItem{"ES", nullptr, "(&A) 功能", ""},
    MenuItem{"d55v", "ES", "車輛控制中心", ""},
    MenuItem{"bbvg", "ES", "百寶箱", ""},
    MenuItem{"trvzn", "ES", "查詢簡訊發送情形", ""},
    MenuItem{"rx5", "ES", "監理站加值服務網", ""},
    MenuItem{"zer", "ES", "-", ""},
    MenuItem{"XD", "ES", "離開", "Ctrl+Q"},

    MenuItem{"uu2r", nullptr, "(&S) 營業作業", ""},
    MenuItem{"DC222R", "uu2r", "工作單作業", ""},
    MenuItem{"EDVY", "DC222R", "開立新工作單", "F1"},
    MenuItem{"E2VE", "DC222R", "工作單編輯", ""},
    MenuItem{"tvyu", "uu2r", "車輛出險作業", ""},
    MenuItem{"tvyuVY", "tvyu", "開立新出險工作單", "Ctrl+F1"},
    MenuItem{"tvyuVE", "tvyu", "出險工作單編輯", ""},
    MenuItem{"ERYU", "uu2r", "估價單作業", ""},
    MenuItem{"DER", "ERYU", "開立新估價單", ""},
    MenuItem{"ERQR", "ERYU", "估價單編輯", ""},
    MenuItem{"ZE1", "uu2r", "-", ""},
    MenuItem{"uutv", "uu2r", "營業查詢", "F6"},
    MenuItem{"METV", "uu2r", "業績查詢", "Shift+F6"},
    MenuItem{"ZER5", "uu2r", "-", ""},
    MenuItem{"uugd", "uu2r", "結帳登記", "F2"},
    MenuItem{"VR5", "uu2r", "保險結帳", "Ctrl+F2"},
    MenuItem{"GDRX", "uu2r", "收款記錄查詢", "Shift+F2"},
    MenuItem{"ZE2", "uu2r", "-", ""},
    MenuItem{"Y2XU", "uu2r", "對帳單", ""},
    MenuItem{"JGDTV", "uu2r", "未收款查詢", ""},

    MenuItem{"tdex", nullptr, "(&D) 倉庫管理", ""},
    MenuItem{"rc2r", "tdex", "進貨作業", ""},
    MenuItem{"rc2rVY", "rc2r", "開立新進貨單", "F3"},
    MenuItem{"rc2rVE", "rc2r", "進貨單編輯", ""},
    MenuItem{"rctv", "tdex", "進貨查詢", "Shift+F3"},
    MenuItem{"ZEM", "tdex", "-", ""},
    MenuItem{"RCZD", "tdex", "進貨付款登記", "F4"},
    MenuItem{"rczdtv", "tdex", "進貨付款查詢", "Shift+F4"},
    MenuItem{"ze9", "tdex", "-", ""},
    MenuItem{"hxtc", "tdex", "零件進銷貨明細表", ""},
    MenuItem{"DH", "tdex", "庫存表", "Shift+F8"},
    MenuItem{"zekk", "tdex", "-", ""},
    MenuItem{"er1r", "tdex", "工具管理", ""},
    MenuItem{"yx5b", "tdex", "零件資料轉入", ""},

    MenuItem{"dryu", nullptr, "(&F) 會計作業", ""},
    MenuItem{"YVGB", "dryu", "雜項收入", ""},
    MenuItem{"YVTG", "dryu", "雜項收入查詢", ""},
    MenuItem{"ZEJ", "dryu", "-", ""},
    MenuItem{"DRGB", "dryu", "雜項支出", "F5"},
    MenuItem{"YVT5", "dryu", "雜項支出查詢", "Shift+F5"},
    MenuItem{"ZEI", "dryu", "-", ""},
    MenuItem{"VYZZ", "dryu", "薪資編輯", ""},
    MenuItem{"VYTV", "dryu", "薪資查詢", ""},
    MenuItem{"ZDD", "dryu", "-", ""},
    MenuItem{"UCYU", "dryu", "銀行作業", ""},
    MenuItem{"YQYU", "dryu", "支票(信用卡)作業", ""},
    MenuItem{"ZQTV", "dryu", "發票查詢", ""},
    MenuItem{"ze56", "dryu", "-", ""},
    MenuItem{"YCB", "dryu", "綜合日報表", "F12"},
    MenuItem{"gbyx", "dryu", "營運總成分析", ""},

    MenuItem{"r1yx", nullptr, "(&H) 基本資料", ""},
    MenuItem{"DCYX", "r1yx", "客戶資料", ""},
    MenuItem{"DCVY", "DCYX", "客戶資料新增", "F7"},
    MenuItem{"DCVE", "DCYX", "客戶資料編輯查詢", ""},
    MenuItem{"TGYX", "r1yx", "廠商資料", ""},
    MenuItem{"TGYXVY", "TGYX", "廠商資料新增", "Ctrl+F7"},
    MenuItem{"TGYXVE", "TGYX", "廠商資料編輯查詢", ""},
    MenuItem{"MEYX", "r1yx", "員工資料", ""},
    MenuItem{"MEYXVV", "MEYX", "員工資料新增", ""},
    MenuItem{"MEYXVE", "MEYX", "員工資料編輯查詢", ""},
    MenuItem{"VEN", "r1yx", "保險公司資料", ""},
    MenuItem{"VENVY", "VEN", "保險公司新增", ""},
    MenuItem{"VENVE", "VEN", "保險公司編輯查詢", ""},
    MenuItem{"zx1", "r1yx", "費率表", ""},
    MenuItem{"ZEB", "r1yx", "-", ""},
    MenuItem{"QA", "r1yx", "材料(零件)資料", ""},
    MenuItem{"QAVY", "QA", "材料資料新增", "F8"},
    MenuItem{"QAVE", "QA", "材料資料編輯查詢", ""},
    MenuItem{"EY1R", "r1yx", "檢修內容(工資)", ""},
    MenuItem{"EY1RVY", "EY1R", "檢修內容新增", ""},
    MenuItem{"EY1RVE", "EY1R", "檢修內容編輯查詢", ""},
    MenuItem{"TY1R", "r1yx", "車型資料作業", ""},

    MenuItem{"WGW1", nullptr, "(&J) 系統管理", ""},
    MenuItem{"YUGV", "WGW1", "注意事項", "F9"},
    MenuItem{"VW", "WGW1", "-", ""},
    MenuItem{"VWG2", "WGW1", "系統設計", "Ctrl+F9"},
    MenuItem{"fvg2", "WGW1", "權限設定", ""},
    MenuItem{"EGYX", "WGW1", "公司資料", ""},
    MenuItem{"zek", "WGW1", "-", ""},
    MenuItem{"qmg2", "WGW1", "片語設定", "F11"},
    MenuItem{"yx1z", "WGW1", "資料備份", ""},
    MenuItem{"TGEV", "WGW1", "程式更新", ""},
};

} // namespace

std::span<const MenuItem> menuTree()
{
    return kMenuTree;
}

const MenuItem* findMenuItem(const QString& name)
{
    const QByteArray latin = name.toUtf8();
    for (const MenuItem& item : kMenuTree) {
        if (latin == item.name)
            return &item;
    }
    return nullptr;
}

bool isSeparator(const MenuItem& item)
{
    return std::strcmp(item.caption, "-") == 0;
}

bool isHeader(const MenuItem& item)
{
    return item.parent == nullptr;
}

bool hasChildren(const MenuItem& item)
{
    for (const MenuItem& other : kMenuTree) {
        if (other.parent && std::strcmp(other.parent, item.name) == 0)
            return true;
    }
    return false;
}

} // namespace tevo
