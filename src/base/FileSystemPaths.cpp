#include "base/FileSystemPaths.h"

#include <cerrno>

namespace varnex {

namespace fs = std::filesystem;

std::error_code LastSystemError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

fs::path FollowLinks(const std::string& path) {
    std::error_code error;
    fs::path target = path;
    for (int depth = 0; depth < 40 && fs::is_symlink(fs::symlink_status(target, error)); ++depth) {
        const fs::path next = fs::read_symlink(target, error);
        if (error) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

} // namespace varnex
