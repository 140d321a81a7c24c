#pragma once
// Builders and checks shared by the pose, keyframe and B-spline tests.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../math/math_test_support.h"
#include "kelncore/system/messages.h"
#include "velm/bone.h"
#include "velm/bone_channel.h"
#include "velm/motion.h"
#include "smooth_motion.h"

// The statement must end the process through the array index check (the
// report goes to the standard streams through a handler of its own).
#define EXPECT_INDEX_CHECK_FAILS(statement)      \
  EXPECT_DEATH(                                  \
      {                                          \
        ::keln::message_stdio_t stdio_handler;   \
        statement;                               \
      },                                         \
      "boundary check failed - index overflow")

namespace keln::velm::test {

using keln::test::expect_mat3_near;
using keln::test::expect_quat_near;
using keln::test::expect_vec3_near;
using keln::test::random_source_t;

// A key with the given position, rotation and a stretch of scale s on x.
inline bone_t key(float x, float y, float z, const quat_t& rotation = quat_identity(), float s = 1.0f) {
  bone_t b;
  b.position = vec3_t{{x, y, z}};
  b.rotation = rotation;
  b.stretch[0] = s;
  return b;
}

inline bool bitwise_equal(const bone_t& a, const bone_t& b) { return std::memcmp(&a, &b, sizeof(bone_t)) == 0; }

inline void expect_bone_near(const bone_t& a, const bone_t& b, float tol) {
  expect_vec3_near(a.position, b.position, tol);
  expect_quat_near(a.rotation, b.rotation, tol);
  expect_mat3_near(a.stretch, b.stretch, tol);
}

// Records the text and level of every message while it lives.
struct message_log_t : message_handler_t {
  void handle(const string& text, message_level_t level) override {
    lines.push_back(std::string(text.c_str()));
    levels.push_back(level);
  }
  std::vector<std::string> lines;
  std::vector<message_level_t> levels;
};

}  // namespace keln::velm::test
