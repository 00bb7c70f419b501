#pragma once

#include <cstdint>
#include <string>

namespace varnex {

// "Can't load Version %d.%02d files": the message for a project file of a
// version this program does not read (the old uncompressed format, or a file
// newer than the program), translated.
std::string UnsupportedVersionMessage(int major, int minor);

// "The project file %s is damaged: %s is out of range (%d)", translated;
// `item` is one of the English item texts the reader uses ("the number of
// sources", ...), translated here.
std::string DamagedFileMessage(const std::string& fileName, const char* item, long long value);

// "The project file %s ends early: the rest of its data is missing", for a
// file cut short (a copy or a save that did not finish), translated.
std::string FileEndsEarlyMessage(const std::string& fileName);

// The message for a file whose stored checksum does not match its contents:
// some of its bytes changed after it was saved, so values may not be what
// was saved. Translated.
std::string ChecksumMismatchMessage(const std::string& fileName, std::uint32_t stored,
                                    std::uint32_t computed);

} // namespace varnex
