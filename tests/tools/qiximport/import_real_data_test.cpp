// Imports of real files by others: a cut of a motion-capture clip (BVH) and
// a small skinned glTF model, checked against numbers read from the files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "import_test_support.h"

namespace keln::qiximport::testing {
namespace {

const std::string real_data = std::string(QIXIMPORT_REAL_DATA) + "/";
const std::string bvh_clip = real_data + "cmu_01_01.bvh";

// Keys of the cut imported by the tests (the whole clip is the benchmark's).
constexpr std::uint32_t cut_keys = 300;

// The first three numbers (the root's position) of frame f of a BVH file.
vec3_t bvh_root_position(const std::string& path, std::uint32_t f) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line) && line.rfind("Frame Time:", 0) != 0) {
  }
  for (std::uint32_t i = 0; i <= f; ++i) std::getline(in, line);
  vec3_t p;
  std::istringstream(line) >> p[0] >> p[1] >> p[2];
  return p;
}

using import_real_data = import_test_t;

TEST_F(import_real_data, bvh_cut_keeps_the_skeleton_rate_and_root_path) {
  ASSERT_EQ(import({bvh_clip, folder, "--frames", "0:299"}), 0) << errors;
  EXPECT_EQ(errors,
            "qiximport: warning: bone \"LeftFingerBase\" is written as \"LeftFingerBa\"\n"
            "qiximport: warning: bone \"RightShoulder\" is written as \"RightShoulde\"\n"
            "qiximport: warning: bone \"RightFingerBase\" is written as \"RightFingerB\"\n");
  loaded_clip_t clip(at("cmu_01_01.qis"), at("Motion.qia"));
  ASSERT_TRUE(clip.motion);
  ASSERT_EQ(clip.instance.bone_count(), 31u);
  EXPECT_EQ(clip.bone("Hips"), 0u);
  EXPECT_EQ(clip.parent("Hips"), velm::no_bone);
  EXPECT_EQ(clip.parent("LeftUpLeg"), clip.bone("LHipJoint"));
  EXPECT_EQ(clip.parent("LeftFingerBa"), clip.bone("LeftHand"));
  EXPECT_EQ(clip.parent("RightArm"), clip.bone("RightShoulde"));
  ASSERT_EQ(clip.motion->channels.size(), 31u);
  for (const velm::bone_channel_t& channel : clip.motion->channels) {
    EXPECT_EQ(channel.size(), cut_keys);
    // 120 keys per second, as the file's frames.
    EXPECT_NEAR(channel.duration, (cut_keys - 1) / 120.0f, test::tol_chain);
  }
  for (std::uint32_t k : {0u, 150u, 299u}) {
    const vec3_t root = bvh_root_position(bvh_clip, k);
    EXPECT_TRUE(at_point(clip.joints(k)[0], root[0], root[1], root[2])) << "key " << k;
  }
  // The first key of the clip holds the joint offsets of the file's hierarchy
  // below the unrotated hip joint: LeftUpLeg's OFFSET 1.36306 -1.79463 0.83929.
  const std::vector<vec3_t> first = clip.joints(0);
  const vec3_t hip = first[clip.bone("LHipJoint")], leg = first[clip.bone("LeftUpLeg")];
  const float length = std::sqrt((leg[0] - hip[0]) * (leg[0] - hip[0]) + (leg[1] - hip[1]) * (leg[1] - hip[1]) +
                                 (leg[2] - hip[2]) * (leg[2] - hip[2]));
  EXPECT_NEAR(length, std::sqrt(1.36306f * 1.36306f + 1.79463f * 1.79463f + 0.83929f * 0.83929f), test::tol_chain);
}

TEST_F(import_real_data, bvh_scale_and_rate_options) {
  ASSERT_EQ(import({bvh_clip, folder, "--frames", "0:29", "--fps", "30", "--scale", "0.01", "--name", "Walker"}), 0)
      << errors;
  loaded_clip_t clip(at("Walker.qis"), at("Motion.qia"));
  ASSERT_TRUE(clip.motion);
  EXPECT_EQ(clip.motion->channels[0].size(), 30u);
  // Key 29 at 30 keys per second is the file's frame 116 (120 per second).
  const vec3_t root = bvh_root_position(bvh_clip, 116);
  EXPECT_TRUE(at_point(clip.joints(29)[0], root[0] * 0.01f, root[1] * 0.01f, root[2] * 0.01f));
}

TEST_F(import_real_data, gltf_skin_keeps_its_mesh_weights_and_joints) {
  ASSERT_EQ(import({real_data + "simple_skin.gltf", folder}), 0) << errors;
  // assimp names the file's unnamed nodes "nodes[i]".
  loaded_clip_t clip(at("simple_skin.qis"), at("animation.qia"));
  ASSERT_TRUE(clip.motion);
  ASSERT_EQ(clip.instance.bone_count(), 3u);
  EXPECT_EQ(clip.parent("nodes_2_"), clip.bone("nodes_1_"));
  // 5.5 seconds at the default 30 keys per second.
  EXPECT_EQ(clip.motion->channels[0].size(), 166u);
  // Node 2 sits on node 1's joint and turns about it.
  for (std::uint32_t k : {0u, 80u, 165u}) {
    EXPECT_TRUE(at_point(clip.joints(k)[clip.bone("nodes_1_")], 0, 1, 0));
    EXPECT_TRUE(at_point(clip.joints(k)[clip.bone("nodes_2_")], 0, 1, 0));
  }
  const std::unique_ptr<velm::skinned_mesh_t> mesh(clip.instance.load_skin(at("simple_skin.qim").c_str()));
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->positions.size(), 10u);
  EXPECT_EQ(mesh->indices.size(), 8u * 3u);
}

}  // namespace
}  // namespace keln::qiximport::testing
