#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace varnex {

class Project;

// The JSON text form of a project: the whole model without results, each
// stochastic input as its distribution text in display units, correlations
// naming their inputs by JSON pointer into the same document. Documented in
// docs/project-json.md.

// The project as a JSON document (UTF-8, two-blank indentation).
std::string WriteProjectJson(const Project& project);

// The JSON pointer each input of the project has in its document
// ("/sources/0/thickness"), by input identity: how people and scripts
// recognise an input outside the program.
std::map<std::int32_t, std::string> InputJsonPointers(const Project& project);

// Reads a JSON document into `project`, which is reset first. Returns false
// and lists every problem found (each naming the JSON path of the bad,
// unknown or missing field, e.g. "/sources/0/thickness: ...") when the text
// is not a valid project; `project` is then left reset. Never throws for bad
// input. Sets the program-wide iteration count from the document.
bool ReadProjectJson(const std::string& text, Project& project, std::vector<std::string>& problems);

// Reads a file; an unreadable file is one problem naming the path.
bool LoadProjectJsonFile(const std::string& path, Project& project,
                         std::vector<std::string>& problems);

} // namespace varnex
