#pragma once

#include <cstddef>
#include <string>

#include "archive/CompFile.h"
#include "base/TextEncoding.h"

namespace varnex {

// Every text of a project (names, details, the map's file name) is stored as
// one string of the project file, which holds at most this many bytes. The limit is enforced where text enters (forms, the JSON form,
// validation before a run), so that a project is never refused at the save.
inline constexpr std::size_t maxTextBytes = CompFile::maxStringBytes;

// The bytes `text` takes in a project file: its Windows-1252 form where it
// has one, else its UTF-8 (TextForFile).
inline std::size_t StoredTextBytes(const std::string& text) { return TextForFile(text).size(); }

inline bool TextFits(const std::string& text) { return StoredTextBytes(text) <= maxTextBytes; }

// "<field> is too long: <n> bytes, but a project file holds at most 16383
// bytes of text in one field." (translated); `field` names the field as the
// user knows it (a label, or a JSON path).
std::string TextTooLongMessage(const std::string& field, std::size_t bytes);

} // namespace varnex
