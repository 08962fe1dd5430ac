#pragma once

#include "core/Platform.h"
#include "launch/CommandCatalogue.h"

namespace tevo {

class MainMenuView;

// The starts that leave the menu open: the catalogue's side launches, and the launches that
// first leave the suite's folder name in the suite INI file (the data backup, for the host, and
// the company data, for every workstation).
class SideLaunch
{
public:
    SideLaunch(Platform& platform, MainMenuView& view);

    // Starts the row's program while the menu stays open: stops Timer2 and beeps first when the
    // row says so; on failure the row's beep and message.
    void run(const CommandRow& row);

    // Writes the suite's folder name into `section` of the suite INI file, where the program about
    // to start looks for it, then run(row). A file that cannot be located or written does not stop
    // the launch and is not reported to the user; the writer leaves such a file as it was.
    void runWithSuiteIniEntry(const CommandRow& row, const QString& section);

    // 進基本資料: the company-data program (EGYX) with its entry in section "公司". Also the
    // incomplete-data path of the web shortcuts.
    void enterCompanyData();

private:
    Platform& m_platform;
    MainMenuView& m_view;
};

} // namespace tevo
