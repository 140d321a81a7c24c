// Shared by the import tests: a scratch folder, imports run into it through
// the import's own entry point, and the written documents loaded back with
// the animation library.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../../support/tolerances.h"
#include "kelncore/math/vec.h"
#include "velm/motion.h"
#include "velm/skeletal_instance.h"

namespace keln::qiximport::testing {

class import_test_t : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the import with args (as after the program name); returns the exit
  // code and keeps what it wrote to its error stream in errors.
  int import(const std::vector<std::string>& args);

  std::string at(const std::string& name) const { return folder + "/" + name; }

  std::string folder;
  std::string errors;
};

// A character's documents loaded back: the skeleton and one animation.
struct loaded_clip_t {
  loaded_clip_t(const std::string& skeleton, const std::string& animation)
      : instance(skeleton.c_str()), motion(instance.load_motion(animation.c_str())) {}

  // Index of the bone named name (by its name token), or no_bone.
  std::uint32_t bone(const char* name) const;
  // Index of the parent of the named bone, or no_bone.
  std::uint32_t parent(const char* name) const { return instance.skeleton()[bone(name)].parent; }
  // Global joint position of every bone at key k.
  std::vector<vec3_t> joints(std::uint32_t k);

  velm::skeletal_instance_t instance;
  std::unique_ptr<velm::motion_t> motion;
};

// Whether p lies within tol_chain of (x, y, z): joint positions up to a few
// tens after a chain of float operations.
inline ::testing::AssertionResult at_point(const vec3_t& p, float x, float y, float z) {
  const float dx = p[0] - x, dy = p[1] - y, dz = p[2] - z;
  if (dx * dx + dy * dy + dz * dz <= test::tol_chain * test::tol_chain) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << p[0] << ", " << p[1] << ", " << p[2] << ") is not (" << x << ", "
                                       << y << ", " << z << ")";
}

}  // namespace keln::qiximport::testing
