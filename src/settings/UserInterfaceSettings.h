#pragma once

#include <cstdint>
#include <string>

#include "settings/Translate.h"

namespace varnex {

class Preferences;

// The settings the user interface keeps for the whole session: read from the
// preferences at start-up, changed in the options dialog, written at exit.
class UserInterfaceSettings {
public:
    static constexpr std::uint32_t defaultInvalidTextColour = 0x0000FF; // red (0x00BBGGRR)
    static constexpr std::uint32_t defaultInvalidBackColour = 0xFFFFFF; // white

    // The options dialog's English texts, kept with the settings it edits;
    // the dialog shows Translate() of each.
    static constexpr const char* optionsDialogTitle = TranslatableText("Program Options");
    static constexpr const char* languageLabel = TranslatableText("Language");
    static constexpr const char* autoCompleteLabel =
        TranslatableText("Smart Insert Parameter String");

    std::string languageName = "English";
    bool autoComplete = true; // the distribution text editor completes keywords
    std::uint32_t invalidTextColour = defaultInvalidTextColour;
    std::uint32_t invalidBackColour = defaultInvalidBackColour;

    // Reads the language and auto completion and loads the language into the
    // program's translation table. Never fails: a missing or unreadable
    // preference gives its default, and a language that cannot be loaded
    // gives English. The colours are reset to their defaults and not read
    // back, as the program has always done; users who changed them in the
    // file see the defaults again, and the next exit writes those.
    void StartUp();
    void StartUp(const Preferences& preferences, const std::string& languageListPath);

    // Writes the four settings; failures are ignored, as nothing can be done
    // about them at exit and a missing preference only means a default.
    void SaveAtExit() const;
    void SaveAtExit(Preferences& preferences) const;

    // The OK of the options dialog: stores the auto completion choice, loads
    // the chosen language at once and stores its name. Preference failures
    // are ignored; a language file that cannot be read raises its (shown)
    // Exception after leaving the program in English.
    void ApplyOptions(const std::string& chosenLanguage, bool chosenAutoComplete);
    void ApplyOptions(const std::string& chosenLanguage, bool chosenAutoComplete,
                      Preferences& preferences, const std::string& languageListPath);
};

} // namespace varnex
