#include "model/TextLimit.h"

#include "base/TextFormat.h"
#include "settings/Translate.h"

namespace varnex {

std::string TextTooLongMessage(const std::string& field, std::size_t bytes) {
    return FormatText(
        TranslateFormat("%s is too long: %d bytes, but a project file holds at most %d bytes "
                        "of text in one field."),
        {field, static_cast<long long>(bytes), static_cast<long long>(maxTextBytes)});
}

} // namespace varnex
