#include "launch/CommandCatalogue.h"

#include <array>

namespace tevo {

namespace {

// Optional steps of a hand-off.
enum Step : unsigned
{
    KeepsIdle = 1, // Timer2 keeps running
    Beep = 2,
    Hourglass = 4,
};

constexpr CommandRow handOff(const char* entry, StringId at, ModeKey key, const char* mode,
                             const char* program, unsigned steps)
{
    CommandRow row{entry, CommandKind::HandOff};
    row.atStringId = at;
    row.modeKey = key;
    row.modeValue = mode;
    row.program = program;
    row.stopsIdle = !(steps & KeepsIdle);
    row.beeps = steps & Beep;
    row.hourglass = steps & Hourglass;
    return row;
}

// A hand-off that writes "YXQ" = mode.
constexpr CommandRow yxq(const char* entry, StringId at, const char* mode, const char* program,
                         unsigned steps = 0)
{
    return handOff(entry, at, ModeKey::Yxq, mode, program, steps);
}

// A hand-off that writes "ATU" = "" and leaves "YXQ" alone.
constexpr CommandRow atu(const char* entry, StringId at, const char* program, unsigned steps = 0)
{
    return handOff(entry, at, ModeKey::Atu, "", program, steps);
}

// A hand-off that reports a failed start with a string-table text and keeps the menu open.
constexpr CommandRow guarded(CommandRow row, StringId failureStringId)
{
    row.guarded = true;
    row.failureStringId = failureStringId;
    return row;
}

constexpr CommandRow forward(const char* entry, const char* button)
{
    CommandRow row{entry, CommandKind::Forward};
    row.pressedButton = button;
    return row;
}

// Commands whose behaviour lives with another component (leaving, update, web shortcuts).
constexpr CommandRow elsewhere(const char* entry, CommandKind kind)
{
    return CommandRow{entry, kind};
}

// A start while the menu stays open. `beeps` sounds before the start; the failure message is
// `failureText`, or the string-table text `failureStringId` when that is set.
constexpr CommandRow stayOpen(const char* entry, CommandKind kind, const char* program,
                              bool stopsIdle, bool beeps, bool failureBeeps,
                              const char* failureText, StringId failureStringId = {})
{
    CommandRow row{entry, kind};
    row.program = program;
    row.stopsIdle = stopsIdle;
    row.beeps = beeps;
    row.failureBeeps = failureBeeps;
    row.failureText = failureText;
    row.failureStringId = failureStringId;
    return row;
}

// The host-only hand-off to the permission settings; HostOperations checks the host first.
constexpr CommandRow permissionSetting()
{
    CommandRow row = yxq("fvg2", 431, "A", "FV.exe");
    row.kind = CommandKind::PermissionSetting;
    return row;
}

using strings::kContactProgrammer;
using strings::kUseNewerVersion;

// Menu entries in menu order, then the button column. "AT" identifiers are string-table ids.
constexpr std::array kCatalogue = {
    yxq("d55v", 413, "A", "TS5D.exe", KeepsIdle),
    elsewhere("bbvg", CommandKind::IdentityShortcut),
    elsewhere("trvzn", CommandKind::IdentityShortcut),
    elsewhere("rx5", CommandKind::LicensingSite),
    forward("XD", "Command7"),

    forward("EDVY", "Command1"),
    yxq("E2VE", 401, "B", "E2.exe", Hourglass),
    yxq("tvyuVY", 402, "A", "E2.exe"),
    yxq("tvyuVE", 402, "B", "E2.exe"),
    yxq("DER", 513, "A", "E2.exe", Hourglass),
    yxq("ERQR", 513, "B", "E2.exe"),
    forward("uutv", "Command6"),
    yxq("METV", 436, "A", "URT.exe", Beep),
    forward("uugd", "Command2"),
    atu("VR5", 404, "GD.exe"),
    yxq("GDRX", 414, "A", "gdt.exe", Beep),
    atu("Y2XU", 422, "YTY.exe", Hourglass),
    atu("JGDTV", 444, "JGT.exe", Hourglass),

    forward("rc2rVY", "Command4"),
    yxq("rc2rVE", 408, "B", "RC2.exe"),
    yxq("rctv", 435, "A", "RCT.exe", Beep),
    forward("RCZD", "Command5"),
    yxq("rczdtv", 421, "A", "ZDT.exe", Beep),
    yxq("hxtc", 507, "A", "tcT.exe", Beep),
    yxq("DH", 423, "A", "DH.exe"),
    yxq("er1r", 424, "A", "ER.exe"),
    yxq("yx5b", 445, "A", "garvodata.exe"),

    yxq("YVGB", 439, "A", "DR.exe"),
    yxq("YVTG", 441, "A", "DRT.exe", Beep),
    yxq("DRGB", 440, "B", "DR.exe"),
    yxq("YVT5", 442, "B", "DRT.exe", Beep),
    yxq("VYZZ", 426, "A", "VY.exe"),
    yxq("VYTV", 427, "A", "VYT.exe", Beep),
    yxq("UCYU", 428, "A", "UC.exe"),
    yxq("YQYU", 416, "A", "yqyu.exe"),
    yxq("ZQTV", 434, "A", "ZQ.exe"),
    guarded(yxq("YCB", 443, "A", "B1.exe"), kUseNewerVersion),
    yxq("gbyx", 425, "A", "YT.exe", Beep),

    forward("DCVY", "Command3"),
    yxq("DCVE", 410, "B", "DC.exe"),
    yxq("TGYXVY", 417, "A", "TG.exe"),
    yxq("TGYXVE", 418, "B", "TG.exe"),
    yxq("MEYXVV", 437, "A", "MEYX.exe"),
    yxq("MEYXVE", 438, "B", "MEYX.exe"),
    // The modules expect these operation names crosswise to the captions: the add entry writes
    // "保險公司編輯", the edit entry "保險公司新增". The mode follows the caption.
    yxq("VENVY", 432, "A", "VEG.exe"),
    yxq("VENVE", 433, "B", "VEG.exe"),
    stayOpen("zx1", CommandKind::SideLaunch, "1vzx.exe", true, false, true,
             "此功能無效，請聯絡程式設計人員"),
    yxq("QAVY", 405, "A", "HX.exe"),
    yxq("QAVE", 406, "B", "HX.exe"),
    yxq("EY1RVY", 411, "A", "EYY.exe"),
    yxq("EY1RVE", 412, "B", "EYY.exe"),
    yxq("TY1R", 419, "A", "TY.exe", KeepsIdle),

    yxq("YUGV", 429, "A", "YUGV.exe"),
    yxq("VWG2", 430, "A", "VW.exe", Beep),
    permissionSetting(),
    stayOpen("EGYX", CommandKind::CompanyData, "CO.exe", true, false, true, "", kContactProgrammer),
    stayOpen("qmg2", CommandKind::SideLaunch, "QMG.exe", false, false, false, "此功能無效"),
    stayOpen("yx1z", CommandKind::DataBackup, "PREPARE.exe", true, true, true, "",
             kContactProgrammer),
    forward("TGEV", "Command8"),

    yxq("Command1", 401, "A", "E2.exe", Hourglass),
    atu("Command2", 403, "GD.exe", Hourglass),
    yxq("Command3", 409, "A", "DC.exe"),
    yxq("Command4", 407, "A", "RC2.exe"),
    yxq("Command5", 420, "A", "ZD.exe"),
    yxq("Command6", 415, "A", "uut.exe", Beep),
    elsewhere("Command7", CommandKind::Leave),
    elsewhere("Command8", CommandKind::Update),
};

} // namespace

std::span<const CommandRow> commandCatalogue()
{
    return kCatalogue;
}

const CommandRow* findCommand(const QString& entry)
{
    const QByteArray name = entry.toUtf8();
    for (const CommandRow& row : kCatalogue) {
        if (name == row.entry)
            return &row;
    }
    return nullptr;
}

QString failureMessage(const CommandRow& row)
{
    return row.failureStringId != StringId() ? loadString(row.failureStringId)
                                             : QString::fromUtf8(row.failureText);
}

} // namespace tevo
