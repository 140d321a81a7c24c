#include "test_pose.h"

#include <cmath>

namespace velm_test {

keln::velm::bone_t distinct_bone(float seed) {
  keln::velm::bone_t bone;
  bone.position = keln::vec3_t{{seed, 2.0f * seed, 3.0f * seed}};
  const float half_angle = 0.1f * seed;
  bone.rotation = keln::quat_t{{std::cos(half_angle), 0.0f, std::sin(half_angle), 0.0f}};
  bone.stretch = keln::mat3_t(seed);
  bone.stretch.at(0, 1) = 0.25f;
  return bone;
}

keln::mat4_t quarter_turn_then_move(float x, float y, float z) {
  keln::mat4_t m(1.0f);
  m.at(0, 0) = 0.0f;
  m.at(0, 1) = -1.0f;
  m.at(1, 0) = 1.0f;
  m.at(1, 1) = 0.0f;
  m.at(0, 3) = x;
  m.at(1, 3) = y;
  m.at(2, 3) = z;
  return m;
}

bool same_bone(const keln::velm::bone_t& a, const keln::velm::bone_t& b) {
  for (unsigned i = 0; i < 3; ++i)
    if (a.position[i] != b.position[i]) return false;
  for (unsigned i = 0; i < 4; ++i)
    if (a.rotation[i] != b.rotation[i]) return false;
  for (unsigned i = 0; i < 9; ++i)
    if (a.stretch[i] != b.stretch[i]) return false;
  return true;
}

}  // namespace velm_test
