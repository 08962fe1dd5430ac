#include "launch/HandOff.h"

#include "core/MainMenuView.h"
#include "core/SettingsApplications.h"
#include "resources/StringTable.h"

namespace tevo {

namespace {

// "ATU" (when the row uses it), "AT", then "YXQ" (when the row uses it), as one change where
// the store can make one: a module never finds half of a hand-off, and the hand-off waits for
// one durable commit instead of one per key.
Status writeKeys(Platform& platform, const CommandRow& row)
{
    std::vector<std::pair<QString, QString>> keys;
    // The empty text, never a null one: the key must read as present and empty.
    if (row.modeKey == ModeKey::Atu)
        keys.emplace_back(QStringLiteral("ATU"), QStringLiteral(""));
    keys.emplace_back(QStringLiteral("AT"), loadString(row.atStringId));
    if (row.modeKey == ModeKey::Yxq)
        keys.emplace_back(QStringLiteral("YXQ"), QString::fromUtf8(row.modeValue));
    // The section is the working directory as it stands at this write; a folder removed
    // meanwhile has none, and the keys must not land under an empty section.
    const Result<QString> section = platform.workingDirectory.readable();
    if (!section)
        return section.status();
    return platform.store.writeAll(kSuiteApplication, section.value(), keys);
}

} // namespace

HandOff::HandOff(Platform& platform, MainMenuView& view) : m_platform(platform), m_view(view) {}

void HandOff::run(const CommandRow& row)
{
    const QString program = QString::fromUtf8(row.program);
    if (row.stopsIdle)
        m_view.setIdleTimerEnabled(false);
    if (row.beeps)
        m_platform.beeper.beep();

    // A module started over a half-written hand-off would open the operation the keys of an
    // earlier hand-off name, so nothing is started unless every key is in the store.
    if (const Status written = writeKeys(m_platform, row); !written) {
        m_platform.beeper.beep();
        m_platform.messages.show(
            QStringLiteral("無法在設定存放區記錄所選的作業，因此未啟動「%1」。\n%2")
                .arg(program, written.message()));
        return;
    }

    if (row.hourglass)
        m_platform.cursor.setBusy(true);
    const Status started = m_platform.processes.startBeforeEnding(program);
    if (started) {
        m_platform.exit.endNow();
        return;
    }

    // The module could not be started: the keys stay written, the menu stays open and usable.
    if (row.hourglass)
        m_platform.cursor.setBusy(false);
    m_platform.beeper.beep();
    if (row.guarded)
        m_platform.messages.show(failureMessage(row));
    else
        m_platform.messages.show(
            QStringLiteral("無法啟動作業程式「%1」。\n%2").arg(program, started.message()),
            started.details());
}

} // namespace tevo
