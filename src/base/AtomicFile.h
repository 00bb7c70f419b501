#pragma once

#include <string>
#include <system_error>

#include "base/FileSystemCalls.h"

namespace varnex {

// Replaces the file at `path` by `contents` so that a reader, or the file
// after a crash or power cut, holds either the old contents or the new ones,
// never a mixture or an empty file: the contents go to a new file in the same
// folder, are flushed to disk, and that file is then renamed over the old one.
// The folder is created if missing. A symbolic link is followed, so a
// preference file that the user keeps elsewhere and links to stays linked.
// Returns false on any failure, leaving the old file as it was, and sets
// `reason` to the system's error of the call that failed (permission denied,
// no space left, a read-only file system).
// Every write, flush, close and rename goes through `calls`.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::error_code& reason,
                           FileSystemCalls& calls = FileSystemCalls::System());
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           FileSystemCalls& calls = FileSystemCalls::System());

// A failure message with the system's reason on a line of its own, as a
// user needs it to put the cause right; the message alone when the failure
// had no system call behind it.
std::string WithSystemReason(const std::string& message, const std::error_code& reason);

} // namespace varnex
