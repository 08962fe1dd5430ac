#include "shell/AccessibilityOptions.h"

#include "core/SuiteIni.h"
#include "platform/ProfileFiles.h"

namespace tevo {

AccessibilityOptions AccessibilityOptions::load(ProfileFiles& profiles,
                                                const WorkingDirectory& workingDirectory)
{
    AccessibilityOptions options;
    const Result<QString> file = suiteIniPath(workingDirectory);
    if (!file)
        return options;
    options.keyboardResetsCountdown =
        profiles.readString(file.value(), QStringLiteral("Accessibility"),
                            QStringLiteral("KeyboardResetsCountdown")) == QLatin1String("1");
    return options;
}

} // namespace tevo
