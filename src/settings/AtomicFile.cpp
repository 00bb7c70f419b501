#include "settings/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace varnex {

namespace {

namespace fs = std::filesystem;

// The standard library has no way to flush a file to the disk, and without
// that a rename can reach the disk before the data it names, so this one
// step uses the system's calls directly.
bool WriteAndSync(FileSystemCalls& calls, const fs::path& path, const std::string& contents) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) return false;
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < contents.size()) {
        const long count = calls.WriteDescriptor(descriptor, contents.data() + written, contents.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) ok = false;
        else written += static_cast<std::size_t>(count);
    }
    ok = ok && calls.Sync(descriptor);
    ok = calls.CloseDescriptor(descriptor) && ok;
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

bool ReplaceFileAtomically(const std::string& path, const std::string& contents, FileSystemCalls& calls) {
    std::error_code error;
    fs::path target = path;
    // Bounded like the system's own resolution, so a loop of links ends.
    for (int depth = 0; depth < 40 && fs::is_symlink(fs::symlink_status(target, error)); ++depth) {
        const fs::path next = fs::read_symlink(target, error);
        if (error) return false;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    fs::create_directories(folder, error);
    if (error) return false;

    // Unique per process and call, so two writers never share a temporary.
    static std::atomic<unsigned> counter{0};
    const fs::path temporary =
        folder / ("." + target.filename().string() + ".tmp." + std::to_string(::getpid()) + "." +
                  std::to_string(counter++));
    if (!WriteAndSync(calls, temporary, contents)) {
        fs::remove(temporary, error);
        return false;
    }
    // A user who made the file private keeps it private.
    const fs::file_status old = fs::status(target, error);
    if (!error && fs::exists(old)) fs::permissions(temporary, old.permissions(), error);
    calls.Rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    SyncFolder(calls, folder);
    return true;
}

} // namespace varnex
