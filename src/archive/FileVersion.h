#pragma once

namespace varnex {

// The version of a project file. Files up to 2.4.0 stored no revision; such a
// version compares by major, minor and build only.
struct FileVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
    int revision = 0;
    bool hasRevision = true;

    // Three-way comparison by major, minor, build; the revision decides only
    // when both revisions are known and the builds are equal.
    int Compare(const FileVersion& other) const;
    bool NewerThan(const FileVersion& other) const { return Compare(other) > 0; }
    bool OlderThan(const FileVersion& other) const { return Compare(other) < 0; }
};

// This program's own version, written into every project it saves.
FileVersion ProgramVersion();

// The version of the project file being read or written; it stays in force
// while the file's records are read and decides each version check.
FileVersion& ActiveFileVersion();

// True when the file being written or read carries results (samples and
// result vectors); true after the last save or load included them.
bool ResultsSaved();
void SetResultsSaved(bool withResults);

} // namespace varnex
