#pragma once

#include <map>
#include <mutex>
#include <string>

namespace varnex {

// The program-wide table from English texts to displayed texts, loaded from
// the current language's file. A text without an entry is entered with itself
// as its translation, so every text translates.
//
// Guarded by a mutex because worker threads of a run translate their messages
// while the user-interface thread may translate its own. The language itself
// is only changed on the user-interface thread while no run is going on.
class TranslationTable {
public:
    // The English text's translation (inserting an identity entry if absent).
    std::string Translate(const std::string& english);
    // Same, as a zero-terminated text that is never null (a null argument
    // gives ""). It points into the table and stays valid until the table is
    // next cleared or replaced, or the same English text is inserted again.
    const char* TranslateCStr(const char* english);
    // For a text used as a printf-style format: the translation only when its
    // conversions match the English key's (same conversions, same order);
    // otherwise the English text, so a faulty language file can never make a
    // format read arguments it was not given.
    std::string TranslateFormat(const std::string& englishFormat);

    void Clear();
    // A later entry for the same English text replaces an earlier one.
    void Insert(const std::string& english, const std::string& displayed);
    // Swaps in a whole language at once, so that another thread never sees a
    // half-loaded table.
    void Replace(std::map<std::string, std::string> entries, const std::string& languageName);
    bool Contains(const std::string& english) const;
    std::size_t Size() const;

    std::string LanguageName() const;
    void SetLanguageName(const std::string& name);

private:
    // The entry for `english`, inserted as identity if absent; mutex held.
    const std::string& LookUp(const std::string& english);

    mutable std::mutex mutex_;
    std::map<std::string, std::string> table_;
    std::string languageName_ = "English";
};

// The one table of the program. Tests reset it with Clear().
TranslationTable& ProgramTranslationTable();

} // namespace varnex
