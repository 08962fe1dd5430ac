#pragma once

#include <QHash>
#include <QMenuBar>

class QAction;
class QMenu;

namespace tevo {

// The window's menu bar, built in one pass from the menu tree: headers and submenus become
// QMenus, separators and commands QActions, each with its design name as object name (a
// submenu carries it on the QMenu and on its menuAction()). Shortcut keys are window-wide.
class MainMenuBar : public QMenuBar
{
    Q_OBJECT
public:
    explicit MainMenuBar(QWidget* parent = nullptr);

    // The action of a command or separator, or the menuAction() of a header or submenu;
    // nullptr for names outside the tree.
    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;

signals:
    // One of the six headers is about to open (by click, access key or keyboard).
    void headerOpened(const QString& name);
    // A command item was chosen (click, Enter or its shortcut key).
    void commandChosen(const QString& name);

private:
    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_menus;
};

} // namespace tevo
