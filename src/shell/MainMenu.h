#pragma once

#include "core/LoginContext.h"
#include "core/Platform.h"
#include "shell/AccessibilityOptions.h"

#include <QString>

#include <memory>
#include <optional>

namespace tevo {

class MainMenuView;
class IdleCountdown;
class NoticeMarquee;
class HandOff;
class HostOperations;
class SideLaunch;
class OnlineServices;
class AdRotation;

// The behaviour of the main window Form3, without a widget in it: start-up, activation, the
// commands of every menu entry and button, the idle countdown, the notice marquee and the ways
// out. The window forwards its events here by design name and implements MainMenuView.
class MainMenu
{
public:
    MainMenu(Platform& platform, MainMenuView& view);
    ~MainMenu();

    // Loading: reads the login context, prepares the screen (picq2, 查系統號, 廣告處理,
    // 升級處理), sets the countdown to 100 and beeps. When the working directory or a login key
    // cannot be read it stops at once, before anything is written or started, and returns the
    // message for the user; the menu must then not open.
    Status load();
    // Activation: the welcome line and, above level 1, the permission profile (VYGTA).
    void activate();
    // The first frame is on the screen: what a user's first key press would otherwise wait
    // for is done now (the hourglass made ready, the accessibility options read).
    void settled();

    // A menu entry or button was chosen (click, shortcut or access key). Does nothing when the
    // control, its submenu header or the button it presses is greyed.
    void trigger(const QString& controlName);
    // One of the six headers was opened.
    void headerOpened(const QString& headerName);

    void idleTick();      // Timer2
    void activityReset(); // mouse movement over Image1, Image2 or the free area of Picture1
    // A key was pressed in the window, one of its menus or dialogs: activity only where the
    // suite INI file opts in (AccessibilityOptions); by design, keys never reset the count.
    void keyPressed();
    void closeRequested(); // close box, system menu, Alt+F4: leaves with a beep
    void resized();        // the window was shown or changed size
    void noticeTick();     // Timer1

    const LoginContext& loginContext() const { return m_login; }
    QString workingDirectory() const;

private:
    // picq2 (design name): loads the background picture gjvw.JPG from the working directory.
    void picq2();
    void leaveMenu(bool withBeep);
    bool isReachable(const QString& controlName) const;
    const AccessibilityOptions& accessibility();
    void runCommand(const QString& controlName);

    Platform& m_platform;
    MainMenuView& m_view;
    LoginContext m_login;
    // Read once the first frame is shown, or at an earlier key press: the first frame does not
    // wait for the suite INI file.
    std::optional<AccessibilityOptions> m_accessibility;
    std::unique_ptr<HandOff> m_handOff;
    std::unique_ptr<SideLaunch> m_sideLaunch;
    std::unique_ptr<HostOperations> m_hostOperations;
    std::unique_ptr<OnlineServices> m_online;
    std::unique_ptr<AdRotation> m_adRotation;
    std::unique_ptr<IdleCountdown> m_countdown;
    std::unique_ptr<NoticeMarquee> m_marquee;
    bool m_activated = false;
};

} // namespace tevo
