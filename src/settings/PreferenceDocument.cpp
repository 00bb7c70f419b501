#include "settings/PreferenceDocument.h"

#include <string_view>

#include "base/TextLines.h"

namespace varnex {

namespace {

// ASCII only, and by hand: the C library's case functions follow the locale,
// which a GUI may change.
char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Reads a quoted, escaped text starting at text[0] == '"'. On success removes
// it (quotes included) from `text`.
std::optional<std::string> TakeQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"') return std::nullopt;
    std::string result;
    std::size_t i = 1;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (c != '\\') {
            result += c;
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) return std::nullopt;
        const char escaped = text[i + 1];
        i += 2;
        switch (escaped) {
        case '\\': result += '\\'; break;
        case '"': result += '"'; break;
        case 'n': result += '\n'; break;
        case 'r': result += '\r'; break;
        case 't': result += '\t'; break;
        case 'x': {
            if (i + 1 >= text.size()) return std::nullopt;
            const int high = HexDigit(text[i]);
            const int low = HexDigit(text[i + 1]);
            if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
            result += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return std::nullopt;
}

std::string Quote(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string result = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': result += "\\\\"; break;
        case '"': result += "\\\""; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        case '\t': result += "\\t"; break;
        default:
            if (IsControl(byte)) {
                result += "\\x";
                result += hex[byte >> 4];
                result += hex[byte & 0xF];
            } else {
                result += c;
            }
        }
    }
    return result + '"';
}

PreferenceValue ParseValueText(std::string_view text) {
    PreferenceValue value;
    if (!text.empty() && text.front() == '"') {
        auto quoted = TakeQuoted(text);
        if (quoted && Trim(text).empty()) {
            value.type = PreferenceValue::Type::String;
            value.text = std::move(*quoted);
        }
        return value;
    }
    constexpr std::string_view dwordPrefix = "dword:";
    if (SameName(text.substr(0, dwordPrefix.size()), dwordPrefix)) {
        text = Trim(text.substr(dwordPrefix.size()));
        if (text.empty() || text.size() > 8) return value;
        std::uint32_t number = 0;
        for (const char c : text) {
            const int digit = HexDigit(c);
            if (digit < 0) return value;
            number = number * 16 + static_cast<std::uint32_t>(digit);
        }
        value.type = PreferenceValue::Type::DWord;
        value.dword = number;
    }
    return value;
}

} // namespace

PreferenceDocument::Line PreferenceDocument::ParseLine(const std::string& raw,
                                                       const std::string* currentKey) {
    Line line;
    line.raw = raw;
    std::string_view text = Trim(raw);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        line.kind = Line::Kind::Section;
        line.keyPath = std::string(text.substr(1, text.size() - 2));
        return line;
    }
    if (currentKey == nullptr) return line;
    auto name = TakeQuoted(text);
    if (!name) return line;
    text = Trim(text);
    if (text.empty() || text.front() != '=') return line;
    text = Trim(text.substr(1));
    line.kind = Line::Kind::Value;
    line.keyPath = *currentKey;
    line.valueName = std::move(*name);
    line.value = ParseValueText(text);
    return line;
}

PreferenceDocument PreferenceDocument::Parse(const std::string& contents) {
    PreferenceDocument document;
    std::optional<std::string> currentKey;
    for (const std::string& raw : SplitTextLines(contents)) {
        Line line = ParseLine(raw, currentKey ? &*currentKey : nullptr);
        if (line.kind == Line::Kind::Section) currentKey = line.keyPath;
        document.lines_.push_back(std::move(line));
    }
    return document;
}

std::string PreferenceDocument::Serialise() const {
    std::string contents;
    for (const Line& line : lines_) {
        contents += line.raw;
        contents += '\n';
    }
    return contents;
}

bool PreferenceDocument::HasKey(const std::string& keyPath) const {
    for (const Line& line : lines_)
        if (line.kind == Line::Kind::Section && SameName(line.keyPath, keyPath)) return true;
    return false;
}

std::optional<PreferenceValue> PreferenceDocument::FindValue(const std::string& keyPath,
                                                             const std::string& valueName) const {
    for (const Line& line : lines_)
        if (line.kind == Line::Kind::Value && SameName(line.keyPath, keyPath) &&
            SameName(line.valueName, valueName))
            return line.value;
    return std::nullopt;
}

std::string PreferenceDocument::FormatValueLine(const std::string& valueName,
                                                const PreferenceValue& value) {
    std::string line = Quote(valueName) + "=";
    if (value.type == PreferenceValue::Type::DWord) {
        static constexpr char hex[] = "0123456789abcdef";
        line += "dword:";
        for (int shift = 28; shift >= 0; shift -= 4) line += hex[(value.dword >> shift) & 0xF];
    } else {
        line += Quote(value.text);
    }
    return line;
}

void PreferenceDocument::SetValue(const std::string& keyPath, const std::string& valueName,
                                  const PreferenceValue& value) {
    Line newLine;
    newLine.kind = Line::Kind::Value;
    newLine.keyPath = keyPath;
    newLine.valueName = valueName;
    newLine.value = value;
    newLine.raw = FormatValueLine(valueName, value);

    auto isSameValue = [&](const Line& line) {
        return line.kind == Line::Kind::Value && SameName(line.keyPath, keyPath) &&
               SameName(line.valueName, valueName);
    };

    bool replaced = false;
    for (auto it = lines_.begin(); it != lines_.end();) {
        if (!isSameValue(*it)) {
            ++it;
        } else if (!replaced) {
            newLine.keyPath = it->keyPath; // keep the section's spelling
            *it = newLine;
            replaced = true;
            ++it;
        } else {
            it = lines_.erase(it);
        }
    }
    if (replaced) return;

    // Into the first section of the key, after its last value, so that the
    // blank line or comment that separates it from the next section stays.
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Line::Kind::Section || !SameName(lines_[i].keyPath, keyPath))
            continue;
        std::size_t insertAt = i + 1;
        for (std::size_t j = i + 1; j < lines_.size() && lines_[j].kind != Line::Kind::Section; ++j)
            if (lines_[j].kind == Line::Kind::Value) insertAt = j + 1;
        newLine.keyPath = lines_[i].keyPath;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
        return;
    }

    if (!lines_.empty() && !Trim(lines_.back().raw).empty()) lines_.push_back(Line{});
    Line section;
    section.kind = Line::Kind::Section;
    section.keyPath = keyPath;
    section.raw = "[" + keyPath + "]";
    lines_.push_back(std::move(section));
    lines_.push_back(std::move(newLine));
}

bool PreferenceDocument::IsWritableKeyPath(const std::string& keyPath) {
    for (const char c : keyPath)
        if (IsControl(static_cast<unsigned char>(c))) return false;
    return !keyPath.empty();
}

bool PreferenceDocument::IsWritableValueName(const std::string& valueName) {
    return valueName.find('\0') == std::string::npos;
}

} // namespace varnex
