#include "platform/qt/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace tevo {

void QtMessageBox::show(const QString& text, const QString& details)
{
    QMessageBox box(m_parent ? m_parent.data() : QApplication::activeWindow());
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(m_title);
    box.setIcon(QMessageBox::NoIcon);
    // Messages may carry names and error descriptions from outside the program.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    if (!details.isEmpty())
        box.setDetailedText(details); // always plain text
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

} // namespace tevo
