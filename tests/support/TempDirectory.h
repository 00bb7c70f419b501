#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace varnex::test {

// A fresh directory under the system's temporary folder, removed with all its
// contents when the object goes out of scope.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Whole-file helpers for tests that inspect or plant bytes on disk.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The bytes 0..255 given as integers, as a string of bytes.
std::string Bytes(std::initializer_list<int> values);
// The names of the entries of `folder`, sorted: what a user would see left
// behind there (temporaries, half-written files).
std::vector<std::string> FileNamesIn(const std::filesystem::path& folder);

} // namespace varnex::test
