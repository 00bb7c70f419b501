#pragma once

#include "base/Exception.h"

namespace varnex {

// Ends a run that the user stopped; never shown.
class UserCancel : public Exception {
public:
    UserCancel() : Exception(std::string(), false) {}
};

} // namespace varnex
