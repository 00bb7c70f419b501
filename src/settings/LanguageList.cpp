#include "settings/LanguageList.h"

#include <map>

#include "base/Exception.h"
#include "base/ProgramPaths.h"
#include "base/QuotedFields.h"
#include "base/TextLines.h"
#include "settings/Translate.h"
#include "settings/TranslationTable.h"

namespace varnex {

namespace {

// The language that every installation has; the fallback for any other.
const std::string englishName = "English";

bool IsComment(const std::string& line) { return !line.empty() && line.front() == '#'; }

// The (name, file name) lines of the list; empty optional when unreadable.
std::optional<std::vector<QuotedFields>> ReadLanguageList(const std::string& listPath) {
    const auto lines = ReadTextLines(listPath);
    if (!lines) return std::nullopt;
    std::vector<QuotedFields> entries;
    for (const std::string& line : *lines) {
        if (IsComment(line)) continue;
        if (auto fields = ParseQuotedFields(line)) entries.push_back(std::move(*fields));
    }
    return entries;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::optional<std::map<std::string, std::string>> ReadLanguageFile(const std::string& path) {
    const auto lines = ReadTextLines(path);
    if (!lines) return std::nullopt;
    std::map<std::string, std::string> entries;
    for (const std::string& line : *lines) {
        if (line.empty() || IsComment(line)) continue;
        if (auto fields = ParseQuotedFields(line))
            entries.insert_or_assign(std::move(fields->first), std::move(fields->second));
    }
    return entries;
}

} // namespace

std::string LanguageListPath() { return InfoFilePath("langs.txt"); }

std::vector<std::string> ListLanguages() { return ListLanguages(LanguageListPath()); }

std::vector<std::string> ListLanguages(const std::string& listPath) {
    const auto entries = ReadLanguageList(listPath);
    if (!entries)
        throw Exception(Translate("Error reading file ") + listPath +
                        Translate(". Cannot display available languages"));
    std::vector<std::string> names;
    names.reserve(entries->size());
    for (const QuotedFields& entry : *entries) names.push_back(entry.first);
    return names;
}

std::optional<std::string> FindLanguageFile(const std::string& name) {
    return FindLanguageFile(name, LanguageListPath());
}

std::optional<std::string> FindLanguageFile(const std::string& name, const std::string& listPath) {
    const auto entries = ReadLanguageList(listPath);
    if (!entries) return std::nullopt;
    for (const QuotedFields& entry : *entries)
        if (entry.first == name) return FolderOf(listPath) + entry.second;
    return std::nullopt;
}

std::string SetLanguage(const std::string& name) { return SetLanguage(name, LanguageListPath()); }

std::string SetLanguage(const std::string& name, const std::string& listPath) {
    std::string language = name;
    auto file = FindLanguageFile(name, listPath);
    if (!file) {
        language = englishName;
        file = FindLanguageFile(englishName, listPath);
    }
    auto entries = file ? ReadLanguageFile(*file) : std::nullopt;
    if (!entries) {
        ProgramTranslationTable().Replace({}, englishName);
        // Translated after the table was emptied, so the message is English;
        // the language that failed cannot be trusted to say it anyway.
        throw Exception(Translate("Cannot find language file for ") + name);
    }
    ProgramTranslationTable().Replace(std::move(*entries), language);
    return language;
}

} // namespace varnex
