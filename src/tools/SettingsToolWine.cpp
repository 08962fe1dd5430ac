#include "tools/SettingsToolWine.h"

#include "core/CommandLineTool.h"
#include "core/SettingsApplications.h"
#include "platform/SystemWorkingDirectory.h"
#include "platform/WineBridge.h"
#include "platform/WineEnvironment.h"
#include "tools/SettingsToolOutput.h"

#include <QDir>

#include <algorithm>
#include <tuple>

namespace tevo {

namespace {

enum ExitCode
{
    kDone = 0,
    kMissing = 1,
    kFailed = 2
};

int failed(const QString& message, const QString& details = QString())
{
    writeMessage(stderr, QStringLiteral("tevo-settings：%1").arg(message));
    // Line by line: the details (what Wine wrote) are several lines.
    for (const QString& line : details.split(u'\n', Qt::SkipEmptyParts))
        writeMessage(stderr, line);
    return kFailed;
}

int failed(const Status& status)
{
    return failed(status.message(), status.details());
}

// The values of one application, or of one of its sections, in the order of the user's store:
// application, section, key. The registry gives them in its own order.
Result<std::vector<SettingsStore::Entry>> entries(WineBridge& bridge, const QString& app,
                                                  const std::optional<QString>& section)
{
    if (!section)
        return bridge.list(app);
    const auto values = bridge.values(app, *section);
    if (!values)
        return Result<std::vector<SettingsStore::Entry>>::error(values.status());
    std::vector<SettingsStore::Entry> found;
    for (const auto& [key, value] : values.value())
        found.push_back({app, *section, key, value});
    return found;
}

Result<std::vector<SettingsStore::Entry>> listed(WineBridge& bridge, const QStringList& operands)
{
    const std::optional<QString> section =
        operands.size() > 1 ? std::optional<QString>(operands[1]) : std::nullopt;
    const QStringList apps = operands.isEmpty() ? QStringList{kSuiteApplication, kOnlineApplication}
                                                : operands.mid(0, 1);
    std::vector<SettingsStore::Entry> all;
    for (const QString& app : apps) {
        auto found = entries(bridge, app, section);
        if (!found)
            return found;
        all.insert(all.end(), found.value().begin(), found.value().end());
    }
    const auto order = [](const SettingsStore::Entry& entry) {
        return std::make_tuple(entry.app.toCaseFolded(), entry.section, entry.key.toCaseFolded());
    };
    std::stable_sort(all.begin(), all.end(),
                     [&](const auto& a, const auto& b) { return order(a) < order(b); });
    return all;
}

// Runs `work` with a bridge started in the working folder. The bridge's start checks Wine, the
// prefix and the locale first: without a prefix Wine is never started, since it would make one.
template <typename Work> int withBridge(const Invocation& invocation, bool takesSection, Work work)
{
    // The working folder's Windows form is the default section. A folder that is gone only
    // matters when it is that section.
    QString folder = SystemWorkingDirectory().current();
    if (folder.isEmpty()) {
        if (takesSection && !invocation.section)
            return failed(QStringLiteral("無法取得目前的工作目錄，請以 --section 指定區段"));
        folder = QDir::rootPath();
    }
    WineBridge bridge(WineEnvironment(), folder);
    return work(bridge);
}

// The section of get and set: the one given, else the working folder in Windows form.
Result<QString> windowsSection(WineBridge& bridge, const Invocation& invocation)
{
    if (invocation.section)
        return *invocation.section;
    return bridge.currentFolder();
}

} // namespace

int runWineList(const Invocation& invocation)
{
    return withBridge(invocation, false, [&](WineBridge& bridge) {
        const auto found = listed(bridge, invocation.operands);
        if (!found)
            return failed(found.error());
        printSettingsList(found.value());
        return int(kDone);
    });
}

int runWineExport(const Invocation& invocation)
{
    return withBridge(invocation, false, [&](WineBridge& bridge) {
        const auto found = listed(bridge, invocation.operands);
        if (!found)
            return failed(found.error());
        const Status written = writeSettingsExport(found.value(), invocation.output);
        return written ? int(kDone) : failed(written);
    });
}

int runWineGet(const Invocation& invocation)
{
    return withBridge(invocation, true, [&](WineBridge& bridge) {
        const Result<QString> section = windowsSection(bridge, invocation);
        if (!section)
            return failed(section.error());
        const QStringList& operands = invocation.operands;
        const auto value = bridge.read(operands[0], section.value(), operands[1]);
        if (!value)
            return failed(value.error());
        if (!value.value())
            return int(kMissing);
        writeUtf8(stdout, *value.value() + u'\n');
        return int(kDone);
    });
}

int runWineSet(const Invocation& invocation)
{
    return withBridge(invocation, true, [&](WineBridge& bridge) {
        const Result<QString> section = windowsSection(bridge, invocation);
        if (!section)
            return failed(section.error());
        const QStringList& operands = invocation.operands;
        const Status written = bridge.write(operands[0], section.value(), operands[1], operands[2]);
        return written ? int(kDone) : failed(written);
    });
}

} // namespace tevo
