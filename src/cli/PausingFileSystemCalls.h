#pragma once

#include "base/FileSystemCalls.h"

namespace varnex::cli {

// The system's calls with the test pause "writing project" (see TestPause)
// after the first block of a file is written and flushed: a test can then
// stop the program while a partial temporary file exists.
class PausingFileSystemCalls : public FileSystemCalls {
public:
    std::size_t Write(std::FILE* file, const void* data, std::size_t bytes) override;

private:
    bool paused_ = false;
};

} // namespace varnex::cli
