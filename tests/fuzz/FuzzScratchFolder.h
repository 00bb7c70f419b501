#pragma once

// A folder of this fuzzing process's own under /tmp, removed at exit, into
// which a target writes the files it makes from its input.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace varnex::fuzz {

inline const std::filesystem::path& ScratchFolder(const char* name) {
    static const std::filesystem::path folder = [name] {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     (std::string(name) + "_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    static const bool removedAtExit = std::atexit([] {
                                          std::error_code ignored;
                                          std::filesystem::remove_all(folder, ignored);
                                      }) == 0;
    (void)removedAtExit;
    return folder;
}

inline bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The input as two files: the bytes before its first zero byte, and those
// after it (empty when there is no zero byte).
inline std::pair<std::string_view, std::string_view> SplitAtZero(const unsigned char* data,
                                                                 std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = all.find('\0');
    if (zero == std::string_view::npos) return {all, {}};
    return {all.substr(0, zero), all.substr(zero + 1)};
}

} // namespace varnex::fuzz
