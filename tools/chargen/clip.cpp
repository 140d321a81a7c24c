#include "clip.h"

#include <cmath>

#include "kelncore/math/mat4_routines.h"
#include "kelncore/math/quat.h"

namespace keln::chargen {

mat4_t local_matrix(const rig_t& rig, const rig_pose_t& pose, int i) {
  dquat q = pose.rotation[i];
  double len = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
  // One hemisphere for every key (w >= 0) keeps the float rounding of
  // equal rotations equal.
  double s = (q.w < 0 ? -1.0 : 1.0) / len;
  quat_t rotation{{float(q.w * s), float(q.x * s), float(q.y * s), float(q.z * s)}};
  mat4_t m;
  mat4_from_quat(m, rotation);
  dvec3 t = rig.rest_offset(i) + pose.shift[i];
  m[3] = float(t.x);
  m[7] = float(t.y);
  m[11] = float(t.z);
  return m;
}

motion_keys_t sample_clip(const rig_t& rig, const clip_t& clip) {
  std::vector<int> bones = clip.bones;
  if (bones.empty())
    for (size_t i = 0; i < rig.bones().size(); ++i) bones.push_back(int(i));
  motion_keys_t out;
  out.step = 1.0f / keys_per_second;
  out.duration = float(clip.frames) / keys_per_second;
  for (int b : bones) out.channels.push_back({b, {}});
  for (int k = 0; k < clip.frames; ++k) {
    rig_pose_t pose(rig);
    clip.pose(rig, double(k) / clip.frames, pose);
    for (channel_keys_t& c : out.channels) c.keys.push_back(local_matrix(rig, pose, c.bone));
  }
  for (channel_keys_t& c : out.channels) c.keys.push_back(c.keys.front());
  return out;
}

std::vector<int> bones_with_prefix(const rig_t& rig, const std::vector<std::string>& prefixes) {
  std::vector<int> out;
  for (size_t i = 0; i < rig.bones().size(); ++i)
    for (const std::string& p : prefixes)
      if (rig.bones()[i].name.compare(0, p.size(), p) == 0) {
        out.push_back(int(i));
        break;
      }
  return out;
}

}  // namespace keln::chargen
