// One character of the viewer: two playbacks of the same skeleton (the
// B-spline version of every animation and the keyframe version), its skin
// mesh, and the base and side animations with the current selection of each.
#pragma once

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/collections/auto_ptr.h"
#include "kelncore/collections/strings.h"
#include "kelncore/math/vec.h"
#include "velm/playback_difference.h"
#include "velm/pose.h"
#include "velm/skeletal_instance.h"
#include "velm/skinned_mesh.h"

namespace keln::velmscope {

// Selections are made only through binding weights: the selected base
// animation's two bindings weigh base_weight, the selected side animation's
// two side_weight (so that it dominates the bones it drives), every other
// binding of the model 0.
//
// Invariants: one animation entry per animation added, in that order; the
// base animations are the entries flagged base, counted in entry order, the
// side animations the others. base_index is no_selection only while no base
// animation exists or before select_first_base; side_index is no_selection
// (off) or below the side count.
//
// Creating a model never fails as a whole: a skeleton that does not load
// leaves both instances without bones, a geometry document that does not load
// leaves the model without a mesh, and an animation whose document does not
// load is skipped. Each loader reports its own failure.
class velmscope_model_t {
 public:
  static constexpr std::uint32_t no_selection = 0xFFFFFFFFu;
  static constexpr float base_weight = 1.0f;
  static constexpr float side_weight = 1000.0f;

  // Copies name; builds the B-spline playback's instance and then the
  // keyframe playback's, each loading the skeleton document at skeleton_path
  // itself (so the document is read and reported twice). Nothing is selected.
  velmscope_model_t(const char* name, const char* skeleton_path);
  velmscope_model_t(const velmscope_model_t&) = delete;
  velmscope_model_t& operator=(const velmscope_model_t&) = delete;
  // Releases the animation entries, the mesh, the keyframe instance, the
  // B-spline instance and the name, in this order, and last the motions the
  // model created (they must outlive the instances that bind them).
  ~velmscope_model_t();

  // Loads the geometry document at path through the B-spline instance and
  // keeps the mesh, replacing (destroying) the previous one; with a document
  // that does not load the model has no mesh afterwards.
  void set_mesh(const char* path);

  // Loads the animation document at path as a keyframe motion (keyframe
  // instance), fits a B-spline motion to it, binds the keyframe motion to the
  // keyframe instance and the B-spline motion to the B-spline instance, both
  // with weight 0, and appends the animation to the base list (base) or the
  // side list. A document that does not load adds nothing: no motion, no
  // binding, no name.
  void add_animation(const char* name, bool base, const char* path);

  // Selects base animation 0 (weight base_weight). Without base animations
  // nothing is selected.
  void select_first_base();

  // Deselects the current base animation and selects the next one, cycling
  // 0, 1, ..., n - 1, 0. Without base animations it does nothing.
  void next_base();

  // Cycles the side selection off, 0, 1, ..., m - 1, off: deselects the
  // current side animation, then selects the next one (weight side_weight)
  // unless the last one was selected. Without side animations it stays off.
  void next_side();

  // Stores step (scaled seconds) as the frame step and advances the time of
  // every motion of the model by it, whatever its weight.
  void advance(float step);

  // Measures the distance between the two playbacks' joints in their current
  // poses (velm::playback_difference_t, the B-spline pose against the
  // keyframe pose) and keeps the largest seen since the animation selection
  // last changed. Both instances must have been updated.
  void compare_playbacks();
  // The last comparison: the largest joint distance and its bone.
  velm::joint_gap_t difference() const { return m_difference_now; }
  // The largest distance compared since the selection last changed (next_base,
  // next_side) or since the model was built.
  double largest_difference_seen() const { return m_largest_seen; }
  // The skeleton's rest height, the measure of the difference colouring and
  // of the readout's percentages; 0 without bones.
  double rest_height() const { return m_rest_height; }
  // The bone's name in the skeleton document; "" when it has none.
  const char* bone_name(std::uint32_t bone) const { return m_keyframe_instance.bone_name(bone); }

