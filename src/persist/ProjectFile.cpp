#include "persist/ProjectFile.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/mman.h>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "archive/CompFile.h"
#include "archive/FileVersion.h"
#include "base/AtomicFile.h"
#include "base/Exception.h"
#include "base/FileSystemPaths.h"
#include "model/Project.h"
#include "persist/ProjectFileMessages.h"
#include "persist/ProjectFileReader.h"
#include "persist/ProjectFileWriter.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "stochastic/ParameterIdentity.h"

namespace varnex {

namespace {

namespace fs = std::filesystem;

// The program-wide values a save or load changes, so that a failed one can
// put them back. The identity counter is among them: a failed load may have
// raised it to identities of inputs that were then discarded.
class ProgramWideValues {
public:
    ProgramWideValues()
        : iterations_(IterationCount()), version_(ActiveFileVersion()),
          resultsSaved_(ResultsSaved()), idCounter_(ParameterIdCounter()) {}
    void Restore() const {
        SetIterationCount(iterations_);
        ActiveFileVersion() = version_;
        SetResultsSaved(resultsSaved_);
        ResetParameterIdCounter(idCounter_);
    }

private:
    int iterations_;
    FileVersion version_;
    bool resultsSaved_;
    std::int32_t idCounter_;
};

std::string LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = {};
    if (localtime_r(&now, &local) == nullptr) return std::string();
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

bool IsPlaceholderPath(const std::string& path) {
    return path.empty() || path == "unnamed" || path == Translate("unnamed");
}

std::string WriteFailed(const std::string& path) {
    return CompFileException(CompFileException::writeFailed, path).Message();
}

std::string ReadFailed(const std::string& name) {
    return CompFileException(CompFileException::readFailed, name).Message();
}

// Without this a rename can reach the disk before the data it names.
// Sets `reason` on failure.
bool SyncFile(FileSystemCalls& calls, const fs::path& path, bool directory,
              std::error_code& reason) {
    const int descriptor =
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (descriptor < 0) {
        reason = LastSystemError();
        return false;
    }
    const bool synced = calls.Sync(descriptor);
    if (!synced) reason = LastSystemError();
    const bool closed = calls.CloseDescriptor(descriptor);
    if (synced && !closed) reason = LastSystemError();
    return closed && synced;
}

// The first bytes and the size after run-length decoding of a file, found by
// walking its packets without decoding them. The size bounds every count the
// reader meets; a malformed or cut packet ends the walk (the archive reports
// it when it gets there).
struct FileScan {
    std::uint64_t decodedBytes = 0;
    unsigned char raw[4] = {};
    std::size_t rawCount = 0;
    unsigned char decoded[4] = {};
    std::size_t decodedCount = 0;
    // The last packet lacks bytes its header announced: the file was cut
    // short. Only the bytes really there count in decodedBytes.
    bool cutShort = false;
};

bool ScanFile(const std::string& path, FileScan& scan) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    unsigned char chunk[65536];
    std::size_t literalLeft = 0;
    std::size_t runLength = 0;
    bool malformed = false;
    std::size_t got;
    while (!malformed && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        for (std::size_t i = 0; i < got && !malformed; ++i) {
            const unsigned char byte = chunk[i];
            if (scan.rawCount < 4) scan.raw[scan.rawCount++] = byte;
            if (literalLeft > 0) {
                if (scan.decodedCount < 4) scan.decoded[scan.decodedCount++] = byte;
                --literalLeft;
            } else if (runLength > 0) {
                for (; runLength > 0 && scan.decodedCount < 4; --runLength)
                    scan.decoded[scan.decodedCount++] = byte;
                runLength = 0;
            } else {
                const std::size_t count = byte & 127u;
                if (count == 0) {
                    malformed = true;
                } else {
                    scan.decodedBytes += count;
                    (byte & 128u ? literalLeft : runLength) = count;
                }
            }
        }
    }
    if (!malformed && (literalLeft > 0 || runLength > 0)) {
        scan.cutShort = true;
        scan.decodedBytes -= literalLeft + runLength;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

// The old uncompressed format starts with the 16-bit version numbers 1 and
// 6; decoded as packets those bytes give a major version of 0. Its layout
// beyond the header is not read by this program, so every such file, and
// any other whose decoded major version is 0, is refused by the version its
// first two 16-bit values give.
bool IsUncompressedFormat(const FileScan& scan, int& major, int& minor) {
    if (scan.rawCount < 4) return false;
    major = scan.raw[0] | (scan.raw[1] << 8);
    minor = scan.raw[2] | (scan.raw[3] << 8);
    const bool oldHeader = major == 1 && minor == 6;
    const bool zeroMajor = scan.decodedCount == 4 && scan.decoded[0] == 0 && scan.decoded[1] == 0 &&
                           scan.decoded[2] == 0 && scan.decoded[3] == 0;
    return oldHeader || zeroMajor;
}

bool LoadFile(const std::string& path, const std::string& name, Project& project,
              std::string& error, const ProjectLoadOptions& options, ProjectLoadOutcome* outcome) {
    error.clear();
    if (outcome) *outcome = ProjectLoadOutcome{};
    const ProgramWideValues before;
    FileScan scan;
    std::error_code ignored;
    if (fs::is_directory(path, ignored) || !ScanFile(path, scan)) {
        error = ReadFailed(name);
        return false;
    }
    int major = 0, minor = 0;
    if (IsUncompressedFormat(scan, major, minor)) {
        error = UnsupportedVersionMessage(major, minor);
        return false;
    }
    try {
        Project loaded;
        loaded.standardSets = project.standardSets;
        CompFile archive;
        if (!archive.Open(path, "rb")) {
            error = ReadFailed(name);
            return false;
        }
        ProjectFileReader reader(archive, scan.decodedBytes, name);
        reader.Read(loaded);
        archive.Close();
        if (outcome) outcome->integrity = reader.Integrity();
        if (reader.Integrity() == FileIntegrity::damaged) {
            // Told in every case; loaded only when the caller, having told
            // the user, asks for it.
            error =
                ChecksumMismatchMessage(name, reader.StoredChecksum(), reader.ComputedChecksum());
            if (!options.acceptDamaged) {
                before.Restore();
                return false;
            }
        }
        loaded.filePath = name;
        project = std::move(loaded);
        return true;
    } catch (const Exception& failure) {
        error = failure.Message();
    } catch (const CompFileException& failure) {
        // Named as the caller knows the file; a file cut within a packet is
        // told as cut.
        if (scan.cutShort && failure.ErrorCode() == CompFileException::readFailed)
            error = FileEndsEarlyMessage(name);
        else
            error = CompFileException(failure.ErrorCode(), name).Message();
    } catch (const std::bad_alloc&) {
        error = CompFileException(CompFileException::allocationFailed, name).Message();
    } catch (const std::exception&) {
        error = ReadFailed(name);
    }
    before.Restore();
    return false;
}

} // namespace

bool SaveProject(Project& project, const std::string& path, const ProjectSaveOptions& options,
                 std::string& error) {
    error.clear();
    const std::string target = path.empty() ? project.filePath : path;
    if (IsPlaceholderPath(target)) {
        error = Translate("The project has no file name yet: choose one to save it");
        return false;
    }
    const bool withResults = options.withResults && project.resultsValid;
    const std::string date = options.dateSaved.empty() ? LocalTimeNow() : options.dateSaved;

    const ProgramWideValues before;
    const fs::path resolved = FollowLinks(target);
    const fs::path folder = resolved.has_parent_path() ? resolved.parent_path() : fs::path(".");
    // Unique per process and call; created exclusively, so an existing file
    // of that name is never overwritten.
    static std::atomic<unsigned> counter{0};
    const bool staged = !options.writeTo.empty();
    const fs::path temporary =
        staged ? fs::path(options.writeTo)
               : folder / ("." + resolved.filename().string() + ".tmp." +
                           std::to_string(::getpid()) + "." + std::to_string(counter++));
    std::error_code ignored;
    FileSystemCalls& calls = options.fileSystem ? *options.fileSystem : FileSystemCalls::System();
    bool saved = false;
    // Why the save failed, in the system's words, for the user to put right.
    std::error_code reason;
    try {
        ActiveFileVersion() = ProgramVersion();
        SetResultsSaved(withResults);
        CompFile archive;
        archive.UseFileSystemCalls(calls);
        // A staged file exists already, made exclusively by its owner.
        if (archive.Open(temporary.string(), staged ? "wb" : "wbx")) {
            ProjectFileWriter writer(archive, project, withResults);
            writer.Write(date, target);
            archive.Close();
            saved = SyncFile(calls, temporary, false, reason);
        } else {
            reason = LastSystemError();
        }
        if (saved && !staged) {
            // A user who made the file private keeps it private.
            const fs::file_status old = fs::status(resolved, ignored);
            if (fs::exists(old)) fs::permissions(temporary, old.permissions(), ignored);
            std::error_code renamed;
            calls.Rename(temporary, resolved, renamed);
            saved = !renamed;
            if (saved)
                SyncFile(calls, folder, true, ignored);
            else
                reason = renamed;
        }
    } catch (const CompFileException& failure) {
        saved = false;
        if (failure.SystemError() != 0)
            reason = std::error_code(failure.SystemError(), std::generic_category());
    } catch (const std::bad_alloc&) {
        saved = false;
        reason = std::make_error_code(std::errc::not_enough_memory);
    } catch (const std::exception&) {
        saved = false;
    }
    if (!saved) {
        if (!staged) fs::remove(temporary, ignored);
        before.Restore();
        error = WithSystemReason(WriteFailed(target), reason);
        return false;
    }
    project.filePath = target;
    project.dateSaved = date;
    return true;
}

bool SaveProject(Project& project, const std::string& path, bool withResults, std::string& error) {
    ProjectSaveOptions options;
    options.withResults = withResults;
    return SaveProject(project, path, options, error);
}

bool LoadProject(const std::string& path, Project& project, std::string& error) {
    return LoadFile(path, path, project, error, ProjectLoadOptions{}, nullptr);
}

bool LoadProject(const std::string& path, Project& project, std::string& error,
                 const ProjectLoadOptions& options, ProjectLoadOutcome& outcome) {
    return LoadFile(path, path, project, error, options, &outcome);
}

// The bytes are given a file of their own in memory, which the archive opens
// by its name like any other.
bool LoadProjectFromBytes(const std::string& bytes, Project& project, std::string& error,
                          const std::string& name) {
    ProjectLoadOutcome outcome;
    return LoadProjectFromBytes(bytes, project, error, name, ProjectLoadOptions{}, outcome);
}

bool LoadProjectFromBytes(const std::string& bytes, Project& project, std::string& error,
                          const std::string& name, const ProjectLoadOptions& options,
                          ProjectLoadOutcome& outcome) {
    const int descriptor = ::memfd_create("varnex-project", MFD_CLOEXEC);
    if (descriptor < 0) {
        error = ReadFailed(name);
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        written += static_cast<std::size_t>(count);
    }
    bool loaded = false;
    if (written == bytes.size()) {
        loaded = LoadFile("/proc/self/fd/" + std::to_string(descriptor), name, project, error,
                          options, &outcome);
    } else {
        error = ReadFailed(name);
    }
    ::close(descriptor);
    return loaded;
}

} // namespace varnex
