#include "velm_fixture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace velm_test {

void message_log_t::handle(const keln::string& text, keln::message_level_t level) {
  lines.push_back((level == keln::ML_ERROR ? "E: " : level == keln::ML_WARNING ? "W: " : "I: ") + std::string(text.c_str()));
}

std::string document_path(const char* name) { return std::string(VELM_TEST_DOCUMENTS) + name; }

std::string write_variant(const char* base, const char* name, const replacements_t& replacements) {
  std::ostringstream read;
  read << std::ifstream(document_path(base), std::ios::binary).rdbuf();
  std::string text = read.str();
  for (const auto& [from, to] : replacements) {
    const std::size_t at = text.find(from);
    EXPECT_TRUE(at != std::string::npos && text.find(from, at + 1) == std::string::npos) << "not once: " << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
  }
  const std::string path = ::testing::TempDir() + name;
  EXPECT_TRUE(std::ofstream(path, std::ios::binary) << text) << path;
  return path;
}

lines_t parsed_ok_lines(const char* banner, const char* kind, const std::string& path, const lines_t& problems) {
  lines_t lines = {std::string("I: ") + banner, std::string("I: ") + kind + " file: " + path + " - parsed OK"};
  lines.insert(lines.end(), problems.begin(), problems.end());
  return lines;
}

bone_t key(float x, float y, float z, const keln::quat_t& rotation, float s) {
  bone_t b;
  b.position = keln::vec3_t{{x, y, z}};
  b.rotation = rotation;
  b.stretch[0] = s;
  return b;
}

bone_t distinct_bone(float seed) {
  bone_t bone = key(seed, 2 * seed, 3 * seed, keln::quat_t{{std::cos(0.1f * seed), 0, std::sin(0.1f * seed), 0}});
  bone.stretch = keln::mat3_t(seed);
  bone.stretch.at(0, 1) = 0.25f;
  return bone;
}

void expect_bone_near(const bone_t& a, const bone_t& b, float tolerance) {
  float dot = 0;
  for (unsigned i = 0; i < 4; ++i) dot += a.rotation[i] * b.rotation[i];
  for (unsigned i = 0; i < 3; ++i) EXPECT_NEAR(a.position[i], b.position[i], tolerance) << "position " << i;
  for (unsigned i = 0; i < 4; ++i) EXPECT_NEAR(a.rotation[i], (dot < 0 ? -1 : 1) * b.rotation[i], tolerance);
  for (unsigned i = 0; i < 9; ++i) EXPECT_NEAR(a.stretch[i], b.stretch[i], tolerance) << "stretch " << i;
}

::testing::AssertionResult near_relative(const float* a, const float* b, std::uint32_t count, unsigned n,
                                         float tolerance) {
  for (std::uint32_t e = 0; e < count; ++e) {
    float scale = 0.0f, difference = 0.0f;
    for (unsigned i = 0; i < n; ++i) {
      scale = std::max(scale, std::fabs(b[e * n + i]));
      const float d = std::fabs(a[e * n + i] - b[e * n + i]);
      difference = std::isnan(d) ? INFINITY : std::max(difference, d);
    }
    if (difference > tolerance * scale) {
      ::testing::AssertionResult failure = ::testing::AssertionFailure();
      failure << "element " << e << " is off by " << difference << " at scale " << scale << ":";
      for (unsigned i = 0; i < n; ++i) failure << " " << a[e * n + i] << "/" << b[e * n + i];
      return failure;
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace velm_test
