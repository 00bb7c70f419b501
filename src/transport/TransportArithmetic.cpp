#include "transport/TransportArithmetic.h"

#include "base/TextFormat.h"
#include "settings/Translate.h"

namespace varnex {

void ThrowZeroInput(const char* format, const std::string& owner, const std::string& label) {
    throw Exception(FormatText(TranslateFormat(format), {owner, label}));
}

void ThrowZeroInput(const char* format, const std::string& source, const std::string& pathway,
                    const std::string& label) {
    throw Exception(FormatText(TranslateFormat(format), {source, pathway, label}));
}

} // namespace varnex
