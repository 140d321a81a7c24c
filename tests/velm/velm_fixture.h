#pragma once
// What the animation library's tests share: recorded messages, the small
// documents of tests/velm/documents and variants of them, keys and a pose
// with fixed transforms, bone comparisons and the index check.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kelncore/math/quat.h"
#include "kelncore/system/messages.h"
#include "support/tolerances.h"
#include "velm/bone.h"
#include "velm/pose.h"

// The statement must end the process through the array index check (the
// report goes to the standard streams through a handler of its own).
#define EXPECT_INDEX_CHECK_FAILS(statement)    \
  EXPECT_DEATH(                                \
      {                                        \
        ::keln::message_stdio_t stdio_handler; \
        statement;                             \
      },                                       \
      "boundary check failed - index overflow")

namespace velm_test {

using keln::velm::bone_t;

// Records every message as "I: text", "W: text" or "E: text" while it lives.
class message_log_t : public keln::message_handler_t {
 public:
  void handle(const keln::string& text, keln::message_level_t level) override;
  std::vector<std::string> lines;
};

// Path of a document in tests/velm/documents.
std::string document_path(const char* name);

// Writes text to the file name in the test's temporary directory; its path.
std::string write_document(const char* name, const std::string& text);

// Writes the document base with every (from, to) replaced to the file name in
// the temporary directory; its path. Each from must occur exactly once (the
// test fails otherwise), so that a variant cannot silently change nothing.
using replacements_t = std::vector<std::pair<std::string, std::string>>;
std::string write_variant(const char* base, const char* name, const replacements_t& replacements);

// The two lines a document that parsed prints, as recorded.
std::vector<std::string> parsed_ok_lines(const char* banner, const char* kind, const std::string& path);

// Runs load (a loader of an instance called on path, giving an owned pointer
// or null) while recording messages, and expects the two "parsed OK" lines of
// kind followed by problems.
template <typename T, typename Load>
std::unique_ptr<T> load_expecting(Load load, const char* banner, const char* kind, const std::string& path,
                                  const std::vector<std::string>& problems) {
  message_log_t log;
  std::unique_ptr<T> result(load(path.c_str()));
  std::vector<std::string> expected = parsed_ok_lines(banner, kind, path);
  expected.insert(expected.end(), problems.begin(), problems.end());
  EXPECT_EQ(log.lines, expected);
  return result;
}

// A key at (x, y, z) with the rotation and a stretch s along x.
bone_t key(float x, float y = 0, float z = 0, const keln::quat_t& rotation = keln::quat_identity(), float s = 1);

// Every member away from its default: position (seed, 2 seed, 3 seed), a
// turn about y by 0.2 seed radians, seed on the stretch's diagonal and a shear.
bone_t distinct_bone(float seed);

inline bool same_bone(const bone_t& a, const bone_t& b) { return std::memcmp(&a, &b, sizeof(bone_t)) == 0; }

// Near as transforms: rotations compared up to sign.
void expect_bone_near(const bone_t& a, const bone_t& b, float tolerance);

// A pose of fixed transforms, the bone of each channel chosen freely; counts
// the transforms taken.
class test_pose_t : public keln::velm::pose_t {
 public:
  const bone_t* transform(std::uint32_t i) const override {
    ++samples;
    return &transforms.at(i);
  }
  std::uint32_t channel_count() const override { return static_cast<std::uint32_t>(transforms.size()); }
  std::uint32_t bone_index(std::uint32_t i) const override { return bones.at(i); }
  void add(std::uint32_t bone, const bone_t& transform) {
    bones.push_back(bone);
    transforms.push_back(transform);
  }

  std::vector<std::uint32_t> bones;
  std::vector<bone_t> transforms;
  mutable int samples = 0;
};

// Names a row of a parameterised test after its document: the file name
// without its extension.
template <typename Row>
std::string row_name(const ::testing::TestParamInfo<Row>& info) {
  const std::string name = info.param.name;
  return name.substr(0, name.find('.'));
}

}  // namespace velm_test
