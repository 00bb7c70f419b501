#include "archive/FileVersion.h"

namespace varnex {

int FileVersion::Compare(const FileVersion& other) const {
    if (major != other.major) return major < other.major ? -1 : 1;
    if (minor != other.minor) return minor < other.minor ? -1 : 1;
    if (build != other.build) return build < other.build ? -1 : 1;
    if (hasRevision && other.hasRevision && revision != other.revision)
        return revision < other.revision ? -1 : 1;
    return 0;
}

FileVersion ProgramVersion() {
    return {VARNEX_VERSION_MAJOR, VARNEX_VERSION_MINOR, VARNEX_VERSION_BUILD,
            VARNEX_VERSION_REVISION, true};
}

namespace {
FileVersion activeVersion = ProgramVersion();
bool resultsSaved = false;
} // namespace

FileVersion& ActiveFileVersion() { return activeVersion; }

bool ResultsSaved() { return resultsSaved; }

void SetResultsSaved(bool withResults) { resultsSaved = withResults; }

} // namespace varnex
