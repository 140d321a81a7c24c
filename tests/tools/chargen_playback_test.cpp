// The characters as the animation library plays them: the skin loads for
// the skeleton, rests where it was modelled, and every animation, alone or
// as a side animation over a base one, keeps the body whole and on the
// ground.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "../support/tolerances.h"
#include "velm/bspline_motion.h"
#include "velm/catalog.h"
#include "velm/skeletal_instance.h"

namespace keln::velm {
namespace {

using test::tol_float;

struct extent_t {
  float lowest = 1e9f, highest = -1e9f, farthest = 0;
  bool finite = true;
};

extent_t measure(const skinned_mesh_t& mesh) {
  extent_t e;
  for (const vec3_t& p : mesh.skinned_positions) {
    e.finite = e.finite && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
    e.lowest = std::min(e.lowest, p[1]);
    e.highest = std::max(e.highest, p[1]);
    e.farthest = std::max({e.farthest, std::fabs(p[0]), std::fabs(p[2])});
  }
  return e;
}

TEST(chargen_playback, the_rest_pose_skins_every_vertex_onto_itself) {
  for (const catalog_character_t& entry : catalog_characters) {
    skeletal_instance_t instance(entry.skeleton);
    std::unique_ptr<skinned_mesh_t> mesh(instance.load_skin(entry.geometry));
    ASSERT_NE(mesh, nullptr) << entry.geometry;
    instance.skin(*mesh, instance.rest_pose());
    for (std::uint32_t v = 0; v < mesh->positions.size(); ++v)
      for (unsigned k = 0; k < 3; ++k) {
        ASSERT_NEAR(mesh->skinned_positions[v][k], mesh->positions[v][k], tol_float) << entry.name << " vertex " << v;
        ASSERT_NEAR(mesh->skinned_normals[v][k], mesh->normals[v][k], tol_float) << entry.name << " vertex " << v;
      }
  }
}

// One character's skin and every animation of it, as keyframe motions and
// as the B-spline motions fitted to them, each loaded and fitted once.
struct loaded_t {
  explicit loaded_t(const catalog_character_t& entry)
      : instance(entry.skeleton), mesh(instance.load_skin(entry.geometry)) {
    for (std::uint32_t a = 0; a < entry.animation_count; ++a) {
      keys.emplace_back(instance.load_motion(entry.animations[a].document));
      fits.emplace_back(keys.back() ? new bspline_motion_t(*keys.back()) : nullptr);
    }
  }
  skeletal_instance_t instance;
  std::unique_ptr<skinned_mesh_t> mesh;
  std::vector<std::unique_ptr<motion_t>> keys;
  std::vector<std::unique_ptr<bspline_motion_t>> fits;
};

constexpr std::uint32_t no_side = ~0u;

// Plays base animation base, with side animation side on top unless it is
// no_side, as keyframe motions or as the fitted B-spline motions, from the
// start of their loops, and checks the skin at a few times through the loop.
void check_playback(const catalog_character_t& entry, loaded_t& loaded, std::uint32_t base, std::uint32_t side,
                    bool fitted) {
  const bool has_side = side != no_side;
  SCOPED_TRACE(std::string(entry.animations[base].document) +
               (has_side ? std::string(" + ") + entry.animations[side].document : std::string()) +
               (fitted ? " (B-spline)" : " (keyframes)"));
  const auto pose_of = [&](std::uint32_t a) -> pose_t* {
    return fitted ? static_cast<pose_t*>(loaded.fits[a].get()) : loaded.keys[a].get();
  };
  skeletal_instance_t instance(entry.skeleton);  // bound to these poses only
  pose_t* base_pose = pose_of(base);
  pose_t* side_pose = has_side ? pose_of(side) : nullptr;
  instance.binding(instance.add_pose(base_pose)).weight = 1.0f;
  base_pose->time = 0.0f;
  if (side_pose) {
    instance.binding(instance.add_pose(side_pose)).weight = 1000.0f;
    side_pose->time = 0.0f;
  }
  skinned_mesh_t& mesh = *loaded.mesh;
  float touch = 1e9f;
  for (int step = 0; step < 12; ++step) {
    instance.update();
    instance.skin(mesh, instance.pose());
    extent_t e = measure(mesh);
    ASSERT_TRUE(e.finite);
    // Feet (or hooves) do not sink into the ground, leave it only for the
    // short flight of a run or gallop, and the body keeps about its size.
    // A side animation that reaches for the ground (grazing) goes a little
    // deeper while a fast base animation lowers the body.
    EXPECT_GT(e.lowest, has_side ? -0.04f : -0.015f) << "time " << base_pose->time;
    EXPECT_LT(e.lowest, 0.06f) << "time " << base_pose->time;
    touch = std::min(touch, e.lowest);
    EXPECT_GT(e.highest, 0.5f);
    EXPECT_LT(e.highest, 1.2f);
    EXPECT_LT(e.farthest, 0.8f);
    base_pose->advance(0.137f);
    if (side_pose) side_pose->advance(0.137f);
  }
  EXPECT_LT(touch, 0.015f);
}

TEST(chargen_playback, every_animation_alone_or_over_each_base_keeps_the_body_whole_and_grounded) {
  for (const catalog_character_t& entry : catalog_characters) {
    loaded_t loaded(entry);
    ASSERT_NE(loaded.mesh, nullptr) << entry.geometry;
    for (std::uint32_t a = 0; a < entry.animation_count; ++a)
      ASSERT_NE(loaded.keys[a], nullptr) << entry.animations[a].document;
    for (bool fitted : {false, true})
      for (std::uint32_t a = 0; a < entry.animation_count; ++a) {
        if (entry.animations[a].base) {
          check_playback(entry, loaded, a, no_side, fitted);
          continue;
        }
        for (std::uint32_t base = 0; base < entry.animation_count; ++base)
          if (entry.animations[base].base) check_playback(entry, loaded, base, a, fitted);
      }
  }
}

}  // namespace
}  // namespace keln::velm
