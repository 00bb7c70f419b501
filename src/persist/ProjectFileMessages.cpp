#include "persist/ProjectFileMessages.h"

#include <cstdio>

#include "base/TextFormat.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

void ReplaceFirst(std::string& text, const std::string& conversion, const std::string& value) {
    const std::size_t at = text.find(conversion);
    if (at != std::string::npos) text.replace(at, conversion.size(), value);
}

} // namespace

// The message formatter knows no field widths, so the two-digit minor number
// is put in by hand; the translated text keeps the key's conversions.
std::string UnsupportedVersionMessage(int major, int minor) {
    std::string text = Translate("Can't load Version %d.%02d files");
    std::string minorText = std::to_string(minor);
    if (minor >= 0 && minor < 10) minorText = "0" + minorText;
    ReplaceFirst(text, "%02d", minorText);
    ReplaceFirst(text, "%d", std::to_string(major));
    return text;
}

std::string DamagedFileMessage(const std::string& fileName, const char* item, long long value) {
    return FormatText(TranslateFormat("The project file %s is damaged: %s is out of range (%d)"),
                      {fileName, Translate(item), value});
}

std::string FileEndsEarlyMessage(const std::string& fileName) {
    return FormatText(
        TranslateFormat("The project file %s ends early: the rest of its data is missing"),
        {fileName});
}

std::string ChecksumMismatchMessage(const std::string& fileName, std::uint32_t stored,
                                    std::uint32_t computed) {
    char codes[32];
    std::snprintf(codes, sizeof codes, "%08X, %08X", stored, computed);
    return FormatText(
        TranslateFormat(
            "The project file %s is damaged: its contents do not match the checksum stored "
            "when it was saved (%s), so some of its values may not be those saved"),
        {fileName, std::string(codes)});
}

} // namespace varnex
