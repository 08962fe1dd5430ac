#pragma once

#include "resources/StringTable.h"

#include <QString>

#include <span>

namespace tevo {

// What a menu entry or button does when chosen.
enum class CommandKind
{
    HandOff,           // write "AT" and the mode key, start the module, end the program
    Forward,           // press a button of the window (pressedButton)
    SideLaunch,        // start a program, the menu stays open
    Leave,             // Command7: start the entry program and end
    Update,            // Command8: the update command
    IdentityShortcut,  // bbvg, trvzn: web page with customer code and system number
    LicensingSite,     // rx5: the licensing office's site
    PermissionSetting, // fvg2: host-only hand-off to "FV.exe"
    DataBackup,        // yx1z: host-only launch of "PREPARE.exe" with the suite INI entry
    CompanyData,       // EGYX: 進基本資料, launch of "CO.exe" with the suite INI entry
};

enum class ModeKey
{
    None,
    Yxq,
    Atu
};

// One row of the command catalogue. Hand-offs: the string-table identifier written as "AT", the
// mode key and value, the program and the optional steps. Side launches: the program, whether the
// idle countdown is stopped, whether a beep comes before the start, whether the failure beeps and
// the failure message. The host-only hand-off (fvg2) and the launches with a suite INI entry (yx1z,
// EGYX) carry the same values for HostOperations to use.
struct CommandRow
{
    const char* entry; // design name of the menu entry or button
    CommandKind kind;
    StringId atStringId{};
    ModeKey modeKey = ModeKey::None;
    const char* modeValue = ""; // "A" or "B" for "YXQ"; "" for "ATU"
    const char* program = "";
    bool stopsIdle = true;
    bool beeps = false;
    bool hourglass = false;
    bool guarded = false;
    const char* pressedButton = ""; // Forward rows
    const char* failureText = "";   // failure message of a side launch, when no string id
    StringId failureStringId{};     // failure message from the string table (guarded, INI launches)
    bool failureBeeps = false;
};

// Every menu entry that runs a command and the buttons Command1 to Command8.
std::span<const CommandRow> commandCatalogue();
// The row of a design name (exact, case significant), nullptr for names without a command
// (headers, submenus, separators, unknown names).
const CommandRow* findCommand(const QString& entry);
// The message of a failed start: the string-table text when the row names one, else its failure
// text.
QString failureMessage(const CommandRow& row);

} // namespace tevo
