#include "velm/skeletal_instance.h"

#include "kelncore/math/mat4_routines.h"
#include "velm/pose_matrices.h"
#include "velm/skin_vertices_fast.h"

namespace keln::velm {

skeletal_instance_t::skeletal_instance_t(const char* skeleton_path) : m_documents(new qix_node_list_t()) {
  load_skeleton(skeleton_path);
}

skeletal_instance_t::~skeletal_instance_t() {
  // Documents first (the skeleton document is among them), then the arrays
  // in the reverse order of their declaration, as members are destroyed.
  m_skeleton_document = nullptr;
  qix_destroy_nodes(*m_documents);
  m_documents.reset(nullptr);
}

std::uint32_t skeletal_instance_t::add_pose(pose_t* pose) {
  pose_binding_t binding;
  binding.pose = pose;
  binding.weight = 0.0f;
  m_bindings.push_back(binding);
  return m_bindings.size() - 1;
}

pose_binding_t& skeletal_instance_t::binding(std::uint32_t index) { return m_bindings[index]; }

void skeletal_instance_t::concatenate_hierarchy(array_t<mat4_t>& matrices) const {
  velm::concatenate_hierarchy(m_skeleton, matrices);
}

void skeletal_instance_t::skin(skinned_mesh_t& mesh, const pose_t& pose) {
  m_skin_matrices = m_rest_matrices;  // same size: copies, allocates nothing
  pose_to_matrices(m_skin_matrices, pose);
  concatenate_hierarchy(m_skin_matrices);
  for (std::uint32_t b = 0; b < m_skin_matrices.size(); ++b)
    mat4_mul_alias_b(m_skin_matrices[b], m_inverse_bind[b], m_skin_matrices[b]);
  // The loop for this processor; its results are those of skin_vertices.
  skin_vertices_fast(mesh, m_skin_matrices);
}

void skeletal_instance_t::prepare_bones() {
  const std::uint32_t n = m_skeleton.size();
  m_pose.bones.clear();
  m_pose.bones.resize(n);
  inverse_bind_matrices(m_skeleton, m_rest_pose, m_inverse_bind);
  m_rest_matrices.resize(n);
  pose_to_matrices(m_rest_matrices, m_rest_pose);
  m_skin_matrices.resize(n);
  m_blend_sums.resize(n);
}

std::uint32_t skeletal_instance_t::resolve_bone(const char* name) const {
  if (m_skeleton_document == nullptr || m_skeleton_document->bones == nullptr) return no_bone;
  bool found;  // find_bone's out-flag, unread: its -1 already covers empty and unknown names
  const std::int32_t index = m_skeleton_document->bones->find_bone(name, found);
  return index < 0 ? no_bone : static_cast<std::uint32_t>(index);
}

}  // namespace keln::velm
