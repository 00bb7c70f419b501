#include "support/FailingFileSystemCalls.h"

#include <cerrno>

namespace varnex::test {

void FailingFileSystemCalls::FailAt(Operation operation, int n) {
    failing_ = operation;
    failAt_ = n;
}

bool FailingFileSystemCalls::Fails(Operation operation) {
    const int call = ++calls_[static_cast<std::size_t>(operation)];
    return failAt_ > 0 && operation == failing_ && call == failAt_;
}

// A disk that fills up part way: half of the bytes are written, so the
// file is left truncated, which is the worst a failed write does.
std::size_t FailingFileSystemCalls::Write(std::FILE* file, const void* data, std::size_t bytes) {
    if (!Fails(Operation::write)) return FileSystemCalls::Write(file, data, bytes);
    const std::size_t half = bytes / 2;
    if (half > 0) FileSystemCalls::Write(file, data, half);
    errno = ENOSPC;
    return half;
}

// The buffered bytes are lost but the file is closed, as fclose does when
// the final write of its buffer fails.
bool FailingFileSystemCalls::FlushAndClose(std::FILE* file) {
    const bool closed = FileSystemCalls::FlushAndClose(file);
    if (Fails(Operation::flushAndClose)) {
        errno = EIO;
        return false;
    }
    return closed;
}

long FailingFileSystemCalls::WriteDescriptor(int descriptor, const void* data, std::size_t bytes) {
    if (!Fails(Operation::writeDescriptor))
        return FileSystemCalls::WriteDescriptor(descriptor, data, bytes);
    errno = ENOSPC;
    return -1;
}

bool FailingFileSystemCalls::Sync(int descriptor) {
    if (Fails(Operation::sync)) {
        errno = EIO;
        return false;
    }
    return FileSystemCalls::Sync(descriptor);
}

// The descriptor is released either way, as close(2) does even when it
// reports a deferred write error.
bool FailingFileSystemCalls::CloseDescriptor(int descriptor) {
    const bool closed = FileSystemCalls::CloseDescriptor(descriptor);
    if (Fails(Operation::closeDescriptor)) {
        errno = EIO;
        return false;
    }
    return closed;
}

void FailingFileSystemCalls::Rename(const std::filesystem::path& from,
                                    const std::filesystem::path& to, std::error_code& error) {
    if (Fails(Operation::rename)) {
        error = std::make_error_code(std::errc::io_error);
        return;
    }
    FileSystemCalls::Rename(from, to, error);
}

const char* OperationName(FailingFileSystemCalls::Operation operation) {
    switch (operation) {
    case FailingFileSystemCalls::Operation::write: return "write";
    case FailingFileSystemCalls::Operation::flushAndClose: return "flush and close";
    case FailingFileSystemCalls::Operation::writeDescriptor: return "descriptor write";
    case FailingFileSystemCalls::Operation::sync: return "sync";
    case FailingFileSystemCalls::Operation::closeDescriptor: return "descriptor close";
    case FailingFileSystemCalls::Operation::rename: return "rename";
    case FailingFileSystemCalls::Operation::count: break;
    }
    return "?";
}

} // namespace varnex::test
