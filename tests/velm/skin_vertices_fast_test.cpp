// The SIMD skinning loops against the portable one: the same bits for every
// vertex of random meshes, and the same checks; the FMA loop within the
// skinning tolerance on random meshes and on a frame of each shipped
// character.
#include "velm/skin_vertices_fast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include <string>
#include <xmmintrin.h>

#include "kelncore/collections/auto_ptr.h"
#include "kelncore/math/mat4_routines.h"
#include "kelncore/system/messages.h"
#include "kelncore/system/startup.h"
#include "simd_tolerance.h"
#include "velm/pose_matrices.h"
#include "velm/skeletal_instance.h"
#include "velm/skin_vertices.h"

namespace keln::velm {
namespace {

// Random skinning problems: affine and projective matrices, 0 to 6
// influences of any sign, some vertices whose weights cancel.
class random_skin_t {
 public:
  explicit random_skin_t(unsigned seed) : rng(seed) {}

  float value(float range) { return std::uniform_real_distribution<float>(-range, range)(rng); }

  array_dyn_t<mat4_t> matrices(std::uint32_t bones, bool affine) {
    array_dyn_t<mat4_t> out;
    for (std::uint32_t b = 0; b < bones; ++b) {
      mat4_t m;
      for (float& c : m.m) c = value(2.0f);
      if (affine) {
        m.at(3, 0) = m.at(3, 1) = m.at(3, 2) = 0.0f;
        m.at(3, 3) = 1.0f;
      }
      out.push_back(m);
    }
    return out;
  }

  skinned_mesh_t mesh(std::uint32_t vertices, std::uint32_t bones) {
    skinned_mesh_t mesh;
    for (std::uint32_t v = 0; v < vertices; ++v) {
      mesh.positions.push_back(vec3_t{{value(50.0f), value(50.0f), value(50.0f)}});
      mesh.normals.push_back(vec3_t{{value(1.0f), value(1.0f), value(1.0f)}});
      skin_vertex_t vertex;
      const unsigned influences = rng() % 7;
      for (unsigned i = 0; i < influences; ++i)
        vertex.influences.push_back(skin_t{static_cast<std::uint32_t>(rng() % bones), value(1.5f)});
      if (v % 17 == 0 && influences == 2) {
        vertex.influences[1] = vertex.influences[0];
        vertex.influences[1].weight = -vertex.influences[0].weight;  // weights sum to 0
      }
      mesh.skin_vertices.push_back(vertex);
    }
    return mesh;
  }

