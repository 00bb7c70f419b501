#include "base/OutputTransaction.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "base/AtomicFile.h"
#include "base/FileSystemPaths.h"
#include "base/PendingTemporaries.h"

namespace varnex {

namespace {

namespace fs = std::filesystem;

std::string CannotWrite(const std::string& target, const std::error_code& reason) {
    return WithSystemReason("cannot write " + target, reason);
}

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// Standard output or error when `info` is that file: "/dev/stdout" then
// means the stream the program was given, which a rename would take away
// from the shell (or, opened anew, start writing at its first byte).
int StandardStreamOf(const struct stat& info) {
    for (int stream : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat streamInfo {};
        if (::fstat(stream, &streamInfo) == 0 && streamInfo.st_dev == info.st_dev &&
            streamInfo.st_ino == info.st_ino)
            return stream;
    }
    return -1;
}

bool WriteAll(FileSystemCalls& calls, int descriptor, const std::string& contents,
              std::error_code& reason) {
    std::size_t written = 0;
    while (written < contents.size()) {
        const long count =
            calls.WriteDescriptor(descriptor, contents.data() + written, contents.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            reason =
                count < 0 ? LastSystemError() : std::make_error_code(std::errc::no_space_on_device);
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

bool ReadAll(int descriptor, std::string& contents, std::error_code& reason) {
    char chunk[65536];
    off_t offset = 0;
    for (;;) {
        const ssize_t count = ::pread(descriptor, chunk, sizeof chunk, offset);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            reason = LastSystemError();
            return false;
        }
        if (count == 0) return true;
        contents.append(chunk, static_cast<std::size_t>(count));
        offset += count;
    }
}

void SyncFolder(FileSystemCalls& calls, const fs::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    // Only makes the renames durable; the files are complete already.
    calls.Sync(descriptor);
    calls.CloseDescriptor(descriptor);
}

// The signals that end a program, held during the renames so that it is
// never stopped with some outputs new and some old.
sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal :
         {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, SIGALRM, SIGUSR1, SIGUSR2})
        sigaddset(&set, signal);
    return set;
}

// Unique per process and call, so two writers never share a name.
std::string UniqueName(const fs::path& target, const char* kind) {
    static std::atomic<unsigned> counter{0};
    return (FolderOf(target) / ("." + target.filename().string() + kind +
                                std::to_string(::getpid()) + "." + std::to_string(counter++)))
        .string();
}

} // namespace

OutputTransaction::OutputTransaction(FileSystemCalls& calls) : calls_(calls) {
    PendingTemporaries::BeginWriting();
}

OutputTransaction::~OutputTransaction() { Abandon(); }

bool OutputTransaction::Check(const std::string& target, std::string& error) {
    Output output;
    output.target = target;
    return Classify(output, error, false, false);
}

bool OutputTransaction::Classify(Output& output, std::string& error, bool createFolder,
                                 bool create) {
    const std::string& target = output.target;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = target + " is a folder; nothing was written";
            return false;
        }
        output.standardStream = StandardStreamOf(info);
        output.resolved = target;
        if (output.standardStream >= 0 || !S_ISREG(info.st_mode)) {
            output.direct = true;
            return true;
        }
        // By the mode bits, not only by access(2): a program run as root may
        // write any file, yet a file its owner made read-only is meant to
        // stay as it is.
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::access(target.c_str(), W_OK) != 0) {
            error = target + " is read-only; nothing was written";
            return false;
        }
        output.resolved = FollowLinks(target).string();
        output.hadOld = true;
        output.oldMode = info.st_mode & 07777;
        return true;
    }
    const std::error_code statError = LastSystemError();
    struct stat linkInfo {};
    if (::lstat(target.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        error = target + " is a symbolic link to a missing file; nothing was written";
        return false;
    }
    if (statError != std::errc::no_such_file_or_directory) {
        error = CannotWrite(target, statError);
        return false;
    }
    output.resolved = target;
    if (createFolder && create) {
        std::error_code made;
        fs::create_directories(FolderOf(target), made);
        if (made) {
            error = CannotWrite(target, made);
            return false;
        }
    }
    return true;
}

bool OutputTransaction::CreateTemporary(Output& output, std::string& error) {
    output.temporary = UniqueName(output.resolved, ".tmp.");
    output.slot = PendingTemporaries::Add(output.temporary);
    if (output.slot < 0) {
        error = CannotWrite(output.target, std::make_error_code(std::errc::too_many_files_open));
        return false;
    }
    const int descriptor =
        ::open(output.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        error = CannotWrite(output.target, LastSystemError());
        PendingTemporaries::Forget(output.slot);
        output.slot = -1;
        return false;
    }
    // A user who made the file private keeps it private.
    if (output.hadOld) ::fchmod(descriptor, output.oldMode);
    ::close(descriptor);
    return true;
}

bool OutputTransaction::Prepare(const std::string& target, std::string& error, bool createFolder,
                                bool byPath) {
    error.clear();
    if (!open_) {
        error = CannotWrite(target, std::make_error_code(std::errc::operation_not_permitted));
        return false;
    }
    Output output;
    output.target = target;
    if (!Classify(output, error, createFolder, true)) return false;
    for (const Output& other : outputs_) {
        if (fs::path(other.resolved).lexically_normal() ==
                fs::path(output.resolved).lexically_normal() &&
            !output.direct) {
            error = target + " is named for two outputs; nothing was written";
            return false;
        }
    }
    if (output.direct && byPath) {
        output.memory = ::memfd_create("varnex-output", MFD_CLOEXEC);
        if (output.memory < 0) {
            error = CannotWrite(target, LastSystemError());
            return false;
        }
    } else if (!output.direct && !CreateTemporary(output, error)) {
        return false;
    }
    outputs_.push_back(std::move(output));
    return true;
}

