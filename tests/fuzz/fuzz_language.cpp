// Fuzzes the language files: the list "langs.txt" (the input before its
// first zero byte) and the language file "lang.txt" (the rest). Every
// language the list names is loaded; the table must then translate texts
// and formats, and a translated format must never ask for arguments the
// English one does not give.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzScratchFolder.h"
#include "base/Exception.h"
#include "base/TextFormat.h"
#include "settings/LanguageList.h"
#include "settings/Translate.h"
#include "settings/TranslationTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& folder = varnex::fuzz::ScratchFolder("fuzz_language");
    const auto [list, language] = varnex::fuzz::SplitAtZero(data, size);
    const std::string listPath = (folder / "langs.txt").string();
    if (!varnex::fuzz::WriteWholeFile(listPath, list)) return 0;
    if (!varnex::fuzz::WriteWholeFile(folder / "lang.txt", language)) return 0;

    std::vector<std::string> names;
    try {
        names = varnex::ListLanguages(listPath);
    } catch (const varnex::Exception&) {
        return 0;
    }
    int loaded = 0;
    for (const std::string& name : names) {
        if (++loaded > 3) break;
        try {
            varnex::SetLanguage(name, listPath);
        } catch (const varnex::Exception&) {
            continue;
        }
        // Formats with each kind of argument the program passes.
        (void)varnex::FormatText(varnex::TranslateFormat("Source %s Porosities out of range"),
                                 {std::string("S")});
        (void)varnex::FormatText(varnex::TranslateFormat("%s - Calculating: %.2lf,%.2lf (%.0lf%%)"),
                                 {std::string("T"), 1.0, 2.0, 50.0});
        (void)varnex::FormatText(varnex::TranslateFormat("Iteration %d of %d"), {3LL, 10LL});
        (void)varnex::Translate("Sources");
    }
    varnex::ProgramTranslationTable().Clear();
    return 0;
}
