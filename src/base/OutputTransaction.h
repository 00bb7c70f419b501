#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "base/FileSystemCalls.h"

namespace varnex {

// Writes every output of one command as a whole: each new file goes to a
// temporary file beside its target, and only when all of them are written
// are they renamed over their targets, with the stop signals held for those
// few calls; a failure anywhere, or a transaction dropped without Commit,
// leaves every old file as it was and removes every temporary. While a
// transaction is open its temporaries are also known to PendingTemporaries,
// so that a program stopped by a signal can remove them on its way out.
//
// A target that exists and is not a regular file (a device such as
// /dev/null, a FIFO, the program's own standard output) is never replaced:
// its contents are held until Commit and then written into it directly,
// before any rename, so a failure there still leaves the regular files
// untouched. Refused, with a message and before anything is written: a
// folder, a regular file without any write permission in its mode (or that
// the program may not write), and a symbolic link to a missing file (which
// would otherwise make the program create folders where the link points). A
// link to an existing file is followed, so the file stays linked.
class OutputTransaction {
public:
    explicit OutputTransaction(FileSystemCalls& calls = FileSystemCalls::System());
    ~OutputTransaction();
    OutputTransaction(const OutputTransaction&) = delete;
    OutputTransaction& operator=(const OutputTransaction&) = delete;

    // Prepares `target` and sets `writePath` to the empty file that the
    // caller then fills with the new contents (and flushes to disk); Commit
    // puts them in place. `createFolder` makes a missing folder of a new
    // target. On a refusal or failure returns false with `error` the message
    // to show (the reason on its own line).
    bool Stage(const std::string& target, std::string& writePath, std::string& error,
               bool createFolder = false);
    // Stage and write `contents`.
    bool Add(const std::string& target, const std::string& contents, std::string& error,
             bool createFolder = false);
    // Writes the targets that are not regular files, then renames every
    // temporary over its target. When a rename fails the targets renamed
    // before it get their old files back (kept meanwhile by a second hard
    // link), so it is all or nothing for the regular files. Returns false
    // with `error` on failure; either way the transaction is then over.
    bool Commit(std::string& error);
    // Removes every temporary; the old files stay. Idempotent.
    void Abandon() noexcept;

    // Whether `target` would be refused, without writing or creating
    // anything: lets a command refuse before a long calculation rather than
    // after it. Sets `error` as Stage would.
    static bool Check(const std::string& target, std::string& error);

private:
    struct Output {
        std::string target;      // as the user named it, for messages
        std::string resolved;    // the file replaced (links followed)
        std::string temporary;   // regular targets: the file written
        int slot = -1;           // in PendingTemporaries
        bool direct = false;     // written into the target itself
        int memory = -1;         // direct targets staged by path: a file in memory
        int standardStream = -1; // direct targets that are our stdout/stderr
        std::string contents;    // direct targets staged by Add
        bool hadOld = false;     // a regular file is replaced
        unsigned oldMode = 0;    // its permissions, which the new file keeps
    };

    static bool Classify(Output& output, std::string& error, bool createFolder, bool create);
    bool Prepare(const std::string& target, std::string& error, bool createFolder, bool byPath);
    bool CreateTemporary(Output& output, std::string& error);
    bool WriteDirect(Output& output, std::string& error);
    bool RenameAll(std::string& error);

    FileSystemCalls& calls_;
    std::vector<Output> outputs_;
    bool open_ = true;
};

} // namespace varnex
