#pragma once

#include <QString>

#include <algorithm>
#include <array>

namespace tevo {

// The program's string table: user-visible operation names (401 to 445, 507, 513),
// explanations (307 to 309) and messages (6, 61), by identifier.
struct StringEntry
{
    int id;
    const char* text;
};

// The texts by identifier, sorted by identifier.
inline constexpr std::array kStrings = {
    StringEntry{6, "此功能無效，請聯絡程式設計人員"},
    StringEntry{61, "此功能無效，請使用更新版本"},
    StringEntry{307, "系統即將自動離開此作業區，離開後必須重新輸入密碼才可進入"},
    StringEntry{308, "工作列選項中如果呈現淡灰色，表示您的權限無法進入該作業區"},
    StringEntry{309, "您可以用快取鍵進入權限內之各作業區"},
    StringEntry{401, "工單作業"},
    StringEntry{402, "車輛出險"},
    StringEntry{403, "結帳登記"},
    StringEntry{404, "保險結帳"},
    StringEntry{405, "材料新增"},
    StringEntry{406, "材料編輯"},
    StringEntry{407, "開立新進貨單"},
    StringEntry{408, "進貨單編輯"},
    StringEntry{409, "客戶資料新增"},
    StringEntry{410, "客戶資料編輯"},
    StringEntry{411, "檢修項目新增"},
    StringEntry{412, "檢修項目編輯"},
    StringEntry{413, "廠內狀況"},
    StringEntry{414, "收款記錄"},
    StringEntry{415, "營業查詢"},
    StringEntry{416, "支票作業"},
    StringEntry{417, "廠商資料新增"},
    StringEntry{418, "廠商資料編輯"},
    StringEntry{419, "車型資料作業"},
    StringEntry{420, "進貨付款"},
    StringEntry{421, "付款查詢"},
    StringEntry{422, "對帳單作業"},
    StringEntry{423, "庫存表"},
    StringEntry{424, "工具管理"},
    StringEntry{425, "營運總成"},
    StringEntry{426, "員工薪資編輯"},
    StringEntry{427, "薪資查詢"},
    StringEntry{428, "銀行作業"},
    StringEntry{429, "注意事項"},
    StringEntry{430, "系統設計"},
    StringEntry{431, "權限設定"},
    StringEntry{432, "保險公司編輯"},
    StringEntry{433, "保險公司新增"},
    StringEntry{434, "發票查詢"},
    StringEntry{435, "進貨查詢"},
    StringEntry{436, "業績查詢"},
    StringEntry{437, "員工資料新增"},
    StringEntry{438, "員工資料編輯"},
    StringEntry{439, "雜項收入"},
    StringEntry{440, "雜項支出"},
    StringEntry{441, "雜項收入查詢"},
    StringEntry{442, "雜項支出查詢"},
    StringEntry{443, "綜合日報表"},
    StringEntry{444, "未收款查詢"},
    StringEntry{445, "零件資料轉入"},
    StringEntry{507, "零件銷貨明細表"},
    StringEntry{513, "估價單作業"},
};
static_assert(std::ranges::is_sorted(kStrings, {}, &StringEntry::id));

// An identifier of the string table, or none (0). It is made at compile time only, from a
// number the table holds: a number it does not hold does not compile.
class StringId
{
public:
    constexpr StringId() = default;
    consteval StringId(int number) : m_number(number)
    {
        if (number != 0 && !std::ranges::any_of(kStrings, [number](const StringEntry& entry) {
                return entry.id == number;
            }))
            throw "not an identifier of the string table";
    }

    constexpr int number() const { return m_number; }
    friend constexpr bool operator==(StringId, StringId) = default;

private:
    int m_number = 0;
};

// The identifiers that the code uses by name; the command catalogue names the operations by
// number.
namespace strings {
inline constexpr StringId kContactProgrammer{6};    // 此功能無效，請聯絡程式設計人員
inline constexpr StringId kUseNewerVersion{61};     // 此功能無效，請使用更新版本
inline constexpr StringId kIdleLeavingWarning{307}; // the menu is about to close by itself
inline constexpr StringId kGreyedEntriesHint{308};  // greyed entries mean no rights
inline constexpr StringId kShortcutKeysHint{309};   // shortcut keys reach the permitted areas
} // namespace strings

// The text of `id`; the empty text for none.
QString loadString(StringId id);

} // namespace tevo
