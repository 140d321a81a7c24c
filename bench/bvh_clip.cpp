#include "bvh_clip.h"

#include <fstream>
#include <vector>

#include "kelncore/math/quat.h"

namespace keln::velm::bench {

namespace {

struct joint_t {
  vec3_t offset;
  std::vector<std::string> channels;  // e.g. Xposition, Zrotation
};

const vec3_t axis_x{{1, 0, 0}}, axis_y{{0, 1, 0}}, axis_z{{0, 0, 1}};

// The joint's local transform for one frame; values points at its channels.
bone_t local_transform(const joint_t& joint, const float* values) {
  bone_t b;
  b.position = joint.offset;
  for (std::size_t c = 0; c < joint.channels.size(); ++c) {
    const std::string& name = joint.channels[c];
    const unsigned axis = static_cast<unsigned>(name[0] - 'X');
    if (name.compare(1, std::string::npos, "position") == 0) {
      b.position[axis] += values[c];
    } else {
      const vec3_t& about = axis == 0 ? axis_x : axis == 1 ? axis_y : axis_z;
      quat_mul_inplace(b.rotation, quat_from_axis_angle(about, values[c] * degrees_to_radians));
    }
  }
  return b;
}

}  // namespace

bool load_bvh_clip(const std::string& path, std::uint32_t channel_count, std::uint32_t first, std::uint32_t step,
                   std::uint32_t key_count, motion_t& motion) {
  std::ifstream in(path);
  std::vector<joint_t> joints;
  std::string word;
  while (in >> word && word != "MOTION") {
    if (word == "ROOT" || word == "JOINT") {
      joints.emplace_back();
    } else if (word == "End") {
      joints.emplace_back();  // end sites carry an offset but no channels
    } else if (word == "OFFSET") {
      for (float& c : joints.back().offset.c) in >> c;
    } else if (word == "CHANNELS") {
      std::size_t n = 0;
      in >> n;
      joints.back().channels.resize(n);
      for (std::string& name : joints.back().channels) in >> name;
    }
  }
  std::uint32_t frames = 0;
  float frame_time = 0;
  in >> word >> frames >> word >> word >> frame_time;  // Frames: n Frame Time: t
  std::size_t values_per_frame = 0;
  std::vector<const joint_t*> animated;
  for (const joint_t& j : joints)
    if (!j.channels.empty()) {
      values_per_frame += j.channels.size();
      animated.push_back(&j);
    }
  const std::uint64_t last = first + std::uint64_t{step} * (key_count - 1);
  if (!in || animated.size() < channel_count || key_count < 2 || last >= frames) return false;

  std::vector<float> values(values_per_frame * (last + 1));
  for (float& v : values)
    if (!(in >> v)) return false;

  motion.channels.clear();
  motion.channels.resize(channel_count);
  for (std::uint32_t c = 0; c < channel_count; ++c) {
    bone_channel_t& channel = motion.channels[c];
    channel.bone = c;
    channel.duration = frame_time * step * (key_count - 1);
    std::size_t column = 0;
    for (std::uint32_t j = 0; j < c; ++j) column += animated[j]->channels.size();
    for (std::uint32_t k = 0; k < key_count; ++k) {
      const std::size_t frame = first + std::size_t{step} * k;
      bone_t key = local_transform(*animated[c], &values[frame * values_per_frame + column]);
      if (k > 0) {
        const quat_t& previous = channel[k - 1].rotation;
        float dot = 0;
        for (unsigned i = 0; i < 4; ++i) dot += previous[i] * key.rotation[i];
        if (dot < 0) quat_negate(key.rotation);
      }
      for (float& coordinate : key.position.c) coordinate *= bvh_metres_per_unit;
      channel.push_back(key);
    }
  }
  return true;
}

}  // namespace keln::velm::bench
