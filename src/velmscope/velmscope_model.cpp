#include "velmscope/velmscope_model.h"

#include "velm/bspline_motion.h"
#include "velm/motion.h"

namespace keln::velmscope {

namespace {

const char* const none_text = "NONE";

}  // namespace

velmscope_model_t::velmscope_model_t(const char* name, const char* skeleton_path)
    : m_name(name), m_bspline_instance(skeleton_path), m_keyframe_instance(skeleton_path) {}

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
  set_weights(true, m_base_index, base_weight);
}

void velmscope_model_t::next_side() {
  const std::uint32_t count = side_count();
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

const char* velmscope_model_t::base_name() const {
  return m_base_index == no_selection ? none_text : entry(true, m_base_index).name.c_str();
}

const char* velmscope_model_t::side_name() const {
  return m_side_index == no_selection ? none_text : entry(false, m_side_index).name.c_str();
}

}  // namespace keln::velmscope
