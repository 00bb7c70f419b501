#include "cli/CsvTable.h"

namespace varnex::cli {

std::optional<CsvTable> ParseCsv(const std::string& text, std::string& error) {
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the current field was quoted and has closed
    bool rowStarted = false;
    int line = 1;
    int rowLine = 1;
    auto endField = [&] {
        row.push_back(field);
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        // A blank line is no record.
        if (!(row.size() == 1 && row[0].empty() && !rowStarted)) {
            rows.push_back(row);
            lines.push_back(rowLine);
        }
        row.clear();
        rowStarted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                    wasQuoted = true;
                }
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            continue;
        }
        if (row.empty() && field.empty() && !rowStarted) rowLine = line;
        if (c == ',') {
            rowStarted = true;
            endField();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        } else if (c == '\n') {
            endRow();
            ++line;
        } else if (c == '"' && field.empty() && !wasQuoted) {
            quoted = true;
            rowStarted = true;
        } else if (wasQuoted) {
            error = "line " + std::to_string(line) + ": text after a closing quote";
            return std::nullopt;
        } else {
            rowStarted = true;
            field += c;
        }
    }
    if (quoted) {
        error = "line " + std::to_string(rowLine) + ": a quote is never closed";
        return std::nullopt;
    }
    if (!field.empty() || !row.empty() || rowStarted || wasQuoted) endRow();
    if (rows.empty()) {
        error = "no header line";
        return std::nullopt;
    }
    CsvTable table;
    table.header = rows.front();
    for (std::size_t r = 1; r < rows.size(); ++r) {
        std::vector<std::string>& record = rows[r];
        if (record.size() > table.header.size()) {
            error = "line " + std::to_string(lines[r]) + ": " + std::to_string(record.size()) +
                    " fields, but the header has " + std::to_string(table.header.size());
            return std::nullopt;
        }
        record.resize(table.header.size());
        table.records.push_back(std::move(record));
        table.lines.push_back(lines[r]);
    }
    return table;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace varnex::cli
