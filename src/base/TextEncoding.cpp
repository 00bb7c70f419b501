#include "base/TextEncoding.h"

#include <cstdint>

namespace varnex {

namespace {

// The characters of bytes 0x80 to 0x9F in Windows-1252; the undefined bytes
// stand for themselves. Bytes 0xA0 to 0xFF are the Latin-1 characters of the
// same number.
constexpr char32_t highControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t Windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? highControls[byte - 0x80] : char32_t{byte};
}

// The byte of `c` in Windows-1252, or -1 when the code page has none.
int Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int k = 0; k < 32; ++k)
        if (highControls[k] == c) return 0x80 + k;
    return -1;
}

// Decodes the UTF-8 sequence at `i` (known valid) and moves past it.
char32_t NextCharacter(const std::string& text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t c = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) c = (c << 6) | (byte(i + static_cast<std::size_t>(k)) & 0x3F);
    i += static_cast<std::size_t>(length);
    return c;
}

} // namespace

bool IsValidUtf8(const std::string& text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < n) {
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The ranges of RFC 3629, table 3-7 of the Unicode standard: the
        // second byte's range depends on the lead byte.
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;  // no overlong forms
            if (lead == 0xED) high = 0x9F; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F; // nothing above U+10FFFF
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(length) > n) return false;
        if (byte(i + 1) < low || byte(i + 1) > high) return false;
        for (int k = 2; k < length; ++k)
            if ((byte(i + static_cast<std::size_t>(k)) & 0xC0) != 0x80) return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string Windows1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char c : text) AppendUtf8(out, Windows1252Character(static_cast<unsigned char>(c)));
    return out;
}

std::string TextFromFile(const std::string& stored) {
    return IsValidUtf8(stored) ? stored : Windows1252ToUtf8(stored);
}

std::string TextForFile(const std::string& text) {
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || !IsValidUtf8(text)) return text;
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const int byte = Windows1252Byte(NextCharacter(text, i));
        if (byte < 0) return text;
        bytes += static_cast<char>(byte);
    }
    // Bytes that happen to form valid UTF-8 ("Ã©" is C3 A9, which reads as
    // "é") would be read back as something else: such a text stays UTF-8.
    return IsValidUtf8(bytes) ? text : bytes;
}

} // namespace varnex
