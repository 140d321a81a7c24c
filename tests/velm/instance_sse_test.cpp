// A whole character played and skinned with the portable routines
// (core_startup(0)) and with the processor's (core_startup(1)): the same
// pose and the same skinned vertices, bit for bit.
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

TEST(instance_sse, hunter_frame_is_the_same_with_and_without_processor_routines) {
  for (float time : {0.0f, 0.37f, 1.9f}) {
    const frame_t portable = play_hunter(0, time);
    EXPECT_EQ(cpu_features(), CPU_FEAT_FPU);
    const frame_t sse = play_hunter(1, time);
    EXPECT_NE(cpu_features() & CPU_FEAT_SSE, 0u);

    ASSERT_EQ(portable.positions.size(), 9000u * sizeof(vec3_t));
    EXPECT_TRUE(portable.pose == sse.pose) << "pose at " << time;
    EXPECT_TRUE(portable.positions == sse.positions) << "positions at " << time;
    EXPECT_TRUE(portable.normals == sse.normals) << "normals at " << time;
    EXPECT_TRUE(portable.positions == sse.loop_positions) << "fast loop positions at " << time;
    EXPECT_TRUE(portable.normals == sse.loop_normals) << "fast loop normals at " << time;
    EXPECT_TRUE(portable.loop_positions == portable.positions) << "fast loop positions at " << time;
  }
}

}  // namespace
}  // namespace keln::velm
