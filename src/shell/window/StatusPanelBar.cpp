#include "shell/window/StatusPanelBar.h"

#include "platform/Clock.h"
#include "shell/window/Twips.h"
#include "shell/window/UiFonts.h"

#include <QLabel>

namespace tevo {

namespace {
constexpr int kPanelWidthsTwips[3] = {8655, 1440, 1440};
constexpr int kHeightTwips = 375;
// Often enough that the minute changes on screen within a second of the clock.
constexpr int kClockRefreshMs = 1000;
} // namespace

StatusPanelBar::StatusPanelBar(const Clock& clock, QWidget* parent)
    : QStatusBar(parent), m_clock(clock)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    setFont(UiFonts::ming(9.75));
    setFixedHeight(pixelsFromTwips(kHeightTwips));
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        // The status line shows the user's name: never interpret it as markup.
        label->setTextFormat(Qt::PlainText);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(i == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        // Placed by hand rather than added to the bar's layout, which would hold the window at
        // the panels' total width.
        m_panels[i] = label;
    }
    placePanels();
    showClock();
    m_clockTimer.setInterval(kClockRefreshMs);
    connect(&m_clockTimer, &QTimer::timeout, this, &StatusPanelBar::showClock);
    m_clockTimer.start();
}

QLabel* StatusPanelBar::panel(int number) const
{
    return number >= 1 && number <= 3 ? m_panels[number - 1] : nullptr;
}

void StatusPanelBar::setStatusText(const QString& text)
{
    m_panels[0]->setText(text);
}

QString StatusPanelBar::statusText() const
{
    return m_panels[0]->text();
}

QString StatusPanelBar::dateText(const QDateTime& time)
{
    return time.date().toString(QStringLiteral("yyyy/MM/dd"));
}

QString StatusPanelBar::timeText(const QDateTime& time)
{
    return time.time().toString(QStringLiteral("HH:mm"));
}

void StatusPanelBar::showEvent(QShowEvent* event)
{
    QStatusBar::showEvent(event);
    showClock();
}

void StatusPanelBar::resizeEvent(QResizeEvent* event)
{
    QStatusBar::resizeEvent(event);
    placePanels();
}

void StatusPanelBar::placePanels()
{
    int left = 0;
    for (int i = 0; i < 3; ++i) {
        const int width = pixelsFromTwips(kPanelWidthsTwips[i]);
        m_panels[i]->setGeometry(left, 0, width, height());
        left += width;
    }
}

void StatusPanelBar::showClock()
{
    const QDateTime now = m_clock.now();
    m_panels[1]->setText(dateText(now));
    m_panels[2]->setText(timeText(now));
}

} // namespace tevo
