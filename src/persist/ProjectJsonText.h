#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "persist/ProblemList.h"

namespace varnex {

// Documents deeper than this are refused before they are parsed. A project
// needs 8 levels; the limit keeps hostile input (100,000 "[") from ever
// reaching code that recurses per level.
inline constexpr int maximumProjectJsonDepth = 64;

// The largest document read. The largest project (30 sources of ten layers,
// 20 contaminants, 100 receptors) takes a few megabytes as JSON.
inline constexpr std::size_t maximumProjectJsonBytes = std::size_t{64} * 1024 * 1024;

// Parses the text of a project document. Returns false, with one problem
// naming the byte where reading stopped, when the text is not JSON or is
// nested too deeply. Duplicate object keys (which JSON parsers silently
// collapse to the last) are listed as problems at their path, but the
// document is still produced so that the rest of it can be checked. Never
// throws for bad input.
bool ParseProjectJsonText(const std::string& text, nlohmann::ordered_json& document,
                          ProblemList& problems);

// The document as text: two-blank indentation, arrays of numbers (and arrays
// of such pairs, like polygon vertices) kept on one line, a final line feed.
// Bytes that are not UTF-8 are written as U+FFFD.
std::string PrintProjectJson(const nlohmann::ordered_json& document);

} // namespace varnex
