#include "shell/window/MainWindow.h"

#include "core/ProgramTitle.h"
#include "platform/qt/PausableTimer.h"
#include "shell/MainMenu.h"
#include "shell/NoticeMarquee.h"
#include "shell/window/BuiltInPicture.h"
#include "shell/window/FirstFrameReport.h"
#include "shell/window/MainMenuBar.h"
#include "shell/window/NoticeLabel.h"
#include "shell/window/PictureFile.h"
#include "shell/window/ScreenOrderArea.h"
#include "shell/window/StatusPanelBar.h"
#include "shell/window/Twips.h"
#include "shell/window/UiFonts.h"
#include "shell/window/WindowControls.h"
#include "shell/window/WrappingButton.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

// The built-in pictures live in the GUI library's resources; a static library has to register
// them itself. Q_INIT_RESOURCE must be used outside any namespace.
static void registerArtwork()
{
    Q_INIT_RESOURCE(artwork);
}

namespace tevo {

namespace {

constexpr int kClientWidthTwips = 11880;
constexpr int kClientHeightTwips = 8265;
constexpr int kTimer1IntervalMs = 100;
constexpr int kTimer2IntervalMs = 800;

// The notice line's height is fixed; its width follows its text.
constexpr int kLabel2HeightTwips = 300;

} // namespace

MainWindow::MainWindow(Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_noticeWidth([this](const QString& text) {
          return m_label2->fontMetrics().horizontalAdvance(text);
      })
{
    registerArtwork();
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(programTitle());
    setWindowIcon(BuiltInPicture::icon(QStringLiteral(":/artwork/icon.png")));
    setFont(UiFonts::ming(9.75));

    m_menuBar = new MainMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    setMenuBar(m_menuBar);
    connect(m_menuBar, &MainMenuBar::headerOpened, this,
            [this](const QString& name) { m_menu->headerOpened(name); });
    connect(m_menuBar, &MainMenuBar::commandChosen, this, &MainWindow::choose);

    setCentralWidget(buildClientArea());
    m_statusBar = new StatusPanelBar(platform.clock, this);
    setStatusBar(m_statusBar);

    // Both timers are on by design but tick only once start-up has finished: they stay paused
    // until the first activation.
    m_timer1 = new PausableTimer(QStringLiteral("Timer1"), kTimer1IntervalMs, this);
    connect(m_timer1, &QTimer::timeout, this, [this] { m_menu->noticeTick(); });
    m_timer2 = new PausableTimer(QStringLiteral("Timer2"), kTimer2IntervalMs, this);
    connect(m_timer2, &QTimer::timeout, this, [this] { m_menu->idleTick(); });
    for (PausableTimer* timer : {m_timer1, m_timer2}) {
        timer->pause();
        timer->setEnabled(true);
    }

    // The client area below the menu bar, status bar included, has the designed size. The
    // window opens centred on its screen.
    const int menuHeight = m_menuBar->heightForWidth(pixelsFromTwips(kClientWidthTwips));
    resize(pixelsFromTwips(kClientWidthTwips),
           pixelsFromTwips(kClientHeightTwips) +
               (menuHeight > 0 ? menuHeight : m_menuBar->sizeHint().height()));
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    m_menu = std::make_unique<MainMenu>(platform, *this);
    new FirstFrameWatch(this, [this] { m_menu->settled(); });
}

MainWindow::~MainWindow() = default;

namespace {

// The designed stacking order of the controls, and their tab order. Only the buttons take the
// keyboard focus: the status bar, the countdown bar and the two picture boxes before them in
// the designed order have nothing to operate by keyboard, and the notice line takes no focus.
void applyDesignedOrder(const QHash<QString, QWidget*>& controls)
{
    const auto control = [&controls](const char* name) {
        return controls.value(QString::fromLatin1(name));
    };
    for (const char* name : windowStackingOrder())
        control(name)->raise();
    QWidget* previous = nullptr;
    for (const char* name : windowTabOrder()) {
        QWidget* button = control(name);
        if (previous)
            QWidget::setTabOrder(previous, button);
        previous = button;
    }
}

} // namespace

QWidget* MainWindow::buildClientArea()
{
    auto* client = new ScreenOrderArea(this);
    client->setObjectName(QStringLiteral("clientArea"));
    const QHash<QString, QWidget*> controls = createWindowControls(client);
    const auto control = [&controls](const char* name) {
        return controls.value(QString::fromLatin1(name));
    };

    m_picture1 = control("Picture1");
    m_picture2 = control("Picture2");
    m_image1 = qobject_cast<QLabel*>(control("Image1"));
    m_image2 = qobject_cast<QLabel*>(control("Image2"));
    m_label2 = qobject_cast<NoticeLabel*>(control("Label2"));
    m_progressBar1 = qobject_cast<QProgressBar*>(control("ProgressBar1"));
    m_command8 = qobject_cast<WrappingButton*>(control("Command8"));

    for (const ControlRow& row : windowControls()) {
        auto* button = qobject_cast<QAbstractButton*>(control(row.name));
        if (!button)
            continue;
        const QString name = button->objectName();
        button->setFocusPolicy(Qt::StrongFocus);
        connect(button, &QAbstractButton::clicked, this, [this, name] { choose(name); });
        m_buttons.insert(name, button);
    }
    m_command8->hide();

    m_image2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image2->setPixmap(
        BuiltInPicture::pixmap(QStringLiteral(":/artwork/banner.jpg"), devicePixelRatio()));

    m_progressBar1->setRange(0, 100);
    m_progressBar1->setValue(0);
    m_progressBar1->setTextVisible(false);

    // Measured when the window is first shown: loading replaces the text before that.
    m_label2->setNotice(kThankYouLine);
    m_label2->resize(0, pixelsFromTwips(kLabel2HeightTwips));
    setNoticeName(kThankYouLine);

    m_image1->setScaledContents(true);
    m_image1->setPixmap(
        BuiltInPicture::pixmap(QStringLiteral(":/artwork/background.bmp"), devicePixelRatio()));

    // Mouse movement over these three areas restarts the idle countdown. Their child buttons
    // do not track the mouse, so movement over a button is not seen here.
    for (QWidget* area :
         {static_cast<QWidget*>(m_image1), static_cast<QWidget*>(m_image2), m_picture1}) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }
    // Key presses anywhere in the window, its menus and its dialogs go to the controller,
    // which counts them as activity only where the suite INI file asks for it.
    qApp->installEventFilter(this);

    applyDesignedOrder(controls);
    return client;
}

Status MainWindow::load()
{
    Status loaded = m_menu->load();
    m_loaded = loaded.isOk();
    return loaded;
}

void MainWindow::choose(const QString& name)
{
    emit commandChosen(name);
    m_menu->trigger(name);
}

void MainWindow::firstActivation()
{
    if (m_activated || !m_loaded)
        return;
    m_menu->activate();
    m_activated = true;
    // A timer switched off meanwhile stays off; the others tick a full interval from now.
    m_timer1->resume();
    m_timer2->resume();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_menu)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == m_image1 || watched == m_image2 || watched == m_picture1) {
            emit pointerActivity();
            m_menu->activityReset();
        }
        break;
    // A shortcut key reaches the focus widget only as ShortcutOverride, any other key as both.
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        if (isInThisWindow(watched))
            m_menu->keyPressed();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::isInThisWindow(const QObject* object) const
{
    // Menus and dialogs are windows of their own whose parent lies in this window (which
    // QWidget::isAncestorOf does not look through).
    auto* widget = object->isWidgetType() ? static_cast<const QWidget*>(object) : nullptr;
    while (widget && widget != this)
        widget = widget->parentWidget();
    return widget != nullptr;
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_label2->width() == 0)
        setNoticeText(m_label2->text());
    // The window counts as activated right after its first showing, whether or not the
    // desktop hands it the keyboard focus at once.
    QMetaObject::invokeMethod(this, &MainWindow::firstActivation, Qt::QueuedConnection);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_loaded)
        m_menu->resized();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_shown)
        firstActivation();
    // Minimising and restoring count as resizes, as a change of the client width does.
    if (event->type() == QEvent::WindowStateChange && m_loaded)
        m_menu->resized();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Leaving by the close box, the system menu or Alt+F4 starts the entry program and ends
    // the program; the close is never refused.
    if (m_loaded)
        m_menu->closeRequested();
    event->accept();
}