bool OutputTransaction::Stage(const std::string& target, std::string& writePath, std::string& error,
                              bool createFolder) {
    if (!Prepare(target, error, createFolder, true)) return false;
    const Output& output = outputs_.back();
    writePath = output.direct ? "/proc/self/fd/" + std::to_string(output.memory) : output.temporary;
    return true;
}

bool OutputTransaction::Add(const std::string& target, const std::string& contents,
                            std::string& error, bool createFolder) {
    if (!Prepare(target, error, createFolder, false)) return false;
    Output& output = outputs_.back();
    if (output.direct) {
        output.contents = contents;
        return true;
    }
    std::error_code reason;
    const int descriptor = ::open(output.temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool written = descriptor >= 0;
    if (!written) reason = LastSystemError();
    if (written) written = WriteAll(calls_, descriptor, contents, reason);
    if (written && !calls_.Sync(descriptor)) {
        reason = LastSystemError();
        written = false;
    }
    if (descriptor >= 0 && !calls_.CloseDescriptor(descriptor) && written) {
        reason = LastSystemError();
        written = false;
    }
    if (!written) error = CannotWrite(target, reason);
    return written;
}

bool OutputTransaction::WriteDirect(Output& output, std::string& error) {
    std::error_code reason;
    std::string bytes = std::move(output.contents);
    if (output.memory >= 0 && !ReadAll(output.memory, bytes, reason)) {
        error = CannotWrite(output.target, reason);
        return false;
    }
    int descriptor = output.standardStream;
    if (descriptor >= 0) {
        // What the program printed before comes first.
        std::fflush(nullptr);
    } else {
        descriptor = ::open(output.resolved.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (descriptor < 0) {
            error = CannotWrite(output.target, LastSystemError());
            return false;
        }
    }
    bool written = WriteAll(calls_, descriptor, bytes, reason);
    if (output.standardStream < 0 && !calls_.CloseDescriptor(descriptor) && written) {
        reason = LastSystemError();
        written = false;
    }
    if (!written) error = CannotWrite(output.target, reason);
    return written;
}

bool OutputTransaction::Commit(std::string& error) {
    error.clear();
    if (!open_) {
        error = "the outputs were already written or abandoned";
        return false;
    }
    for (Output& output : outputs_) {
        if (output.direct && !WriteDirect(output, error)) {
            Abandon();
            return false;
        }
    }
    const sigset_t held = StopSignals();
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &held, &previous);
    const bool renamed = RenameAll(error);
    // Over before the signals come through: a stop now finds the outputs
    // complete, not a transaction to abandon.
    Abandon();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return renamed;
}

bool OutputTransaction::RenameAll(std::string& error) {
    // A second name for each old file, so that a rename failing part way
    // can put back the ones already replaced. Where the file system has no
    // hard links the old file simply has no way back.
    std::vector<std::string> backups(outputs_.size());
    for (std::size_t k = 0; k < outputs_.size(); ++k) {
        if (outputs_[k].direct || !outputs_[k].hadOld) continue;
        const std::string backup = UniqueName(outputs_[k].resolved, ".old.");
        if (::link(outputs_[k].resolved.c_str(), backup.c_str()) == 0) backups[k] = backup;
    }
    std::size_t done = 0;
    std::error_code reason;
    for (; done < outputs_.size(); ++done) {
        Output& output = outputs_[done];
        if (output.direct) continue;
        calls_.Rename(output.temporary, output.resolved, reason);
        if (reason) break;
        PendingTemporaries::Forget(output.slot);
        output.slot = -1;
        output.temporary.clear();
    }
    const bool renamed = done == outputs_.size();
    if (!renamed) {
        error = CannotWrite(outputs_[done].target, reason);
        for (std::size_t k = 0; k < done; ++k) {
            const Output& output = outputs_[k];
            if (output.direct) continue;
            if (!backups[k].empty()) {
                if (::rename(backups[k].c_str(), output.resolved.c_str()) == 0) backups[k].clear();
            } else if (!output.hadOld) {
                ::unlink(output.resolved.c_str());
            }
        }
    }
    for (const std::string& backup : backups)
        if (!backup.empty()) ::unlink(backup.c_str());
    if (renamed) {
        std::vector<fs::path> folders;
        for (const Output& output : outputs_) {
            if (output.direct) continue;
            const fs::path folder = FolderOf(output.resolved);
            bool seen = false;
            for (const fs::path& other : folders) seen = seen || other == folder;
            if (!seen) folders.push_back(folder);
        }
        for (const fs::path& folder : folders) SyncFolder(calls_, folder);
    }
    return renamed;
}

void OutputTransaction::Abandon() noexcept {
    if (!open_) return;
    for (Output& output : outputs_) {
        if (!output.temporary.empty()) ::unlink(output.temporary.c_str());
        PendingTemporaries::Forget(output.slot);
        output.slot = -1;
        output.temporary.clear();
        if (output.memory >= 0) ::close(output.memory);
        output.memory = -1;
    }
    open_ = false;
    PendingTemporaries::EndWriting();
}

} // namespace varnex