  std::mt19937 rng;
};

::testing::AssertionResult same_bits(const array_t<vec3_t>& a, const array_t<vec3_t>& b) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << a.size() << " against " << b.size() << " vectors";
  for (std::uint32_t v = 0; v < a.size(); ++v) {
    if (std::memcmp(&a.data()[v], &b.data()[v], sizeof(vec3_t)) != 0) {
      return ::testing::AssertionFailure()
             << "vertex " << v << ": (" << a.data()[v][0] << ", " << a.data()[v][1] << ", " << a.data()[v][2]
             << ") against (" << b.data()[v][0] << ", " << b.data()[v][1] << ", " << b.data()[v][2] << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

using skin_loop_fn = void (*)(skinned_mesh_t&, const array_t<mat4_t>&);

// Each SIMD loop that this processor runs.
class skin_loop_test : public ::testing::TestWithParam<skin_loop_fn> {
 protected:
  void SetUp() override {
    if (GetParam() == &skin_vertices_avx2 && !skin_avx2_available()) GTEST_SKIP() << "no AVX2 here";
  }

  // Skins mesh with the loop under test and with the portable loop through
  // the portable routine table, and compares every output bit.
  void expect_same_skinning(skinned_mesh_t mesh, const array_t<mat4_t>& matrices) {
    mat4_install_portable();
    skinned_mesh_t reference = mesh;
    skin_vertices(reference, matrices);
    GetParam()(mesh, matrices);
    EXPECT_TRUE(same_bits(mesh.skinned_positions, reference.skinned_positions));
    EXPECT_TRUE(same_bits(mesh.skinned_normals, reference.skinned_normals));
  }
};

TEST_P(skin_loop_test, gives_the_portable_bits_for_affine_bones) {
  random_skin_t random(1);
  for (std::uint32_t bones : {1u, 2u, 31u, 64u, SKIN_FAST_MAX_BONES}) {
    const array_dyn_t<mat4_t> matrices = random.matrices(bones, true);
    expect_same_skinning(random.mesh(997, bones), matrices);
  }
}

TEST_P(skin_loop_test, every_count_around_the_batches_and_pairs) {
  random_skin_t random(9);
  const array_dyn_t<mat4_t> matrices = random.matrices(5, true);
  for (std::uint32_t vertices : {1u, 2u, 3u, 15u, 16u, 17u, 18u, 31u, 33u}) {
    expect_same_skinning(random.mesh(vertices, 5), matrices);
  }
}

TEST_P(skin_loop_test, gives_the_portable_bits_for_projective_bones) {
  random_skin_t random(2);
  const array_dyn_t<mat4_t> matrices = random.matrices(20, false);
  expect_same_skinning(random.mesh(2000, 20), matrices);
}

TEST_P(skin_loop_test, skips_the_divisions_where_w_and_s_are_zero) {
  // Row 3 of the one bone is (1, 0, 0, -1): w is 0 where x is 1, s where the
  // normal's x is 0.
  random_skin_t random(3);
  array_dyn_t<mat4_t> matrices = random.matrices(1, false);
  matrices[0].at(3, 0) = 1.0f;
  matrices[0].at(3, 1) = 0.0f;
  matrices[0].at(3, 2) = 0.0f;
  matrices[0].at(3, 3) = -1.0f;
  skinned_mesh_t mesh = random.mesh(50, 1);
  for (std::uint32_t v = 0; v < 50; v += 2) {
    mesh.positions[v][0] = 1.0f;
    mesh.normals[v][0] = 0.0f;
    mesh.skin_vertices[v].influences.clear();
    mesh.skin_vertices[v].influences.push_back(skin_t{0, 1.0f});
  }
  expect_same_skinning(mesh, matrices);
}

TEST_P(skin_loop_test, more_bones_than_the_stack_buffer_holds_give_the_same_bits) {
  random_skin_t random(4);
  const std::uint32_t bones = SKIN_FAST_MAX_BONES + 44;
  const array_dyn_t<mat4_t> matrices = random.matrices(bones, true);
  expect_same_skinning(random.mesh(1500, bones), matrices);
}

TEST_P(skin_loop_test, writes_exactly_the_outputs) {
  random_skin_t random(5);
  const array_dyn_t<mat4_t> matrices = random.matrices(3, true);
  for (std::uint32_t vertices : {0u, 1u, 2u, 5u}) {
    skinned_mesh_t mesh = random.mesh(vertices, 3);
    // Stale outputs of another size are resized; one extra normal sizes the
    // normal output.
    mesh.skinned_positions.resize(9);
    mesh.normals.push_back(vec3_t{{7.0f, 7.0f, 7.0f}});
    expect_same_skinning(mesh, matrices);
    GetParam()(mesh, matrices);
    EXPECT_EQ(mesh.skinned_positions.size(), vertices);
    EXPECT_EQ(mesh.skinned_normals.size(), vertices + 1);
  }
}

TEST_P(skin_loop_test, vertex_without_influences_goes_to_the_origin) {
  random_skin_t random(6);
  const array_dyn_t<mat4_t> matrices = random.matrices(2, true);
  skinned_mesh_t mesh = random.mesh(3, 2);
  mesh.skin_vertices[1].influences.clear();
  GetParam()(mesh, matrices);
  for (unsigned i = 0; i < 3; ++i) {
    EXPECT_EQ(mesh.skinned_positions[1][i], 0.0f);
    EXPECT_EQ(mesh.skinned_normals[1][i], 0.0f);
  }
}

// The failed check's line on the standard error stream.
constexpr const char* INDEX_OVERFLOW =
    "\\*\\*\\* ERROR \\*\\*\\* : .*: unknown fn: \\[array_t\\] boundary check failed - index overflow";

// Skins with the standard message handler installed, so that the failed
// check is written out.
void skin_reporting(skin_loop_fn loop, skinned_mesh_t& mesh, const array_t<mat4_t>& matrices) {
  message_stdio_t out;
  loop(mesh, matrices);
}

TEST_P(skin_loop_test, bone_beyond_the_matrices_ends_the_process) {
  random_skin_t random(7);
  const array_dyn_t<mat4_t> matrices = random.matrices(2, true);
  skinned_mesh_t mesh = random.mesh(4, 2);
  mesh.skin_vertices[3].influences.push_back(skin_t{2, 1.0f});
  EXPECT_DEATH(skin_reporting(GetParam(), mesh, matrices), INDEX_OVERFLOW);
}

TEST_P(skin_loop_test, fewer_normals_or_skin_vertices_than_positions_end_the_process) {
  random_skin_t random(8);
  const array_dyn_t<mat4_t> matrices = random.matrices(2, true);
  skinned_mesh_t few_normals = random.mesh(4, 2);
  few_normals.normals.resize(3);
  EXPECT_DEATH(skin_reporting(GetParam(), few_normals, matrices), INDEX_OVERFLOW);
  skinned_mesh_t few_vertices = random.mesh(4, 2);
  few_vertices.skin_vertices.resize(3);
  EXPECT_DEATH(skin_reporting(GetParam(), few_vertices, matrices), INDEX_OVERFLOW);
}

INSTANTIATE_TEST_SUITE_P(sse, skin_loop_test, ::testing::Values(&skin_vertices_sse));
INSTANTIATE_TEST_SUITE_P(avx2, skin_loop_test, ::testing::Values(&skin_vertices_avx2));

// The FMA loop's output against the portable loop's, within the skinning
// tolerance.
void expect_near_skinning(skinned_mesh_t mesh, const array_t<mat4_t>& matrices) {
  mat4_install_portable();
  skinned_mesh_t reference = mesh;
  skin_vertices(reference, matrices);
  skin_vertices_fma(mesh, matrices);
  ASSERT_EQ(mesh.skinned_positions.size(), reference.skinned_positions.size());
  ASSERT_EQ(mesh.skinned_normals.size(), reference.skinned_normals.size());
  using velm_test::near_relative;
  EXPECT_TRUE(near_relative(mesh.skinned_positions.data()->c, reference.skinned_positions.data()->c,
                            mesh.skinned_positions.size(), 3, velm_test::skinned_relative_tolerance));
  EXPECT_TRUE(near_relative(mesh.skinned_normals.data()->c, reference.skinned_normals.data()->c,
                            mesh.skinned_normals.size(), 3, velm_test::skinned_relative_tolerance));
}

// Weights in [0, 1.5] (every fourth one 0), so that no weight sum cancels.
skinned_mesh_t conditioned_mesh(random_skin_t& random, std::uint32_t vertices, std::uint32_t bones) {
  skinned_mesh_t mesh = random.mesh(vertices, bones);
  unsigned n = 0;
  for (skin_vertex_t& vertex : mesh.skin_vertices)
    for (skin_t& influence : vertex.influences) influence.weight = ++n % 4 == 0 ? 0.0f : std::fabs(influence.weight);
  return mesh;
}

// Projective bottom rows near (0, 0, 0, 1), so that w keeps away from 0,
// with positive first components; with the normals turned non-negative, s
// does not cancel either.
void make_projective(random_skin_t& random, array_t<mat4_t>& matrices, skinned_mesh_t& mesh) {
  for (mat4_t& m : matrices) {
    for (unsigned c = 0; c < 3; ++c) m.at(3, c) = 0.001f + std::fabs(random.value(0.001f));
    m.at(3, 3) = 1.0f + random.value(0.1f);
  }
  for (vec3_t& n : mesh.normals)
    for (float& c : n.c) c = std::fabs(c);
}

class skin_fma_test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!skin_fma_available()) GTEST_SKIP() << "no AVX2 and FMA here";
    saved_csr = _mm_getcsr();
    _mm_setcsr(saved_csr | 0x8000u);  // flush-to-zero, as the start-up sets it
  }
  void TearDown() override { _mm_setcsr(saved_csr); }

