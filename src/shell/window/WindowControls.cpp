#include "shell/window/WindowControls.h"

#include "core/ButtonCaptions.h"
#include "shell/window/BuiltInPicture.h"
#include "shell/window/NoticeLabel.h"
#include "shell/window/ScreenOrderArea.h"
#include "shell/window/Twips.h"
#include "shell/window/UiFonts.h"
#include "shell/window/WrappingButton.h"

#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>

namespace tevo {

namespace {

using Kind = ControlRow::Kind;
using Font = ControlRow::Font;

constexpr ControlRow kControls[] = {
    {"Command8",
     Kind::UpdateButton,
     nullptr,
     {1800, 6720, 2895, 660},
     captionOfButton("Command8"),
     "請立即為本程式升級",
     Font::Ming,
     nullptr},
    {"Picture2", Kind::Area, nullptr, {0, 0, 11895, 1575}, "", "", Font::Ming, nullptr},
    {"Image2",
     Kind::Image,
     "Picture2",
     {0, 0, 11835, 1665},
     "",
     "廣告",
     Font::Ming,
     nullptr,
     "廣告"},
    {"Picture1", Kind::Area, nullptr, {0, 1680, 1575, 6135}, "", "", Font::Ming, nullptr},
    // The button column, read from top to bottom: Command1, 2, 4, 5, 6, 3, 7.
    {"Command7",
     Kind::ColumnButton,
     "Picture1",
     {120, 5280, 1335, 735},
     captionOfButton("Command7"),
     "離開主畫面",
     Font::SansSerif,
     ":/artwork/exit.png"},
    {"Command6",
     Kind::ColumnButton,
     "Picture1",
     {120, 3600, 1335, 735},
     captionOfButton("Command6"),
     "",
     Font::Ming,
     ":/artwork/command6.png"},
    {"Command5",
     Kind::ColumnButton,
     "Picture1",
     {120, 2760, 1335, 735},
     captionOfButton("Command5"),
     "",
     Font::Ming,
     ":/artwork/command5.png"},
    {"Command4",
     Kind::ColumnButton,
     "Picture1",
     {120, 1920, 1335, 735},
     captionOfButton("Command4"),
     "",
     Font::Ming,
     ":/artwork/command4.png"},
    {"Command3",
     Kind::ColumnButton,
     "Picture1",
     {120, 4440, 1335, 735},
     captionOfButton("Command3"),
     "",
     Font::Ming,
     ":/artwork/command3.png"},
    {"Command2",
     Kind::ColumnButton,
     "Picture1",
     {120, 1080, 1335, 735},
     captionOfButton("Command2"),
     "",
     Font::Ming,
     ":/artwork/command2.png"},
    {"Command1",
     Kind::ColumnButton,
     "Picture1",
     {120, 120, 1335, 855},
     captionOfButton("Command1"),
     "車輛進廠，開立新的工作單",
     Font::Ming,
     ":/artwork/command1.png"},
    {"ProgressBar1",
     Kind::CountdownBar,
     nullptr,
     {1800, 7440, 2895, 255},
     "",
     "離開主畫面剩餘時間",
     Font::Ming,
     nullptr,
     "離開主畫面剩餘時間"},
    {"Label2",
     Kind::NoticeLine,
     nullptr,
     {1680, 1680, 0, 300},
     "",
     "系統通告",
     Font::MingBold12,
     nullptr},
    {"Image1",
     Kind::Image,
     nullptr,
     {1680, 2040, 10215, 5775},
     "",
     "",
     Font::Ming,
     nullptr,
     "背景圖片"},
};

// Every caption named in the table exists.
static_assert(std::ranges::all_of(kControls, [](const ControlRow& row) { return row.text; }));

constexpr const char* kStackingOrder[] = {
    "Label2",   "Image1",   "Command8", "Picture2", "Picture1", "ProgressBar1", "Command7",
    "Command6", "Command5", "Command4", "Command3", "Command2", "Command1",
};

constexpr const char* kTabOrder[] = {"Command1", "Command2", "Command3", "Command4",
                                     "Command5", "Command6", "Command7", "Command8"};

QFont fontOf(Font font)
{
    switch (font) {
    case Font::SansSerif:
        return UiFonts::sansSerif(9.75);
    case Font::MingBold12:
        return UiFonts::ming(12, true);
    case Font::Ming:
        break;
    }
    return UiFonts::ming(9.75);
}

QWidget* create(const ControlRow& row, QWidget* parent)
{
    switch (row.kind) {
    case Kind::Area:
        return new ScreenOrderArea(parent);
    case Kind::Image:
        return new QLabel(parent);
    case Kind::UpdateButton: {
        auto* button = new WrappingButton(parent);
        button->setText(QString::fromUtf8(row.text));
        return button;
    }
    case Kind::ColumnButton: {
        auto* button = new QToolButton(parent);
        button->setText(QString::fromUtf8(row.text));
        const QString picture = QString::fromLatin1(row.picture);
        button->setIcon(BuiltInPicture::icon(picture));
        button->setIconSize(BuiltInPicture::size(picture));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        return button;
    }
    case Kind::CountdownBar:
        return new QProgressBar(parent);
    case Kind::NoticeLine:
        return new NoticeLabel(parent);
    }
    return nullptr;
}

} // namespace

std::span<const ControlRow> windowControls()
{
    return kControls;
}

std::span<const char* const> windowStackingOrder()
{
    return kStackingOrder;
}

std::span<const char* const> windowTabOrder()
{
    return kTabOrder;
}

QHash<QString, QWidget*> createWindowControls(QWidget* client)
{
    QHash<QString, QWidget*> controls;
    for (const ControlRow& row : kControls) {
        QWidget* parent = row.parent ? controls.value(QString::fromLatin1(row.parent)) : client;
        QWidget* control = create(row, parent);
        control->setObjectName(QString::fromLatin1(row.name));
        const QRect place =
            rectFromTwips(row.twips.x(), row.twips.y(), row.twips.width(), row.twips.height());
        if (place.width() > 0)
            control->setGeometry(place);
        else
            control->move(place.topLeft());
        control->setToolTip(QString::fromUtf8(row.toolTip));
        if (row.accessibleName)
            control->setAccessibleName(QString::fromUtf8(row.accessibleName));
        control->setFont(fontOf(row.font));
        controls.insert(control->objectName(), control);
    }
    return controls;
}

} // namespace tevo
