// The characters as the animation library plays them: the skin loads for
// the skeleton, rests where it was modelled, and every animation, alone or
// as a side animation over a base one, keeps the body whole and on the
// ground.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

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

// Plays base animation b, with side animation s on top when s is not
// null, as keyframe motions or as the B-spline motions fitted to them, and
// checks the skin at a few times through the loop.
void check_playback(const catalog_character_t& entry, const char* base, const char* side, bool fitted) {
  SCOPED_TRACE(std::string(base) + (side ? std::string(" + ") + side : std::string()) +
               (fitted ? " (B-spline)" : " (keyframes)"));
  skeletal_instance_t instance(entry.skeleton);
  std::unique_ptr<skinned_mesh_t> mesh(instance.load_skin(entry.geometry));
  std::unique_ptr<motion_t> base_keys(instance.load_motion(base));
  std::unique_ptr<motion_t> side_keys(side ? instance.load_motion(side) : nullptr);
  ASSERT_TRUE(mesh && base_keys && (!side || side_keys));
  std::unique_ptr<bspline_motion_t> base_fit(fitted ? new bspline_motion_t(*base_keys) : nullptr);
  std::unique_ptr<bspline_motion_t> side_fit(fitted && side ? new bspline_motion_t(*side_keys) : nullptr);
  pose_t* base_pose = fitted ? static_cast<pose_t*>(base_fit.get()) : base_keys.get();
  pose_t* side_pose = fitted ? static_cast<pose_t*>(side_fit.get()) : side_keys.get();
  instance.binding(instance.add_pose(base_pose)).weight = 1.0f;
  if (side_pose) instance.binding(instance.add_pose(side_pose)).weight = 1000.0f;
  float touch = 1e9f;
  for (int step = 0; step < 12; ++step) {
    instance.update();
    instance.skin(*mesh, instance.pose());
    extent_t e = measure(*mesh);
    ASSERT_TRUE(e.finite);
    // Feet (or hooves) do not sink into the ground, leave it only for the
    // short flight of a run or gallop, and the body keeps about its size.
    // A side animation that reaches for the ground (grazing) goes a little
    // deeper while a fast base animation lowers the body.
    EXPECT_GT(e.lowest, side ? -0.04f : -0.015f) << "time " << base_pose->time;
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
  for (bool fitted : {false, true})
    for (const catalog_character_t& entry : catalog_characters) {
      skeletal_instance_t instance(entry.skeleton);
      const catalog_animation_t* const animations = entry.animations;
      for (const catalog_animation_t* a = animations; a != animations + entry.animation_count; ++a) {
        std::unique_ptr<motion_t> motion(instance.load_motion(a->document));
        ASSERT_NE(motion, nullptr) << a->document;
        for (std::uint32_t i = 0; i < motion->channel_count(); ++i)
          EXPECT_LT(motion->bone_index(i), instance.bone_count()) << a->document;
        if (a->base) {
          check_playback(entry, a->document, nullptr, fitted);
          continue;
        }
        for (const catalog_animation_t* base = animations; base != animations + entry.animation_count; ++base)
          if (base->base) check_playback(entry, base->document, a->document, fitted);
      }
    }
}

}  // namespace
}  // namespace keln::velm
