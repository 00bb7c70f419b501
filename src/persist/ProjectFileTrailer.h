#pragma once

#include <cstdint>

namespace varnex {

// The block this program appends to every project file after the records
// that the file's layout defines. A reader of that layout stops after the
// standard selection and never reaches it, so files stay readable by the
// program's predecessors; this program reads it when it is there:
//
//   Int marker ("VNXB" as little-endian bytes), Int block version,
//   Int n, then n pairs of Str key, Str value (settings beyond the layout;
//   a later version adds keys, never changes this shape, and a reader
//   skips keys it does not know),
//   Int CRC-32 of every value byte of the file before it.
//
// The checksum covers the whole value stream, the records and the block,
// so any changed byte of a file is found. A file without the block (older
// versions, the predecessors) is read as before, unchecked.
namespace ProjectFileTrailer {
inline constexpr std::int32_t marker = 0x42584E56; // bytes 'V', 'N', 'X', 'B'
inline constexpr std::int32_t version = 1;
// The kernel that computed the stored results ("fast", "reference" or
// "exact"); written only with results.
inline constexpr const char* solverKernelKey = "Solver Kernel";
// The project's sampling method ("Latin Hypercube"); absent: plain Monte
// Carlo.
inline constexpr const char* samplingMethodKey = "Sampling Method";
// The site plan's coordinate reference system ("EPSG:27700"); absent: none.
inline constexpr const char* coordinateSystemKey = "Coordinate System";
// The plume map last drawn, each only when it is not the default: the kind
// ("probability"), the quantity ("mean", "percentile"), the percentile
// shown ("50") and the levels computed ("50,95").
inline constexpr const char* plumeMapKey = "Plume Map";
inline constexpr const char* plumeMapQuantityKey = "Plume Map Quantity";
inline constexpr const char* plumeMapPercentileKey = "Plume Map Percentile";
inline constexpr const char* plumeMapPercentilesKey = "Plume Map Percentiles";
} // namespace ProjectFileTrailer

// What the reader could tell about a file's integrity.
enum class FileIntegrity {
    unchecked, // no trailing block: an older file
    intact,    // the stored checksum matches
    damaged,   // the stored checksum does not match the contents
};

} // namespace varnex
