// Fuzzes the reader of a project's JSON form: any bytes must be read or
// refused with problems, never crash, hang or exhaust memory. A document
// that is read must be written and read again with the same result, and a
// refused one must leave the project reset with its problems listed.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    varnex::Project project;
    std::vector<std::string> problems;
    const bool read = varnex::ReadProjectJson(text, project, problems);
    if (read != problems.empty()) std::abort();
    if (!read) {
        if (!project.sources.empty() || !project.contaminants.empty() || !project.receptors.empty())
            std::abort();
        return 0;
    }
    const std::string written = varnex::WriteProjectJson(project);
    varnex::Project again;
    if (!varnex::ReadProjectJson(written, again, problems)) std::abort();
    if (varnex::WriteProjectJson(again) != written) std::abort();
    std::string report;
    (void)again.Validate(report);
    return 0;
}
