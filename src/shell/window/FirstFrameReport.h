#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace tevo {

// Start-up measurement from outside the program. When the environment variable
// TEVO_REPORT_FIRST_FRAME holds an absolute file name, the moment the window's first frame has
// been painted and handed to the window system is written to that file, once: the
// CLOCK_MONOTONIC time and the CPU time the process has used so far (CLOCK_PROCESS_CPUTIME_ID),
// both in nanoseconds as decimal text, separated by a blank and ended by a line break. The file
// is created new: an existing file or a link of that name is left as it is, and no report is
// made. Without the variable, or with a relative name, nothing is installed and the window
// behaves exactly as without the report.
//
// The first frame is the first paint of the top-level window; the moment is taken right after
// that paint has been flushed (the widget paint and the backing store flush run in one event,
// and the report waits for the next pass of the event loop).
class FirstFrameReport : public QObject
{
    Q_OBJECT
public:
    static constexpr const char* kEnvironmentVariable = "TEVO_REPORT_FIRST_FRAME";

    // Watches `window`, a top-level widget that is not shown yet, when the variable holds an
    // absolute file name; the report then belongs to the window.
    static void installFromEnvironment(QWidget* window);

    FirstFrameReport(QWidget* window, QString file);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void write();

    QWidget* m_window;
    QString m_file;
    bool m_painted = false;
};

} // namespace tevo
