#include "base/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "base/FileSystemPaths.h"

namespace varnex {

namespace {

namespace fs = std::filesystem;

// The standard library has no way to flush a file to the disk, and without
// that a rename can reach the disk before the data it names, so this one
// step uses the system's calls directly. Sets `reason` on failure.
bool WriteAndSync(FileSystemCalls& calls, const fs::path& path, const std::string& contents,
                  std::error_code& reason) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        reason = LastSystemError();
        return false;
    }
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < contents.size()) {
        const long count =
            calls.WriteDescriptor(descriptor, contents.data() + written, contents.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            reason =
                count < 0 ? LastSystemError() : std::make_error_code(std::errc::no_space_on_device);
            ok = false;
        } else {
            written += static_cast<std::size_t>(count);
        }
    }
    if (ok && !calls.Sync(descriptor)) {
        reason = LastSystemError();
        ok = false;
    }
    if (!calls.CloseDescriptor(descriptor) && ok) {
        reason = LastSystemError();
        ok = false;
    }
    return ok;
}

void SyncFolder(FileSystemCalls& calls, const fs::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    // Only makes the rename itself durable; the new file is complete already.
    calls.Sync(descriptor);
    calls.CloseDescriptor(descriptor);
}

} // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::error_code& reason, FileSystemCalls& calls) {
    reason.clear();
    std::error_code error;
    const fs::path target = FollowLinks(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    fs::create_directories(folder, error);
    if (error) {
        reason = error;
        return false;
    }

    // Unique per process and call, so two writers never share a temporary.
    static std::atomic<unsigned> counter{0};
    const fs::path temporary =
        folder / ("." + target.filename().string() + ".tmp." + std::to_string(::getpid()) + "." +
                  std::to_string(counter++));
    if (!WriteAndSync(calls, temporary, contents, reason)) {
        fs::remove(temporary, error);
        return false;
    }
    // A user who made the file private keeps it private.
    const fs::file_status old = fs::status(target, error);
    if (!error && fs::exists(old)) fs::permissions(temporary, old.permissions(), error);
    calls.Rename(temporary, target, error);
    if (error) {
        reason = error;
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    SyncFolder(calls, folder);
    return true;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           FileSystemCalls& calls) {
    std::error_code reason;
    return ReplaceFileAtomically(path, contents, reason, calls);
}

std::string WithSystemReason(const std::string& message, const std::error_code& reason) {
    return reason ? message + "\n" + reason.message() : message;
}

} // namespace varnex
