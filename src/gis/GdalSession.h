#pragma once

#include <string>

namespace varnex {

// Every use of GDAL in the program goes through here: the drivers are
// registered once, and while a GdalSession lives GDAL's own messages are
// kept from stderr (the program reports them in its own words, with
// GDAL's reason from LastGdalError()).
class GdalSession {
public:
    GdalSession();
    ~GdalSession();
    GdalSession(const GdalSession&) = delete;
    GdalSession& operator=(const GdalSession&) = delete;
};

// GDAL's message for the last failure on this thread ("" when it gave none).
std::string LastGdalError();

// A name in GDAL's in-memory file system that no other call uses, ending in
// `suffix` (".tif", ".geojson"): calls on several threads never share a file.
std::string UniqueMemoryFileName(const std::string& suffix);

// The bytes of an in-memory file, which is then removed; empty when there is
// no such file.
std::string TakeMemoryFile(const std::string& name);

} // namespace varnex
