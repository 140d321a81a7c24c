// The SIMD skinning loops against the portable one: the same bits for every
// vertex of random meshes over outputs full of garbage, and the same checks;
// the FMA loop within the skinning tolerance on random meshes and on a frame
// of each shipped character; and the hunter played with the portable routines
// (its bits pinned) and with the processor's (near them).
#include "velm/skin_vertices_fast.h"

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <xmmintrin.h>

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

std::mt19937 engine;
float value(float range) { return std::uniform_real_distribution<float>(-range, range)(engine); }

// Random matrices, affine or projective.
array_dyn_t<mat4_t> random_matrices(std::uint32_t bones, bool affine) {
  array_dyn_t<mat4_t> out;
  for (std::uint32_t b = 0; b < bones; ++b) {
    mat4_t* m = out.push_back(mat4_t());
    for (float& c : m->m) c = value(2.0f);
    if (affine) m->at(3, 0) = m->at(3, 1) = m->at(3, 2) = 0.0f, m->at(3, 3) = 1.0f;
  }
  return out;
}

// 0 to 6 influences of any sign per vertex, some whose weights cancel.
skinned_mesh_t random_mesh(std::uint32_t vertices, std::uint32_t bones) {
  skinned_mesh_t mesh;
  for (std::uint32_t v = 0; v < vertices; ++v) {
    mesh.positions.push_back(vec3_t{{value(50.0f), value(50.0f), value(50.0f)}});
    mesh.normals.push_back(vec3_t{{value(1.0f), value(1.0f), value(1.0f)}});
    skin_vertex_t* vertex = mesh.skin_vertices.push_back(skin_vertex_t{});
    for (unsigned i = engine() % 7; i > 0; --i) vertex->influences.push_back(skin_t{static_cast<std::uint32_t>(engine() % bones), value(1.5f)});
    if (v % 17 == 0 && vertex->influences.size() == 2)
      vertex->influences[1] = skin_t{vertex->influences[0].bone, -vertex->influences[0].weight};
  }
  return mesh;
}

::testing::AssertionResult same_bits(const array_t<vec3_t>& a, const array_t<vec3_t>& b) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << a.size() << " against " << b.size() << " vectors";
  for (std::uint32_t v = 0; v < a.size(); ++v)
    if (std::memcmp(&a.data()[v], &b.data()[v], sizeof(vec3_t)) != 0) return ::testing::AssertionFailure() << "vertex " << v;
  return ::testing::AssertionSuccess();
}

using skin_loop_fn = void (*)(skinned_mesh_t&, const array_t<mat4_t>&);

// Each SIMD loop that this processor runs, against the portable loop through
// the portable routine table.
class skin_loop : public ::testing::TestWithParam<skin_loop_fn> {
 protected:
  void SetUp() override {
    if (GetParam() == &skin_vertices_avx2 && !skin_avx2_available()) GTEST_SKIP() << "no AVX2 here";
  }
  void expect_same_skinning(skinned_mesh_t mesh, const array_t<mat4_t>& matrices) {
    for (std::uint32_t v = 0; v < mesh.positions.size() + 3; ++v) {  // garbage, of another size
      mesh.skinned_positions.push_back(vec3_t{{NAN, -1e30f, 7.0f}});
      mesh.skinned_normals.push_back(vec3_t{{NAN, 1e30f, -7.0f}});
    }
    mat4_install_portable();
    skinned_mesh_t reference = mesh;
    skin_vertices(reference, matrices);
    GetParam()(mesh, matrices);
    EXPECT_TRUE(same_bits(mesh.skinned_positions, reference.skinned_positions));
    EXPECT_TRUE(same_bits(mesh.skinned_normals, reference.skinned_normals));
  }
};

TEST_P(skin_loop, gives_the_portable_bits) {
  const struct {
    std::uint32_t bones, vertices;
    bool affine;
  } rows[] = {{1, 997, true},    {31, 997, true}, {SKIN_FAST_MAX_BONES, 997, true},
              {SKIN_FAST_MAX_BONES + 44, 1500, true},  // beyond the stack buffer
              {20, 2000, false}, {5, 0, true},    {5, 1, true}, {5, 2, true}, {5, 15, true}, {5, 16, true},
              {5, 17, true},     {5, 18, true},   {5, 33, true}};
  engine.seed(1);
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.bones << " bones, " << row.vertices << " vertices");
    const array_dyn_t<mat4_t> matrices = random_matrices(row.bones, row.affine);
    expect_same_skinning(random_mesh(row.vertices, row.bones), matrices);
  }
}

// Row 3 of the one bone is (1, 0, 0, -1): w is 0 where x is 1, s where the
// normal's x is 0. One extra normal sizes the normals' output.
TEST_P(skin_loop, skips_the_divisions_where_w_and_s_are_zero) {
  engine.seed(3);
  array_dyn_t<mat4_t> matrices = random_matrices(1, false);
  matrices[0].at(3, 0) = 1.0f, matrices[0].at(3, 1) = matrices[0].at(3, 2) = 0.0f, matrices[0].at(3, 3) = -1.0f;
  skinned_mesh_t mesh = random_mesh(50, 1);
  for (std::uint32_t v = 0; v < 50; v += 2) {
    mesh.positions[v][0] = 1.0f, mesh.normals[v][0] = 0.0f;
    mesh.skin_vertices[v].influences.clear();
    mesh.skin_vertices[v].influences.push_back(skin_t{0, 1.0f});
  }
  mesh.normals.push_back(vec3_t{{7.0f, 7.0f, 7.0f}});
  expect_same_skinning(mesh, matrices);
}

