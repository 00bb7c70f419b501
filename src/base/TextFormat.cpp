#include "base/TextFormat.h"

#include <charconv>
#include <vector>

#include "base/NumberText.h"

namespace varnex {

std::string FormatText(const std::string& format, std::initializer_list<FormatArgument> arguments) {
    const std::vector<FormatArgument> args(arguments);
    std::size_t next = 0;
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        int precision = -1;
        if (j < format.size() && format[j] == '.') {
            ++j;
            precision = 0;
            while (j < format.size() && format[j] >= '0' && format[j] <= '9' && precision < 100)
                precision = precision * 10 + (format[j++] - '0');
        }
        if (j < format.size() && format[j] == 'l') ++j;
        if (j >= format.size() || next >= args.size()) {
            out += c;
            continue;
        }
        const char conversion = format[j];
        const FormatArgument& argument = args[next];
        std::string piece;
        bool used = true;
        switch (conversion) {
        case 's':
            if (const auto* text = std::get_if<std::string>(&argument))
                piece =
                    precision >= 0 ? text->substr(0, static_cast<std::size_t>(precision)) : *text;
            else
                used = false;
            break;
        case 'd':
        case 'i':
            if (const auto* whole = std::get_if<long long>(&argument))
                piece = std::to_string(*whole);
            else
                used = false;
            break;
        case 'f':
        case 'g':
        case 'e': {
            double value = 0.0;
            if (const auto* real = std::get_if<double>(&argument))
                value = *real;
            else if (const auto* whole = std::get_if<long long>(&argument))
                value = static_cast<double>(*whole);
            else {
                used = false;
                break;
            }
            const int digits = precision >= 0 ? precision : 6;
            if (conversion == 'f') {
                piece = FormatF(value, digits);
            } else if (conversion == 'g') {
                piece = FormatG(value, digits == 0 ? 1 : digits);
            } else {
                char buffer[128];
                const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                                  std::chars_format::scientific, digits);
                piece.assign(buffer, result.ptr);
            }
            break;
        }
        default: used = false; break;
        }
        if (!used) {
            out += c;
            continue;
        }
        out += piece;
        ++next;
        i = j;
    }
    return out;
}

} // namespace varnex
