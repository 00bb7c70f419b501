#include "settings/TranslationTable.h"

#include "base/PrintfConversions.h"

namespace varnex {

const std::string& TranslationTable::LookUp(const std::string& english) {
    // try_emplace leaves an existing entry alone and inserts identity only
    // when the text is new, in one search.
    return table_.try_emplace(english, english).first->second;
}

std::string TranslationTable::Translate(const std::string& english) {
    std::lock_guard lock(mutex_);
    return LookUp(english);
}

const char* TranslationTable::TranslateCStr(const char* english) {
    if (english == nullptr) return "";
    std::lock_guard lock(mutex_);
    // The map's nodes never move, so the pointer survives later insertions.
    return LookUp(english).c_str();
}

std::string TranslationTable::TranslateFormat(const std::string& englishFormat) {
    std::lock_guard lock(mutex_);
    const std::string& displayed = LookUp(englishFormat);
    if (displayed == englishFormat || PrintfConversionsMatch(englishFormat, displayed))
        return displayed;
    return englishFormat;
}

void TranslationTable::Clear() {
    std::lock_guard lock(mutex_);
    table_.clear();
}

void TranslationTable::Insert(const std::string& english, const std::string& displayed) {
    std::lock_guard lock(mutex_);
    table_.insert_or_assign(english, displayed);
}

void TranslationTable::Replace(std::map<std::string, std::string> entries,
                               const std::string& languageName) {
    std::lock_guard lock(mutex_);
    table_.swap(entries);
    languageName_ = languageName;
}

bool TranslationTable::Contains(const std::string& english) const {
    std::lock_guard lock(mutex_);
    return table_.find(english) != table_.end();
}

std::size_t TranslationTable::Size() const {
    std::lock_guard lock(mutex_);
    return table_.size();
}

std::string TranslationTable::LanguageName() const {
    std::lock_guard lock(mutex_);
    return languageName_;
}

void TranslationTable::SetLanguageName(const std::string& name) {
    std::lock_guard lock(mutex_);
    languageName_ = name;
}

TranslationTable& ProgramTranslationTable() {
    static TranslationTable table;
    return table;
}

} // namespace varnex
