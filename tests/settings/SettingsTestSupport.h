#pragma once

#include <string>

#include "settings/TranslationTable.h"

namespace varnex::test {

// The program-wide table back to its start-up state, so no test sees the
// language another test loaded.
inline void ResetTranslationTable() { ProgramTranslationTable().Replace({}, "English"); }

inline std::string ShippedLanguageList() { return VARNEX_SOURCE_DIR "/data/Info/langs.txt"; }

} // namespace varnex::test
