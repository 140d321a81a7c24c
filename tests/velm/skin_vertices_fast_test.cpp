// The SIMD skinning loops against the portable one: the same bits for every
// vertex of random meshes over outputs full of garbage, and the same checks;
// and a shipped character played with and without the processor's routines.
#include "velm/skin_vertices_fast.h"

#include <cmath>
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

TEST(skin_vertices_fast, a_hunter_frame_is_the_same_with_and_without_processor_routines) {
  for (float time : {0.0f, 0.37f, 1.9f}) {
    const auto portable = hunter_frame(0, time);
    EXPECT_EQ(cpu_features(), CPU_FEAT_FPU);
    const auto fast = hunter_frame(1, time);
    EXPECT_NE(cpu_features() & CPU_FEAT_SSE, 0u);
    ASSERT_EQ(portable[1].size(), 9000u * sizeof(vec3_t));
    EXPECT_TRUE(portable == fast) << "at " << time;
    EXPECT_TRUE(portable[1] == portable[3] && portable[2] == portable[4]) << "at " << time;
  }
}

}  // namespace
}  // namespace keln::velm
