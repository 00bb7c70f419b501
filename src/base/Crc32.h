#pragma once

#include <cstddef>
#include <cstdint>

namespace varnex {

// The CRC-32 of ISO 3309 / ITU-T V.42 (the checksum of zip, gzip and PNG):
// polynomial 0x04C11DB7 in its reflected form 0xEDB88320, initial value and
// final XOR 0xFFFFFFFF. It detects every error burst of up to 32 bits, so
// any single damaged byte of a file. `crc` is the value so far (0 to start);
// the result continues it over `data`.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t bytes);

} // namespace varnex
