// Building the skeleton of an instance from its skeleton document.
#include "documents/qix_load.h"
#include "kelncore/fs/fs_types.h"
#include "kelncore/math/mat4_routines.h"
#include "kelncore/system/messages.h"
#include "velm/bone_name_token.h"
#include "velm/document_report.h"
#include "velm/skeletal_instance.h"

namespace keln::velm {

void skeletal_instance_t::load_skeleton(const char* path) {
  const qis_t* document = qis_load(path, FS_DEVICE_SYSTEM, *m_documents);
  if (report_document_load(document != nullptr, path, banner_skeleton_animation, "skeleton")) {
    m_skeleton_document = document;
    if (!build_skeleton(*document, path)) {
      m_skeleton.clear();
      m_rest_pose.bones.clear();
    }
  }
  prepare_bones();
}

const char* skeletal_instance_t::bone_name(std::uint32_t bone) const {
  // A skeleton that was built has one bone per record of the document, in
  // document order.
  if (bone >= m_skeleton.size()) return "";
  return m_skeleton_document->bones->bone_list[bone].name.c_str();
}

bool skeletal_instance_t::build_skeleton(const qis_t& document, const char* path) {
  m_skeleton.clear();
  m_rest_pose.bones.clear();
  if (document.bones == nullptr) return true;
  const array_dyn_t<qis_bone_t>& bones = document.bones->bone_list;
  for (std::uint32_t i = 0; i < bones.size(); ++i) {
    const qis_bone_t& record = bones[i];
    bone_node_t node;
    node.name = bone_name_token_of(record.name.c_str());
    node.parent = resolve_bone(record.parent.c_str());
    // The hierarchy pass needs every parent before its children; a parent at
    // or after the bone also covers every cycle of parent links.
    if (node.parent != no_bone && node.parent >= i) {
      msg_error("skeleton file: %s - bone %u \"%s\" does not stand after its parent \"%s\"; skeleton ignored",
                path, i, record.name.c_str(), record.parent.c_str());
      return false;
    }
    m_skeleton.push_back(node);
    // The bone's skeleton-space transform, then the inverse of its parent's:
    // the transform relative to the parent.
    mat4_t local = record.matrix;
    if (node.parent != no_bone) mat4_mul(local, record.matrix, bones[node.parent].inverse);
    m_rest_pose.bones.push_back(bone_t(local));
  }
  return true;
}

}  // namespace keln::velm
