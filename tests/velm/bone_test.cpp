#include "velm/bone.h"

#include <random>

#include "velm_fixture.h"

namespace keln::velm {

using velm_test::key;

// Random affine matrices without reflection (a bone_t loses its sign) come
// back from their bone; the stretch found is symmetric.
TEST(bone, from_matrix_round_trips_with_a_symmetric_stretch) {
  std::mt19937 engine(30);
  std::uniform_real_distribution<float> value(-2, 2);
  for (int n = 0; n < 20; ++n) {
    mat4_t m(1.0f);
    for (unsigned r = 0; r < 3; ++r)
      for (unsigned c = 0; c < 4; ++c) m.at(r, c) = value(engine);
    if (m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) + m[2] * (m[4] * m[9] - m[5] * m[8]) < 0)
      for (unsigned c = 0; c < 3; ++c) m.at(0, c) = -m.at(0, c);
    const bone_t b(m);
    mat4_t back;
    b.to_matrix(back);
    for (unsigned i = 0; i < 16; ++i) EXPECT_NEAR(back[i], m[i], keln::test::tol_chain) << "component " << i;
    for (unsigned i = 0; i < 9; ++i) EXPECT_NEAR(b.stretch[i], b.stretch.at(i % 3, i / 3), keln::test::tol_float);
  }
}

// Blend factors at and just inside the thresholds copy a key bit for bit;
// between them position and rotation blend and the left stretch stays.
TEST(bone, interpolate_copies_near_the_ends_and_keeps_the_left_stretch_between) {
  const bone_t a = key(0, 0, 0, quat_identity(), 2.0f);
  const bone_t b = key(10, 20, 30, quat_from_axis_angle(vec3_t{{0, 1, 0}}, 1.0f), 3.0f);
  const struct {
    float f;
    const bone_t* copy;
  } rows[] = {{0.0f, &a}, {9.9e-6f, &a}, {0.999995f, &b}, {1.0f, &b}, {0.25f, nullptr}, {0.99f, nullptr}};
  for (const auto& row : rows) {
    bone_t out = key(-7, -7, -7, quat_t{{9, 9, 9, 9}}, 9.0f);  // garbage
    interpolate(out, a, b, row.f);
    if (row.copy) {
      EXPECT_TRUE(velm_test::same_bone(out, *row.copy)) << row.f;
      continue;
    }
    for (unsigned i = 0; i < 3; ++i) EXPECT_NEAR(out.position[i], row.f * b.position[i], keln::test::tol_float) << row.f;
    quat_t rotation;
    quat_blend(rotation, a.rotation, b.rotation, row.f);
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(out.rotation[i], rotation[i]) << row.f;
    EXPECT_EQ(out.stretch[0], 2.0f) << row.f;
  }
}

}  // namespace keln::velm
