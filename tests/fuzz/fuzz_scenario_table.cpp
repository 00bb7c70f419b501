// Fuzzes the scenario table reader (CSV): any bytes must read or be refused
// without crashing; a table that reads has records as wide as its header,
// each starting on a line of the text; and writing its fields back, each
// quoted, and reading them again gives the same table; CsvField's own
// quoting reads back as the field it quoted.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CsvTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto table = varnex::cli::ParseCsv(text, error);
    if (!table) {
        if (error.empty()) std::abort(); // a refusal always says why
        return 0;
    }
    const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    std::string again;
    auto quoted = [](const std::string& field) {
        std::string out = "\"";
        for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
        return out + "\"";
    };
    auto line = [&again, &quoted](const std::vector<std::string>& fields) {
        for (std::size_t k = 0; k < fields.size(); ++k) {
            again += (k ? "," : "") + quoted(fields[k]);
            // CsvField's text of a field, as the study's table writes it,
            // reads back as that field.
            std::string fieldError;
            const auto one =
                varnex::cli::ParseCsv(varnex::cli::CsvField(fields[k]) + "\n", fieldError);
            if (!fields[k].empty() && (!one || one->header != std::vector{fields[k]})) std::abort();
        }
        again += '\n';
    };
    line(table->header);
    for (std::size_t r = 0; r < table->records.size(); ++r) {
        if (table->records[r].size() != table->header.size()) std::abort();
        if (table->lines[r] < 2 || table->lines[r] > lines) std::abort();
        line(table->records[r]);
    }
    const auto reread = varnex::cli::ParseCsv(again, error);
    // A header or record of one empty field writes as a blank line, which
    // the reader skips: compare only what a blank line cannot hide.
    if (!reread) std::abort();
    if (reread->header != table->header && !(table->header.size() == 1 && table->header[0].empty()))
        std::abort();
    return 0;
}
