// Every processor skinning loop against the portable one (flush-to-zero on),
// on random meshes and a frame of each shipped character; the hunter's
// portable frame pinned, and near it with the processor's routines.
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

// Bones with random components and denormals, bottom rows (0, 0, 0, 1) or,
// projective, near it (w and s keep away from 0); a single projective bone
// has (1, 0, 0, -1), a pole: w is 0 for x = 1, s for a normal's x = 0.
array_dyn_t<mat4_t> random_matrices(std::uint32_t bones, bool affine) {
  array_dyn_t<mat4_t> out;
  for (std::uint32_t b = 0; b < bones; ++b) {
    mat4_t* m = out.push_back(mat4_t());
    for (float& c : m->m) c = value(2.0f);
    for (unsigned c = 0; c < 3; ++c) m->at(3, c) = affine ? 0.0f : 0.001f + std::fabs(value(0.001f));
    m->at(3, 3) = affine ? 1.0f : 1.0f + value(0.1f);
  }
  if (bones > 2) out[1].at(0, 1) = 1e-40f, out[2].at(1, 3) = -3e-39f;
  if (bones == 1 && !affine) out[0].at(3, 0) = 1.0f, out[0].at(3, 1) = out[0].at(3, 2) = 0.0f, out[0].at(3, 3) = -1.0f;
  return out;
}

// 0 to 6 influences per vertex, every seventh vertex with denormals. Conditioned: weights in
// [0, 1.5], every fourth one 0, non-negative normals, so that no sum cancels. Otherwise weights of
// any sign, some cancelling, every fifth vertex on the pole, and one normal more.
skinned_mesh_t random_mesh(std::uint32_t vertices, std::uint32_t bones, bool conditioned) {
  skinned_mesh_t mesh;
  unsigned n = 0;
  for (std::uint32_t v = 0; v < vertices; ++v) {
    mesh.positions.push_back(vec3_t{{value(50.0f), value(50.0f), value(50.0f)}});
    mesh.normals.push_back(vec3_t{{value(1.0f), value(1.0f), value(1.0f)}});
    skin_vertex_t* vertex = mesh.skin_vertices.push_back(skin_vertex_t{});
    for (unsigned i = engine() % 7; i > 0; --i) {
      const float weight = conditioned ? (++n % 4 == 0 ? 0.0f : std::fabs(value(1.5f))) : value(1.5f);
      vertex->influences.push_back(skin_t{static_cast<std::uint32_t>(engine() % bones), weight});
    }
    if (conditioned)
      for (float& c : mesh.normals[v].c) c = std::fabs(c);
    else if (v % 17 == 0 && vertex->influences.size() == 2)
      vertex->influences[1] = skin_t{vertex->influences[0].bone, -vertex->influences[0].weight};
    else if (v % 5 == 0)
      mesh.positions[v][0] = 1.0f, mesh.normals[v][0] = 0.0f;
    if (v % 7 == 3) mesh.positions[v][v % 3] = 2e-39f, mesh.normals[v][(v + 1) % 3] = -1e-41f;
    if (v % 7 == 3 && !vertex->influences.empty()) vertex->influences[0].weight = 5e-40f;
  }
  if (!conditioned) mesh.normals.push_back(vec3_t{{7.0f, 7.0f, 7.0f}});
  return mesh;
}

template <typename T>
std::vector<unsigned char> bytes(const array_t<T>& a) {
  const auto* p = reinterpret_cast<const unsigned char*>(a.data());
  return std::vector<unsigned char>(p, p + a.size() * sizeof(T));
}

// The floats of two byte copies, n to an element, within tolerance.
::testing::AssertionResult near(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, unsigned n,
                                float tolerance) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << a.size() << " against " << b.size() << " bytes";
  return velm_test::near_relative(reinterpret_cast<const float*>(a.data()), reinterpret_cast<const float*>(b.data()),
                                  static_cast<std::uint32_t>(a.size() / (n * sizeof(float))), n, tolerance);
}

