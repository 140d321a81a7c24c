#include "fit_character.h"

#include <chrono>

#include "documents/qis.h"
#include "documents/qix_load.h"
#include "kelncore/fs/fs_types.h"

namespace keln::velmfit {

namespace {

// Names of the skeleton document's bones, read again without report (the
// instances keep token names only); empty unless the document yields exactly
// bone_count bones.
std::vector<std::string> read_bone_names(const char* path, std::uint32_t bone_count) {
  std::vector<std::string> names;
  if (bone_count == 0) return names;
  qix_node_list_t nodes;
  const qis_t* document = qis_load(path, FS_DEVICE_SYSTEM, nodes);
  if (document != nullptr && document->bones->bone_list.size() == bone_count)
    for (const qis_bone_t& bone : document->bones->bone_list) names.emplace_back(bone.name.c_str());
  qix_destroy_nodes(nodes);
  return names;
}

void set_weights(velm::skeletal_instance_t& instance, std::uint32_t selected) {
  for (std::uint32_t i = 0; i < instance.binding_count(); ++i) instance.binding(i).weight = i == selected ? 1.0f : 0.0f;
}

}  // namespace

fit_character_t::fit_character_t(const char* skeleton_path)
    : bspline_instance(skeleton_path),
      keyframe_instance(skeleton_path),
      m_bone_names(read_bone_names(skeleton_path, keyframe_instance.bone_count())) {}

void fit_character_t::add_animation(const std::string& name, std::unique_ptr<velm::motion_t> keyframe) {
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<velm::bspline_motion_t> bspline(new velm::bspline_motion_t(*keyframe));
  const std::chrono::duration<double, std::milli> fit = std::chrono::steady_clock::now() - start;

  fitted_animation_t animation;
  animation.name = name;
  animation.keyframe_binding = keyframe_instance.add_pose(keyframe.get());
  animation.bspline_binding = bspline_instance.add_pose(bspline.get());
  animation.keyframe = std::move(keyframe);
  animation.bspline = std::move(bspline);
  animation.fit_ms = fit.count();
  animations.push_back(std::move(animation));
}

void fit_character_t::play_only(std::size_t index) {
  const fitted_animation_t& animation = animations.at(index);
  set_weights(keyframe_instance, animation.keyframe_binding);
  set_weights(bspline_instance, animation.bspline_binding);
  keyframe_instance.pose().bones = keyframe_instance.rest_pose().bones;
  bspline_instance.pose().bones = bspline_instance.rest_pose().bones;
}

std::string fit_character_t::bone_name(std::uint32_t bone) const {
  if (bone < m_bone_names.size()) return m_bone_names[bone];
  return "#" + std::to_string(bone);
}

}  // namespace keln::velmfit
