// Fuzzes the archive with arbitrary files and, in a second mode, checks that
// whatever is put reads back unchanged.
//
// Input layout: byte 0 picks the mode (high bit), the buffer size (low three
// bits) and a second buffer size for reading back (next three bits); byte 1 is the length of a script of value kinds that follows; the
// remaining bytes are the file to read (read mode) or the values' bytes
// (round-trip mode).
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <unistd.h>

#include "archive/CompFile.h"

namespace {

using varnex::CompFile;
using varnex::CompFileException;

// Sizes around the edges: none, too small for any value, odd, smaller than a
// packet, and the one project files use.
constexpr std::uint32_t bufferSizes[] = {16384, 0, 1, 9, 64, 131, 1000, 300};
constexpr int kindCount = 5;
constexpr int maxGets = 4096;

const std::string& ScratchPath() {
    static const std::string path = "/tmp/fuzz_compfile_" + std::to_string(::getpid()) + ".vnx";
    // Registered after the path exists, so it runs before the path is destroyed.
    static const bool removedAtExit = std::atexit([] { std::remove(ScratchPath().c_str()); }) == 0;
    (void)removedAtExit;
    return path;
}

bool WriteScratch(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

void GetAll(const std::uint8_t* script, std::size_t scriptSize, std::uint32_t bufferSize) {
    CompFile file;
    try {
        if (!file.Open(ScratchPath(), "rb", bufferSize)) return;
        for (int i = 0; i < maxGets; ++i) {
            switch (script[i % scriptSize] % kindCount) {
            case 0: file.ReadBool(); break;
            case 1: file.ReadShort(); break;
            case 2: file.ReadInt(); break;
            case 3: file.ReadDouble(); break;
            default: file.ReadString(); break;
            }
        }
    } catch (const CompFileException& error) {
        if (error.ErrorCode() != CompFileException::readFailed) std::abort();
    }
}

// Takes the next value's bytes from the payload, zeros once it runs out.
struct Payload {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    std::uint64_t Take(int bytes) {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= std::uint64_t{at < size ? data[at++] : 0u} << (8 * i);
        return value;
    }
    std::string TakeText() {
        const std::size_t length = Take(1) % 40;
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += static_cast<char>(Take(1) | 1); // no zero bytes
        return text;
    }
};

// A reader whose buffer is at least the writer's always gets every value,
// wherever its fills stop between packets.
void PutThenGet(const std::uint8_t* script, std::size_t scriptSize, std::uint32_t bufferSize,
                std::uint32_t readBufferSize, const std::uint8_t* data, std::size_t size) {
    // Every value, string included, must fit the writer's buffer.
    if (bufferSize < 41) bufferSize = 41;
    if (readBufferSize < bufferSize) readBufferSize = bufferSize;
    const std::size_t count = scriptSize + size / 4;
    {
        Payload payload{data, size};
        CompFile file;
        if (!file.Open(ScratchPath(), "wb", bufferSize)) return;
        for (std::size_t i = 0; i < count; ++i) {
            switch (script[i % scriptSize] % kindCount) {
            case 0: file.WriteBool(payload.Take(1) & 1); break;
            case 1: file.WriteShort(static_cast<std::int16_t>(payload.Take(2))); break;
            case 2: file.WriteInt(static_cast<std::int32_t>(payload.Take(4))); break;
            case 3: file.WriteDouble(std::bit_cast<double>(payload.Take(8))); break;
            default: file.WriteString(payload.TakeText()); break;
            }
        }
        file.Close();
    }
    Payload payload{data, size};
    CompFile file;
    if (!file.Open(ScratchPath(), "rb", readBufferSize)) std::abort();
    for (std::size_t i = 0; i < count; ++i) {
        bool same = false;
        switch (script[i % scriptSize] % kindCount) {
        case 0: same = file.ReadBool() == ((payload.Take(1) & 1) != 0); break;
        case 1: same = file.ReadShort() == static_cast<std::int16_t>(payload.Take(2)); break;
        case 2: same = file.ReadInt() == static_cast<std::int32_t>(payload.Take(4)); break;
        case 3: same = std::bit_cast<std::uint64_t>(file.ReadDouble()) == payload.Take(8); break;
        default: same = file.ReadString() == payload.TakeText(); break;
        }
        if (!same) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const bool roundTrip = (data[0] & 0x80) != 0;
    const std::uint32_t bufferSize = bufferSizes[data[0] % std::size(bufferSizes)];
    const std::uint32_t readBufferSize = bufferSizes[(data[0] >> 3) % std::size(bufferSizes)];
    const std::size_t scriptSize = 1 + data[1] % 16;
    if (size < 2 + scriptSize) return 0;
    const std::uint8_t* script = data + 2;
    const std::uint8_t* rest = script + scriptSize;
    const std::size_t restSize = size - 2 - scriptSize;

    if (roundTrip) {
        try {
            PutThenGet(script, scriptSize, bufferSize, readBufferSize, rest, restSize);
        } catch (const CompFileException&) {
            std::abort(); // nothing put here may fail
        }
    } else if (WriteScratch(rest, restSize)) {
        GetAll(script, scriptSize, bufferSize);
    }
    return 0;
}
