// The SIMD skinning loops against the portable one: the same bits for every
// vertex of random meshes, over outputs full of garbage, and the same checks;
// and a whole character played with and without the processor's routines.
#include "velm/skin_vertices_fast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "kelncore/math/mat4_routines.h"
#include "kelncore/system/cpu.h"
#include "kelncore/system/startup.h"
#include "velm/bspline_motion.h"
#include "velm/pose_matrices.h"
#include "velm/skeletal_instance.h"
#include "velm/skin_vertices.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

// Random skinning problems: affine or projective matrices, 0 to 6
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
      skin_vertex_t* vertex = mesh.skin_vertices.push_back(skin_vertex_t{});
      const unsigned influences = rng() % 7;
      for (unsigned i = 0; i < influences; ++i)
        vertex->influences.push_back(skin_t{static_cast<std::uint32_t>(rng() % bones), value(1.5f)});
      if (v % 17 == 0 && influences == 2) {
        vertex->influences[1] = vertex->influences[0];
        vertex->influences[1].weight = -vertex->influences[0].weight;  // weights sum to 0
      }
    }
    return mesh;
  }

  std::mt19937 rng;
};

::testing::AssertionResult same_bits(const array_t<vec3_t>& a, const array_t<vec3_t>& b) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << a.size() << " against " << b.size() << " vectors";
  for (std::uint32_t v = 0; v < a.size(); ++v)
    if (std::memcmp(&a.data()[v], &b.data()[v], sizeof(vec3_t)) != 0)
      return ::testing::AssertionFailure() << "vertex " << v << ": " << a.data()[v][0] << " against " << b.data()[v][0];
  return ::testing::AssertionSuccess();
}

using skin_loop_fn = void (*)(skinned_mesh_t&, const array_t<mat4_t>&);

// Each SIMD loop that this processor runs.
class skin_loop_test : public ::testing::TestWithParam<skin_loop_fn> {
 protected:
  void SetUp() override {
    if (GetParam() == &skin_vertices_avx2 && !skin_avx2_available()) GTEST_SKIP() << "no AVX2 here";
  }

  // Skins mesh with the portable loop through the portable routine table and
  // with the loop under test over garbage outputs, and compares every bit.
  void expect_same_skinning(skinned_mesh_t mesh, const array_t<mat4_t>& matrices) {
    mat4_install_portable();
    skinned_mesh_t reference = mesh;
    skin_vertices(reference, matrices);
    mesh.skinned_positions.clear();
    for (std::uint32_t v = 0; v < mesh.positions.size() + 3; ++v) {
      mesh.skinned_positions.push_back(vec3_t{{NAN, -1e30f, 7.0f}});
      mesh.skinned_normals.push_back(vec3_t{{NAN, 1e30f, -7.0f}});
    }
    GetParam()(mesh, matrices);
    EXPECT_TRUE(same_bits(mesh.skinned_positions, reference.skinned_positions));
    EXPECT_TRUE(same_bits(mesh.skinned_normals, reference.skinned_normals));
  }
};

TEST_P(skin_loop_test, gives_the_portable_bits) {
  const struct {
    unsigned seed;
    std::uint32_t bones, vertices;
    bool affine;
  } rows[] = {{1, 1, 997, true},  {1, 31, 997, true},  {1, SKIN_FAST_MAX_BONES, 997, true},
              {4, SKIN_FAST_MAX_BONES + 44, 1500, true},  // beyond the stack buffer
              {2, 20, 2000, false}, {9, 5, 0, true},       {9, 5, 1, true},
              {9, 5, 2, true},    {9, 5, 15, true},    {9, 5, 16, true},
              {9, 5, 17, true},   {9, 5, 18, true},    {9, 5, 33, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.bones << " bones, " << row.vertices << " vertices");
    random_skin_t random(row.seed);
    const array_dyn_t<mat4_t> matrices = random.matrices(row.bones, row.affine);
    expect_same_skinning(random.mesh(row.vertices, row.bones), matrices);
  }
}

TEST_P(skin_loop_test, skips_the_divisions_where_w_and_s_are_zero_and_sizes_the_normals_by_the_normals) {
  // Row 3 of the one bone is (1, 0, 0, -1): w is 0 where x is 1, s where the
  // normal's x is 0.
  random_skin_t random(3);
  array_dyn_t<mat4_t> matrices = random.matrices(1, false);
  matrices[0].at(3, 0) = 1.0f;
  matrices[0].at(3, 1) = matrices[0].at(3, 2) = 0.0f;
  matrices[0].at(3, 3) = -1.0f;
  skinned_mesh_t mesh = random.mesh(50, 1);
  for (std::uint32_t v = 0; v < 50; v += 2) {
    mesh.positions[v][0] = 1.0f;
    mesh.normals[v][0] = 0.0f;
    mesh.skin_vertices[v].influences.clear();
    mesh.skin_vertices[v].influences.push_back(skin_t{0, 1.0f});
  }
  mesh.normals.push_back(vec3_t{{7.0f, 7.0f, 7.0f}});  // one extra normal
  expect_same_skinning(mesh, matrices);
}

