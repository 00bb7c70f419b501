#pragma once

#include <string>

namespace varnex {

// The folder of the running program, without a trailing "/": the program's
// path up to its last "/". The data files ship beside the program, so every
// other file the program reads by itself is found from here. Falls back to
// "." when the program's path cannot be read (no /proc).
std::string ProgramDirectory();

// For a program that embeds the engine in another one (the Python module
// inside python3): the folder its data files ship in, used by
// ProgramDirectory() from then on. An empty folder goes back to the running
// program's own.
void SetProgramDirectory(const std::string& directory);

// A file of the "Info" folder beside the program: ProgramDirectory() +
// "/Info/" + name.
std::string InfoFilePath(const std::string& name);

} // namespace varnex
