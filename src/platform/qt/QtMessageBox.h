#pragma once

#include "platform/UserInterface.h"

#include <QPointer>

class QWidget;

namespace tevo {

// A modal message box over the main window: the program's own title (the main window's
// caption), the text as plain text, an OK button only and no icon.
class QtMessageBox : public MessageBox
{
public:
    // The window the boxes belong to; without one, the active window, if any.
    void setParentWindow(QWidget* window) { m_parent = window; }
    void show(const QString& text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace tevo
