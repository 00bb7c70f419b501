#pragma once

#include <string>
#include <utility>
#include <vector>

namespace varnex {

class Project;

// The decay chains of a project as settings of the project file's trailing
// block (ProjectFileTrailer), beyond the layout, so that files of projects
// without chains stay as they were and older programs skip them. Per
// contaminant, by its identifier:
//
//   "Decay Chain Parent <identifier>"  the parent's identifier, decimal;
//   "Decay Chain Yield <identifier>"   the yield's distribution in its text
//                                      form, numbers with 17 significant
//                                      digits, which read back as the same
//                                      doubles;
//   "Decay Chain Yield Samples <identifier> <chunk>"
//                                      with results only: the yield's
//                                      samples, 17 digits each, separated by
//                                      blanks, chunk 0, 1, ... in iteration
//                                      order, each well below the archive's
//                                      string limit.
namespace DecayChainSettings {

using Setting = std::pair<std::string, std::string>;

inline constexpr const char* parentPrefix = "Decay Chain Parent ";
inline constexpr const char* yieldPrefix = "Decay Chain Yield ";
inline constexpr const char* samplesPrefix = "Decay Chain Yield Samples ";
// Samples per chunk: 24 characters at most each ("-1.2345678901234567e-308"
// and a blank), so a chunk stays under 12,500 bytes.
inline constexpr std::size_t samplesPerChunk = 500;

// Whether the key is one of these settings.
bool IsChainKey(const std::string& key);

// The settings of the project's chains: a contaminant's parent when it has
// one, its yield when it has a parent or a yield entered (one kept after
// its parent was removed), and with `withResults` the yield's samples.
// None for a project without either.
std::vector<Setting> Write(const Project& project, bool withResults);

// Applies the settings read (those with IsChainKey) to the contaminants
// read, after them. A setting of an identifier that is no contaminant, or
// a value that does not read, is passed over like an unknown key: the file
// is read as far as it can be, and the check before a run names what is
// missing. Samples are kept only when the chunks are complete and hold
// `iterations` values. Every yield in use takes an identity the loaded
// inputs do not have.
void Apply(const std::vector<Setting>& settings, int iterations, Project& project);

} // namespace DecayChainSettings

} // namespace varnex
