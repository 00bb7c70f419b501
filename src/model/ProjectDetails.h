#pragma once

#include <string>

namespace varnex {

// The descriptive texts of a project, shown as "Title:", "Client Name:",
// "Project Number:", "Prepared By:" and "Comment:".
struct ProjectDetails {
    std::string title;
    std::string clientName;
    std::string projectNumber;
    std::string preparedBy;
    std::string comment;
};

} // namespace varnex
