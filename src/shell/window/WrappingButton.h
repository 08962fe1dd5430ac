#pragma once

#include <QPushButton>

namespace tevo {

// A push button whose caption wraps onto several lines when it is wider than the button, as
// the update button's long sentence needs.
class WrappingButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tevo
