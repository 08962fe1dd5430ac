#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace tevo {

// Runs work once, right after the first frame of a top-level window has been painted and
// handed to the window system: the first paint of the window itself, then the next pass of the
// event loop (the widget paint and the backing store flush run in one event). For work that
// the first frame need not wait for. The watch belongs to the window. Of several watches on one
// window the one installed last runs first (Qt asks the newest event filter first): the window's
// own watch is installed when it is made, so a first-frame report is written before its work.
class FirstFrameWatch : public QObject
{
    Q_OBJECT
public:
    FirstFrameWatch(QWidget* window, std::function<void()> work);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<void()> m_work;
};

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
// that paint has been flushed (see FirstFrameWatch).
class FirstFrameReport : public FirstFrameWatch
{
    Q_OBJECT
public:
    static constexpr const char* kEnvironmentVariable = "TEVO_REPORT_FIRST_FRAME";

    // Watches `window`, a top-level widget that is not shown yet, when the variable holds an
    // absolute file name; the report then belongs to the window.
    static void installFromEnvironment(QWidget* window);

    FirstFrameReport(QWidget* window, QString file);

private:
    void write();

    QString m_file;
};

} // namespace tevo
