// Fuzzes the standards files: the list "Regs.dat" (the input before its
// first zero byte) and one data file "data.dat" (the rest). Whatever they
// hold, loading gives sets of finite, non-negative standards and applying
// them to a project's contaminants never fails.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzScratchFolder.h"
#include "base/Exception.h"
#include "model/Project.h"
#include "model/StandardsFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& folder = varnex::fuzz::ScratchFolder("fuzz_standards");
    const auto [list, dataFile] = varnex::fuzz::SplitAtZero(data, size);
    if (!varnex::fuzz::WriteWholeFile(folder / "Regs.dat", list)) return 0;
    if (!varnex::fuzz::WriteWholeFile(folder / "data.dat", dataFile)) return 0;

    // The line parsers alone, on every line of both parts.
    for (std::string_view part : {list, dataFile}) {
        std::size_t start = 0;
        while (start <= part.size()) {
            const std::size_t end = std::min(part.find('\n', start), part.size());
            const std::string line(part.substr(start, end - start));
            (void)varnex::ParseStandardsListLine(line);
            if (const auto parsed = varnex::ParseStandardsDataLine(line)) {
                if (std::isnan(parsed->standardMgPerL)) std::abort();
            }
            start = end + 1;
        }
    }

    // A list that names a data file that cannot be read is reported with
    // the shown message "Cannot open wqs file."; anything else must load.
    varnex::Project project;
    try {
        project.LoadStandards(folder.string());
    } catch (const varnex::Exception&) {
        return 0;
    }
    project.ApplyStandards();
    return 0;
}