void MainWindow::setStatusText(const QString& text)
{
    m_statusBar->setStatusText(text);
}

QString MainWindow::statusText() const
{
    return m_statusBar->statusText();
}

void MainWindow::setCountdownValue(double value)
{
    m_countdown = value;
    m_progressBar1->setValue(qBound(0, qRound(value), 100));
}

double MainWindow::countdownValue() const
{
    return m_countdown;
}

// Switching on a running timer leaves its rhythm alone; switching it off and on again makes the
// next tick come a full interval later.
void MainWindow::setIdleTimerEnabled(bool enabled)
{
    m_timer2->setEnabled(enabled);
}

bool MainWindow::isIdleTimerEnabled() const
{
    return m_timer2->isEnabled();
}

void MainWindow::processPendingEvents()
{
    QCoreApplication::processEvents();
}

void MainWindow::setControlEnabled(const QString& name, bool enabled)
{
    // Menu entries, submenu and header items by their action; buttons by themselves.
    if (QAction* action = m_menuBar->action(name))
        action->setEnabled(enabled);
    else if (QAbstractButton* button = m_buttons.value(name))
        button->setEnabled(enabled);
}

bool MainWindow::isControlEnabled(const QString& name) const
{
    if (const QAction* action = m_menuBar->action(name))
        return action->isEnabled();
    if (const QAbstractButton* button = m_buttons.value(name))
        return button->isEnabled();
    return true;
}

