// Building an instance's skeleton from a skeleton document.
#include <gtest/gtest.h>

#include <cmath>

#include "kelncore/math/mat4_routines.h"
#include "test_pose.h"
#include "velm/document_report.h"
#include "velm/pose_matrices.h"
#include "velm/skeletal_instance.h"
#include "velm_test_support.h"

namespace keln::velm {
namespace {

using velm_test::message_log_t;

std::vector<std::string> chain_ok_lines(const std::string& path) {
  return velm_test::parsed_ok_lines(banner_skeleton_animation, "skeleton", path);
}

TEST(skeleton_loading, chain_reports_parsed_ok_and_builds_three_bones) {
  const std::string path = velm_test::document_path("chain.qis");
  message_log_t log;
  skeletal_instance_t instance(path.c_str());
  EXPECT_EQ(log.lines, chain_ok_lines(path));
  ASSERT_EQ(instance.bone_count(), 3u);
  EXPECT_EQ(instance.skeleton()[0].name, bone_name_token_of("root"));
  EXPECT_EQ(instance.skeleton()[1].name, bone_name_token_of("arm"));
  EXPECT_EQ(instance.skeleton()[2].name, bone_name_token_of("hand"));
  EXPECT_EQ(instance.skeleton()[0].parent, no_bone);
  EXPECT_EQ(instance.skeleton()[1].parent, 0u);
  EXPECT_EQ(instance.skeleton()[2].parent, 1u);
  EXPECT_EQ(instance.rest_pose().bones.size(), 3u);
  EXPECT_EQ(instance.inverse_bind().size(), 3u);
  ASSERT_EQ(instance.pose().bones.size(), 3u);
  EXPECT_TRUE(velm_test::same_bone(instance.pose().bones[2], bone_t()));
}

TEST(skeleton_loading, root_rest_transform_is_the_decomposition_of_its_matrix) {
  // chain.qis turns its root by 90 degrees about z and moves it to (1, 2, 3).
  skeletal_instance_t instance(velm_test::document_path("chain.qis").c_str());
  EXPECT_TRUE(velm_test::same_bone(instance.rest_pose().bones[0], bone_t(velm_test::quarter_turn_then_move(1.0f, 2.0f, 3.0f))));
}

TEST(skeleton_loading, child_rest_transform_is_relative_to_its_parent) {
  // Each bone lies one unit along its parent's x axis, turned alike.
  skeletal_instance_t instance(velm_test::document_path("chain.qis").c_str());
  for (std::uint32_t b = 1; b < 3; ++b) {
    const bone_t& local = instance.rest_pose().bones[b];
    EXPECT_NEAR(local.position[0], 1.0f, 1e-6f) << b;
    EXPECT_NEAR(local.position[1], 0.0f, 1e-6f) << b;
    EXPECT_NEAR(local.position[2], 0.0f, 1e-6f) << b;
    EXPECT_NEAR(std::fabs(local.rotation[0]), 1.0f, 1e-6f) << b;
  }
}

TEST(skeleton_loading, inverse_bind_undoes_the_global_rest_matrix) {
  skeletal_instance_t instance(velm_test::document_path("chain.qis").c_str());
  array_dyn_t<mat4_t> global;
  global_matrices(instance.skeleton(), instance.rest_pose(), global);
  for (std::uint32_t b = 0; b < 3; ++b) {
    mat4_t product;
    mat4_mul(product, global[b], instance.inverse_bind()[b]);
    for (unsigned i = 0; i < 16; ++i) EXPECT_NEAR(product[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-5f) << b << " " << i;
  }
}

TEST(skeleton_loading, a_missing_document_leaves_a_usable_instance_without_bones) {
  const std::string path = ::testing::TempDir() + "no_such_skeleton.qis";
  message_log_t log;
  skeletal_instance_t instance(path.c_str());
  EXPECT_EQ(log.lines, (std::vector<std::string>{"E: cannot stat file " + path, "E: error parsing " + path}));
  EXPECT_EQ(instance.bone_count(), 0u);
  EXPECT_EQ(instance.pose().bones.size(), 0u);
  velm_test::test_pose_t pose;
  pose.add(0, velm_test::distinct_bone(1.0f));
  instance.binding(instance.add_pose(&pose)).weight = 1.0f;
  instance.update();
  EXPECT_EQ(pose.samples, 0);
  skinned_mesh_t mesh;
  mesh.positions.push_back(vec3_t{{1.0f, 2.0f, 3.0f}});
  mesh.normals.push_back(vec3_t{{0.0f, 0.0f, 1.0f}});
  mesh.skin_vertices.resize(1);
  instance.skin(mesh, instance.pose());
  EXPECT_EQ(mesh.skinned_positions[0][0], 0.0f);
  EXPECT_EQ(log.lines.size(), 2u);
}

struct rejected_skeleton_t {
  const char* name;
  velm_test::replacements_t replacements;
  const char* problem;  // the error line after "skeleton file: <path> - "
};

class skeleton_rejection : public ::testing::TestWithParam<rejected_skeleton_t> {};

TEST_P(skeleton_rejection, is_reported_and_loads_no_bones) {
  const rejected_skeleton_t& row = GetParam();
  const std::string path = velm_test::write_variant("chain.qis", row.name, row.replacements);
  message_log_t log;
  skeletal_instance_t instance(path.c_str());
  std::vector<std::string> expected = chain_ok_lines(path);
  expected.push_back("E: skeleton file: " + path + " - " + row.problem);
  EXPECT_EQ(log.lines, expected);
  EXPECT_EQ(instance.bone_count(), 0u);
  EXPECT_EQ(instance.rest_pose().bones.size(), 0u);
  EXPECT_EQ(instance.inverse_bind().size(), 0u);
  EXPECT_EQ(instance.pose().bones.size(), 0u);
  instance.update();
}

INSTANTIATE_TEST_SUITE_P(
    skeleton_loading, skeleton_rejection,
    ::testing::Values(
        rejected_skeleton_t{"child_first.qis",
                            {{"Name : \"arm\" Parent : \"root\"", "Name : \"arm\" Parent : \"hand\""},
                             {"Name : \"hand\" Parent : \"arm\"", "Name : \"hand\" Parent : \"root\""}},
                            "bone 1 \"arm\" does not stand after its parent \"hand\"; skeleton ignored"},
        rejected_skeleton_t{"cycle.qis",
                            {{"Name : \"root\" Parent : \"\"", "Name : \"root\" Parent : \"hand\""}},
                            "bone 0 \"root\" does not stand after its parent \"hand\"; skeleton ignored"},
        rejected_skeleton_t{"own_parent.qis",
                            {{"Name : \"arm\" Parent : \"root\"", "Name : \"arm\" Parent : \"arm\""}},
                            "bone 1 \"arm\" does not stand after its parent \"arm\"; skeleton ignored"}),
    velm_test::row_name<rejected_skeleton_t>);

TEST(skeleton_loading, names_without_token_get_token_zero) {
  const std::string path = velm_test::write_variant(
      "chain.qis", "odd_names.qis",
      {{"Name : \"hand\"", "Name : \"left.hand\""}, {"Name : \"root\" Parent", "Name : \"a_very_long_root\" Parent"},
       {"Parent : \"root\"", "Parent : \"a_very_long_root\""}});
  skeletal_instance_t instance(path.c_str());
  ASSERT_EQ(instance.bone_count(), 3u);
  EXPECT_EQ(instance.skeleton()[0].name, 0u);
  EXPECT_EQ(instance.skeleton()[2].name, 0u);
  EXPECT_EQ(instance.skeleton()[1].parent, 0u);
}

TEST(skeleton_loading, an_unknown_parent_name_makes_a_root) {
  const std::string path =
      velm_test::write_variant("chain.qis", "unknown_parent.qis", {{"Parent : \"arm\"", "Parent : \"nobody\""}});
  skeletal_instance_t instance(path.c_str());
  ASSERT_EQ(instance.bone_count(), 3u);
  EXPECT_EQ(instance.skeleton()[2].parent, no_bone);
  EXPECT_NEAR(instance.rest_pose().bones[2].position[1], 4.0f, 1e-6f);
}

}  // namespace
}  // namespace keln::velm
