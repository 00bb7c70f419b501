#include "archive/CompFile.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <system_error>

#include "base/Crc32.h"

namespace varnex {

namespace {

// A control byte with the high bit set starts a literal of (c & 127) bytes;
// below 128 it starts a run of one byte repeated c times. Either kind carries
// at most 127 bytes.
constexpr unsigned literalFlag = 128;
constexpr unsigned maxPacketBytes = 127;

// A literal stays open while it is shorter than this, even across a pair of
// equal bytes: a pair is worth a run packet only once the literal's control
// byte has been paid for by a few bytes.
constexpr std::uint32_t minLiteralBeforeRun = 4;

// Compressed bytes are read from the stream in chunks of this size; any size
// that holds the largest packet (control byte and 127 bytes) would do.
constexpr std::size_t readChunkBytes = 65536;

bool Contains(const std::string& text, char c) { return text.find(c) != std::string::npos; }

// Removes a file this archive created. Devices and other special files (say
// /dev/full, or a pipe) are left alone: only a regular file is a save that
// can be half written.
void RemoveIfRegularFile(const std::string& name) noexcept {
    try {
        std::error_code error;
        const std::filesystem::path path(name);
        if (std::filesystem::is_regular_file(path, error)) std::filesystem::remove(path, error);
    } catch (...) {
        // Only the path's allocation can throw; leaving the file is all that is left.
    }
}

// Run-length encodes data[0, n) into out, which must have room for the
// worst case (see WorstCaseEncodedBytes), and returns the end of the output.
unsigned char* Encode(const unsigned char* data, std::uint32_t n, unsigned char* out) {
    std::uint32_t i = 0;
    while (i < n) {
        std::uint32_t count;
        if (i + 1 < n && data[i + 1] == data[i]) {
            count = 2;
            while (i + count < n && data[i + count] == data[i] && count < maxPacketBytes) ++count;
            *out++ = static_cast<unsigned char>(count);
            *out++ = data[i];
        } else {
            count = 1;
            while (i + count < n) {
                if (count >= minLiteralBeforeRun && i + count + 1 < n &&
                    data[i + count] == data[i + count + 1])
                    break;
                if (count >= maxPacketBytes) break;
                ++count;
            }
            *out++ = static_cast<unsigned char>(literalFlag + count);
            std::memcpy(out, data + i, count);
            out += count;
        }
        i += count;
    }
    return out;
}

// Every literal but the last holds at least four bytes and costs one control
// byte more than it carries; a run never costs more than it carries. So n
// bytes encode to at most n + n / 4 + 1 bytes.
std::size_t WorstCaseEncodedBytes(std::uint32_t n) { return std::size_t{n} + n / 4 + 2; }

} // namespace

CompFile::CompFile() = default;

CompFile::~CompFile() {
    try {
        Close();
    } catch (...) {
        // Close has already discarded a writer whose last flush failed; a
        // destructor has no one to report to.
    }
}

// "r" in the mode reads, anything else ("w", "a") writes. A mode such as
// "r+" is a reader: the one buffer holds data of one direction only.
bool CompFile::IsReader() const noexcept { return Contains(mode_, 'r'); }

bool CompFile::IsWriter() const noexcept { return file_ != nullptr && !IsReader(); }

bool CompFile::Open(const std::string& path, const std::string& mode, std::uint32_t bufferSize) {
    if (file_) Close();
    fileName_ = path;
    failed_ = false;

    std::string fullMode;
    try {
        fullMode = mode;
        if (!Contains(fullMode, 'b')) fullMode += 'b';
    } catch (const std::exception&) {
        Fail(CompFileException::allocationFailed);
    }

    std::FILE* file = std::fopen(path.c_str(), fullMode.c_str());
    if (!file) return false;

    const bool reader = Contains(fullMode, 'r');
    try {
        buffer_.assign(std::size_t{bufferSize} + 1, 0);
        packed_.resize(reader ? readChunkBytes : WorstCaseEncodedBytes(bufferSize));
    } catch (const std::exception&) {
        std::fclose(file);
        if (!reader && Contains(fullMode, 'w')) RemoveIfRegularFile(path);
        Release();
        Fail(CompFileException::allocationFailed);
    }

    file_ = file;
    mode_ = std::move(fullMode);
    bufferSize_ = bufferSize;
    position_ = 0;
    validBytes_ = 0;
    packedBegin_ = 0;
    packedEnd_ = 0;
    streamEnded_ = false;
    checksum_ = 0;

    if (reader) {
        // An archive that cannot even be read is not left half open. An
        // empty file opens: its first get reports the missing data.
        try {
            Fill();
        } catch (...) {
            Release();
            throw;
        }
    }
    return true;
}

void CompFile::Close() {
    if (!file_) {
        Release();
        return;
    }
    if (!IsWriter()) {
        Release();
        return;
    }
    // The caller has already been told about the failure; what the file
    // holds now is an unknown part of the data, so it goes.
    if (failed_) {
        Discard();
        return;
    }
    try {
        Flush();
    } catch (...) {
        Discard();
        throw;
    }
    // The C library holds the last bytes until fflush or fclose, and only
    // their results tell a full disk from a completed save.
    const bool closed = calls_->FlushAndClose(file_);
    const int systemError = errno;
    file_ = nullptr;
    if (!closed) {
        failed_ = true;
        if (Contains(mode_, 'w')) RemoveIfRegularFile(fileName_);
        Release();
        throw CompFileException(CompFileException::writeFailed, fileName_, systemError);
    }
    Release();
}

// Closes a writer without flushing and removes what it wrote, when it made
// the file itself ("w"); an appended-to file keeps its earlier contents.
void CompFile::Discard() noexcept {
    const bool created = IsWriter() && Contains(mode_, 'w');
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (created) RemoveIfRegularFile(fileName_);
    Release();
}

void CompFile::Release() noexcept {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    std::vector<unsigned char>().swap(buffer_);
    std::vector<unsigned char>().swap(packed_);
    mode_.clear();
    bufferSize_ = defaultBufferSize;
    position_ = 0;
    validBytes_ = 0;
    packedBegin_ = 0;
    packedEnd_ = 0;
    streamEnded_ = false;
    failed_ = false;
}

void CompFile::Fail(int code, int systemError) {
    failed_ = true;
    throw CompFileException(code, fileName_, systemError);
}

// Each flush encodes exactly the bytes in the buffer, so packets never span
// two flushes; the file's bytes therefore depend on where the flushes fall,
// which is why values are never split across them.
void CompFile::Flush() {
    if (!file_ || buffer_.empty() || !IsWriter()) Fail(CompFileException::writeFailed);
    const unsigned char* end = Encode(buffer_.data(), position_, packed_.data());
    const std::size_t bytes = static_cast<std::size_t>(end - packed_.data());
    if (bytes > 0 && calls_->Write(file_, packed_.data(), bytes) != bytes)
        Fail(CompFileException::writeFailed, errno != 0 ? errno : EIO);
    position_ = 0;
}

// Makes at least `bytes` compressed bytes available from packedBegin_, reading
// from the stream as needed. False when the stream ends first.
bool CompFile::HavePacked(std::size_t bytes) {
    while (packedEnd_ - packedBegin_ < bytes && !streamEnded_) {
        const std::size_t unread = packedEnd_ - packedBegin_;
        if (packedBegin_ > 0) {
            std::memmove(packed_.data(), packed_.data() + packedBegin_, unread);
            packedBegin_ = 0;
            packedEnd_ = unread;
        }
        const std::size_t wanted = packed_.size() - packedEnd_;
        const std::size_t got = std::fread(packed_.data() + packedEnd_, 1, wanted, file_);
        packedEnd_ += got;
        if (got < wanted) {
            if (std::ferror(file_)) Fail(CompFileException::readFailed);
            streamEnded_ = true;
        }
    }
    return packedEnd_ - packedBegin_ >= bytes;
}

// Keeps the bytes not yet got, then decodes whole packets behind them until
// the next packet does not fit; that packet waits for the next fill. The
// stream may end only between packets: a packet cut short, or one that
// carries no bytes (which the encoder never writes and which only a damaged
// file holds), is a read failure.
void CompFile::Fill() {
    if (!file_ || buffer_.empty() || !IsReader()) Fail(CompFileException::readFailed);
    const std::uint32_t unread = validBytes_ - position_;
    if (unread > 0 && position_ > 0)
        std::memmove(buffer_.data(), buffer_.data() + position_, unread);
    position_ = 0;
    validBytes_ = unread;

    std::uint32_t k = unread;
    while (k < bufferSize_) {
        if (!HavePacked(1)) break;
        const unsigned control = packed_[packedBegin_];
        const std::uint32_t count = control & maxPacketBytes;
        if (count == 0) Fail(CompFileException::readFailed);
        if (count > bufferSize_ - k) break;
        if (control & literalFlag) {
            if (!HavePacked(1 + std::size_t{count})) Fail(CompFileException::readFailed);
            std::memcpy(buffer_.data() + k, packed_.data() + packedBegin_ + 1, count);
            packedBegin_ += 1 + std::size_t{count};
        } else {
            if (!HavePacked(2)) Fail(CompFileException::readFailed);
            std::memset(buffer_.data() + k, packed_[packedBegin_ + 1], count);
            packedBegin_ += 2;
        }
        k += count;
        validBytes_ = k;
    }
}

void CompFile::EnsureRoomToPut(std::uint32_t bytes) {
    // Once a put has failed the file is going to be discarded; further puts
    // would only write after a gap.
    if (!file_ || buffer_.empty() || !IsWriter() || failed_) Fail(CompFileException::writeFailed);
    if (bytes > bufferSize_) Fail(CompFileException::writeFailed);
    if (bytes > bufferSize_ - position_) Flush();
}

// Unlike a plain zero-filled buffer, a get never yields bytes that are not
// in the file: data missing at the end is a read failure.
void CompFile::EnsureAvailableToGet(std::uint32_t bytes) {
    if (!file_ || buffer_.empty() || !IsReader()) Fail(CompFileException::readFailed);
    if (bytes <= validBytes_ - position_) return;
    if (bytes > bufferSize_) Fail(CompFileException::readFailed);
    Fill();
    if (bytes > validBytes_ - position_) Fail(CompFileException::readFailed);
}

void CompFile::PutBytes(const void* data, std::uint32_t bytes) {
    EnsureRoomToPut(bytes);
    std::memcpy(buffer_.data() + position_, data, bytes);
    Advance(bytes);
}

// Every value byte put or got passes here once, in file order, so the
// checksum covers exactly the value stream.
void CompFile::Advance(std::uint32_t bytes) {
    checksum_ = Crc32(checksum_, buffer_.data() + position_, bytes);
    position_ += bytes;
}

// Values are stored little endian whatever the machine's byte order.
void CompFile::PutUnsigned(std::uint64_t value, std::uint32_t bytes) {
    EnsureRoomToPut(bytes);
    unsigned char* out = buffer_.data() + position_;
    for (std::uint32_t i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
    Advance(bytes);
}

std::uint64_t CompFile::GetUnsigned(std::uint32_t bytes) {
    EnsureAvailableToGet(bytes);
    const unsigned char* in = buffer_.data() + position_;
    std::uint64_t value = 0;
    for (std::uint32_t i = 0; i < bytes; ++i) value |= std::uint64_t{in[i]} << (8 * i);
    Advance(bytes);
    return value;
}

CompFile& CompFile::WriteBool(bool value) {
    PutUnsigned(value ? 1 : 0, 2);
    return *this;
}

CompFile& CompFile::WriteShort(std::int16_t value) {
    PutUnsigned(static_cast<std::uint16_t>(value), 2);
    return *this;
}

CompFile& CompFile::WriteInt(std::int32_t value) {
    PutUnsigned(static_cast<std::uint32_t>(value), 4);
    return *this;
}

CompFile& CompFile::WriteDouble(double value) {
    PutUnsigned(std::bit_cast<std::uint64_t>(value), 8);
    return *this;
}

// The stored length is that of the zero-terminated text: a string with an
// embedded zero byte is written up to that byte, since the reader relies on
// the terminator following exactly `length` characters. The length and the
// text are put separately, so a flush may fall between them, as it always
// has in these files.
CompFile& CompFile::WriteString(const std::string& value) {
    const std::size_t length = std::strlen(value.c_str());
    if (length >= bufferSize_ || length > std::size_t{std::numeric_limits<std::int32_t>::max()})
        Fail(CompFileException::writeFailed);
    WriteInt(static_cast<std::int32_t>(length));
    if (length > 0) PutBytes(value.c_str(), static_cast<std::uint32_t>(length + 1));
    return *this;
}

CompFile& CompFile::ReadBool(bool& value) {
    value = GetUnsigned(2) != 0;
    return *this;
}

CompFile& CompFile::ReadShort(std::int16_t& value) {
    value = static_cast<std::int16_t>(static_cast<std::uint16_t>(GetUnsigned(2)));
    return *this;
}

CompFile& CompFile::ReadInt(std::int32_t& value) {
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetUnsigned(4)));
    return *this;
}

