#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {

// The language list "langs.txt" in the Info folder beside the program.
// Each line that is not a comment ("#" first) holds two double-quoted
// fields: the language's name as shown to the user and the file name of its
// language file, which lies in the same folder as the list. A line without
// its two fields is skipped, so one faulty line costs one language, not all.
std::string LanguageListPath();

// The language names in file order, for the options dialog. Raises the shown
// Exception "Error reading file <path>. Cannot display available languages"
// when the list cannot be read.
std::vector<std::string> ListLanguages();
std::vector<std::string> ListLanguages(const std::string& listPath);

// The path of the language file of the first line naming exactly `name`:
// the list's folder followed by the file name. Empty optional when the list
// cannot be read or names no such language.
std::optional<std::string> FindLanguageFile(const std::string& name);
std::optional<std::string> FindLanguageFile(const std::string& name, const std::string& listPath);

// Loads the program's translation table with the language `name`, or with
// "English" when the list does not name it, and returns the name of the
// language now in force. A language file line holds the English text in its
// first quoted field and the displayed text in its second (which may be
// empty); comment lines, empty lines and lines without two fields are
// skipped; a later line for the same English text replaces an earlier one.
// When the file cannot be read the table is left empty (so every text shows
// in English, the language then recorded) and the shown Exception
// "Cannot find language file for <name>" is raised.
std::string SetLanguage(const std::string& name);
std::string SetLanguage(const std::string& name, const std::string& listPath);

} // namespace varnex
