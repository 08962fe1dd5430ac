#pragma once

#include <QByteArray>
#include <QString>

namespace tevo {

// What the logic of the main menu needs from the window, by the design names of its controls
// ("Command1", "EDVY", "ES", "Timer2", ...). The Qt window implements it; tests use a fake.
// Widths are in twips (15 twips a logical pixel).
class MainMenuView
{
public:
    virtual ~MainMenuView() = default;

    // Status line: the first panel of StatusBar1.
    virtual void setStatusText(const QString& text) = 0;
    virtual QString statusText() const = 0;

    // The idle countdown bar ProgressBar1 (0 to 100) and its timer Timer2.
    virtual void setCountdownValue(double value) = 0;
    virtual double countdownValue() const = 0;
    virtual void setIdleTimerEnabled(bool enabled) = 0;
    virtual bool isIdleTimerEnabled() const = 0;
    // Lets pending window events run (a mouse-move reset may run inside a countdown tick).
    virtual void processPendingEvents() = 0;

    // Enabled state of a menu entry, submenu header or button, by design name. Unknown names
    // are ignored (setter) or reported as enabled (getter).
    virtual void setControlEnabled(const QString& name, bool enabled) = 0;
    virtual bool isControlEnabled(const QString& name) const = 0;

    // The update button Command8, hidden until an update is announced.
    virtual void setUpdateButtonVisible(bool visible) = 0;
    virtual bool isUpdateButtonVisible() const = 0;

    // Banner Image2 and background Image1, from a file given as the system spells its path. A
    // load that fails leaves the picture as it was and returns false.
    virtual bool loadBannerPicture(const QByteArray& file) = 0;
    virtual void setBannerVisible(bool visible) = 0;
    virtual bool loadBackgroundPicture(const QByteArray& file) = 0;

    // Notice marquee Label2 (auto-sized to its text) and the window's client width.
    virtual void setNoticeText(const QString& text) = 0;
    virtual QString noticeText() const = 0;
    virtual double noticeTextWidthTwips() const = 0;
    virtual double clientWidthTwips() const = 0;
    virtual void setNoticeTimerEnabled(bool enabled) = 0;
    // The notice as a whole, without the scrolling and the added blanks: the name assistive
    // technology reads for the notice line. Set when the line is filled, never per scroll step.
    virtual void setNoticeName(const QString& notice) = 0;
};

} // namespace tevo
