#include "base/TextLines.h"

#include <fstream>

namespace varnex {

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string contents;
    char buffer[16384];
    // read() sets failbit together with eofbit at the end of the file and
    // badbit (alone) when the system's read fails.
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        contents.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (in.eof()) break;
    }
    if (in.bad()) return std::nullopt;
    return contents;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path) {
    auto contents = ReadWholeFile(path);
    if (!contents) return std::nullopt;
    return SplitTextLines(*contents);
}

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    // A UTF-8 byte-order mark marks the encoding and is not content. Every
    // leading one goes (a file converted twice carries two): dropping only
    // the first would leave "\xEF\xBB\xBF[Key]" unrecognised as a section
    // header on one reading and, once rewritten without the first mark,
    // recognised on the next, so values would move between sections.
    std::size_t start = 0;
    while (text.compare(start, 3, "\xEF\xBB\xBF") == 0) start += 3;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        std::size_t lineEnd = end;
        // Every carriage return before the line feed belongs to the line
        // end (a file saved on Windows, or converted twice): none is content.
        // Stripping only one would leave "[Key]\r" unrecognised as a section
        // header on one reading and recognised on the next.
        while (lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;
        lines.push_back(text.substr(start, lineEnd - start));
        if (last) break;
        start = end + 1;
    }
    return lines;
}

} // namespace varnex
