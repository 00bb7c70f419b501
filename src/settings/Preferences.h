#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace varnex {

class FileSystemCalls;

// The user's preferences, in the registry's terms: values of type string
// (REG_SZ) or 32-bit number (REG_DWORD), named within keys whose paths start
// with "Software\Kestrane\Varnex\2\". Linux has no registry, so they live in
// one text file (layout in PreferenceDocument.h), by default
// $XDG_CONFIG_HOME/varnex/preferences.ini or ~/.config/varnex/preferences.ini.
//
// Every failure raises an Exception marked not to be shown: a missing
// preference is the normal state of a first start, and callers catch the
// error and use their default. A file that cannot be read, or holds
// nonsense, reads as if it had no preferences.
//
// The file is read afresh by every call, so a change made by another copy of
// the program is seen, and every write replaces it atomically, keeping every
// line it does not understand.
class Preferences {
public:
    // The registry read strings into a 1000-byte buffer with its terminating
    // zero, so no preference string is longer than this many bytes. Longer
    // texts are refused when written and, in a file edited by hand, count as
    // missing when read, as the registry's query failed on them. Refusing
    // rather than cutting them short means a value is either what was stored
    // or absent, never a truncated path or half a UTF-8 character.
    static constexpr std::size_t maxStringBytes = 999;

    explicit Preferences(std::string filePath);

    std::string FilePath() const;
    void SetFilePath(std::string filePath);

    // "Software\" + "Kestrane\Varnex\2\" + subKey.
    static std::string KeyPath(const std::string& subKey);

    // Raise "Cannot find user preference for " with the key path when the key
    // (or the file) is missing, with the value name when the value is missing
    // or of the other type.
    std::string GetString(const std::string& subKey, const std::string& valueName) const;
    std::uint32_t GetDWord(const std::string& subKey, const std::string& valueName) const;

    // Raise "Cannot set user preference for " with the key path when the file
    // cannot be read or written, with the value name when the value cannot be
    // stored. A string ends at its first zero byte, as a REG_SZ does.
    void SetString(const std::string& subKey, const std::string& valueName,
                   const std::string& text);
    void SetDWord(const std::string& subKey, const std::string& valueName, std::uint32_t value);

    // The calls the file is replaced through (not owned); the system's by
    // default.
    void UseFileSystemCalls(FileSystemCalls& calls);

private:
    mutable std::mutex mutex_; // serialises read-modify-write within the program
    std::string filePath_;
    FileSystemCalls* calls_;
};

// Where the preference file lives: $XDG_CONFIG_HOME/varnex/preferences.ini
// when that variable holds an absolute path (relative ones are invalid by the
// XDG rules and ignored), else $HOME/.config/varnex/preferences.ini; empty
// when neither is set, and then every read misses and every write fails.
std::string DefaultPreferencesFilePath();

// The program's preferences. Tests point them at a file of their own with
// UseUserPreferencesFile and go back to the default location with
// ResetUserPreferencesFile (which reads the environment again).
Preferences& UserPreferences();
void UseUserPreferencesFile(const std::string& filePath);
void ResetUserPreferencesFile();

// The program's preferences, as the rest of the program asks for them.
std::string GetStringPreference(const std::string& subKey, const std::string& valueName);
std::uint32_t GetDWordPreference(const std::string& subKey, const std::string& valueName);
void SetStringPreference(const std::string& subKey, const std::string& valueName,
                         const std::string& text);
void SetDWordPreference(const std::string& subKey, const std::string& valueName,
                        std::uint32_t value);

} // namespace varnex
