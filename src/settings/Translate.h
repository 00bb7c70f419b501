#pragma once

#include <string>

namespace varnex {

// The displayed text for an English text, through the program's table.
std::string Translate(const std::string& english);
const char* TranslateCStr(const char* english);
// For printf-style formats: falls back to English when the translation's
// conversions differ from the English key's.
std::string TranslateFormat(const std::string& englishFormat);

// Marks an English text that is translated later, through a table, so that
// the missing-translations check finds it. Returns the text unchanged.
constexpr const char* TranslatableText(const char* english) { return english; }

} // namespace varnex
