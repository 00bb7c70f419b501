#include "cli/PausingFileSystemCalls.h"

#include "cli/TestPause.h"

namespace varnex::cli {

std::size_t PausingFileSystemCalls::Write(std::FILE* file, const void* data, std::size_t bytes) {
    const std::size_t written = FileSystemCalls::Write(file, data, bytes);
    if (!paused_) {
        paused_ = true;
        // On the disk, so that the temporary is really there to be left.
        std::fflush(file);
        TestPause::At("writing project");
    }
    return written;
}

} // namespace varnex::cli
