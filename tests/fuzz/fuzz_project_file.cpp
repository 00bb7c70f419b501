// Loads arbitrary bytes as a `.vnx` project file: every input must either
// load or be refused with a message, without crashing, reading out of
// bounds or asking for memory the input cannot fill.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/Project.h"
#include "persist/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    varnex::Project project;
    std::string error;
    const bool loaded = varnex::LoadProjectFromBytes(bytes, project, error);
    if (!loaded && error.empty()) __builtin_trap();
    return 0;
}
