#pragma once

#include <QString>

namespace tevo {

// A short description of an errno value for a workshop user, in Traditional Chinese for the
// errors a user can do something about, else the C library's text.
QString systemErrorText(int error);

} // namespace tevo
