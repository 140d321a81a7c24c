#include "velm/pose_matrices.h"

#include "kelncore/math/mat4_routines.h"

namespace keln::velm {

void pose_to_matrices(array_t<mat4_t>& matrices, const pose_t& pose) {
  const std::uint32_t count = pose.channel_count();
  for (std::uint32_t i = 0; i < count; ++i) pose.transform(i)->to_matrix(matrices[pose.bone_index(i)]);
}

void concatenate_hierarchy(const array_t<bone_node_t>& skeleton, array_t<mat4_t>& matrices) {
  const std::uint32_t count = matrices.size();
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t parent = skeleton[i].parent;
    // A root's parent transform is the identity, which leaves the matrix as it is.
    if (parent == no_bone) continue;
    // A copy, so that a bone named as its own parent (a malformed skeleton)
    // is not both an operand and the result of the product.
    const mat4_t parent_matrix = matrices[parent];
    mat4_mul_alias_a(matrices[i], matrices[i], parent_matrix);
  }
}

void global_matrices(const array_t<bone_node_t>& skeleton, const pose_t& pose, array_t<mat4_t>& out) {
  out.resize(skeleton.size());
  pose_to_matrices(out, pose);
  concatenate_hierarchy(skeleton, out);
}

void inverse_bind_matrices(const array_t<bone_node_t>& skeleton, const pose_t& rest, array_t<mat4_t>& out) {
  global_matrices(skeleton, rest, out);
  for (mat4_t& m : out) {
    mat4_t inverse;
    mat4_inverse(inverse, m);
    m = inverse;
  }
}

}  // namespace keln::velm