void MainWindow::setUpdateButtonVisible(bool visible)
{
    m_command8->setVisible(visible);
}

bool MainWindow::isUpdateButtonVisible() const
{
    return !m_command8->isHidden();
}

bool MainWindow::loadBannerPicture(const QByteArray& file)
{
    // The banner shows a picture at its own size from the top left corner.
    return loadPicture(m_image2, file, PictureArea::Fit::TopLeft);
}

void MainWindow::setBannerVisible(bool visible)
{
    m_image2->setVisible(visible);
}

bool MainWindow::loadBackgroundPicture(const QByteArray& file)
{
    // The background stretches its picture over the whole image.
    return loadPicture(m_image1, file, PictureArea::Fit::Stretched);
}

bool MainWindow::loadPicture(QLabel* image, const QByteArray& file, PictureArea::Fit fit)
{
    const std::optional<QImage> picture =
        readPicture(file, PictureArea{image->size() * devicePixelRatio(), fit});
    if (!picture)
        return false;
    image->setPixmap(QPixmap::fromImage(*picture));
    return true;
}

void MainWindow::setNoticeText(const QString& text)
{
    // Sized to its text at every change, blanks at the end included; a scrolling step keeps
    // the width.
    if (!m_label2->setNotice(text))
        m_label2->resize(m_noticeWidth.widthOf(text), pixelsFromTwips(kLabel2HeightTwips));
}

QString MainWindow::noticeText() const
{
    return m_label2->text();
}

double MainWindow::noticeTextWidthTwips() const
{
    return double(m_label2->width()) * kTwipsPerPixel;
}

double MainWindow::clientWidthTwips() const
{
    // A minimised window has no client area.
    return isMinimized() ? 0.0 : double(width()) * kTwipsPerPixel;
}

void MainWindow::setNoticeTimerEnabled(bool enabled)
{
    m_timer1->setEnabled(enabled);
}

void MainWindow::setNoticeName(const QString& notice)
{
    // Every change is an event a screen reader has to handle: only real ones.
    if (m_label2->accessibleName() != notice)
        m_label2->setAccessibleName(notice);
}

} // namespace tevo
