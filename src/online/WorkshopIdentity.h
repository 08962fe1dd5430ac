#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

class SettingsStore;
class WorkingDirectory;

// The workshop's company data as the menu reads it, kept by the company-data module under
// application "KELPAN", section = working directory. Fields hold the stored text with its
// spaces; only the customer code is trimmed at load. Absent keys are empty.
struct WorkshopIdentity
{
    QString companyName;    // 公司名稱
    QString address;        // 地址
    QString businessNumber; // 統編
    QString personInCharge; // 負責人
    QString website;        // 網址
    QString telephone;      // 電話
    QString fax;            // 傳真
    QString email;          // EMAIL
    QString mobile;         // 行動
    QString contactPerson;  // 聯絡人
    QString dealer;         // 經銷商
    QString customerCode;   // YHYC

    // Company name, address, contact person and telephone each hold more than spaces: the
    // vendor's pages need them.
    bool isComplete() const;
};

// Reads all twelve fields, in the order above, taking the working directory afresh for each.
// An error when the settings store cannot be read.
Result<WorkshopIdentity> LoadWorkshopIdentity(SettingsStore& store,
                                              const WorkingDirectory& workingDirectory);

} // namespace tevo
