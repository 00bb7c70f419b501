#include "settings/UserInterfaceSettings.h"

#include <exception>

#include "base/Exception.h"
#include "settings/LanguageList.h"
#include "settings/Preferences.h"

namespace varnex {

namespace {

const std::string settingsKey = "Settings";
const std::string editingKey = "PDF editing";
const std::string languageValue = "Language";
const std::string autoCompleteValue = "Auto Complete";
const std::string invalidTextColourValue = "Invalid Text Colour";
const std::string invalidBackColourValue = "Invalid Back Colour";
const std::string english = "English";

// Loads the language, falling back to English; returns the language in force.
std::string LoadLanguage(const std::string& name, const std::string& languageListPath) {
    try {
        return SetLanguage(name, languageListPath);
    } catch (const std::exception&) {}
    try {
        return SetLanguage(english, languageListPath);
    } catch (const std::exception&) {
        // Without a usable English file the table stays empty, which shows
        // every text in English all the same.
    }
    return english;
}

} // namespace

void UserInterfaceSettings::StartUp() { StartUp(UserPreferences(), LanguageListPath()); }

void UserInterfaceSettings::StartUp(const Preferences& preferences,
                                    const std::string& languageListPath) {
    std::string wanted = english;
    try {
        wanted = preferences.GetString(settingsKey, languageValue);
    } catch (const Exception&) {}
    languageName = LoadLanguage(wanted, languageListPath);

    invalidTextColour = defaultInvalidTextColour;
    invalidBackColour = defaultInvalidBackColour;

    std::uint32_t autoCompleteSetting = 1;
    try {
        autoCompleteSetting = preferences.GetDWord(editingKey, autoCompleteValue);
    } catch (const Exception&) {}
    autoComplete = autoCompleteSetting != 0;
}

void UserInterfaceSettings::SaveAtExit() const { SaveAtExit(UserPreferences()); }

void UserInterfaceSettings::SaveAtExit(Preferences& preferences) const {
    // Each write on its own, so that one failure does not cost the others.
    try {
        preferences.SetString(settingsKey, languageValue, languageName);
    } catch (const Exception&) {}
    try {
        preferences.SetDWord(editingKey, invalidTextColourValue, invalidTextColour);
    } catch (const Exception&) {}
    try {
        preferences.SetDWord(editingKey, invalidBackColourValue, invalidBackColour);
    } catch (const Exception&) {}
    try {
        preferences.SetDWord(editingKey, autoCompleteValue, autoComplete ? 1 : 0);
    } catch (const Exception&) {}
}

void UserInterfaceSettings::ApplyOptions(const std::string& chosenLanguage,
                                         bool chosenAutoComplete) {
    ApplyOptions(chosenLanguage, chosenAutoComplete, UserPreferences(), LanguageListPath());
}

void UserInterfaceSettings::ApplyOptions(const std::string& chosenLanguage, bool chosenAutoComplete,
                                         Preferences& preferences,
                                         const std::string& languageListPath) {
    autoComplete = chosenAutoComplete;
    try {
        preferences.SetDWord(editingKey, autoCompleteValue, autoComplete ? 1 : 0);
    } catch (const Exception&) {}
    try {
        languageName = SetLanguage(chosenLanguage, languageListPath);
    } catch (const Exception&) {
        languageName = english; // what the emptied table now shows
        throw;
    }
    try {
        preferences.SetString(settingsKey, languageValue, languageName);
    } catch (const Exception&) {}
}

} // namespace varnex
