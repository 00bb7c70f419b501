#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {

// Editing aids for the field in which a user types a distribution, kept free
// of any toolkit so that they can be tested and shared by every front end.

// The keyword completion offered while "Auto Complete" is on: when the whole
// typed text, upper-cased, is exactly one of the known prefixes ("TR", "SI",
// "LOGT", ...), the field becomes the keyword's template ("TRIANGULAR()") with
// the caret just after "(".
struct AutoCompletion {
    std::string text;
    int caretPosition = 0;
};
std::optional<AutoCompletion> AutoCompleteDistributionText(const std::string& typed);

// An argument entry of the "Distribution" dialog: blanks are removed, and the
// rest counts as a number only when it is one number as a whole; any other
// text counts as 0.
double DialogEntryValue(const std::string& entry);

// The "Distribution Type:" choices of the dialog in list order, with their
// type codes (English texts; the dialog translates them).
struct DialogTypeChoice {
    const char* name;
    int type;
};
const std::vector<DialogTypeChoice>& DialogTypeChoices();
// The type code of a choice's displayed (translated) text, or 0.
int DialogTypeFromText(const std::string& displayed);
// The English labels of the dialog's argument entries for a type; BOOLEAN is
// not offered and falls back to the single value's entry.
std::vector<std::string> DialogArgumentLabels(int type);

} // namespace varnex
