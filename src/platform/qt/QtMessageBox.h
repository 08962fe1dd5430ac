#pragma once

#include "platform/UserInterface.h"

#include <QPointer>
#include <QString>

#include <utility>

class QWidget;

namespace tevo {

// A modal message box over the main window: the program's own title (the main window's
// caption, given by the program), the text as plain text, an OK button only and no icon.
class QtMessageBox : public MessageBox
{
public:
    explicit QtMessageBox(QString title) : m_title(std::move(title)) {}

    // The window the boxes belong to; without one, the active window, if any.
    void setParentWindow(QWidget* window) { m_parent = window; }
    void show(const QString& text, const QString& details = QString()) override;

private:
    QString m_title;
    QPointer<QWidget> m_parent;
};

} // namespace tevo
