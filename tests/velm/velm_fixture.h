#pragma once
// What the animation library's tests share: messages, documents, keys, poses.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kelncore/system/messages.h"
#include "support/tolerances.h"
#include "velm/bone.h"
#include "velm/pose.h"

// The statement must end the process through the array index check.
#define EXPECT_INDEX_CHECK_FAILS(statement) \
  EXPECT_DEATH((::keln::message_stdio_t{}, statement), "boundary check failed - index overflow")

namespace velm_test {

using keln::velm::bone_t;
using lines_t = std::vector<std::string>;
using replacements_t = std::vector<std::pair<std::string, std::string>>;

// Records every message as "I: text", "W: text" or "E: text" while it lives.
struct message_log_t : keln::message_handler_t {
  void handle(const keln::string& text, keln::message_level_t level) override;
  lines_t lines;
};

std::string document_path(const char* name);  // in tests/velm/documents
// Writes the document base with each (from, to) replaced, as name in the
// temporary folder; its path. Each from must occur exactly once.
std::string write_variant(const char* base, const char* name, const replacements_t& replacements);
// The lines a document that parsed prints, followed by problems.
lines_t parsed_ok_lines(const char* banner, const char* kind, const std::string& path, const lines_t& problems = {});

// Runs load(path) (a loader of an instance) while recording messages and
// expects the "parsed OK" lines of kind followed by problems.
template <typename T, typename Load>
std::unique_ptr<T> load_expecting(Load load, const char* banner, const char* kind, const std::string& path,
                                  const lines_t& problems) {
  message_log_t log;
  std::unique_ptr<T> result(load(path.c_str()));
  EXPECT_EQ(log.lines, parsed_ok_lines(banner, kind, path, problems));
  return result;
}

// A key at (x, y, z) with the rotation and a stretch s along x.
bone_t key(float x, float y = 0, float z = 0, const keln::quat_t& rotation = keln::quat_identity(), float s = 1);
// Every member away from its default and from other seeds'.
bone_t distinct_bone(float seed);
inline bool same_bone(const bone_t& a, const bone_t& b) { return std::memcmp(&a, &b, sizeof(bone_t)) == 0; }
// Near as transforms: rotations compared up to sign.
void expect_bone_near(const bone_t& a, const bone_t& b, float tolerance);

// count elements of n floats, a against b: each element's largest difference
// within tolerance times its largest component of b.
::testing::AssertionResult near_relative(const float* a, const float* b, std::uint32_t count, unsigned n,
                                         float tolerance);

// A pose of fixed transforms on chosen bones; counts the transforms taken.
struct test_pose_t : keln::velm::pose_t {
  const bone_t* transform(std::uint32_t i) const override { return ++samples, &transforms.at(i); }
  std::uint32_t channel_count() const override { return static_cast<std::uint32_t>(transforms.size()); }
  std::uint32_t bone_index(std::uint32_t i) const override { return bones.at(i); }
  void add(std::uint32_t bone, const bone_t& transform) { bones.push_back(bone), transforms.push_back(transform); }
  std::vector<std::uint32_t> bones;
  std::vector<bone_t> transforms;
  mutable int samples = 0;
};

}  // namespace velm_test
