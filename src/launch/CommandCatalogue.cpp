#include "launch/CommandCatalogue.h"

namespace tevo {

// Placeholder until the catalogue lands.
std::span<const CommandRow> commandCatalogue() { return {}; }
const CommandRow* findCommand(const QString&) { return nullptr; }

} // namespace tevo
