// The generator's skin building: the implicit surface, its extraction into
// a closed clockwise mesh, decimation, smoothing, normals and weights.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "decimate.h"
#include "field.h"
#include "polygonise.h"
#include "skin_weights.h"

namespace keln::chargen {
namespace {

constexpr double pi = 3.14159265358979323846;

rig_t ball(double r) {
  rig_t rig;
  rig.add_bone("root", "", {0, 0, 0});
  rig.ellipsoid("root", {0, 0, 0}, {r, r, r});
  return rig;
}

// Each directed edge once and its reverse once.
bool closed_and_consistent(const mesh_t& m) {
  std::map<std::pair<int, int>, int> edges;
  for (const auto& t : m.triangles)
    for (int k = 0; k < 3; ++k) ++edges[{t[k], t[(k + 1) % 3]}];
  for (const auto& [e, n] : edges) {
    auto r = edges.find({e.second, e.first});
    if (n != 1 || r == edges.end() || r->second != 1) return false;
  }
  return !edges.empty();
}

TEST(chargen_field, primitive_distances_are_signed_distances_near_the_surface) {
  rig_t rig = ball(0.5);
  rig.add_bone("arm", "root", {1, 0, 0});
  rig.capsule("arm", {1, 0, 0}, {2, 0, 0}, 0.1, 0.1);
  const std::vector<primitive_t>& p = rig.primitives();
  EXPECT_NEAR(primitive_distance(p[0], {0.5, 0, 0}), 0.0, 1e-12);
  EXPECT_NEAR(primitive_distance(p[0], {0, 0.6, 0}), 0.1, 1e-12);
  EXPECT_LT(primitive_distance(p[0], {0, 0, 0}), 0);
  EXPECT_NEAR(primitive_distance(p[1], {1.5, 0.3, 0}), 0.2, 1e-12);
  EXPECT_NEAR(primitive_distance(p[1], {2.3, 0, 0}), 0.2, 1e-12);
}

TEST(chargen_field, the_smooth_union_is_the_minimum_far_from_other_solids_and_fuller_where_they_meet) {
  rig_t rig;
  rig.add_bone("root", "", {0, 0, 0});
  rig.ellipsoid("root", {0, 0, 0}, {0.2, 0.2, 0.2});
  rig.ellipsoid("root", {5, 0, 0}, {0.2, 0.2, 0.2});
  rig.ellipsoid("root", {0.35, 0, 0}, {0.2, 0.2, 0.2});
  field_t field(rig, 0.01);
  EXPECT_NEAR(field.value({5, 0.2, 0}), 0.0, 1e-9);
  // Between two overlapping balls the surface bulges out by up to about
  // 0.7 blend.
  double seam = field.value({0.175, std::sqrt(0.04 - 0.175 * 0.175), 0});
  EXPECT_LT(seam, -0.005);
  EXPECT_GT(seam, -0.0075);
}

TEST(chargen_polygonise, a_ball_becomes_a_closed_clockwise_mesh_of_its_volume) {
  rig_t rig = ball(0.3);
  mesh_t m = polygonise(field_t(rig, 0.01), 0.03);
  EXPECT_TRUE(closed_and_consistent(m));
  double volume = 4.0 / 3.0 * pi * 0.3 * 0.3 * 0.3;
  EXPECT_NEAR(signed_volume(m), -volume, volume * 0.05);
  for (const dvec3& p : m.positions) EXPECT_NEAR(length(p), 0.3, 0.01);
}

TEST(chargen_polygonise, separate_solids_give_separate_closed_shells) {
  rig_t rig = ball(0.2);
  rig.ellipsoid("root", {1, 0, 0}, {0.2, 0.2, 0.2});
  mesh_t m = polygonise(field_t(rig, 0.01), 0.04);
  EXPECT_TRUE(closed_and_consistent(m));
  size_t right = 0;
  for (const dvec3& p : m.positions) right += p.x > 0.5;
  EXPECT_GT(right, 0u);
  EXPECT_LT(right, m.positions.size());
}

TEST(chargen_mesh, normals_point_out_and_smoothing_keeps_the_volume) {
  rig_t rig = ball(0.3);
  mesh_t m = polygonise(field_t(rig, 0.01), 0.03);
  double before = signed_volume(m);
  smooth(m, 10);
  EXPECT_NEAR(signed_volume(m), before, std::fabs(before) * 0.03);
  compute_normals(m);
  EXPECT_EQ(relax_folds(m, 5), 0u);
  for (size_t v = 0; v < m.positions.size(); ++v) {
    EXPECT_NEAR(length(m.normals[v]), 1.0, 1e-12);
    EXPECT_GT(dot(m.normals[v], normalized(m.positions[v])), 0.9);
  }
}

TEST(chargen_decimate, meets_the_budget_and_stays_closed_and_clockwise) {
  rig_t rig = ball(0.3);
  mesh_t m = polygonise(field_t(rig, 0.01), 0.02);
  ASSERT_GT(m.positions.size(), 2000u);
  double before = signed_volume(m);
  decimate(m, 800);
  EXPECT_EQ(m.positions.size(), 800u);
  EXPECT_EQ(m.triangles.size(), 2 * 800u - 4);  // a closed sphere-like shell
  EXPECT_TRUE(closed_and_consistent(m));
  EXPECT_NEAR(signed_volume(m), before, std::fabs(before) * 0.05);
}

// Two bones side by side under one root: an arm (root -> upper -> lower)
// and a separate leg close to the lower arm.
rig_t limbs() {
  rig_t rig;
  rig.add_bone("root", "", {0, 0, 0});
  rig.add_bone("upper", "root", {0, 0, 0});
  rig.add_bone("lower", "upper", {0.4, 0, 0});
  rig.add_bone("leg", "root", {0.4, -0.2, 0});
  rig.capsule("upper", {0, 0, 0}, {0.4, 0, 0}, 0.06, 0.06);
  rig.capsule("lower", {0.4, 0, 0}, {0.8, 0, 0}, 0.06, 0.06);
  rig.capsule("leg", {0.4, -0.2, 0}, {0.8, -0.2, 0}, 0.06, 0.06);
  return rig;
}

TEST(chargen_weights, joints_share_vertices_smoothly_and_touching_limbs_never_do) {
  rig_t rig = limbs();
  field_t field(rig, 0.005);
  mesh_t m = polygonise(field, 0.015);
  assign_weights(m, rig, field, 0.05, 3);
  ASSERT_EQ(m.skin.size(), m.positions.size());
  int upper = rig.bone("upper"), lower = rig.bone("lower"), leg = rig.bone("leg");
  for (size_t v = 0; v < m.positions.size(); ++v) {
    const influences_t& s = m.skin[v];
    ASSERT_GE(s.count, 1);
    ASSERT_LE(s.count, 4);
    double sum = 0;
    bool arm = false, on_leg = false;
    for (int k = 0; k < s.count; ++k) {
      sum += s.weight[k];
      arm = arm || s.bone[k] == upper || s.bone[k] == lower;
      on_leg = on_leg || s.bone[k] == leg;
    }
    EXPECT_NEAR(sum, 1.0, 1e-12);
    EXPECT_FALSE(arm && on_leg) << "vertex " << v;
    const dvec3& p = m.positions[v];
    bool arm_surface = p.y > -0.1;
    if (arm_surface && std::fabs(p.x - 0.4) < 0.01) {
      EXPECT_EQ(s.count, 2);  // at the elbow: shared
    }
    if (arm_surface && p.x > 0.1 && p.x < 0.25) {
      EXPECT_EQ(s.bone[0], upper);  // mid upper arm: its own
    }
  }
}

}  // namespace
}  // namespace keln::chargen