TEST_P(skin_loop, a_missing_bone_normal_or_skin_vertex_ends_the_process_with_the_index_check) {
  engine.seed(7);
  const array_dyn_t<mat4_t> matrices = random_matrices(2, true);
  skinned_mesh_t bad_bone = random_mesh(4, 2), few_normals = random_mesh(4, 2), few_vertices = random_mesh(4, 2);
  bad_bone.skin_vertices[3].influences.push_back(skin_t{2, 1.0f});
  few_normals.normals.resize(3);
  few_vertices.skin_vertices.resize(3);
  for (skinned_mesh_t* mesh : {&bad_bone, &few_normals, &few_vertices})
    EXPECT_DEATH((message_stdio_t{}, GetParam()(*mesh, matrices)),
                 "\\*\\*\\* ERROR \\*\\*\\* : .*: unknown fn: \\[array_t\\] boundary check failed - index overflow");
}

INSTANTIATE_TEST_SUITE_P(sse, skin_loop, ::testing::Values(&skin_vertices_sse));
INSTANTIATE_TEST_SUITE_P(avx2, skin_loop, ::testing::Values(&skin_vertices_avx2));

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
                            mesh.skinned_positions.size(), 3, keln::test::tol_float));
  EXPECT_TRUE(near_relative(mesh.skinned_normals.data()->c, reference.skinned_normals.data()->c,
                            mesh.skinned_normals.size(), 3, keln::test::tol_float));
}

// Weights in [0, 1.5] (every fourth one 0), so that no weight sum cancels.
skinned_mesh_t conditioned_mesh(std::uint32_t vertices, std::uint32_t bones) {
  skinned_mesh_t mesh = random_mesh(vertices, bones);
  unsigned n = 0;
  for (skin_vertex_t& vertex : mesh.skin_vertices)
    for (skin_t& influence : vertex.influences) influence.weight = ++n % 4 == 0 ? 0.0f : std::fabs(influence.weight);
  return mesh;
}

// Projective bottom rows near (0, 0, 0, 1), so that w keeps away from 0,
// with positive first components; with the normals turned non-negative, s
// does not cancel either.
void make_projective(array_t<mat4_t>& matrices, skinned_mesh_t& mesh) {
  for (mat4_t& m : matrices) {
    for (unsigned c = 0; c < 3; ++c) m.at(3, c) = 0.001f + std::fabs(value(0.001f));
    m.at(3, 3) = 1.0f + value(0.1f);
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
  engine.seed(11);
  for (bool affine : {true, false}) {
    for (std::uint32_t vertices : {1u, 2u, 3u, 17u, 998u}) {
      array_dyn_t<mat4_t> matrices = random_matrices(31, true);
      skinned_mesh_t mesh = conditioned_mesh(vertices, 31);
      if (!affine) make_projective(matrices, mesh);
      expect_near_skinning(mesh, matrices);
    }
  }
}

TEST_F(skin_fma_test, near_the_portable_loop_with_denormals) {
  engine.seed(12);
  array_dyn_t<mat4_t> matrices = random_matrices(8, true);
  matrices[1].at(0, 1) = 1e-40f;
  matrices[2].at(1, 3) = -3e-39f;
  skinned_mesh_t mesh = conditioned_mesh(300, 8);
  for (std::uint32_t v = 0; v < 300; v += 7) {
    mesh.positions[v][v % 3] = 2e-39f;
    mesh.normals[v][(v + 1) % 3] = -1e-41f;
    if (!mesh.skin_vertices[v].influences.empty()) mesh.skin_vertices[v].influences[0].weight = 5e-40f;
  }
  expect_near_skinning(mesh, matrices);
}

TEST_F(skin_fma_test, vertex_without_influences_or_weights_goes_to_the_origin) {
  engine.seed(13);
  const array_dyn_t<mat4_t> matrices = random_matrices(2, true);
  skinned_mesh_t mesh = random_mesh(3, 2);
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
  core_startup(1);  // the file system the loads read through
  {
    velm_test::message_log_t quiet;
    for (const character_t& c : characters) {
      const std::string data = VELM_DATA_DIR;
      skeletal_instance_t instance((data + c.skeleton).c_str());
      std::unique_ptr<skinned_mesh_t> mesh(instance.load_skin((data + c.mesh).c_str()));
      std::unique_ptr<motion_t> motion(instance.load_motion((data + c.motion).c_str()));
      EXPECT_TRUE(mesh && motion) << c.mesh;
      if (!mesh || !motion) continue;
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
  }
  core_shutdown();
}

TEST(skin_vertices_fast, portable_bits_without_processor_identification_and_near_them_with_it) {
  engine.seed(10);
  const array_dyn_t<mat4_t> matrices = random_matrices(23, true);
  const skinned_mesh_t mesh = conditioned_mesh(500, 23);
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
                                keln::test::tol_float));
      EXPECT_TRUE(near_relative(fast.skinned_normals.data()->c, reference.skinned_normals.data()->c, 500, 3,
                                keln::test::tol_float));
    }
    core_shutdown();
  }
}

