#include "shell/window/MainMenuBar.h"

#include "core/MenuTree.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace tevo {

MainMenuBar::MainMenuBar(QWidget* parent) : QMenuBar(parent)
{
    setObjectName(QStringLiteral("menuBar"));
    // The tree lists every parent before its children, so each item finds its menu ready.
    for (const MenuItem& item : menuTree()) {
        const QString name = QString::fromLatin1(item.name);
        const QString caption = QString::fromUtf8(item.caption);
        if (isHeader(item) || hasChildren(item)) {
            QMenu* menu = isHeader(item)
                              ? addMenu(caption)
                              : m_menus.value(QString::fromLatin1(item.parent))->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            if (isHeader(item)) {
                connect(menu, &QMenu::aboutToShow, this, [this, name] { emit headerOpened(name); });
            }
            m_menus.insert(name, menu);
            m_actions.insert(name, menu->menuAction());
            continue;
        }
        QMenu* parentMenu = m_menus.value(QString::fromLatin1(item.parent));
        Q_ASSERT(parentMenu);
        QAction* action =
            isSeparator(item) ? parentMenu->addSeparator() : parentMenu->addAction(caption);
        action->setObjectName(name);
        if (!isSeparator(item)) {
            if (*item.shortcut) {
                action->setShortcut(QKeySequence::fromString(QString::fromLatin1(item.shortcut),
                                                             QKeySequence::PortableText));
                action->setShortcutContext(Qt::WindowShortcut);
            }
            connect(action, &QAction::triggered, this, [this, name] { emit commandChosen(name); });
        }
        m_actions.insert(name, action);
    }
}

QAction* MainMenuBar::action(const QString& name) const
{
    return m_actions.value(name);
}

QMenu* MainMenuBar::menu(const QString& name) const
{
    return m_menus.value(name);
}

} // namespace tevo
