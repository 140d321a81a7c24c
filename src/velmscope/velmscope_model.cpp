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

  const std::uint32_t k = m_keyframe_instance.add_pose(keyframe);
  const std::uint32_t b = m_bspline_instance.add_pose(bspline);
  m_keyframe_instance.binding(k).weight = 0.0f;
  m_bspline_instance.binding(b).weight = 0.0f;

  if (base) {
    m_base_keyframe.push_back(k);
    m_base_bspline.push_back(b);
    m_base_names.push_back(string_dyn(name));
  } else {
    m_side_keyframe.push_back(k);
    m_side_bspline.push_back(b);
    m_side_names.push_back(string_dyn(name));
  }
}

void velmscope_model_t::set_weights(const array_t<unsigned int>& bspline, const array_t<unsigned int>& keyframe,
                                    std::uint32_t index, float weight) {
  m_bspline_instance.binding(bspline[index]).weight = weight;
  m_keyframe_instance.binding(keyframe[index]).weight = weight;
}

void velmscope_model_t::select_first_base() {
  if (m_base_bspline.size() == 0) return;
  m_base_index = 0;
  set_weights(m_base_bspline, m_base_keyframe, m_base_index, base_weight);
}

void velmscope_model_t::next_base() {
  const std::uint32_t count = m_base_bspline.size();
  if (count == 0) return;
  if (m_base_index != no_selection) set_weights(m_base_bspline, m_base_keyframe, m_base_index, 0.0f);
  m_base_index = m_base_index == no_selection ? 0 : (m_base_index + 1) % count;
  set_weights(m_base_bspline, m_base_keyframe, m_base_index, base_weight);
}

void velmscope_model_t::next_side() {
  const std::uint32_t count = m_side_bspline.size();
  if (m_side_index != no_selection) set_weights(m_side_bspline, m_side_keyframe, m_side_index, 0.0f);
  // Past the last side animation (or with none at all) the selection is off.
  if (m_side_index + 1 == count || count == 0) {
    m_side_index = no_selection;
    return;
  }
  m_side_index = m_side_index == no_selection ? 0 : (m_side_index + 1) % count;
  set_weights(m_side_bspline, m_side_keyframe, m_side_index, side_weight);
}

void velmscope_model_t::advance_bound(velm::skeletal_instance_t& instance, const array_t<unsigned int>& bindings,
                                      float step) {
  for (const unsigned int binding : bindings) instance.binding(binding).pose->advance(step);
}

void velmscope_model_t::advance(float step) {
  m_frame_step = step;
  advance_bound(m_keyframe_instance, m_base_keyframe, step);
  advance_bound(m_bspline_instance, m_base_bspline, step);
  advance_bound(m_keyframe_instance, m_side_keyframe, step);
  advance_bound(m_bspline_instance, m_side_bspline, step);
}

const char* velmscope_model_t::base_name() const {
  return m_base_index == no_selection ? none_text : m_base_names[m_base_index].c_str();
}

const char* velmscope_model_t::side_name() const {
  return m_side_index == no_selection ? none_text : m_side_names[m_side_index].c_str();
}

}  // namespace keln::velmscope
