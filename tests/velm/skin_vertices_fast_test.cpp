// The SIMD skinning loops against the portable one: the same bits for every
// vertex of random meshes, and the same checks.
#include "velm/skin_vertices_fast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "kelncore/math/mat4_routines.h"
#include "kelncore/system/messages.h"
#include "kelncore/system/startup.h"
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

TEST(skin_vertices_fast, gives_the_portable_bits_with_and_without_processor_identification) {
  random_skin_t random(10);
  const array_dyn_t<mat4_t> matrices = random.matrices(23, true);
  const skinned_mesh_t mesh = random.mesh(500, 23);
  skinned_mesh_t reference = mesh;
  mat4_install_portable();
  skin_vertices(reference, matrices);
  for (unsigned flags : {0u, 1u}) {
    core_startup(flags);
    skinned_mesh_t fast = mesh;
    skin_vertices_fast(fast, matrices);
    EXPECT_TRUE(same_bits(fast.skinned_positions, reference.skinned_positions)) << flags;
    EXPECT_TRUE(same_bits(fast.skinned_normals, reference.skinned_normals)) << flags;
    core_shutdown();
  }
}

}  // namespace
}  // namespace keln::velm
