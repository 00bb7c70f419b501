#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnex {

// A value of the preference file, typed as the registry typed it.
struct PreferenceValue {
    enum class Type {
        String, // REG_SZ
        DWord,  // REG_DWORD
        Other,  // a value line we cannot read (hex:, a bad escape, ...)
    };
    Type type = Type::Other;
    std::string text;
    std::uint32_t dword = 0;
};

// The contents of the preference file: the registry of the Windows program
// kept as a text file in the layout of a registry export.
//
//   ; any comment
//   [Software\Kestrane\Varnex\2\Settings]
//   "Language"="Deutsch"
//   [Software\Kestrane\Varnex\2\PDF editing]
//   "Auto Complete"=dword:00000001
//
// A section header names a key by its full path. A value line is a quoted
// value name, "=", and either a quoted string or "dword:" with one to eight
// hex digits. Key paths and value names compare without regard to ASCII case,
// as registry names do.
//
// Escapes inside quotes (value names and strings): \\ is a backslash, \" a
// double quote, \n \r \t the control characters, and \xHH (two hex digits)
// any other byte; \x00 is refused because a registry string ends at its zero.
// Written files escape exactly \ " and the bytes below 0x20 and 0x7F; every
// other byte, UTF-8 included, is written as it is, so the file stays legible.
//
// Lines of any other form, and value lines outside a section, are kept as
// they are and written back unchanged, so that whatever a user or a later
// version put into the file survives our writes.
class PreferenceDocument {
public:
    // Never fails: what cannot be read is kept as an opaque line.
    static PreferenceDocument Parse(const std::string& contents);
    std::string Serialise() const;

    bool HasKey(const std::string& keyPath) const;
    // The first value of that name in a section of that key.
    std::optional<PreferenceValue> FindValue(const std::string& keyPath,
                                             const std::string& valueName) const;
    // Replaces the value (and drops any duplicates of it), or adds it to the
    // key's section, or adds the section at the end. Callers check the names
    // with IsWritableKeyPath and IsWritableValueName first: a section header
    // has no escapes, so a key path must not hold control characters, and a
    // value name must not hold a zero byte.
    void SetValue(const std::string& keyPath, const std::string& valueName,
                  const PreferenceValue& value);

    static bool IsWritableKeyPath(const std::string& keyPath);
    static bool IsWritableValueName(const std::string& valueName);

private:
    struct Line {
        enum class Kind { Opaque, Section, Value };
        Kind kind = Kind::Opaque;
        std::string raw;       // as read, or as formatted for a new value
        std::string keyPath;   // Section: its key; Value: its section's key
        std::string valueName; // Value only
        PreferenceValue value; // Value only
    };

    static Line ParseLine(const std::string& raw, const std::string* currentKey);
    static std::string FormatValueLine(const std::string& valueName, const PreferenceValue& value);

    std::vector<Line> lines_;
};

} // namespace varnex
