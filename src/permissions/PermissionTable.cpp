#include "permissions/PermissionTable.h"

#include "core/NumericText.h"
#include "platform/ProfileFiles.h"

#include <array>

namespace tevo {

namespace {

constexpr std::array kPermissionTable = {
    PermissionRow{"工單作業", "DC222R", "Command1"}, PermissionRow{"估價作業", "ERYU", nullptr},
    PermissionRow{"日報表", "YCB", nullptr},         PermissionRow{"未收查", "JGDTV", nullptr},
    PermissionRow{"銷貨表", "hxtc", nullptr},        PermissionRow{"營業查詢", "uutv", "Command6"},
    PermissionRow{"出險作業", "tvyu", nullptr},      PermissionRow{"車輛控制", "d55v", nullptr},
    PermissionRow{"結帳登記", "uugd", "Command2"},   PermissionRow{"保險結帳", "VR5", nullptr},
    PermissionRow{"收款查詢", "GDRX", nullptr},      PermissionRow{"零件轉入", "yx5b", nullptr},
    PermissionRow{"進貨編輯", "rc2r", "Command4"},   PermissionRow{"進貨查詢", "rctv", nullptr},
    PermissionRow{"付款登記", "RCZD", "Command5"},   PermissionRow{"付款查詢", "rczdtv", nullptr},
    PermissionRow{"材料編輯", "QA", nullptr},        PermissionRow{"庫存表", "DH", nullptr},
    PermissionRow{"雜項收入", "YVGB", nullptr},      PermissionRow{"雜項收入查詢", "YVTG", nullptr},
    PermissionRow{"雜項支出", "DRGB", nullptr},      PermissionRow{"雜項支出查詢", "YVT5", nullptr},
    PermissionRow{"銀行作業", "UCYU", nullptr},      PermissionRow{"支票作業", "YQYU", nullptr},
    PermissionRow{"發票查詢", "ZQTV", nullptr},      PermissionRow{"客戶編輯", "DCYX", "Command3"},
    PermissionRow{"廠商編輯", "TGYX", nullptr},      PermissionRow{"員工編輯", "MEYX", nullptr},
    PermissionRow{"車種編輯", "TY1R", nullptr},      PermissionRow{"保險編輯", "VEN", nullptr},
    PermissionRow{"檢修編輯", "EY1R", nullptr},      PermissionRow{"注意事項", "YUGV", nullptr},
    PermissionRow{"系統設定", "VWG2", nullptr},      PermissionRow{"對帳單", "Y2XU", nullptr},
    PermissionRow{"權限設定", "fvg2", nullptr},      PermissionRow{"公司資料", "EGYX", nullptr},
    PermissionRow{"薪資編輯", "VYZZ", nullptr},      PermissionRow{"薪資查詢", "VYTV", nullptr},
    PermissionRow{"資料備份", "yx1z", nullptr},      PermissionRow{"營運總成", "gbyx", nullptr},
    PermissionRow{"工具", "er1r", nullptr},          PermissionRow{"各人", "METV", nullptr},
    PermissionRow{"更新", "TGEV", "Command8"},
};

constexpr std::array kLevelSections = {"第二級", "第三級", "第四級", "第五級", "第六級"};
constexpr qint16 kFirstRestrictedLevel = 2;

} // namespace

std::span<const PermissionRow> permissionTable()
{
    return kPermissionTable;
}

const PermissionRow* findPermissionRow(const QString& key)
{
    for (const PermissionRow& row : kPermissionTable) {
        if (key.compare(QString::fromUtf8(row.key), Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

std::optional<QString> permissionSection(qint16 userLevel)
{
    const int index = userLevel - kFirstRestrictedLevel;
    if (index < 0 || index >= int(kLevelSections.size()))
        return std::nullopt;
    return QString::fromUtf8(kLevelSections[index]);
}

qint16 levelOfPermissionSection(const QString& section)
{
    for (std::size_t i = 0; i < kLevelSections.size(); ++i) {
        if (section.compare(QString::fromUtf8(kLevelSections[i]), Qt::CaseInsensitive) == 0)
            return qint16(kFirstRestrictedLevel + i);
    }
    return 0;
}

bool isRefusal(const QString& value)
{
    return trimSpaces(value) == u"NO";
}

bool isAreaForbidden(ProfileFiles& profiles, const QString& file, const QString& section,
                     const QString& key)
{
    return isRefusal(profiles.readString(file, section, key, QString(), 200));
}

} // namespace tevo
