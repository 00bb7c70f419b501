#pragma once

#include <string>

#include "persist/ProjectFileTrailer.h"

namespace varnex {

class Project;

// Saving and loading the `.vnx` project file (layout, version checks, limits
// and repairs in docs/project-file.md).

class FileSystemCalls;

struct ProjectSaveOptions {
    // Write the samples and result vectors too; honoured only while the
    // project's results are valid (those of its current model).
    bool withResults = false;
    // The date written into the file; empty: the local time now, formatted
    // "%Y-%m-%d %H:%M:%S". Lets a test make the bytes of a file repeatable.
    std::string dateSaved;
    // The calls the file is written through (not owned); null: the system's.
    FileSystemCalls* fileSystem = nullptr;
    // When set, the bytes go to this existing file (one an OutputTransaction
    // staged for the target) and the caller puts it in place: no temporary
    // of the save's own, no rename. Lets one command write several outputs
    // as a whole. The path still names the project in the file and becomes
    // its file path.
    std::string writeTo;
};

// Saves `project` to `path` (the project's own file path when `path` is
// empty). The file is written under a temporary name in the same folder and
// renamed over the target only once every byte is written, flushed and
// closed, so a failed save leaves an existing file as it was. On success the
// project's file path and date saved are set, and the program-wide file
// version and results-saved flag are those of the file written; on failure
// nothing changes and `error` holds the message to show. A new project's
// placeholder path ("unnamed", or none) is refused: saving needs a real
// path.
bool SaveProject(Project& project, const std::string& path, const ProjectSaveOptions& options,
                 std::string& error);
bool SaveProject(Project& project, const std::string& path, bool withResults, std::string& error);

// Loads the file at `path` into a fresh project and, only on success,
// replaces `project` with it (its standard sets, which come from the
// standards files rather than the file, are kept). The project's file path
// becomes `path`, whatever path the file stored; labels are applied, the
// inventory invariant restored and statistics recomputed. The program-wide
// iteration count, file version and results-saved flag are those of the
// file afterwards. On failure `project` and every program-wide value are as
// they were, and `error` holds the message: the archive's message for a
// file that cannot be opened, "Can't load Version %d.%02d files" for a
// version this program does not read, that it ends early, or what is
// damaged (a value out of range, or contents that do not match the
// checksum stored with them).
// Whether to show the message (a quiet load shows nothing) is the caller's
// choice.
bool LoadProject(const std::string& path, Project& project, std::string& error);

struct ProjectLoadOptions {
    // Load a file whose stored checksum does not match its contents. Such a
    // file is refused unless the caller has told the user what is wrong
    // (the message of the refusal) and the user chose to open it anyway.
    bool acceptDamaged = false;
};

struct ProjectLoadOutcome {
    // unchecked: a file without the trailing block (older versions);
    // damaged: the checksum did not match; with acceptDamaged the load
    // succeeded and `error` holds the warning to show.
    FileIntegrity integrity = FileIntegrity::unchecked;
};

bool LoadProject(const std::string& path, Project& project, std::string& error,
                 const ProjectLoadOptions& options, ProjectLoadOutcome& outcome);

// The same for a file's bytes held in memory; `name` stands for the file in
// messages and becomes the project's file path.
bool LoadProjectFromBytes(const std::string& bytes, Project& project, std::string& error,
                          const std::string& name = "project.vnx");
bool LoadProjectFromBytes(const std::string& bytes, Project& project, std::string& error,
                          const std::string& name, const ProjectLoadOptions& options,
                          ProjectLoadOutcome& outcome);

} // namespace varnex
