#pragma once

#include "platform/Result.h"

#include <QString>

#include <optional>

namespace tevo {

class WineBridge;

// What the suite's Windows programs see of the working folder and the paths around it, asked of
// Wine. An interface so that the Wine installation's pieces can be tested without Wine.
class WindowsView
{
public:
    virtual ~WindowsView() = default;
    // The working folder's Windows form ("D:\GARVO").
    virtual Result<QString> currentFolder() = 0;
    virtual Result<QString> unixPath(const QString& windowsPath) = 0;
    // "D:\" for a path on D:.
    virtual Result<QString> driveRoot(const QString& windowsPath) = 0;
    virtual Result<quint32> volumeSerial(const QString& windowsPath) = 0;
};

// The view through the menu's bridge. The working folder's Windows form is asked once and kept:
// the menu's working folder does not change while it runs, and every settings access needs it.
// An error is not kept (the next call asks again).
class BridgeWindowsView : public WindowsView
{
public:
    explicit BridgeWindowsView(WineBridge& bridge) : m_bridge(bridge) {}

    Result<QString> currentFolder() override;
    Result<QString> unixPath(const QString& windowsPath) override;
    Result<QString> driveRoot(const QString& windowsPath) override;
    Result<quint32> volumeSerial(const QString& windowsPath) override;

private:
    WineBridge& m_bridge;
    std::optional<QString> m_currentFolder;
};

} // namespace tevo
