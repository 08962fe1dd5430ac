#pragma once

#include <QString>

namespace tevo {

// The program's string table: user-visible operation names (401 to 445, 507, 513),
// explanations (307 to 309) and messages (6, 61), by identifier. An unknown identifier gives
// the empty text.
QString loadString(int id);
bool hasString(int id);

} // namespace tevo
