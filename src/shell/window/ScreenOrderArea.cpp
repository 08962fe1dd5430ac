#include "shell/window/ScreenOrderArea.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace tevo {

namespace {

// The area's own controls (not the windows it owns, such as dialogs), in reading order.
QList<QWidget*> inScreenOrder(const QWidget* area)
{
    QList<QWidget*> controls;
    for (QObject* child : area->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow())
            controls.append(widget);
    }
    std::stable_sort(controls.begin(), controls.end(), [](const QWidget* a, const QWidget* b) {
        const QPoint p = a->pos();
        const QPoint q = b->pos();
        return p.y() != q.y() ? p.y() < q.y() : p.x() < q.x();
    });
    return controls;
}

class ScreenOrderAccessible : public QAccessibleWidget
{
public:
    explicit ScreenOrderAccessible(QWidget* area) : QAccessibleWidget(area) {}

    int childCount() const override { return int(inScreenOrder(widget()).size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> controls = inScreenOrder(widget());
        if (index < 0 || index >= controls.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(controls.at(index));
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        return int(inScreenOrder(widget()).indexOf(qobject_cast<QWidget*>(child->object())));
    }
};

QAccessibleInterface* screenOrderFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(ScreenOrderArea::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new ScreenOrderAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

ScreenOrderArea::ScreenOrderArea(QWidget* parent) : QWidget(parent)
{
    // Qt keeps each factory once, however often it is installed.
    QAccessible::installFactory(screenOrderFactory);
}

} // namespace tevo
