#pragma once

#include <cstddef>
#include <string>

namespace varnex {

// JSON pointers (RFC 6901) into a project document, as the reader names the
// place of a problem and as correlations name their inputs. The empty
// pointer is the whole document; problems show it as "/".

// `path` extended by an object key ("~" and "/" in the key escaped).
inline std::string JsonPointerChild(const std::string& path, const std::string& key) {
    std::string child = path + "/";
    for (char c : key) {
        if (c == '~')
            child += "~0";
        else if (c == '/')
            child += "~1";
        else
            child += c;
    }
    return child;
}

// `path` extended by an array index.
inline std::string JsonPointerChild(const std::string& path, std::size_t index) {
    return path + "/" + std::to_string(index);
}

// A problem's text: where, then what.
inline std::string JsonProblem(const std::string& path, const std::string& message) {
    return (path.empty() ? std::string("/") : path) + ": " + message;
}

} // namespace varnex
