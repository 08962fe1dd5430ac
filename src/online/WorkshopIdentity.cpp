#include "online/WorkshopIdentity.h"

#include "core/NumericText.h"
#include "core/SettingsApplications.h"
#include "platform/SettingsStore.h"
#include "platform/WorkingDirectory.h"

namespace tevo {

namespace {

const struct
{
    const char* key;
    QString WorkshopIdentity::*field;
} kFields[] = {
    {"公司名稱", &WorkshopIdentity::companyName},
    {"地址", &WorkshopIdentity::address},
    {"統編", &WorkshopIdentity::businessNumber},
    {"負責人", &WorkshopIdentity::personInCharge},
    {"網址", &WorkshopIdentity::website},
    {"電話", &WorkshopIdentity::telephone},
    {"傳真", &WorkshopIdentity::fax},
    {"EMAIL", &WorkshopIdentity::email},
    {"行動", &WorkshopIdentity::mobile},
    {"聯絡人", &WorkshopIdentity::contactPerson},
    {"經銷商", &WorkshopIdentity::dealer},
    {"YHYC", &WorkshopIdentity::customerCode},
};

} // namespace

bool WorkshopIdentity::isComplete() const
{
    for (const QString* field : {&companyName, &address, &contactPerson, &telephone}) {
        if (trimSpaces(*field).isEmpty())
            return false;
    }
    return true;
}

Result<WorkshopIdentity> LoadWorkshopIdentity(SettingsStore& store,
                                              const WorkingDirectory& workingDirectory)
{
    WorkshopIdentity identity;
    for (const auto& row : kFields) {
        const auto value =
            store.read(kSuiteApplication, workingDirectory.current(), QString::fromUtf8(row.key));
        if (!value)
            return Result<WorkshopIdentity>::error(value.status());
        identity.*row.field = value.value().value_or(QString());
    }
    identity.customerCode = trimSpaces(identity.customerCode);
    return identity;
}

} // namespace tevo
