#include "velmscope/velmscope_model.h"

#include <algorithm>
#include <utility>

#include "velm/bspline_motion.h"
#include "velm/loop_time.h"
#include "velm/motion.h"

namespace keln::velmscope {

namespace {

const char* const none_text = "NONE";

}  // namespace

velmscope_model_t::velmscope_model_t(const char* name, const char* skeleton_path)
    : m_name(name),
      m_bspline_instance(skeleton_path),
      m_keyframe_instance(skeleton_path),
      m_rest_height(velm::rest_height(m_keyframe_instance)) {}

velmscope_model_t::~velmscope_model_t() = default;

void velmscope_model_t::set_mesh(const char* path) { m_mesh.reset(m_bspline_instance.load_skin(path)); }

void velmscope_model_t::add_animation(const char* name, bool base, const char* path) {
  velm::motion_t* keyframe = m_keyframe_instance.load_motion(path);
  if (!keyframe) return;
  m_motions.push_back(auto_ptr_t<velm::pose_t>(keyframe));
  velm::bspline_motion_t* bspline = new velm::bspline_motion_t(*keyframe);
  m_motions.push_back(auto_ptr_t<velm::pose_t>(bspline));

  animation_entry_t added;
  added.name = string_dyn(name);
  added.keyframe_binding = m_keyframe_instance.add_pose(keyframe);  // bound with weight 0
  added.bspline_binding = m_bspline_instance.add_pose(bspline);
  added.base = base;
  added.loop = velm::motion_loop(*keyframe);
  m_animations.push_back(std::move(added));
  if (base) ++m_base_count;
}

const velmscope_model_t::animation_entry_t& velmscope_model_t::entry(bool base, std::uint32_t index) const {
  for (const animation_entry_t& animation : m_animations)
    if (animation.base == base && index-- == 0) return animation;
  return m_animations[m_animations.size()];  // out of range: the array check ends the process
}

void velmscope_model_t::set_weights(bool base, std::uint32_t index, float weight) {
  const animation_entry_t& animation = entry(base, index);
  m_bspline_instance.binding(animation.bspline_binding).weight = weight;
  m_keyframe_instance.binding(animation.keyframe_binding).weight = weight;
}

void velmscope_model_t::select_first_base() {
  if (m_base_count == 0) return;
  m_base_index = 0;
  set_weights(true, m_base_index, base_weight);
}

void velmscope_model_t::next_base() {
  if (m_base_count == 0) return;
  if (m_base_index != no_selection) set_weights(true, m_base_index, 0.0f);
  m_base_index = m_base_index == no_selection ? 0 : (m_base_index + 1) % m_base_count;
  m_largest_seen = 0.0;
  set_weights(true, m_base_index, base_weight);
}

void velmscope_model_t::next_side() {
  const std::uint32_t count = side_count();
  m_largest_seen = 0.0;
  if (m_side_index != no_selection) set_weights(false, m_side_index, 0.0f);
  // Past the last side animation (or with none at all) the selection is off.
  if (m_side_index + 1 == count || count == 0) {
    m_side_index = no_selection;
    return;
  }
  m_side_index = m_side_index == no_selection ? 0 : (m_side_index + 1) % count;
  set_weights(false, m_side_index, side_weight);
}

void velmscope_model_t::advance(float step) {
  m_frame_step = step;
  for (const animation_entry_t& animation : m_animations) {
    m_keyframe_instance.binding(animation.keyframe_binding).pose->advance(step);
    m_bspline_instance.binding(animation.bspline_binding).pose->advance(step);
  }
}

void velmscope_model_t::compare_playbacks() {
  m_difference.measure(m_keyframe_instance.skeleton(), m_bspline_instance.pose(), m_keyframe_instance.pose());
  m_difference_now = m_difference.largest();
  m_largest_seen = std::max(m_largest_seen, m_difference_now.distance);
}

float velmscope_model_t::base_key_interval() const {
  return m_base_index == no_selection ? 0.0f : entry(true, m_base_index).loop.key_interval();
}

float velmscope_model_t::base_time() const {
  if (m_base_index == no_selection) return 0.0f;
  const animation_entry_t& base = entry(true, m_base_index);
  const float time = m_keyframe_instance.binding(base.keyframe_binding).pose->time;
  const float duration = base.loop.duration;
  std::int64_t loops = 0;
  float fraction = 0.0f;
  if (!(duration > 0.0f) || !velm::split_loop_time(time / duration, loops, fraction)) return time;
  return fraction * duration;
}

void velmscope_model_t::skin_playbacks(bool bspline, bool keyframe) {
  if (!m_mesh) return;
  if (keyframe) {
    // Skinned through the mesh's arrays, then swapped out of them: swapping
    // moves no vertex and allocates nothing.
    m_keyframe_instance.skin(*m_mesh, m_keyframe_instance.pose());
    std::swap(m_mesh->skinned_positions, m_keyframe_positions);
    std::swap(m_mesh->skinned_normals, m_keyframe_normals);
  }
  if (bspline) m_bspline_instance.skin(*m_mesh, m_bspline_instance.pose());
}

const char* velmscope_model_t::base_name() const {
  return m_base_index == no_selection ? none_text : entry(true, m_base_index).name.c_str();
}

const char* velmscope_model_t::side_name() const {
  return m_side_index == no_selection ? none_text : entry(false, m_side_index).name.c_str();
}

}  // namespace keln::velmscope
