#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {

// The bytes of a file; empty optional when it cannot be opened or read (a
// folder opens on Linux but fails on the first read, which counts as well).
std::optional<std::string> ReadWholeFile(const std::string& path);

// The lines of a text file without their line ends, for the line-based data
// files. Files edited on Windows end their lines with CR LF and editors there
// like to start UTF-8 files with a byte order mark; both are removed so that
// they cannot become part of a text. Empty optional as for ReadWholeFile.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);

// Splits contents already read into lines the same way.
std::vector<std::string> SplitTextLines(const std::string& text);

} // namespace varnex
