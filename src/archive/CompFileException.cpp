#include "archive/CompFileException.h"

#include "settings/Translate.h"

namespace varnex {

namespace {

// The prefixes are the program's own texts, typing error included: language
// files translate them by their exact English form.
const char* MessagePrefix(int code) {
    switch (code) {
    case CompFileException::allocationFailed:
        return TranslatableText("Failed to allocate memeory for file ");
    case CompFileException::readFailed: return TranslatableText("Failed to read from file ");
    case CompFileException::writeFailed: return TranslatableText("Failed to write to file ");
    default: return TranslatableText("Unknown error in file ");
    }
}

} // namespace

CompFileException::CompFileException(int code, const std::string& fileName, int systemError)
    : code_(code), systemError_(systemError), message_(Translate(MessagePrefix(code)) + fileName) {}

} // namespace varnex
