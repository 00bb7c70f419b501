#pragma once

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

} // namespace varnex
