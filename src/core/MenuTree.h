#pragma once

#include <QString>

#include <span>

namespace tevo {

// One item of the menu bar's tree, in display order. A header has no parent; a separator has
// the caption "-". Shortcut keys are written as QKeySequence text ("F1", "Ctrl+F1",
// "Shift+F6"), empty when there is none.
struct MenuItem
{
    const char* name;     // design name, the object name of the action or menu
    const char* parent;   // design name of the header or submenu it sits in; nullptr for headers
    const char* caption;  // with "&" before the access key where it has one
    const char* shortcut; // empty text when none
};

std::span<const MenuItem> menuTree();
const MenuItem* findMenuItem(const QString& name);
bool isSeparator(const MenuItem& item);
// True for the six headers on the menu bar.
bool isHeader(const MenuItem& item);
// True for items that open a submenu (they have children).
bool hasChildren(const MenuItem& item);

} // namespace tevo
