// Building an instance's skeleton from a skeleton document.
#include "velm/document_report.h"
#include "velm/skeletal_instance.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::write_variant;

// chain.qis: root turned by 90 degrees about z at (1, 2, 3); arm and hand
// each one unit along their parent's x axis, turned alike. Names without a
// token get token zero; an unknown parent makes a root.
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
  skeletal_instance_t odd(write_variant("chain.qis", "odd_names.qis",
                                        {{"Name : \"hand\" Parent : \"arm\"", "Name : \"left.hand\" Parent : \"nobody\""},
                                         {"Name : \"root\" Parent", "Name : \"a_very_long_root\" Parent"},
                                         {"Parent : \"root\"", "Parent : \"a_very_long_root\""}}).c_str());
  ASSERT_EQ(odd.bone_count(), 3u);
  EXPECT_EQ(odd.skeleton()[0].name + odd.skeleton()[2].name, 0u);
  EXPECT_EQ(odd.skeleton()[1].parent, 0u);
  EXPECT_EQ(odd.skeleton()[2].parent, no_bone);
  EXPECT_NEAR(odd.rest_pose().bones[2].position[1], 4.0f, keln::test::tol_float);
}

// A missing document or parents after their children leave an instance
// without bones, which samples no pose.
TEST(skeleton_loading, rejected_documents_are_reported_and_load_no_bones) {
  const std::string missing = ::testing::TempDir() + "no_such_skeleton.qis", arm = "Name : \"arm\" Parent : \"";
  const struct {
    std::string path;
    const char* problem;  // after "skeleton file: <path> - "
  } rows[] = {{missing, nullptr},
              {write_variant("chain.qis", "child_first.qis",
                             {{arm + "root\"", arm + "hand\""}, {"Name : \"hand\" Parent : \"arm\"", "Name : \"hand\" Parent : \"root\""}}),
               "bone 1 \"arm\" does not stand after its parent \"hand\"; skeleton ignored"},
              {write_variant("chain.qis", "cycle.qis", {{"Name : \"root\" Parent : \"\"", "Name : \"root\" Parent : \"hand\""}}),
               "bone 0 \"root\" does not stand after its parent \"hand\"; skeleton ignored"},
              {write_variant("chain.qis", "own_parent.qis", {{arm + "root\"", arm + "arm\""}}),
               "bone 1 \"arm\" does not stand after its parent \"arm\"; skeleton ignored"}};
  for (const auto& row : rows) {
    velm_test::message_log_t log;
    skeletal_instance_t instance(row.path.c_str());
    EXPECT_EQ(log.lines, (row.problem ? velm_test::parsed_ok_lines(banner_skeleton_animation, "skeleton", row.path,
                                                                   {"E: skeleton file: " + row.path + " - " + row.problem})
                                      : velm_test::lines_t{"E: cannot stat file " + missing, "E: error parsing " + missing}));
    EXPECT_EQ(instance.bone_count() + instance.rest_pose().bones.size() + instance.inverse_bind().size() +
                  instance.pose().bones.size(), 0u);
    velm_test::test_pose_t pose;
    pose.add(0, velm_test::distinct_bone(1.0f));
    instance.binding(instance.add_pose(&pose)).weight = 1.0f;
    instance.update();
    EXPECT_EQ(pose.samples, 0);
  }
}

}  // namespace
}  // namespace keln::velm
