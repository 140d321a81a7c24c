// Building keyframe motions from animation documents.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "documents/qix_load.h"
#include "kelncore/math/quat.h"
#include "test_pose.h"
#include "velm/document_report.h"
#include "velm/skeletal_instance.h"
#include "velm_test_support.h"

namespace keln::velm {
namespace {

using velm_test::message_log_t;

float dot(const quat_t& a, const quat_t& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3]; }

class motion_loading : public ::testing::Test {
 protected:
  motion_loading() : instance(velm_test::document_path("chain.qis").c_str()) {}

  // Loads path and checks the lines it printed: the two "parsed OK" lines
  // followed by problems.
  std::unique_ptr<motion_t> load(const std::string& path, const std::vector<std::string>& problems) {
    return velm_test::load_expecting<motion_t>([this](const char* p) { return instance.load_motion(p); },
                                               banner_skeleton_animation, "animation", path, problems);
  }

  skeletal_instance_t instance;
};

TEST_F(motion_loading, channels_resolve_their_bones_by_name) {
  std::unique_ptr<motion_t> motion = load(velm_test::document_path("walk.qia"), {});
  ASSERT_TRUE(motion);
  ASSERT_EQ(motion->channels.size(), 3u);
  EXPECT_EQ(motion->channels[0].bone, 0u);
  EXPECT_EQ(motion->channels[1].bone, 1u);
  EXPECT_EQ(motion->channels[2].bone, no_bone);
  EXPECT_EQ(motion->time, 0.0f);
}

TEST_F(motion_loading, duration_sums_all_time_items_but_the_last) {
  std::unique_ptr<motion_t> motion = load(velm_test::document_path("walk.qia"), {});
  ASSERT_TRUE(motion);
  EXPECT_EQ(motion->channels[0].duration, 1.0f);  // 0.5 + 0.5, not the third 0.5
  EXPECT_EQ(motion->channels[1].duration, 0.5f);  // 0.25 + 0.25, not 7
  EXPECT_EQ(motion->channels[2].duration, 1.0f);
}

TEST_F(motion_loading, keys_are_the_matrices_in_order) {
  std::unique_ptr<motion_t> motion = load(velm_test::document_path("walk.qia"), {});
  ASSERT_TRUE(motion);
  const bone_channel_t& root = motion->channels[0];
  ASSERT_EQ(root.size(), 3u);
  EXPECT_EQ(motion->channels[2].size(), 2u);
  for (std::uint32_t k = 0; k < 3; ++k) {
    EXPECT_FLOAT_EQ(root[k].position[0], static_cast<float>(k));
    EXPECT_FLOAT_EQ(root[k].rotation[0], 1.0f);
  }
}

// A rotation about z as written in walk.qia (row-major here).
mat4_t turn_about_z(float cosine, float sine) {
  mat4_t m(1.0f);
  m.at(0, 0) = cosine;
  m.at(0, 1) = -sine;
  m.at(1, 0) = sine;
  m.at(1, 1) = cosine;
  return m;
}

TEST_F(motion_loading, consecutive_rotations_are_kept_in_one_hemisphere) {
  std::unique_ptr<motion_t> motion = load(velm_test::document_path("walk.qia"), {});
  ASSERT_TRUE(motion);
  const bone_channel_t& arm = motion->channels[1];
  ASSERT_EQ(arm.size(), 3u);
  // 200, 260 and 280 degrees: the decomposition of the last two lands in the
  // other hemisphere than the key before, so loading negates both.
  const bone_t raw[3] = {bone_t(turn_about_z(-0.93969262f, -0.34202014f)),
                         bone_t(turn_about_z(-0.17364818f, -0.98480775f)),
                         bone_t(turn_about_z(0.17364818f, -0.98480775f))};
  ASSERT_LT(dot(raw[0].rotation, raw[1].rotation), 0.0f) << "the document no longer tests the alignment";
  for (unsigned i = 0; i < 4; ++i) {
    EXPECT_EQ(arm[0].rotation[i], raw[0].rotation[i]);
    EXPECT_EQ(arm[1].rotation[i], -raw[1].rotation[i]);
    EXPECT_EQ(arm[2].rotation[i], -raw[2].rotation[i]);
  }
  for (std::uint32_t k = 1; k < 3; ++k) EXPECT_GT(dot(arm[k - 1].rotation, arm[k].rotation), 0.8f) << k;
  // Played half-way between the first two keys (30 degrees apart), the
  // blended rotation stays near unit length (squared 0.93, not near 0).
  motion->time = 0.125f;
  const bone_t sample = *motion->transform(1);
  EXPECT_GT(dot(sample.rotation, sample.rotation), 0.9f);
}

struct failed_channel_t {
  const char* name;
  velm_test::replacements_t replacements;
  std::vector<std::string> problems;
  float root_duration;
  std::uint32_t root_keys;
};

class motion_channel_failure : public motion_loading, public ::testing::WithParamInterface<failed_channel_t> {};

TEST_P(motion_channel_failure, is_reported_and_loading_goes_on) {
  const failed_channel_t& row = GetParam();
  const std::string path = velm_test::write_variant("walk.qia", row.name, row.replacements);
  std::unique_ptr<motion_t> motion = load(path, row.problems);
  ASSERT_TRUE(motion);
  ASSERT_EQ(motion->channels.size(), 3u);
  EXPECT_EQ(motion->channels[0].duration, row.root_duration);
  EXPECT_EQ(motion->channels[0].size(), row.root_keys);
  EXPECT_EQ(motion->channels[0].bone, 0u);
  // The channels after the failed one load fully.
  EXPECT_EQ(motion->channels[1].duration, 0.5f);
  EXPECT_EQ(motion->channels[1].size(), 3u);
  // Whatever failed, playing the channel gives no non-number.
  motion->time = 0.7f;
  const bone_t sample = *motion->transform(0);
  for (unsigned i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(sample.position[i]));
}

INSTANTIATE_TEST_SUITE_P(
    motion_loading, motion_channel_failure,
    ::testing::Values(
        failed_channel_t{"no_time.qia",
                         {{"Tag : \"_TIME\"   # root times", "Tag : \"_TIMES\"   # root times"}},
                         {"E: unable to get time stream", "E: error processing the time channel: 0"},
                         0.0f,
                         3},
        failed_channel_t{"int_time.qia",
                         {{"Format : Float Tag : \"_TIME\"   # root times", "Format : Int Tag : \"_TIME\""}},
                         {"E: incompatible time format", "E: error processing the time channel: 0"},
                         0.0f,
                         3},
        failed_channel_t{"no_matrix.qia",
                         {{"Tag : \"_MATRIX\"   # root keys", "Tag : \"_MATRICES\""}},
                         {"E: unable to get matrix stream", "E: error processing the matrix channel: 0"},
                         1.0f,
                         0},
        failed_channel_t{"string_matrix.qia",
                         {{"Format : Float4x4 Tag : \"_MATRIX\"   # root keys", "Format : String Tag : \"_MATRIX\""}},
                         {"E: incompatible matrix format", "E: error processing the matrix channel: 0"},
                         1.0f,
                         0},
        failed_channel_t{"both_failed.qia",
                         {{"Tag : \"_TIME\"   # root times", "Tag : \"_TIMES\""},
                          {"Tag : \"_MATRIX\"   # root keys", "Tag : \"_MATRICES\""}},
                         {"E: unable to get time stream", "E: error processing the time channel: 0",
                          "E: unable to get matrix stream", "E: error processing the matrix channel: 0"},
                         0.0f,
                         0}),
    velm_test::row_name<failed_channel_t>);

TEST_F(motion_loading, a_channel_without_duration_is_reported_by_index_and_plays_its_first_key) {
  const std::string path = velm_test::write_variant("walk.qia", "arm_no_time.qia",
                                                    {{"Tag : \"_TIME\"   # arm times", "Tag : \"_TIMES\""}});
  std::unique_ptr<motion_t> motion =
      load(path, {"E: unable to get time stream", "E: error processing the time channel: 1"});
  ASSERT_TRUE(motion);
  EXPECT_EQ(motion->channels[1].duration, 0.0f);
  motion->time = 0.7f;
  EXPECT_TRUE(velm_test::same_bone(*motion->transform(1), motion->channels[1][0]));
}

TEST_F(motion_loading, a_missing_document_gives_null_and_no_information_lines) {
  const std::string path = ::testing::TempDir() + "no_such_walk.qia";
  message_log_t log;
  EXPECT_EQ(instance.load_motion(path.c_str()), nullptr);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"E: cannot stat file " + path, "E: error parsing " + path}));
}

TEST_F(motion_loading, a_document_that_does_not_parse_gives_null_after_error_parsing) {
  const std::string path = velm_test::write_document("broken.qia", "Header {");
  message_log_t log;
  EXPECT_EQ(instance.load_motion(path.c_str()), nullptr);
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back(), "E: error parsing " + path);
  for (const std::string& line : log.lines) EXPECT_EQ(line.substr(0, 3), "E: ") << line;
}

TEST(motion_loading_without_skeleton, every_channel_names_no_bone) {
  skeletal_instance_t instance((::testing::TempDir() + "no_such_skeleton.qis").c_str());
  std::unique_ptr<motion_t> motion(instance.load_motion(velm_test::document_path("walk.qia").c_str()));
  ASSERT_TRUE(motion);
  for (const bone_channel_t& channel : motion->channels) EXPECT_EQ(channel.bone, no_bone);
}

}  // namespace
}  // namespace keln::velm