template <typename T>
std::vector<unsigned char> bytes(const array_t<T>& a) {
  const auto* p = reinterpret_cast<const unsigned char*>(a.data());
  return std::vector<unsigned char>(p, p + a.size() * sizeof(T));
}

// A frame of the shipped hunter with the core started with flags: a walk
// (weight 1), a run (1000) and the walk's fit (0.5) blended; its pose, and
// its mesh skinned through the instance and by skin_vertices_fast, as bytes.
std::vector<std::vector<unsigned char>> hunter_frame(unsigned flags, float time) {
  core_startup(flags);
  std::vector<std::vector<unsigned char>> frame;
  {
    velm_test::message_log_t quiet;
    const std::string hunter = std::string(VELM_DATA_DIR) + "hunter/";
    skeletal_instance_t instance((hunter + "hunter.qis").c_str());
    std::unique_ptr<skinned_mesh_t> mesh(instance.load_skin((hunter + "hunter.qim").c_str()));
    std::unique_ptr<motion_t> walk(instance.load_motion((hunter + "walk.qia").c_str()));
    std::unique_ptr<motion_t> run(instance.load_motion((hunter + "run.qia").c_str()));
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
    for (std::uint32_t b = 0; b < skinning.size(); ++b) mat4_mul_alias_b(skinning[b], instance.inverse_bind()[b], skinning[b]);
    skin_vertices_fast(*mesh, skinning);
    frame.push_back(bytes(mesh->skinned_positions));
    frame.push_back(bytes(mesh->skinned_normals));
  }
  core_shutdown();
  return frame;
}

// FNV-1a over the bytes: a short fingerprint of a frame's bits.
std::uint64_t fingerprint(const std::vector<unsigned char>& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

// The portable frame's pose, positions and normals, pinned by their
// fingerprints (they include the walk's B-spline fit, so a change of the
// fitter changes them); skin_vertices_fast gives the instance's bits.
TEST(skin_vertices_fast, portable_hunter_frame_keeps_its_bits) {
  const struct {
    float time;
    std::uint64_t pose, positions, normals;
  } pinned[] = {
      {0.0f, 10258385018354141159ull, 5804993128027954433ull, 12737109288186705697ull},
      {0.37f, 6170954294312882560ull, 12254269264101021838ull, 15280336628280148150ull},
      {1.9f, 12400694438374666368ull, 12516731783090090566ull, 810840270777729004ull},
  };
  for (const auto& p : pinned) {
    const auto portable = hunter_frame(0, p.time);
    EXPECT_EQ(cpu_features(), CPU_FEAT_FPU);
    ASSERT_EQ(portable[1].size(), 9000u * sizeof(vec3_t));
    EXPECT_EQ(fingerprint(portable[0]), p.pose) << "pose at " << p.time;
    EXPECT_EQ(fingerprint(portable[1]), p.positions) << "positions at " << p.time;
    EXPECT_EQ(fingerprint(portable[2]), p.normals) << "normals at " << p.time;
    EXPECT_TRUE(portable[1] == portable[3] && portable[2] == portable[4]) << "at " << p.time;
  }
}

// The floats of a frame's byte copy, n to an element.
::testing::AssertionResult near(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, unsigned n,
                                float tolerance) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << a.size() << " against " << b.size() << " bytes";
  const auto* fa = reinterpret_cast<const float*>(a.data());
  const auto* fb = reinterpret_cast<const float*>(b.data());
  return velm_test::near_relative(fa, fb, static_cast<std::uint32_t>(a.size() / (n * sizeof(float))), n, tolerance);
}

TEST(skin_vertices_fast, hunter_frame_with_processor_routines_is_near_the_portable_one) {
  static_assert(sizeof(bone_t) == 16 * sizeof(float), "bone_t is 16 floats");
  for (float time : {0.0f, 0.37f, 1.9f}) {
    const auto portable = hunter_frame(0, time);
    const auto fast = hunter_frame(1, time);
    EXPECT_NE(cpu_features() & CPU_FEAT_SSE, 0u);
    // Position, rotation and stretch of every bone.
    EXPECT_TRUE(near(fast[0], portable[0], 16, keln::test::tol_exact)) << "pose at " << time;
    EXPECT_TRUE(near(fast[1], portable[1], 3, keln::test::tol_float)) << "positions at " << time;
    EXPECT_TRUE(near(fast[2], portable[2], 3, keln::test::tol_float)) << "normals at " << time;
    EXPECT_TRUE(fast[1] == fast[3] && fast[2] == fast[4]) << "fast loop at " << time;
  }
}

}  // namespace
}  // namespace keln::velm
