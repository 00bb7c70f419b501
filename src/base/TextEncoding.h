#pragma once

#include <string>

namespace varnex {

// Texts inside the program are UTF-8. Project files written by the program's
// Windows predecessors hold their texts in the Windows code page 1252 ("é"
// as the one byte 0xE9), which is not valid UTF-8 and would break every
// JSON or report that carries it. These convert at the file's edge.

// True when `text` is well-formed UTF-8 (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(const std::string& text);

// Each byte as the Windows-1252 character it stands for, in UTF-8. The five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become
// the control characters of the same number, as Windows itself maps them, so
// the conversion loses nothing and reverses exactly.
std::string Windows1252ToUtf8(const std::string& text);

// A text as read from a project file: kept when it is valid UTF-8, else
// read as Windows-1252.
std::string TextFromFile(const std::string& stored);

// A text as written to a project file: in Windows-1252 when every character
// has a byte there and those bytes could not be mistaken for UTF-8 by
// TextFromFile (so the predecessors read it as typed and this program reads
// it back unchanged); otherwise, and for plain ASCII, the UTF-8 itself.
std::string TextForFile(const std::string& text);

} // namespace varnex