struct loop_t {
  std::string name;
  void (*run)(skinned_mesh_t&, const array_t<mat4_t>&);
  bool exact;  // the portable bits; otherwise within the skinning tolerance
  bool (*available)();
};
const loop_t loops[] = {{"sse", &skin_vertices_sse, true, [] { return true; }},
                        {"avx2", &skin_vertices_avx2, true, &skin_avx2_available},
                        {"fma", &skin_vertices_fma, false, &skin_fma_available}};

class skin_loop : public ::testing::TestWithParam<loop_t> {
 protected:
  void SetUp() override {
    if (!GetParam().available()) GTEST_SKIP() << "not run by this processor";
    saved_csr = _mm_getcsr();
    _mm_setcsr(saved_csr | 0x8000u);  // flush-to-zero
    mat4_install_portable();
  }
  void TearDown() override { _mm_setcsr(saved_csr); }

  // mesh skinned by the loop over outputs of garbage, against the portable loop.
  void expect_portable_skinning(skinned_mesh_t mesh, const array_t<mat4_t>& matrices) {
    for (std::uint32_t v = 0; v < mesh.positions.size() + 3; ++v) {
      mesh.skinned_positions.push_back(vec3_t{{NAN, -1e30f, 7.0f}});
      mesh.skinned_normals.push_back(vec3_t{{NAN, 1e30f, -7.0f}});
    }
    skinned_mesh_t reference = mesh;
    skin_vertices(reference, matrices);
    GetParam().run(mesh, matrices);
    for (const auto& [out, expected] : {std::pair(bytes(mesh.skinned_positions), bytes(reference.skinned_positions)),
                                        std::pair(bytes(mesh.skinned_normals), bytes(reference.skinned_normals))})
      EXPECT_TRUE(GetParam().exact ? ::testing::AssertionResult(out == expected)
                                   : near(out, expected, 3, keln::test::tol_float));
  }

  unsigned saved_csr = 0;
};

TEST_P(skin_loop, skins_random_meshes_as_the_portable_loop) {
  const struct { std::uint32_t bones, vertices; bool affine; } rows[] = {
      {1, 997, true}, {1, 50, false}, {31, 998, true}, {SKIN_FAST_MAX_BONES, 997, true},
      {SKIN_FAST_MAX_BONES + 44, 1500, true},  // beyond the stack buffer
      {20, 2000, false}, {5, 0, true}, {5, 1, true}, {5, 2, true}, {5, 3, true}, {5, 17, true}, {5, 33, false}};
  const bool exact = GetParam().exact;
  for (const auto& row : rows)  // no relative tolerance at the pole
    if (exact || row.bones != 1 || row.affine)
      expect_portable_skinning(random_mesh(row.vertices, row.bones, !exact), random_matrices(row.bones, row.affine));
}

TEST_P(skin_loop, a_missing_bone_normal_or_skin_vertex_ends_the_process_with_the_index_check) {
  skinned_mesh_t bad_bone = random_mesh(4, 2, false), few_normals = bad_bone, few_vertices = bad_bone;
  bad_bone.skin_vertices[3].influences.push_back(skin_t{2, 1.0f});
  few_normals.normals.resize(3);
  few_vertices.skin_vertices.resize(3);
  for (skinned_mesh_t* mesh : {&bad_bone, &few_normals, &few_vertices})
    EXPECT_DEATH((message_stdio_t{}, GetParam().run(*mesh, random_matrices(2, true))),
                 "\\*\\*\\* ERROR \\*\\*\\* : .*: unknown fn: \\[array_t\\] boundary check failed - index overflow");
}

