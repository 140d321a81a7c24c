#pragma once
// The checks a geometry document must pass before a skinned mesh is built
// from it, so that building never reads or writes out of bounds.

#include <cstdint>

#include "documents/qim.h"

namespace keln::velm {

// Most vertices a skinned mesh can address with 16-bit indices.
inline constexpr std::uint64_t max_skinned_vertices = 65536;

// Checks the parsed geometry document loaded from path and returns its skin
// "_POSITION" stream, or reports the first problem as one error line
// "geometry file: <path> - <problem>" and returns null. Rejected:
// - a piece without a "_POSITION" or "_NORMAL" stream, or with one that is
//   not Float3 or holds fewer items than the piece's vertex count;
// - a piece whose triangle list is missing or holds fewer items than its
//   triangle count, or a triangle index that is negative or not below the
//   piece's vertex count;
// - more than 65,536 vertices in all pieces together;
// - no skin, or no "_POSITION" stream in the skin;
// - a skin item whose weight names a bone not below bone_count, or whose
//   vertex reference names a piece or a vertex of a piece that does not exist.
const qim_skinstream_t* check_geometry(const qim_t& document, const char* path, std::uint32_t bone_count);

}  // namespace keln::velm
