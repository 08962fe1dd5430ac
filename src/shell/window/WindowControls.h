#pragma once

#include <QHash>
#include <QRect>
#include <QString>

#include <span>

class QWidget;

namespace tevo {

// The controls of the main window's client area as the design draws them: one row each, in the
// order of creation. Menu bar and status bar are built elsewhere; what is particular to one
// control (its behaviour, colours, starting picture) is set by the window after the loop.
struct ControlRow
{
    enum class Kind
    {
        Area,         // a picture box that holds other controls (QWidget)
        Image,        // an image or a label (QLabel)
        UpdateButton, // the update button, whose long caption wraps (WrappingButton)
        ColumnButton, // a graphical button of the button column: picture above text (QToolButton)
        CountdownBar, // the idle countdown bar (QProgressBar)
        NoticeLine,   // the scrolling notice line (NoticeLabel)
    };
    enum class Font
    {
        Ming,      // the window's Ming face at 9.75 points
        SansSerif, // Latin sans serif at 9.75 points, Ming for Chinese
        MingBold12 // the notice line
    };

    const char* name;
    Kind kind;
    const char* parent; // design name of the picture box it lies in; nullptr: the client area
    QRect twips;        // left, top, width, height within the parent; width 0: sized later
    const char* text;
    const char* toolTip;
    Font font;
    const char* picture; // resource path of the button's picture, or nullptr
};

std::span<const ControlRow> windowControls();

// The controls from bottom to top: within each group a later control of the design lies above
// an earlier one, and labels and images lie below the buttons, picture boxes and the bar.
std::span<const char* const> windowStackingOrder();

// The controls that take the keyboard focus, in tab order.
std::span<const char* const> windowTabOrder();

// Creates every control of windowControls() under `client`, each with its design name as its
// object name, placed, captioned, with its tooltip, font and picture. Returns them by name.
QHash<QString, QWidget*> createWindowControls(QWidget* client);

} // namespace tevo