CompFile& CompFile::ReadDouble(double& value) {
    value = std::bit_cast<double>(GetUnsigned(8));
    return *this;
}

// A length that is negative, does not fit the buffer with its terminator, or
// is not followed by the terminator can only come from a damaged file.
// The counted characters are taken as they stand.
CompFile& CompFile::ReadString(std::string& value) {
    value.clear();
    std::int32_t length = 0;
    ReadInt(length);
    if (length == 0) return *this;
    if (length < 0 || std::uint64_t(length) + 1 > bufferSize_) Fail(CompFileException::readFailed);
    const auto bytes = static_cast<std::uint32_t>(length) + 1;
    EnsureAvailableToGet(bytes);
    const unsigned char* text = buffer_.data() + position_;
    if (text[length] != 0) Fail(CompFileException::readFailed);
    value.assign(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    Advance(bytes);
    return *this;
}

bool CompFile::ReadBool() {
    bool value = false;
    ReadBool(value);
    return value;
}

std::int16_t CompFile::ReadShort() {
    std::int16_t value = 0;
    ReadShort(value);
    return value;
}

std::int32_t CompFile::ReadInt() {
    std::int32_t value = 0;
    ReadInt(value);
    return value;
}

double CompFile::ReadDouble() {
    double value = 0;
    ReadDouble(value);
    return value;
}

std::string CompFile::ReadString() {
    std::string value;
    ReadString(value);
    return value;
}

} // namespace varnex