// Skins with the standard message handler installed, so that the failed
// check's line is written out.
void skin_reporting(skin_loop_fn loop, skinned_mesh_t& mesh, const array_t<mat4_t>& matrices) {
  message_stdio_t out;
  loop(mesh, matrices);
}

TEST_P(skin_loop_test, a_missing_bone_normal_or_skin_vertex_ends_the_process) {
  const char* const index_overflow =
      "\\*\\*\\* ERROR \\*\\*\\* : .*: unknown fn: \\[array_t\\] boundary check failed - index overflow";
  random_skin_t random(7);
  const array_dyn_t<mat4_t> matrices = random.matrices(2, true);
  skinned_mesh_t bad_bone = random.mesh(4, 2), few_normals = random.mesh(4, 2), few_vertices = random.mesh(4, 2);
  bad_bone.skin_vertices[3].influences.push_back(skin_t{2, 1.0f});
  few_normals.normals.resize(3);
  few_vertices.skin_vertices.resize(3);
  for (skinned_mesh_t* mesh : {&bad_bone, &few_normals, &few_vertices})
    EXPECT_DEATH(skin_reporting(GetParam(), *mesh, matrices), index_overflow);
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

// One frame of the shipped hunter, started with core flags: a walk (weight
// 1), a run (1000) and the walk's fit (0.5) blended; its pose and its mesh
// skinned through the instance and by the fast loop, as bytes.
std::vector<std::vector<unsigned char>> hunter_frame(unsigned flags, float time) {
  auto bytes = [](const auto& a) {
    const auto* p = reinterpret_cast<const unsigned char*>(a.data());
    return std::vector<unsigned char>(p, p + a.size() * sizeof(*a.data()));
  };
  core_startup(flags);
  std::vector<std::vector<unsigned char>> frame;
  {
    velm_test::message_log_t quiet;
    const std::string hunter = std::string(VELM_DATA_DIR) + "hunter/";
    skeletal_instance_t instance((hunter + "hunter.qis").c_str());
    std::unique_ptr<skinned_mesh_t> mesh(instance.load_skin((hunter + "hunter.qim").c_str()));
    std::unique_ptr<motion_t> walk(instance.load_motion((hunter + "walk.qia").c_str()));
    std::unique_ptr<motion_t> run(instance.load_motion((hunter + "run.qia").c_str()));
    EXPECT_TRUE(mesh && walk && run);
    if (mesh && walk && run) {
      bspline_motion_t fitted(*walk);
      const std::pair<pose_t*, float> bindings[] = {{walk.get(), 1.0f}, {run.get(), 1000.0f}, {&fitted, 0.5f}};
      for (const auto& [pose, weight] : bindings) {
        instance.binding(instance.add_pose(pose)).weight = weight;
        pose->advance(time);
      }
      instance.update();
      instance.skin(*mesh, instance.pose());
      frame = {bytes(instance.pose().bones), bytes(mesh->skinned_positions), bytes(mesh->skinned_normals)};
      array_dyn_t<mat4_t> skinning;
      global_matrices(instance.skeleton(), instance.pose(), skinning);
      for (std::uint32_t b = 0; b < skinning.size(); ++b)
        mat4_mul_alias_b(skinning[b], instance.inverse_bind()[b], skinning[b]);
      skin_vertices_fast(*mesh, skinning);
      frame.push_back(bytes(mesh->skinned_positions));
      frame.push_back(bytes(mesh->skinned_normals));
    }
  }
  core_shutdown();
  return frame;
}

TEST(skin_vertices_fast, a_hunter_frame_is_the_same_with_and_without_processor_routines) {
  for (float time : {0.0f, 0.37f, 1.9f}) {
    const auto portable = hunter_frame(0, time);
    EXPECT_EQ(cpu_features(), CPU_FEAT_FPU);
    const auto fast = hunter_frame(1, time);
    EXPECT_NE(cpu_features() & CPU_FEAT_SSE, 0u);
    ASSERT_EQ(portable.size(), 5u);
    ASSERT_EQ(portable[1].size(), 9000u * sizeof(vec3_t));
    EXPECT_TRUE(portable == fast) << "at " << time;
    EXPECT_TRUE(portable[1] == portable[3] && portable[2] == portable[4]) << "at " << time;
  }
}

}  // namespace
}  // namespace keln::velm
