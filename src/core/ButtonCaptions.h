#pragma once

#include <string_view>

namespace tevo {

// The captions of the window's buttons, by design name: the window shows them, and tevo-profile
// names the buttons with them.
struct ButtonCaption
{
    const char* name;
    const char* caption;
};

inline constexpr ButtonCaption kButtonCaptions[] = {
    {"Command1", "開立新工單"},  {"Command2", "結帳登記"},
    {"Command3", "客戶新增"},    {"Command4", "開立進貨單"},
    {"Command5", "付款登記"},    {"Command6", "營業查詢"},
    {"Command7", "離開 Ctrl+Q"}, {"Command8", "發現本系統有更新的版本，請立即為本程式升級"},
};

// The caption of the button `name` (exact, case significant), nullptr for any other name.
constexpr const char* captionOfButton(std::string_view name)
{
    for (const ButtonCaption& button : kButtonCaptions) {
        if (name == button.name)
            return button.caption;
    }
    return nullptr;
}

} // namespace tevo
