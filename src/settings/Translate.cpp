#include "settings/Translate.h"

#include "settings/TranslationTable.h"

namespace varnex {

std::string Translate(const std::string& english) {
    return ProgramTranslationTable().Translate(english);
}

const char* TranslateCStr(const char* english) {
    return ProgramTranslationTable().TranslateCStr(english);
}

std::string TranslateFormat(const std::string& englishFormat) {
    return ProgramTranslationTable().TranslateFormat(englishFormat);
}

} // namespace varnex
