#pragma once

#include <QWidget>

namespace tevo {

// A container whose controls assistive technology meets in the order a reader sees them on
// screen, top to bottom and, on one line, left to right, whatever order they stack in. (Qt
// lists a widget's children for a screen reader in stacking order, and the design stacks the
// button column bottom to top.) Stacking, painting and the focus order are those of a plain
// widget.
class ScreenOrderArea : public QWidget
{
    Q_OBJECT
public:
    explicit ScreenOrderArea(QWidget* parent = nullptr);
};

} // namespace tevo
