// The animations as the viewer reads them: 30 keys a second with the step
// in "_TIME", closed loops of 0.6 to 4 seconds, side animations limited to
// their bones, and feet that stay planted on a treadmill.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "chargen_catalog.h"
#include "kelncore/math/mat4_routines.h"

namespace keln::chargen_test {
namespace {

constexpr float key_step = 1.0f / 30.0f;

mat4_t key(const qia_channel_t& channel, std::uint32_t k) {
  mat4_t m;
  std::memcpy(m.m, channel.find_stream("_MATRIX")->item(k), sizeof(m.m));
  return m;
}

float largest_difference(const mat4_t& a, const mat4_t& b) {
  float d = 0;
  for (unsigned i = 0; i < 16; ++i) d = std::max(d, std::fabs(a[i] - b[i]));
  return d;
}

// Runs check(character entry, its documents, animation entry, animation).
template <typename F>
void for_each_animation(F check) {
  for (const character_entry_t& entry : catalog()) {
    loaded_character_t c(entry);
    ASSERT_NE(c.skeleton, nullptr);
    for (size_t i = 0; i < entry.animations.size(); ++i) {
      ASSERT_NE(c.animations[i], nullptr) << entry.animations[i].path;
      SCOPED_TRACE(entry.animations[i].path);
      check(c, entry.animations[i], *c.animations[i]);
    }
  }
}

TEST(chargen_animations, keys_come_thirty_a_second_for_a_loop_of_0_6_to_4_seconds) {
  for_each_animation([](const loaded_character_t&, const animation_entry_t&, const qia_t& a) {
    float total = a.global->total_time;
    EXPECT_GE(total, 0.6f);
    EXPECT_LE(total, 4.0f);
    std::uint32_t keys = std::uint32_t(std::lround(total * 30)) + 1;
    EXPECT_EQ(a.bone_channels.size(), a.global->bone_channel_count);
    for (const qia_channel_t* channel : a.bone_channels) {
      ASSERT_EQ(channel->keyframe_count, keys);
      const qix_stream_t* time = channel->find_stream("_TIME");
      ASSERT_NE(time, nullptr);
      ASSERT_EQ(time->format, std::uint32_t(QIX_FORMAT_FLOAT));
      float sum = 0;
      for (std::uint32_t k = 0; k < keys; ++k) {
        EXPECT_EQ(item_float(*time, k, 0), key_step);
        if (k + 1 < keys) sum += item_float(*time, k, 0);
      }
      EXPECT_NEAR(sum, total, 1e-5);
      const qix_stream_t* matrix = channel->find_stream("_MATRIX");
      ASSERT_NE(matrix, nullptr);
      EXPECT_EQ(matrix->format, std::uint32_t(QIX_FORMAT_FLOAT4X4));
    }
  });
}

TEST(chargen_animations, the_last_key_repeats_the_first_and_the_loop_has_no_jump) {
  for_each_animation([](const loaded_character_t&, const animation_entry_t&, const qia_t& a) {
    for (const qia_channel_t* channel : a.bone_channels) {
      std::uint32_t n = channel->keyframe_count;
      EXPECT_EQ(std::memcmp(channel->find_stream("_MATRIX")->item(0),
                            channel->find_stream("_MATRIX")->item(n - 1), 64),
                0)
          << channel->name.c_str();
      // The step into the repeated key is no larger than the other steps.
      float largest = 0;
      for (std::uint32_t k = 1; k + 1 < n; ++k)
        largest = std::max(largest, largest_difference(key(*channel, k - 1), key(*channel, k)));
      EXPECT_LE(largest_difference(key(*channel, n - 2), key(*channel, n - 1)), largest * 1.5f + 1e-6f)
          << channel->name.c_str();
    }
  });
}

TEST(chargen_animations, no_bone_turns_by_more_than_40_degrees_from_one_key_to_the_next) {
  for_each_animation([](const loaded_character_t&, const animation_entry_t&, const qia_t& a) {
    for (const qia_channel_t* channel : a.bone_channels)
      for (std::uint32_t k = 1; k < channel->keyframe_count; ++k) {
        // The angle of the relative rotation, from the trace of A^T B.
        mat4_t p = key(*channel, k - 1), q = key(*channel, k);
        double trace = 0;
        for (unsigned r = 0; r < 3; ++r)
          for (unsigned c = 0; c < 3; ++c) trace += double(p.at(r, c)) * q.at(r, c);
        double angle = std::acos(std::clamp((trace - 1) / 2, -1.0, 1.0)) * 180 / 3.141592653589793;
        EXPECT_LE(angle, 40.0) << channel->name.c_str() << " key " << k;
      }
  });
}

TEST(chargen_animations, keys_are_rigid_transforms) {
  for_each_animation([](const loaded_character_t&, const animation_entry_t&, const qia_t& a) {
    for (const qia_channel_t* channel : a.bone_channels)
      for (std::uint32_t k = 0; k < channel->keyframe_count; ++k) {
        mat4_t m = key(*channel, k);
        EXPECT_EQ(m[12], 0.0f);
        EXPECT_EQ(m[13], 0.0f);
        EXPECT_EQ(m[14], 0.0f);
        EXPECT_EQ(m[15], 1.0f);
        for (unsigned r = 0; r < 3; ++r)
          for (unsigned s = 0; s < 3; ++s) {
            float d = m.at(r, 0) * m.at(s, 0) + m.at(r, 1) * m.at(s, 1) + m.at(r, 2) * m.at(s, 2);
            EXPECT_NEAR(d, r == s ? 1.0f : 0.0f, 1e-5f);
          }
      }
  });
}

TEST(chargen_animations, base_animations_drive_every_bone_side_animations_only_theirs) {
  for_each_animation([](const loaded_character_t& c, const animation_entry_t& entry, const qia_t& a) {
    std::set<std::string> channels;
    for (const qia_channel_t* channel : a.bone_channels) {
      bool found = false;
      EXPECT_GE(c.skeleton->bones->find_bone(channel->name.c_str(), found), 0) << channel->name.c_str();
      EXPECT_TRUE(channels.insert(channel->name.c_str()).second) << "twice: " << channel->name.c_str();
    }
    if (entry.base) {
      EXPECT_EQ(channels.size(), c.skeleton->bones->bone_list.size());
      return;
    }
    for (const std::string& name : channels) {
      bool listed = std::any_of(entry.driven.begin(), entry.driven.end(), [&](const std::string& prefix) {
        return name.compare(0, prefix.size(), prefix) == 0;
      });
      EXPECT_TRUE(listed) << name;
    }
    for (const std::string& prefix : entry.driven) {
      bool used = std::any_of(channels.begin(), channels.end(), [&](const std::string& name) {
        return name.compare(0, prefix.size(), prefix) == 0;
      });
      EXPECT_TRUE(used) << prefix;
    }
  });
}

// Global joint positions of the named bones at every key of a base
// animation (which has a channel for every bone, in bone order).
std::vector<std::vector<vec3_t>> joint_paths(const qia_t& a, const std::vector<std::int32_t>& parents,
                                             const std::vector<std::uint32_t>& bones) {
  std::vector<std::vector<vec3_t>> paths(bones.size());
  std::uint32_t keys = a.bone_channels[0]->keyframe_count;
  for (std::uint32_t k = 0; k < keys; ++k) {
    std::vector<mat4_t> global(parents.size());
    for (size_t i = 0; i < parents.size(); ++i) {
      mat4_t local = key(*a.bone_channels[std::uint32_t(i)], k);
      if (parents[i] < 0)
        global[i] = local;
      else
        mat4_mul(global[i], local, global[size_t(parents[i])]);
    }
    for (size_t b = 0; b < bones.size(); ++b) {
      const mat4_t& g = global[bones[b]];
      paths[b].push_back(vec3_t{{g[3], g[7], g[11]}});
    }
  }
  return paths;
}

TEST(chargen_animations, planted_feet_neither_float_sink_nor_slide) {
  // Forward gaits move planted feet backward (-z), the back walk forward,
  // standing still not at all.
  const std::map<std::string, int> direction = {{"hunter/run.qia", -1},     {"hunter/walk.qia", -1},
                                                {"hunter/backwalk.qia", 1}, {"horse/walk.qia", -1},
                                                {"horse/gallop.qia", -1},   {"horse/stand_idle.qia", 0},
                                                {"elephant/walk.qia", -1},  {"elephant/gallop.qia", -1}};
  const float ground_tolerance = 1e-3f;
  for_each_animation([&](const loaded_character_t& c, const animation_entry_t& entry, const qia_t& a) {
    if (!entry.base) return;
    const array_dyn_t<qis_bone_t>& bones = c.skeleton->bones->bone_list;
    std::vector<std::int32_t> parents;
    std::vector<std::uint32_t> feet;
    for (std::uint32_t i = 0; i < bones.size(); ++i) {
      bool found;
      parents.push_back(c.skeleton->bones->find_bone(bones[i].parent.c_str(), found));
      ASSERT_STREQ(a.bone_channels[i]->name.c_str(), bones[i].name.c_str());
      std::string name = bones[i].name.c_str();
      if (name.rfind("foot_", 0) == 0 || (name.rfind("leg_", 0) == 0 && name.back() == '3'))
        feet.push_back(i);
    }
    ASSERT_FALSE(feet.empty());
    int dir = direction.at(entry.path);
    std::vector<std::vector<vec3_t>> paths = joint_paths(a, parents, feet);
    for (size_t f = 0; f < feet.size(); ++f) {
      float rest_y = bones[feet[f]].matrix[7];
      float lowest = rest_y + 1;
      for (const vec3_t& p : paths[f]) lowest = std::min(lowest, p[1]);
      EXPECT_NEAR(lowest, rest_y, ground_tolerance) << bones[feet[f]].name.c_str();
      for (size_t k = 1; k < paths[f].size(); ++k) {
        const vec3_t &p = paths[f][k - 1], &q = paths[f][k];
        bool planted = p[1] < rest_y + ground_tolerance && q[1] < rest_y + ground_tolerance;
        if (!planted) continue;
        EXPECT_NEAR(q[0], p[0], 1e-3f) << bones[feet[f]].name.c_str() << " key " << k;
        float dz = q[2] - p[2];
        // Signed backward motion (-1e-4 allows for rounding).
        float along = dir == 0 ? std::fabs(dz) : dz * float(dir);
        EXPECT_GE(along, dir == 0 ? 0.0f : -1e-4f) << bones[feet[f]].name.c_str() << " key " << k;
        if (dir == 0) {
          EXPECT_LE(along, 1e-3f) << bones[feet[f]].name.c_str() << " key " << k;
        }
      }
    }
  });
}

}  // namespace
}  // namespace keln::chargen_test
