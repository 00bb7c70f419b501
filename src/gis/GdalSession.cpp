#include "gis/GdalSession.h"

#include <atomic>
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gdal.h>

namespace varnex {

GdalSession::GdalSession() {
    // A function-local static is initialised exactly once, even when the
    // first sessions start on several threads at the same time.
    static const bool registered = [] {
        GDALAllRegister();
        return true;
    }();
    (void)registered;
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
}

GdalSession::~GdalSession() { CPLPopErrorHandler(); }

std::string LastGdalError() {
    const char* message = CPLGetLastErrorMsg();
    return message ? std::string(message) : std::string();
}

std::string UniqueMemoryFileName(const std::string& suffix) {
    static std::atomic<unsigned long long> counter{0};
    return "/vsimem/varnex_map_" + std::to_string(counter.fetch_add(1)) + suffix;
}

std::string TakeMemoryFile(const std::string& name) {
    vsi_l_offset length = 0;
    // TRUE: GDAL hands the buffer over and forgets the file.
    GByte* data = VSIGetMemFileBuffer(name.c_str(), &length, TRUE);
    std::string bytes;
    if (data != nullptr) {
        bytes.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
        CPLFree(data);
    }
    VSIUnlink(name.c_str());
    // What SQLite (a GeoPackage) may leave beside its database.
    for (const char* companion : {"-journal", "-wal", "-shm"})
        VSIUnlink((name + companion).c_str());
    return bytes;
}

} // namespace varnex
