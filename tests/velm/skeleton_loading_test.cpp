// Building an instance's skeleton from a skeleton document.
#include "velm/document_report.h"
#include "velm/skeletal_instance.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

// chain.qis: root turned by 90 degrees about z at (1, 2, 3); arm and hand
// each one unit along their parent's x axis, turned alike.
TEST(skeleton_loading, chain_builds_three_bones_relative_to_their_parents) {
  const std::string path = velm_test::document_path("chain.qis");
  velm_test::message_log_t log;
  skeletal_instance_t instance(path.c_str());
  EXPECT_EQ(log.lines, velm_test::parsed_ok_lines(banner_skeleton_animation, "skeleton", path));
  ASSERT_EQ(instance.bone_count(), 3u);
  const char* names[] = {"root", "arm", "hand"};
  for (std::uint32_t b = 0; b < 3; ++b) {
    EXPECT_EQ(instance.skeleton()[b].name, bone_name_token_of(names[b]));
    EXPECT_EQ(instance.skeleton()[b].parent, b == 0 ? no_bone : b - 1);
    EXPECT_TRUE(velm_test::same_bone(instance.pose().bones[b], bone_t()));
    const bone_t rest = b == 0 ? velm_test::key(1, 2, 3, quat_from_axis_angle(vec3_t{{0, 0, 1}}, 1.5707964f))
                               : velm_test::key(1);
    velm_test::expect_bone_near(instance.rest_pose().bones[b], rest, keln::test::tol_float);
  }
  EXPECT_EQ(instance.inverse_bind().size(), 3u);
}

TEST(skeleton_loading, a_missing_document_leaves_a_usable_instance_without_bones) {
  const std::string path = ::testing::TempDir() + "no_such_skeleton.qis";
  velm_test::message_log_t log;
  skeletal_instance_t instance(path.c_str());
  EXPECT_EQ(log.lines, (velm_test::lines_t{"E: cannot stat file " + path, "E: error parsing " + path}));
  velm_test::test_pose_t pose;
  pose.add(0, velm_test::distinct_bone(1.0f));
  instance.binding(instance.add_pose(&pose)).weight = 1.0f;
  instance.update();
  EXPECT_EQ(pose.samples, 0);
  EXPECT_EQ(log.lines.size(), 2u);
}

TEST(skeleton_loading, parents_after_their_children_are_reported_and_load_no_bones) {
  const struct {
    const char* name;
    velm_test::replacements_t replacements;
    const char* problem;  // after "skeleton file: <path> - "
  } rows[] = {{"child_first.qis",
               {{"Name : \"arm\" Parent : \"root\"", "Name : \"arm\" Parent : \"hand\""},
                {"Name : \"hand\" Parent : \"arm\"", "Name : \"hand\" Parent : \"root\""}},
               "bone 1 \"arm\" does not stand after its parent \"hand\"; skeleton ignored"},
              {"cycle.qis",
               {{"Name : \"root\" Parent : \"\"", "Name : \"root\" Parent : \"hand\""}},
               "bone 0 \"root\" does not stand after its parent \"hand\"; skeleton ignored"},
              {"own_parent.qis",
               {{"Name : \"arm\" Parent : \"root\"", "Name : \"arm\" Parent : \"arm\""}},
               "bone 1 \"arm\" does not stand after its parent \"arm\"; skeleton ignored"}};
  for (const auto& row : rows) {
    const std::string path = velm_test::write_variant("chain.qis", row.name, row.replacements);
    velm_test::message_log_t log;
    skeletal_instance_t instance(path.c_str());
    EXPECT_EQ(log.lines, velm_test::parsed_ok_lines(banner_skeleton_animation, "skeleton", path,
                                                    {"E: skeleton file: " + path + " - " + row.problem}));
    EXPECT_EQ(instance.bone_count() + instance.rest_pose().bones.size() + instance.inverse_bind().size() +
                  instance.pose().bones.size(), 0u);
  }
}

TEST(skeleton_loading, names_without_token_get_token_zero_and_an_unknown_parent_makes_a_root) {
  velm_test::message_log_t quiet;
  skeletal_instance_t instance(velm_test::write_variant(
      "chain.qis", "odd_names.qis",
      {{"Name : \"hand\" Parent : \"arm\"", "Name : \"left.hand\" Parent : \"nobody\""},
       {"Name : \"root\" Parent", "Name : \"a_very_long_root\" Parent"},
       {"Parent : \"root\"", "Parent : \"a_very_long_root\""}}).c_str());
  ASSERT_EQ(instance.bone_count(), 3u);
  EXPECT_EQ(instance.skeleton()[0].name + instance.skeleton()[2].name, 0u);
  EXPECT_EQ(instance.skeleton()[1].parent, 0u);
  EXPECT_EQ(instance.skeleton()[2].parent, no_bone);
  EXPECT_NEAR(instance.rest_pose().bones[2].position[1], 4.0f, keln::test::tol_float);
}

}  // namespace
}  // namespace keln::velm
