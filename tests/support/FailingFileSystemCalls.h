#pragma once

#include <array>
#include <cstddef>

#include "base/FileSystemCalls.h"

namespace varnex::test {

// The system's file calls with one of them made to fail: the n-th call of
// one operation (counted from 1) behaves as a full disk or an I/O error
// would. Every call is counted, so a first, fault-free save tells a test how
// many calls of each operation there are to fail.
class FailingFileSystemCalls : public FileSystemCalls {
public:
    enum class Operation {
        write,
        flushAndClose,
        writeDescriptor,
        sync,
        closeDescriptor,
        rename,
        count
    };

    // Makes call number `n` of `operation` fail; 0 makes none fail.
    void FailAt(Operation operation, int n);
    int Calls(Operation operation) const { return calls_[static_cast<std::size_t>(operation)]; }
    void ResetCounts() { calls_.fill(0); }

    std::size_t Write(std::FILE* file, const void* data, std::size_t bytes) override;
    bool FlushAndClose(std::FILE* file) override;
    long WriteDescriptor(int descriptor, const void* data, std::size_t bytes) override;
    bool Sync(int descriptor) override;
    bool CloseDescriptor(int descriptor) override;
    void Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                std::error_code& error) override;

private:
    // Counts the call and tells whether it is the one to fail.
    bool Fails(Operation operation);

    std::array<int, static_cast<std::size_t>(Operation::count)> calls_{};
    Operation failing_ = Operation::write;
    int failAt_ = 0;
};

const char* OperationName(FailingFileSystemCalls::Operation operation);

} // namespace varnex::test
