#pragma once
// One skeleton with the animations measured on it, built the way the viewer
// builds a character: two instances over the skeleton (the B-spline playback
// first, then the keyframe playback, each reading the skeleton document),
// each animation loaded by the keyframe instance, fitted by the B-spline
// motion's constructor and bound to both instances with weight 0.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "velm/bspline_motion.h"
#include "velm/motion.h"
#include "velm/skeletal_instance.h"

namespace keln::velmfit {

// An animation in both forms, with its bindings and the time its fit took.
struct fitted_animation_t {
  std::string name;
  std::unique_ptr<velm::motion_t> keyframe;
  std::unique_ptr<velm::bspline_motion_t> bspline;
  std::uint32_t keyframe_binding = 0;  // in keyframe_instance
  std::uint32_t bspline_binding = 0;   // in bspline_instance
  double fit_ms = 0.0;                 // wall-clock time of the fit (the B-spline motion's construction)
};

class fit_character_t {
 public:
  // Both instances from the skeleton document at skeleton_path (each reports
  // its load), and the bone names of the document when the instances have
  // bones.
  explicit fit_character_t(const char* skeleton_path);

  // Fits the B-spline motion of keyframe (a motion loaded by
  // keyframe_instance.load_motion, as the viewer loads it), timing the fit,
  // and binds both motions with weight 0; the character keeps them.
  void add_animation(const std::string& name, std::unique_ptr<velm::motion_t> keyframe);

  // Weight 1 for both bindings of animation index, 0 for every other binding;
  // both current poses start again from the rest pose, so that bones the
  // animation does not drive stand at rest.
  void play_only(std::size_t index);

  // The bone's name in the skeleton document; "#<index>" when unknown.
  std::string bone_name(std::uint32_t bone) const;

  // Declared before the instances, which bind them: destroyed after them.
  std::vector<fitted_animation_t> animations;
  velm::skeletal_instance_t bspline_instance;
  velm::skeletal_instance_t keyframe_instance;

 private:
  std::vector<std::string> m_bone_names;  // in bone order; empty when not read
};

}  // namespace keln::velmfit
