#pragma once
// One animated copy of a skeleton: the skeleton with its rest pose and inverse
// bind matrices, the documents it was built from, the weighted poses bound to
// it and the current pose that blends them.

#include <cstdint>

#include "documents/qis.h"
#include "documents/qix_node.h"
#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/collections/auto_ptr.h"
#include "kelncore/math/mat_sq.h"
#include "velm/bone_node.h"
#include "velm/dynamic_pose.h"
#include "velm/instance.h"
#include "velm/motion.h"
#include "velm/pose.h"
#include "velm/skinned_mesh.h"

namespace keln::velm {

class skeletal_instance_t : public instance_t {
 public:
  // Loads the skeleton document at skeleton_path (file-system device 2) and
  // builds the bones (name tokens, parents resolved by name; an unknown
  // parent name makes a root), the rest pose (each bone relative to its
  // parent), the inverse bind matrices and a current pose of default
  // transforms. Every loader prints "# <<<<<<<<<<<<<" (geometry:
  // "# *************") and "<kind> file: <path> - parsed OK" for a document
  // that loaded, "error parsing <path>" for one that did not. A skeleton that
  // cannot be loaded, or in which a bone does not stand after its parent
  // (which includes every cycle of parent links; reported), leaves the
  // instance with no bones: it stays usable, update changes nothing and only
  // vertices without influences can be skinned.
  explicit skeletal_instance_t(const char* skeleton_path);
  // Destroys every document node this instance loaded, in load order, then
  // its own arrays. Bound poses are not owned and stay alive.
  ~skeletal_instance_t() override;

  // Builds a keyframe motion from the animation document at path: one channel
  // per bone channel, its bone resolved by name through the skeleton document
  // (no_bone when unknown), its duration the sum of the first K - 1 "_TIME"
  // items, its keys the "_MATRIX" items with consecutive rotations in the same
  // hemisphere. A channel whose time or matrix stream is missing or of the
  // wrong format is reported and keeps duration 0 or no keys. Null, after
  // "error parsing %s", when the document cannot be loaded. The caller owns
  // the motion.
  motion_t* load_motion(const char* path);

  // Builds a skinned mesh from the geometry document at path: the pieces
  // concatenated (positions, normals, triangles re-based to 16-bit indices of
  // the whole mesh), the influences of the skin's "_POSITION" stream assigned
  // to the vertices its items name. Null, with one error line naming the
  // document and the problem, when the document cannot be loaded or when it
  // is unfit: a piece without a Float3 "_POSITION" or "_NORMAL" stream of one
  // item per vertex, a triangle list of the wrong size or with a vertex index
  // not below its piece's vertex count, more than 65,536 vertices in all, no
  // skin "_POSITION" stream, an item naming a piece or vertex that does not
  // exist, or a bone not below this instance's bone count. Vertices without
  // influences are reported and loading goes on. The caller owns the mesh.
  skinned_mesh_t* load_skin(const char* path);

  // Binds pose with weight 0 and returns the binding's index. The pose is not
  // owned and must outlive the instance; a null pose takes an index but is
  // ignored by update.
  std::uint32_t add_pose(pose_t* pose);
  // The binding at index (checked: a bad index ends the process); the weight
  // is set through it.
  pose_binding_t& binding(std::uint32_t index);
  const pose_binding_t& binding(std::uint32_t index) const { return m_bindings[index]; }
  std::uint32_t binding_count() const { return m_bindings.size(); }

  // Blends the bound poses into the current pose, bone by bone in proportion
  // to the binding weights (only the ratios of the weights that drive a bone
  // matter). Per bone, the first binding with a positive share replaces the
  // bone's transform and each later one is interpolated in at
  // share / (sum of the shares so far), keeping the earlier stretch. A bone
  // that no binding of positive weight drives keeps its transform. Channels
  // whose bone is not below the bone count, bindings without a pose, and
  // channels whose weight total is not a positive finite share are skipped,
  // so no non-number enters the pose. Only contributing channels are sampled.
  // Allocates nothing.
  void update() override;

  // Deforms mesh with pose: the pose's global matrices (bones the pose does
  // not drive take their rest transform), each preceded by its bone's inverse
  // bind matrix, blended per vertex (see skin_vertices.h). Influences of
  // bones not below the bone count, and channels of pose driving such bones,
  // end the process through the array check.
  void skin(skinned_mesh_t& mesh, const pose_t& pose);

  // Turns per-bone local matrices into global ones over this skeleton (each
  // bone's local transform, then its parent's global one). matrices must have
  // one entry per bone.
  void concatenate_hierarchy(array_t<mat4_t>& matrices) const;

  std::uint32_t bone_count() const { return m_skeleton.size(); }
  // The name bone has in the skeleton document; "" when it is not one of
  // this instance's bones.
  const char* bone_name(std::uint32_t bone) const;
  const array_dyn_t<bone_node_t>& skeleton() const { return m_skeleton; }
  const dynamic_pose_t& rest_pose() const { return m_rest_pose; }
  const array_dyn_t<mat4_t>& inverse_bind() const { return m_inverse_bind; }
  // The current blended pose: one channel per bone, channel i drives bone i.
  dynamic_pose_t& pose() { return m_pose; }
  const dynamic_pose_t& pose() const { return m_pose; }

 private:
  // Running sums of one bone while update blends.
  struct blend_sums_t {
    float accumulated = 0.0f;
    float total = 0.0f;
  };

  void load_skeleton(const char* path);
  // Fills bones and rest pose from the skeleton document loaded from path;
  // reports and returns false when a bone does not stand after its parent.
  bool build_skeleton(const qis_t& document, const char* path);
  // Sizes every per-bone array to the bone count and computes the inverse
  // bind matrices and the rest matrices.
  void prepare_bones();
  // Index of the skeleton-document bone called name; no_bone when there is
  // no skeleton document or the name is empty or unknown.
  std::uint32_t resolve_bone(const char* name) const;

  dynamic_pose_t m_rest_pose;
  array_dyn_t<mat4_t> m_inverse_bind;
  array_dyn_t<pose_binding_t> m_bindings;
  array_dyn_t<bone_node_t> m_skeleton;
  dynamic_pose_t m_pose;
  auto_ptr_t<qix_node_list_t> m_documents;
  const qis_t* m_skeleton_document = nullptr;

  // Working storage sized once with the skeleton, so that update and skin
  // allocate nothing per frame.
  array_dyn_t<blend_sums_t> m_blend_sums;
  // Local rest matrix of every bone: the start of each skinning, so that
  // bones the skinned pose does not drive keep their rest transform.
  array_dyn_t<mat4_t> m_rest_matrices;
  array_dyn_t<mat4_t> m_skin_matrices;
};

}  // namespace keln::velm
