#pragma once

#include <string>

namespace varnex {

// The temporary files of outputs not yet in place, kept where a signal
// handler can reach them: a program stopped by a signal while it writes its
// outputs removes them on its way out instead of leaving files of up to
// several megabytes beside the user's own. Everything a handler calls is
// async-signal-safe: fixed storage, lock-free flags and unlink(2).
class PendingTemporaries {
public:
    // Records `path` before the file is created, so that a signal between
    // the two removes it too. Returns the slot to Forget, or -1 when every
    // slot is taken (the caller must then not create the file).
    static int Add(const std::string& path);
    // The file was renamed into place or removed: nothing left to clean.
    static void Forget(int slot) noexcept;
    // Removes every recorded file. Safe in a signal handler.
    static void RemoveAll() noexcept;

    // Outputs are being written (from the start of a transaction until its
    // files are in place or abandoned): a stop now must end the program at
    // once, as no calculation is left to end gracefully. Counted, so nested
    // transactions keep it set.
    static void BeginWriting() noexcept;
    static void EndWriting() noexcept;
    static bool Writing() noexcept;
};

} // namespace varnex
