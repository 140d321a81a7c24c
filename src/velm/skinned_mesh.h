#pragma once
// A triangle mesh whose vertices follow the bones of a skeleton.

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/vec.h"
#include "velm/skin.h"

namespace keln::velm {

// Built once by skeletal_instance_t::load_skin and owned by its caller.
// Invariant after loading: positions, normals and skin_vertices have one entry
// per vertex (at most 65,536 vertices, so that every vertex has a 16-bit
// index), every index is below that count and every influence names a bone of
// the skeleton the mesh was loaded for. skinned_positions and skinned_normals
// hold the result of the last skinning (empty before the first).
struct skinned_mesh_t {
  // Bind-pose vertex positions of all pieces, concatenated in piece order.
  array_dyn_t<vec3_t> positions;
  // Bind-pose normals, same order and count as positions.
  array_dyn_t<vec3_t> normals;
  // Output of the last skinning, drawn as contiguous float arrays.
  array_dyn_t<vec3_t> skinned_positions;
  array_dyn_t<vec3_t> skinned_normals;
  // Three per triangle, in document order; each indexes the vertex arrays.
  array_dyn_t<unsigned short> indices;
  // Bone influences, one entry per vertex.
  array_dyn_t<skin_vertex_t> skin_vertices;
};

}  // namespace keln::velm
