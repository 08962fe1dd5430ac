#pragma once

#include "core/MainMenuView.h"
#include "core/Platform.h"
#include "shell/NoticeWidth.h"
#include "shell/window/PictureFile.h"

#include <QHash>
#include <QMainWindow>

#include <memory>

class QAbstractButton;
class QLabel;
class QProgressBar;

namespace tevo {

class MainMenu;
class MainMenuBar;
class NoticeLabel;
class PausableTimer;
class StatusPanelBar;
class WrappingButton;

// The main window Form3: every control of the menu in its designed place, the menu bar, the two
// timers and the window's life cycle. It holds no behaviour of its own: every event goes to the
// MainMenu controller by design name, and the controller changes the window through
// MainMenuView.
//
// Life cycle: construct, load() once, then show() when load() succeeded. The first resize (at the
// first showing) fills the notice line; the first activation, right after the first showing, greets
// the user and starts the timers Timer1 (notice, 100 ms) and Timer2 (idle countdown, 800 ms).
class MainWindow : public QMainWindow, public MainMenuView
{
    Q_OBJECT
public:
    explicit MainWindow(Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loading: the login context, pictures, system number, advertisement and upgrade check.
    // An error (login context unreadable) means the window must not be shown.
    Status load();

    MainMenuBar* mainMenuBar() const { return m_menuBar; }

    // MainMenuView
    void setStatusText(const QString& text) override;
    QString statusText() const override;
    void setCountdownValue(double value) override;
    double countdownValue() const override;
    void setIdleTimerEnabled(bool enabled) override;
    bool isIdleTimerEnabled() const override;
    void processPendingEvents() override;
    void setControlEnabled(const QString& name, bool enabled) override;
    bool isControlEnabled(const QString& name) const override;
    void setUpdateButtonVisible(bool visible) override;
    bool isUpdateButtonVisible() const override;
    bool loadBannerPicture(const QByteArray& file) override;
    void setBannerVisible(bool visible) override;
    bool loadBackgroundPicture(const QByteArray& file) override;
    void setNoticeText(const QString& text) override;
    QString noticeText() const override;
    double noticeTextWidthTwips() const override;
    double clientWidthTwips() const override;
    void setNoticeTimerEnabled(bool enabled) override;
    void setNoticeName(const QString& notice) override;

signals:
    // A menu entry or button was chosen, by design name, just before its command runs (a
    // hand-off ends the program inside the command).
    void commandChosen(const QString& name);
    // The pointer moved over the background, the banner or the free area of the button column,
    // just before the idle countdown is reset.
    void pointerActivity();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildClientArea();
    // Shows the picture of `file` in `image`; a file that cannot be read leaves it as it was.
    bool loadPicture(QLabel* image, const QByteArray& file, PictureArea::Fit fit);
    // The widget is this window or lies in it, in one of its menus or in one of its dialogs.
    bool isInThisWindow(const QObject* object) const;
    void choose(const QString& name);
    void firstActivation();

    MainMenuBar* m_menuBar = nullptr;
    StatusPanelBar* m_statusBar = nullptr;
    QWidget* m_picture1 = nullptr;   // the button column
    QWidget* m_picture2 = nullptr;   // holds the banner
    QLabel* m_image1 = nullptr;      // the background picture
    QLabel* m_image2 = nullptr;      // the banner
    NoticeLabel* m_label2 = nullptr; // the notice line
    QProgressBar* m_progressBar1 = nullptr;
    WrappingButton* m_command8 = nullptr;
    QHash<QString, QAbstractButton*> m_buttons;

    // Paused until the first activation, and during every wait for a request (main() hands
    // them to the wait).
    PausableTimer* m_timer1 = nullptr; // notice scrolling
    PausableTimer* m_timer2 = nullptr; // idle countdown
    bool m_activated = false;
    bool m_loaded = false;
    bool m_shown = false;
    double m_countdown = 0;
    NoticeWidth m_noticeWidth;

    // Declared last: destroyed before the timers and widgets it drives.
    std::unique_ptr<MainMenu> m_menu;
};

} // namespace tevo
