#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace varnex {

// The system's error of the call just made (errno), for a message's reason
// line; EIO when the call left none.
std::error_code LastSystemError();

// The file that writing `path` replaces: symbolic links are followed (at
// most 40, as the system resolves them, so a loop of links ends), so that a
// file the user keeps elsewhere and links to stays linked.
std::filesystem::path FollowLinks(const std::string& path);

} // namespace varnex
