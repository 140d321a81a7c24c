#include "velm_fixture.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace velm_test {

void message_log_t::handle(const keln::string& text, keln::message_level_t level) {
  const char* prefix = level == keln::ML_ERROR ? "E: " : level == keln::ML_WARNING ? "W: " : "I: ";
  lines.push_back(prefix + std::string(text.c_str()));
}

std::string document_path(const char* name) { return std::string(VELM_TEST_DOCUMENTS) + name; }

std::string write_document(const char* name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  EXPECT_TRUE(out.good()) << path;
  return path;
}

std::string write_variant(const char* base, const char* name, const replacements_t& replacements) {
  std::ifstream in(document_path(base), std::ios::binary);
  std::ostringstream read;
  read << in.rdbuf();
  std::string text = read.str();
  for (const auto& [from, to] : replacements) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "not in " << base << ": " << from;
    if (at == std::string::npos) continue;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << "more than once in " << base << ": " << from;
    text.replace(at, from.size(), to);
  }
  return write_document(name, text);
}

std::vector<std::string> parsed_ok_lines(const char* banner, const char* kind, const std::string& path) {
  return {std::string("I: ") + banner, std::string("I: ") + kind + " file: " + path + " - parsed OK"};
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
  const float sign = a.rotation[0] * b.rotation[0] + a.rotation[1] * b.rotation[1] + a.rotation[2] * b.rotation[2] +
                                 a.rotation[3] * b.rotation[3] < 0 ? -1.0f : 1.0f;
  for (unsigned i = 0; i < 3; ++i) EXPECT_NEAR(a.position[i], b.position[i], tolerance) << "position " << i;
  for (unsigned i = 0; i < 4; ++i) EXPECT_NEAR(a.rotation[i], sign * b.rotation[i], tolerance) << "rotation " << i;
  for (unsigned i = 0; i < 9; ++i) EXPECT_NEAR(a.stretch[i], b.stretch[i], tolerance) << "stretch " << i;
}

}  // namespace velm_test
