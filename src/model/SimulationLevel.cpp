#include "model/SimulationLevel.h"

#include "settings/Translate.h"

namespace varnex {

std::string SimulationLevelName(int level) {
    switch (level) {
    case SimulationLevel::level1: return TranslatableText("Level 1");
    case SimulationLevel::level2: return TranslatableText("Level 2");
    case SimulationLevel::level3: return TranslatableText("Level 3");
    case SimulationLevel::level3a: return TranslatableText("Level 3a");
    default: return std::string();
    }
}

} // namespace varnex
