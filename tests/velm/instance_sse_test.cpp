// A whole character played and skinned with the portable routines
// (core_startup(0)), whose bits are pinned, and with the processor's
// (core_startup(1)), which agree with them up to the rounding of fused
// multiply-adds and reciprocals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kelncore/collections/auto_ptr.h"
#include "kelncore/math/mat4_routines.h"
#include "kelncore/system/cpu.h"
#include "kelncore/system/startup.h"
#include "velm/bspline_motion.h"
#include "velm/pose_matrices.h"
#include "velm/skeletal_instance.h"
#include "velm/skin_vertices_fast.h"
#include "simd_tolerance.h"

namespace keln::velm {
namespace {

std::string hunter(const char* file) { return std::string(VELM_DATA_DIR) + "hunter/" + file; }

// Everything one frame of the hunter produces: its blended pose, its skinned
// mesh through the instance, and the same mesh skinned by the loop chosen for
// the processor from the instance's skinning matrices.
struct frame_t {
  std::vector<unsigned char> pose;
  std::vector<unsigned char> positions, normals;
  std::vector<unsigned char> loop_positions, loop_normals;
};

template <typename T>
std::vector<unsigned char> bytes_of(const array_t<T>& a) {
  std::vector<unsigned char> out(a.size() * sizeof(T));
  if (!out.empty()) std::memcpy(out.data(), a.data(), out.size());
  return out;
}

// Starts the core with flags, loads the hunter with a walk (weight 1), a
// run (weight 1000) and the walk's B-spline fit (weight 0.5), plays them for
// time seconds and skins one frame.
frame_t play_hunter(unsigned flags, float time) {
  ::testing::internal::CaptureStdout();  // the load reports
  core_startup(flags);
  frame_t frame;
  {
    skeletal_instance_t instance(hunter("hunter.qis").c_str());
    auto_ptr_t<skinned_mesh_t> mesh(instance.load_skin(hunter("hunter.qim").c_str()));
    auto_ptr_t<motion_t> walk(instance.load_motion(hunter("walk.qia").c_str()));
    auto_ptr_t<motion_t> run(instance.load_motion(hunter("run.qia").c_str()));
    EXPECT_TRUE(mesh.get() && walk.get() && run.get());
    if (mesh.get() && walk.get() && run.get()) {
      bspline_motion_t fitted(*walk);
      instance.binding(instance.add_pose(walk.get())).weight = 1.0f;
      instance.binding(instance.add_pose(run.get())).weight = 1000.0f;
      instance.binding(instance.add_pose(&fitted)).weight = 0.5f;
      for (pose_t* pose :
           {static_cast<pose_t*>(walk.get()), static_cast<pose_t*>(run.get()), static_cast<pose_t*>(&fitted)})
        pose->advance(time);
      instance.update();
      instance.skin(*mesh, instance.pose());
      frame.pose = bytes_of(instance.pose().bones);
      frame.positions = bytes_of(mesh->skinned_positions);
      frame.normals = bytes_of(mesh->skinned_normals);

      array_dyn_t<mat4_t> skinning;
      global_matrices(instance.skeleton(), instance.pose(), skinning);
      for (std::uint32_t b = 0; b < skinning.size(); ++b)
        mat4_mul_alias_b(skinning[b], instance.inverse_bind()[b], skinning[b]);
      skin_vertices_fast(*mesh, skinning);
      frame.loop_positions = bytes_of(mesh->skinned_positions);
      frame.loop_normals = bytes_of(mesh->skinned_normals);
    }
  }
  core_shutdown();
  ::testing::internal::GetCapturedStdout();
  return frame;
}

// FNV-1a over the bytes: a short fingerprint of a frame's bits.
std::uint64_t fingerprint(const std::vector<unsigned char>& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

TEST(instance_sse, portable_hunter_frame_keeps_its_bits) {
  struct pinned_t {
    float time;
    std::uint64_t pose, positions, normals;
  };
  const pinned_t pinned[] = {
      {0.0f, 10258385018354141159ull, 5804993128027954433ull, 12737109288186705697ull},
      {0.37f, 10587111765240577746ull, 7847459400851120132ull, 15039588883842822129ull},
      {1.9f, 18057693999847546381ull, 4194722773946239853ull, 10980705086281012385ull},
  };
  for (const pinned_t& p : pinned) {
    const frame_t portable = play_hunter(0, p.time);
    EXPECT_EQ(cpu_features(), CPU_FEAT_FPU);
    EXPECT_EQ(fingerprint(portable.pose), p.pose) << "pose at " << p.time;
    EXPECT_EQ(fingerprint(portable.positions), p.positions) << "positions at " << p.time;
    EXPECT_EQ(fingerprint(portable.normals), p.normals) << "normals at " << p.time;
    EXPECT_TRUE(portable.loop_positions == portable.positions) << "fast loop positions at " << p.time;
    EXPECT_TRUE(portable.loop_normals == portable.normals) << "fast loop normals at " << p.time;
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

TEST(instance_sse, hunter_frame_with_processor_routines_is_near_the_portable_one) {
  using velm_test::skinned_relative_tolerance;
  for (float time : {0.0f, 0.37f, 1.9f}) {
    const frame_t portable = play_hunter(0, time);
    const frame_t fast = play_hunter(1, time);
    EXPECT_NE(cpu_features() & CPU_FEAT_SSE, 0u);

    ASSERT_EQ(portable.positions.size(), 9000u * sizeof(vec3_t));
    // Position, rotation and stretch of every bone.
    static_assert(sizeof(bone_t) == 16 * sizeof(float), "bone_t is 16 floats");
    EXPECT_TRUE(near(fast.pose, portable.pose, 16, velm_test::transform_relative_tolerance)) << "pose at " << time;
    EXPECT_TRUE(near(fast.positions, portable.positions, 3, skinned_relative_tolerance)) << "positions at " << time;
    EXPECT_TRUE(near(fast.normals, portable.normals, 3, skinned_relative_tolerance)) << "normals at " << time;
    EXPECT_TRUE(fast.loop_positions == fast.positions) << "fast loop positions at " << time;
    EXPECT_TRUE(fast.loop_normals == fast.normals) << "fast loop normals at " << time;
  }
}

}  // namespace
}  // namespace keln::velm
