#include "settings/Preferences.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/AtomicFile.h"
#include "base/Exception.h"
#include "base/TextLines.h"
#include "settings/PreferenceDocument.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

// A preference file holds a handful of lines; anything this big is not one
// (or not ours), and is neither read into memory nor rewritten.
constexpr std::uintmax_t maxFileBytes = 1024 * 1024;

enum class FileState { Absent, Readable, Unreadable };

struct LoadedFile {
    FileState state = FileState::Absent;
    PreferenceDocument document;
};

LoadedFile Load(const std::string& path) {
    LoadedFile loaded;
    if (path.empty()) {
        loaded.state = FileState::Unreadable;
        return loaded;
    }
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return loaded;
    loaded.state = FileState::Unreadable;
    if (error) return loaded;
    // file_size fails for anything but a regular file, which also keeps us
    // from blocking on a named pipe put in the file's place.
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > maxFileBytes) return loaded;
    const auto contents = ReadWholeFile(path);
    if (!contents) return loaded;
    loaded.state = FileState::Readable;
    loaded.document = PreferenceDocument::Parse(*contents);
    return loaded;
}

[[noreturn]] void ThrowNotFound(const std::string& what) {
    throw Exception(Translate("Cannot find user preference for ") + what, false);
}

[[noreturn]] void ThrowNotSet(const std::string& what) {
    throw Exception(Translate("Cannot set user preference for ") + what, false);
}

PreferenceValue FindValue(const std::string& path, const std::string& keyPath,
                          const std::string& valueName, PreferenceValue::Type type) {
    const LoadedFile loaded = Load(path);
    if (loaded.state != FileState::Readable || !loaded.document.HasKey(keyPath))
        ThrowNotFound(keyPath);
    auto value = loaded.document.FindValue(keyPath, valueName);
    if (!value || value->type != type) ThrowNotFound(valueName);
    return *value;
}

void StoreValue(FileSystemCalls& calls, const std::string& path, const std::string& keyPath,
                const std::string& valueName, const PreferenceValue& value) {
    if (!PreferenceDocument::IsWritableKeyPath(keyPath)) ThrowNotSet(keyPath);
    if (!PreferenceDocument::IsWritableValueName(valueName)) ThrowNotSet(valueName);
    LoadedFile loaded = Load(path);
    // Never overwrite a file we could not read: it may hold the user's
    // settings behind a passing fault, or not be ours at all.
    if (loaded.state == FileState::Unreadable) ThrowNotSet(keyPath);
    if (loaded.state == FileState::Absent)
        loaded.document = PreferenceDocument::Parse(
            "; Varnex user preferences. The program rewrites this file; edit it while\n"
            "; the program is not running.\n");
    loaded.document.SetValue(keyPath, valueName, value);
    if (!ReplaceFileAtomically(path, loaded.document.Serialise(), calls)) ThrowNotSet(keyPath);
}

} // namespace

Preferences::Preferences(std::string filePath)
    : filePath_(std::move(filePath)), calls_(&FileSystemCalls::System()) {}

void Preferences::UseFileSystemCalls(FileSystemCalls& calls) {
    std::lock_guard lock(mutex_);
    calls_ = &calls;
}

std::string Preferences::FilePath() const {
    std::lock_guard lock(mutex_);
    return filePath_;
}

void Preferences::SetFilePath(std::string filePath) {
    std::lock_guard lock(mutex_);
    filePath_ = std::move(filePath);
}

std::string Preferences::KeyPath(const std::string& subKey) {
    return std::string("Software\\") + "Kestrane\\Varnex\\2\\" + subKey;
}

std::string Preferences::GetString(const std::string& subKey, const std::string& valueName) const {
    std::lock_guard lock(mutex_);
    PreferenceValue value =
        FindValue(filePath_, KeyPath(subKey), valueName, PreferenceValue::Type::String);
    if (value.text.size() > maxStringBytes) ThrowNotFound(valueName);
    return std::move(value.text);
}

std::uint32_t Preferences::GetDWord(const std::string& subKey, const std::string& valueName) const {
    std::lock_guard lock(mutex_);
    return FindValue(filePath_, KeyPath(subKey), valueName, PreferenceValue::Type::DWord).dword;
}

void Preferences::SetString(const std::string& subKey, const std::string& valueName,
                            const std::string& text) {
    PreferenceValue value;
    value.type = PreferenceValue::Type::String;
    value.text = text.substr(0, text.find('\0'));
    if (value.text.size() > maxStringBytes) ThrowNotSet(valueName);
    std::lock_guard lock(mutex_);
    StoreValue(*calls_, filePath_, KeyPath(subKey), valueName, value);
}

void Preferences::SetDWord(const std::string& subKey, const std::string& valueName,
                           std::uint32_t dword) {
    PreferenceValue value;
    value.type = PreferenceValue::Type::DWord;
    value.dword = dword;
    std::lock_guard lock(mutex_);
    StoreValue(*calls_, filePath_, KeyPath(subKey), valueName, value);
}

std::string DefaultPreferencesFilePath() {
    // getenv is only read here, on the user-interface thread at start-up or in
    // a test, never while another thread might change the environment.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/')
        return std::string(configHome) + "/varnex/preferences.ini";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.config/varnex/preferences.ini";
    return std::string();
}

Preferences& UserPreferences() {
    static Preferences preferences(DefaultPreferencesFilePath());
    return preferences;
}

void UseUserPreferencesFile(const std::string& filePath) {
    UserPreferences().SetFilePath(filePath);
}

void ResetUserPreferencesFile() { UserPreferences().SetFilePath(DefaultPreferencesFilePath()); }

std::string GetStringPreference(const std::string& subKey, const std::string& valueName) {
    return UserPreferences().GetString(subKey, valueName);
}

std::uint32_t GetDWordPreference(const std::string& subKey, const std::string& valueName) {
    return UserPreferences().GetDWord(subKey, valueName);
}

void SetStringPreference(const std::string& subKey, const std::string& valueName,
                         const std::string& text) {
    UserPreferences().SetString(subKey, valueName, text);
}

void SetDWordPreference(const std::string& subKey, const std::string& valueName,
                        std::uint32_t value) {
    UserPreferences().SetDWord(subKey, valueName, value);
}

} // namespace varnex