  unsigned saved_csr = 0;
};

TEST_F(skin_fma_test, near_the_portable_loop_for_affine_and_projective_bones) {
  random_skin_t random(11);
  for (bool affine : {true, false}) {
    for (std::uint32_t vertices : {1u, 2u, 3u, 17u, 998u}) {
      array_dyn_t<mat4_t> matrices = random.matrices(31, true);
      skinned_mesh_t mesh = conditioned_mesh(random, vertices, 31);
      if (!affine) make_projective(random, matrices, mesh);
      expect_near_skinning(mesh, matrices);
    }
  }
}

TEST_F(skin_fma_test, near_the_portable_loop_with_denormals) {
  random_skin_t random(12);
  array_dyn_t<mat4_t> matrices = random.matrices(8, true);
  matrices[1].at(0, 1) = 1e-40f;
  matrices[2].at(1, 3) = -3e-39f;
  skinned_mesh_t mesh = conditioned_mesh(random, 300, 8);
  for (std::uint32_t v = 0; v < 300; v += 7) {
    mesh.positions[v][v % 3] = 2e-39f;
    mesh.normals[v][(v + 1) % 3] = -1e-41f;
    if (!mesh.skin_vertices[v].influences.empty()) mesh.skin_vertices[v].influences[0].weight = 5e-40f;
  }
  expect_near_skinning(mesh, matrices);
}

TEST_F(skin_fma_test, vertex_without_influences_or_weights_goes_to_the_origin) {
  random_skin_t random(13);
  const array_dyn_t<mat4_t> matrices = random.matrices(2, true);
  skinned_mesh_t mesh = random.mesh(3, 2);
  mesh.skin_vertices[1].influences.clear();
  mesh.skin_vertices[2].influences.clear();
  mesh.skin_vertices[2].influences.push_back(skin_t{1, 0.0f});
  skin_vertices_fma(mesh, matrices);
  for (std::uint32_t v : {1u, 2u}) {
    for (unsigned i = 0; i < 3; ++i) {
      EXPECT_EQ(mesh.skinned_positions[v][i], 0.0f);
      EXPECT_EQ(mesh.skinned_normals[v][i], 0.0f);
    }
  }
}

TEST_F(skin_fma_test, near_the_portable_loop_on_a_frame_of_each_shipped_character) {
  struct character_t {
    const char *skeleton, *mesh, *motion;
  };
  const character_t characters[] = {{"hunter/hunter.qis", "hunter/hunter.qim", "hunter/run.qia"},
                                    {"horse/vehicle.qis", "horse/vehicle.qim", "horse/gallop.qia"},
                                    {"elephant/animal.qis", "elephant/animal.qim", "elephant/walk.qia"}};
  ::testing::internal::CaptureStdout();  // the load reports
  core_startup(1);                         // the file system the loads read through
  for (const character_t& c : characters) {
    const std::string data = VELM_DATA_DIR;
    skeletal_instance_t instance((data + c.skeleton).c_str());
    auto_ptr_t<skinned_mesh_t> mesh(instance.load_skin((data + c.mesh).c_str()));
    auto_ptr_t<motion_t> motion(instance.load_motion((data + c.motion).c_str()));
    EXPECT_TRUE(mesh.get() && motion.get()) << c.mesh;
    if (!mesh.get() || !motion.get()) continue;
    instance.binding(instance.add_pose(motion.get())).weight = 1.0f;
    motion->advance(0.7f);
    instance.update();
    array_dyn_t<mat4_t> skinning;
    global_matrices(instance.skeleton(), instance.pose(), skinning);
    for (std::uint32_t b = 0; b < skinning.size(); ++b)
      mat4_mul_alias_b(skinning[b], instance.inverse_bind()[b], skinning[b]);
    SCOPED_TRACE(c.mesh);
    expect_near_skinning(*mesh, skinning);
  }
  core_shutdown();
  ::testing::internal::GetCapturedStdout();
}

TEST(skin_vertices_fast, portable_bits_without_processor_identification_and_near_them_with_it) {
  random_skin_t random(10);
  const array_dyn_t<mat4_t> matrices = random.matrices(23, true);
  const skinned_mesh_t mesh = conditioned_mesh(random, 500, 23);
  skinned_mesh_t reference = mesh;
  mat4_install_portable();
  skin_vertices(reference, matrices);
  for (unsigned flags : {0u, 1u}) {
    core_startup(flags);
    skinned_mesh_t fast = mesh;
    skin_vertices_fast(fast, matrices);
    if (flags == 0) {
      EXPECT_TRUE(same_bits(fast.skinned_positions, reference.skinned_positions));
      EXPECT_TRUE(same_bits(fast.skinned_normals, reference.skinned_normals));
    } else {
      using velm_test::near_relative;
      EXPECT_TRUE(near_relative(fast.skinned_positions.data()->c, reference.skinned_positions.data()->c, 500, 3,
                                velm_test::skinned_relative_tolerance));
      EXPECT_TRUE(near_relative(fast.skinned_normals.data()->c, reference.skinned_normals.data()->c, 500, 3,
                                velm_test::skinned_relative_tolerance));
    }
    core_shutdown();
  }
}

}  // namespace
}  // namespace keln::velm