  // The selected base animation's key interval (of its keyframe motion's
  // longest channel, velm::motion_loop_t) and its keyframe motion's time
  // within one loop of that channel, in [0, duration) (times before 0 wrap
  // as the motions wrap them). Both 0 without a base animation; the time is
  // the unwrapped one when the loop has no positive duration.
  float base_key_interval() const;
  float base_time() const;

  // Skins the mesh with the current pose of the B-spline playback (bspline)
  // and of the keyframe playback (keyframe), each into its own arrays:
  // skinned_positions and skinned_normals of the mesh for the B-spline
  // playback, keyframe_positions and keyframe_normals for the keyframe one.
  // Arrays of a playback not skinned keep an older result. Does nothing
  // without a mesh. Allocates nothing once both have been skinned.
  void skin_playbacks(bool bspline, bool keyframe);
  const array_t<vec3_t>& keyframe_positions() const { return m_keyframe_positions; }
  const array_t<vec3_t>& keyframe_normals() const { return m_keyframe_normals; }

  // Overlay texts: the character's name, and the selected base and side
  // animations' names or "NONE" when none is selected.
  const char* name() const { return m_name.c_str(); }
  const char* base_name() const;
  const char* side_name() const;

  std::uint32_t base_index() const { return m_base_index; }
  std::uint32_t side_index() const { return m_side_index; }
  std::uint32_t base_count() const { return m_base_count; }
  std::uint32_t side_count() const { return m_animations.size() - m_base_count; }
  float frame_step() const { return m_frame_step; }

  // The playbacks (left: B-spline, right: keyframe) and the mesh, null when
  // the geometry did not load. Both instances deform the same mesh.
  velm::skeletal_instance_t& bspline_instance() { return m_bspline_instance; }
  velm::skeletal_instance_t& keyframe_instance() { return m_keyframe_instance; }
  const velm::skeletal_instance_t& bspline_instance() const { return m_bspline_instance; }
  const velm::skeletal_instance_t& keyframe_instance() const { return m_keyframe_instance; }
  velm::skinned_mesh_t* mesh() const { return m_mesh.get(); }

 private:
  // One animation: its name, where its two motions are bound, and whether
  // it is a base or a side animation.
  struct animation_entry_t {
    string_dyn name;
    std::uint32_t bspline_binding = 0;   // in the B-spline instance
    std::uint32_t keyframe_binding = 0;  // in the keyframe instance
    bool base = true;
    velm::motion_loop_t loop;  // of the keyframe motion
  };

  // The entry of base animation index (base) or of side animation index;
  // index must be below that count.
  const animation_entry_t& entry(bool base, std::uint32_t index) const;
  // Sets the weight of both bindings of base or side animation index.
  void set_weights(bool base, std::uint32_t index, float weight);

  // Every motion created by add_animation. Declared first, so destroyed last,
  // after both instances that bind them.
  array_dyn_t<auto_ptr_t<velm::pose_t>> m_motions;

  string_dyn m_name;
  velm::skeletal_instance_t m_bspline_instance;
  velm::skeletal_instance_t m_keyframe_instance;
  auto_ptr_t<velm::skinned_mesh_t> m_mesh;
  array_dyn_t<animation_entry_t> m_animations;
  std::uint32_t m_base_count = 0;  // entries flagged base
  float m_frame_step = 0.0f;
  // The comparison of the two playbacks.
  velm::playback_difference_t m_difference;
  velm::joint_gap_t m_difference_now;
  double m_largest_seen = 0.0;
  double m_rest_height = 0.0;
  // The keyframe playback's skin, apart from the mesh's own output arrays.
  array_dyn_t<vec3_t> m_keyframe_positions;
  array_dyn_t<vec3_t> m_keyframe_normals;
  std::uint32_t m_base_index = no_selection;
  std::uint32_t m_side_index = no_selection;
};

}  // namespace keln::velmscope
