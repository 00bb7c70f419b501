#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/CompFileException.h"
#include "base/FileSystemCalls.h"

namespace varnex {

// A buffered binary archive over a C file stream. Values are packed little
// endian into a memory buffer; whenever the buffer is emptied or refilled it
// is run-length encoded or decoded. The sequence of values is the file format.
//
// Errors throw CompFileException. The destructor never throws: it flushes and
// closes a healthy writer, and discards (closes and removes) a writer on which
// an error occurred, so a failed save never leaves a half-written file.
class CompFile {
public:
    static constexpr std::uint32_t defaultBufferSize = 16384;
    // The longest string a file can hold: its bytes and the terminating zero
    // must fit the buffer at once, for the writer and for every reader.
    static constexpr std::size_t maxStringBytes = defaultBufferSize - 1;

    CompFile();
    virtual ~CompFile();
    CompFile(const CompFile&) = delete;
    CompFile& operator=(const CompFile&) = delete;

    // Returns false (nothing allocated, nothing thrown) when the file cannot
    // be opened. A read mode fills the buffer once before returning.
    bool Open(const std::string& path, const std::string& mode,
              std::uint32_t bufferSize = defaultBufferSize);
    void Close();
    // The calls a writer's bytes go through (not owned); the system's by
    // default. A test makes one of them fail to prove a save survives it.
    void UseFileSystemCalls(FileSystemCalls& calls) noexcept { calls_ = &calls; }
    bool IsOpen() const noexcept { return file_ != nullptr; }
    // The CRC-32 of every value byte put or got since Open, in order: the
    // uncompressed value stream, whatever packets carried it. A project
    // file stores it at its end so that a reader can tell a damaged file.
    std::uint32_t ValueChecksum() const noexcept { return checksum_; }
    const std::string& FileName() const noexcept { return fileName_; }

    CompFile& WriteBool(bool value);
    CompFile& WriteShort(std::int16_t value);
    CompFile& WriteInt(std::int32_t value);
    CompFile& WriteDouble(double value);
    CompFile& WriteString(const std::string& value);

    CompFile& ReadBool(bool& value);
    CompFile& ReadShort(std::int16_t& value);
    CompFile& ReadInt(std::int32_t& value);
    CompFile& ReadDouble(double& value);
    CompFile& ReadString(std::string& value);

    bool ReadBool();
    std::int16_t ReadShort();
    std::int32_t ReadInt();
    double ReadDouble();
    std::string ReadString();

private:
    bool IsReader() const noexcept;
    bool IsWriter() const noexcept;
    void Flush();
    void Fill();
    bool HavePacked(std::size_t bytes);
    void EnsureRoomToPut(std::uint32_t bytes);
    void EnsureAvailableToGet(std::uint32_t bytes);
    void PutBytes(const void* data, std::uint32_t bytes);
    // Moves past `bytes` value bytes at the position, adding them to the
    // checksum.
    void Advance(std::uint32_t bytes);
    void PutUnsigned(std::uint64_t value, std::uint32_t bytes);
    std::uint64_t GetUnsigned(std::uint32_t bytes);
    // `systemError`: the errno of a failed system call, 0 for the archive's
    // own refusals.
    [[noreturn]] void Fail(int code, int systemError = 0);
    void Discard() noexcept;
    void Release() noexcept;

    std::FILE* file_ = nullptr;
    FileSystemCalls* calls_ = &FileSystemCalls::System();
    // Uncompressed values: bufferSize_ + 1 bytes while open, empty when closed.
    std::vector<unsigned char> buffer_;
    std::uint32_t bufferSize_ = defaultBufferSize;
    std::uint32_t position_ = 0;
    std::uint32_t validBytes_ = 0;
    std::string mode_;
    std::string fileName_;
    // Set by every exception raised on the open archive: a writer in this
    // state is discarded rather than flushed.
    bool failed_ = false;
    std::uint32_t checksum_ = 0;

    // Compressed bytes between the buffer and the stream, so that the stream
    // is written once per flush and read in large chunks. A reader keeps the
    // bytes read but not yet decoded in [packedBegin_, packedEnd_).
    std::vector<unsigned char> packed_;
    std::size_t packedBegin_ = 0;
    std::size_t packedEnd_ = 0;
    bool streamEnded_ = false;
};

} // namespace varnex
