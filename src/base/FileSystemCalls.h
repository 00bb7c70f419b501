#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace varnex {

// The system calls through which every file the program replaces is
// written: the project file, the JSON form, the preference file. They go
// through this one seam so that a test can make any one of them fail (the
// n-th write, the close, the flush to disk, the rename) and prove that the
// file being replaced survives byte for byte. The program itself only ever
// uses System(), which calls the C library and the operating system.
class FileSystemCalls {
public:
    virtual ~FileSystemCalls() = default;

    // std::fwrite: the number of bytes written.
    virtual std::size_t Write(std::FILE* file, const void* data, std::size_t bytes);
    // std::fflush then std::fclose; the file is closed whatever happens, and
    // false means the data may not all have reached the file.
    virtual bool FlushAndClose(std::FILE* file);
    // ::write on a descriptor: bytes written or -1 with errno set.
    virtual long WriteDescriptor(int descriptor, const void* data, std::size_t bytes);
    // ::fsync: true when the data are on the disk.
    virtual bool Sync(int descriptor);
    // ::close: false when a deferred write error surfaced there.
    virtual bool CloseDescriptor(int descriptor);
    virtual void Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::error_code& error);

    // The real calls. Stateless, so one instance serves every thread.
    static FileSystemCalls& System();
};

} // namespace varnex
