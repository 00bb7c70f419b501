// Texts at the edge of a project file: UTF-8 inside the program, the
// Windows code page 1252 in the files of the program's predecessors; and
// the CRC-32 that the project file's trailing block stores.

#include <gtest/gtest.h>
#include <string>

#include "base/Crc32.h"
#include "base/TextEncoding.h"

namespace varnex {
namespace {

// The check value of CRC-32/ISO-HDLC ("123456789" → 0xCBF43926), as the
// catalogue of parametrised CRC algorithms (Williams; Cook) lists it, and
// the CRC of nothing.
TEST(Crc32, CheckValueAndContinuation) {
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(0, "", 0), 0u);
    // Computed in two pieces it is the same: the file's checksum runs over
    // the values as they are put, one by one.
    EXPECT_EQ(Crc32(Crc32(0, "1234", 4), "56789", 5), 0xCBF43926u);
}

// Well-formed UTF-8 by RFC 3629 and the table of well-formed byte
// sequences of the Unicode standard (3.9, table 3-7).
TEST(TextEncoding, Utf8IsCheckedByTheStandardsTable) {
    struct Case {
        const char* bytes;
        bool valid;
        const char* what;
    };
    const Case cases[] = {
        {"", true, "empty"},
        {"plain ASCII", true, "ASCII"},
        {"\xC3\xA9", true, "e acute"},
        {"\xE2\x82\xAC", true, "euro sign"},
        {"\xF0\x9F\x92\xA7", true, "droplet, four bytes"},
        {"\xF4\x8F\xBF\xBF", true, "U+10FFFF"},
        {"\xE9", false, "a lone Windows-1252 e acute"},
        {"Caf\xE9!", false, "Windows-1252 inside text"},
        {"\xC0\xAF", false, "overlong slash"},
        {"\xE0\x80\xAF", false, "overlong in three bytes"},
        {"\xED\xA0\x80", false, "a surrogate"},
        {"\xF4\x90\x80\x80", false, "above U+10FFFF"},
        {"\xF5\x80\x80\x80", false, "lead byte F5"},
        {"\xE2\x82", false, "cut short"},
        {"\x80", false, "a lone continuation byte"},
        {"\xC3\x28", false, "a second byte that does not continue"},
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.what;
}

// The code page's characters, from Microsoft's published table of
// Windows-1252 (the 0x80 to 0x9F row and two Latin-1 bytes), and the five
// undefined bytes as the control characters of the same number.
TEST(TextEncoding, Windows1252BytesBecomeTheirCharacters) {
    EXPECT_EQ(Windows1252ToUtf8("\x80"), "\u20ac");
    EXPECT_EQ(Windows1252ToUtf8("\x96"), "\u2013");
    EXPECT_EQ(Windows1252ToUtf8("\x9F"), "\u0178");
    EXPECT_EQ(Windows1252ToUtf8("\x8A\x9A"), "\u0160\u0161");
    EXPECT_EQ(Windows1252ToUtf8("\xE9\xFF"), "\u00e9\u00ff");
    EXPECT_EQ(Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008d\u008f\u0090\u009d");
    EXPECT_EQ(Windows1252ToUtf8("abc"), "abc");
}

// Every text of one code-page byte goes to the file in that byte and comes
// back as the character it stands for; texts the code page cannot hold, or
// whose code-page bytes would read as other UTF-8, stay UTF-8.
TEST(TextEncoding, TextsRoundTripThroughTheFileForm) {
    for (int b = 0x80; b < 0x100; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string text = Windows1252ToUtf8(byte);
        EXPECT_EQ(TextForFile(text), byte) << b;
        EXPECT_EQ(TextFromFile(TextForFile(text)), text) << b;
    }
    for (const std::string text :
         {"\u6c34", "Ma\u0142opolska", "\u00c3\u00a9", "\u00e9\u6c34", "plain"}) {
        EXPECT_EQ(TextFromFile(TextForFile(text)), text) << text;
    }
    EXPECT_EQ(TextForFile("\u00c3\u00a9"), "\u00c3\u00a9"); // C3 A9 would read back as "é"
    EXPECT_EQ(TextForFile("Ma\u0142opolska"), "Ma\u0142opolska");
    // A text inside the program is UTF-8; bytes that are not (never made by
    // the program) pass through as they are.
    EXPECT_EQ(TextForFile("Caf\xE9"), "Caf\xE9");
}

} // namespace
} // namespace varnex
