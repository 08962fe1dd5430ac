#pragma once

#include <QStatusBar>
#include <QTimer>

class QLabel;

namespace tevo {

class Clock;

// StatusBar1: three sunken panels side by side from the left edge, the status line (577 pixels)
// and today's date and the time (96 pixels each). Date and time keep themselves current from the
// clock. The panels keep their widths when the window is narrower; they are cut off at the right
// instead of holding the window at their total width.
class StatusPanelBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusPanelBar(const Clock& clock, QWidget* parent = nullptr);

    // Panels are counted from 1, as the status line is "panel 1".
    QLabel* panel(int number) const;

    void setStatusText(const QString& text);
    QString statusText() const;

    static QString dateText(const QDateTime& time);
    static QString timeText(const QDateTime& time);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showClock();
    void placePanels();

    const Clock& m_clock;
    QLabel* m_panels[3] = {};
    QTimer m_clockTimer;
};

} // namespace tevo