// A frame of a shipped character, the core started with flags: the motions with their weights, then
// the first one's B-spline fit with weight 0.5. Its pose and skinned mesh as bytes; mesh and skinning.
struct frame_t {
  std::vector<unsigned char> pose, positions, normals;
  std::unique_ptr<skinned_mesh_t> mesh;
  array_dyn_t<mat4_t> skinning;
};
frame_t character_frame(unsigned flags, const char* skeleton, const char* mesh,
                        const std::vector<std::pair<const char*, float>>& motions, float time) {
  core_startup(flags);
  frame_t f;
  {
    velm_test::message_log_t quiet;
    const std::string data = VELM_DATA_DIR;
    skeletal_instance_t instance((data + skeleton).c_str());
    f.mesh.reset(instance.load_skin((data + mesh).c_str()));
    std::vector<std::unique_ptr<pose_t>> poses;
    for (const auto& motion : motions) poses.emplace_back(instance.load_motion((data + motion.first).c_str()));
    poses.emplace_back(new bspline_motion_t(*static_cast<motion_t*>(poses.front().get())));
    for (std::size_t i = 0; i < poses.size(); ++i) {
      instance.binding(instance.add_pose(poses[i].get())).weight = i < motions.size() ? motions[i].second : 0.5f;
      poses[i]->advance(time);
    }
    instance.update();
    instance.skin(*f.mesh, instance.pose());
    f.pose = bytes(instance.pose().bones), f.positions = bytes(f.mesh->skinned_positions);
    f.normals = bytes(f.mesh->skinned_normals);
    global_matrices(instance.skeleton(), instance.pose(), f.skinning);
    for (std::uint32_t b = 0; b < f.skinning.size(); ++b)
      mat4_mul_alias_b(f.skinning[b], instance.inverse_bind()[b], f.skinning[b]);
  }
  core_shutdown();
  return f;
}

TEST_P(skin_loop, skins_a_frame_of_each_shipped_character_as_the_portable_loop) {
  const char* const characters[][3] = {{"hunter/hunter.qis", "hunter/hunter.qim", "hunter/run.qia"},
                                       {"horse/vehicle.qis", "horse/vehicle.qim", "horse/gallop.qia"},
                                       {"elephant/animal.qis", "elephant/animal.qim", "elephant/walk.qia"}};
  for (const auto& c : characters) {
    const frame_t frame = character_frame(1, c[0], c[1], {{c[2], 1.0f}}, 0.7f);
    mat4_install_portable();
    expect_portable_skinning(*frame.mesh, frame.skinning);
  }
}

INSTANTIATE_TEST_SUITE_P(loops, skin_loop, ::testing::ValuesIn(loops), [](const auto& p) { return p.param.name; });

std::uint64_t fnv1a_fingerprint(const std::vector<unsigned char>& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

// The hunter walking, running (weight 1000) and its walk's fit: the portable frame pinned by
// fingerprints (the fitter's too); with the processor's routines the pose (16 floats a bone) near it.
TEST(skin_vertices_fast, hunter_frame_keeps_its_portable_bits_and_stays_near_them_with_processor_routines) {
  const struct { float time; std::uint64_t pose, positions, normals; } pinned[] = {
      {0.0f, 10258385018354141159ull, 5804993128027954433ull, 12737109288186705697ull},
      {0.37f, 6170954294312882560ull, 12254269264101021838ull, 15280336628280148150ull},
      {1.9f, 12400694438374666368ull, 12516731783090090566ull, 810840270777729004ull},
  };
  const std::vector<std::pair<const char*, float>> motions = {{"hunter/walk.qia", 1.0f}, {"hunter/run.qia", 1000.0f}};
  for (const auto& p : pinned) {
    const frame_t portable = character_frame(0, "hunter/hunter.qis", "hunter/hunter.qim", motions, p.time);
    EXPECT_EQ(fnv1a_fingerprint(portable.pose), p.pose) << "pose at " << p.time;
    EXPECT_EQ(fnv1a_fingerprint(portable.positions), p.positions) << "positions at " << p.time;
    EXPECT_EQ(fnv1a_fingerprint(portable.normals), p.normals) << "normals at " << p.time;
    const frame_t fast = character_frame(1, "hunter/hunter.qis", "hunter/hunter.qim", motions, p.time);
    EXPECT_TRUE(near(fast.pose, portable.pose, 16, keln::test::tol_exact)) << "pose at " << p.time;
    EXPECT_TRUE(near(fast.positions, portable.positions, 3, keln::test::tol_float)) << "positions at " << p.time;
    EXPECT_TRUE(near(fast.normals, portable.normals, 3, keln::test::tol_float)) << "normals at " << p.time;
  }
}

}  // namespace
}  // namespace keln::velm
