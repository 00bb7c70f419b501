#include "base/FileSystemCalls.h"

#include <unistd.h>

namespace varnex {

std::size_t FileSystemCalls::Write(std::FILE* file, const void* data, std::size_t bytes) {
    return std::fwrite(data, 1, bytes, file);
}

bool FileSystemCalls::FlushAndClose(std::FILE* file) {
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return flushed && closed;
}

long FileSystemCalls::WriteDescriptor(int descriptor, const void* data, std::size_t bytes) {
    return static_cast<long>(::write(descriptor, data, bytes));
}

bool FileSystemCalls::Sync(int descriptor) { return ::fsync(descriptor) == 0; }

bool FileSystemCalls::CloseDescriptor(int descriptor) { return ::close(descriptor) == 0; }

void FileSystemCalls::Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                             std::error_code& error) {
    std::filesystem::rename(from, to, error);
}

FileSystemCalls& FileSystemCalls::System() {
    static FileSystemCalls calls;
    return calls;
}

} // namespace varnex
