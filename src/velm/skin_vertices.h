#pragma once
// The per-vertex part of CPU skinning.

#include "kelncore/collections/arrays/arrays_base_impl.h"
#include "kelncore/math/mat_sq.h"
#include "velm/skinned_mesh.h"

namespace keln::velm {

// Deforms every vertex of mesh by the skinning matrices, one per bone, each
// mapping bind-pose model space to the bone's current model space (its
// inverse bind matrix applied first, its current global matrix second).
//
// For vertex v: B = the sum, in influence order and starting from the zero
// matrix, of weight * skin_matrices[bone] (each weighted matrix formed by
// scaling every component); skinned_positions[v] = transform_points_proj of
// positions[v] by B, skinned_normals[v] = transform_dirs_proj of normals[v] by
// B, both through the routine table (where the table holds the portable
// routines, their arithmetic runs inline, bit for bit the same). For affine matrices the position is thus
// divided by the vertex's weight sum (not when that is 0) and the normal is
// the weighted sum, not renormalised. A vertex without influences ends at the
// origin with a zero normal.
//
// The output arrays are resized to the counts of positions and normals (no
// allocation once they have that size). An influence bone not below the
// number of skinning matrices, or fewer normals or skin vertices than
// positions, ends the process through the array check.
void skin_vertices(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);

}  // namespace keln::velm
