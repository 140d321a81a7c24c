#pragma once
// From poses to per-bone matrices. Matrix arrays are indexed by bone index
// and use the conventions of kelncore/math (row-major, column vectors). None
// of these routines allocate except where they resize their output.

#include "kelncore/collections/arrays/arrays_base_impl.h"
#include "kelncore/math/mat_sq.h"
#include "velm/bone_node.h"
#include "velm/pose.h"

namespace keln::velm {

// For every channel i in order: matrices[pose.bone_index(i)] = matrix of
// pose.transform(i). Bones no channel drives keep their entry; of two
// channels driving one bone the later wins. An index outside matrices ends
// the process (array check).
void pose_to_matrices(array_t<mat4_t>& matrices, const pose_t& pose);

// Turns local matrices into global ones: for i = 0 .. size - 1 in order,
// matrices[i] = matrices[i] then matrices[parent] (roots stay as they are).
// Afterwards matrices[i] maps bone i's space to model space, provided the
// skeleton is ordered (skeleton_is_ordered); otherwise a bone whose parent
// is itself or comes later is composed with that parent's local matrix.
// Every i must be a bone of skeleton and every parent an index into
// matrices (array check).
// This is the hierarchy pass of every skeletal instance.
void concatenate_hierarchy(const array_t<bone_node_t>& skeleton, array_t<mat4_t>& matrices);

// Global matrices of a pose: out resized to the skeleton's bone count (new
// entries are zero matrices), pose_to_matrices, concatenate_hierarchy.
void global_matrices(const array_t<bone_node_t>& skeleton, const pose_t& pose, array_t<mat4_t>& out);

// Inverse bind matrices: the inverses of the global matrices of the rest
// pose, mapping model space into each bone's space at rest. A singular rest
// matrix leaves its (unusable) adjugate without report.
void inverse_bind_matrices(const array_t<bone_node_t>& skeleton, const pose_t& rest, array_t<mat4_t>& out);

}  // namespace keln::velm
