// Building keyframe motions from animation documents.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "velm/document_report.h"
#include "velm/skeletal_instance.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::message_log_t;

float dot(const quat_t& a, const quat_t& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3]; }

class motion_loading : public ::testing::Test {
 protected:
  std::unique_ptr<motion_t> load(const std::string& path, const std::vector<std::string>& problems) {
    return velm_test::load_expecting<motion_t>([this](const char* p) { return instance.load_motion(p); }, banner_skeleton_animation,
                                          "animation", path, problems);
  }

  skeletal_instance_t instance{velm_test::document_path("chain.qis").c_str()};
};

TEST_F(motion_loading, channels_take_their_bones_by_name_their_keys_and_durations) {
  std::unique_ptr<motion_t> motion = load(velm_test::document_path("walk.qia"), {});
  ASSERT_TRUE(motion);
  ASSERT_EQ(motion->channels.size(), 3u);
  const struct {
    std::uint32_t bone, keys;
    float duration;  // every time item but the last
  } rows[] = {{0, 3, 1.0f}, {1, 3, 0.5f}, {no_bone, 2, 1.0f}};
  for (std::uint32_t c = 0; c < 3; ++c) {
    EXPECT_EQ(motion->channels[c].bone, rows[c].bone) << c;
    EXPECT_EQ(motion->channels[c].size(), rows[c].keys) << c;
    EXPECT_EQ(motion->channels[c].duration, rows[c].duration) << c;
  }
  for (std::uint32_t k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(motion->channels[0][k].position[0], static_cast<float>(k));
}

// The arm turns to 200, 260 and 280 degrees about z: the decomposition of
// the last two lands in the other hemisphere than the key before, so loading
// negates both, and the blend between the first two stays near unit length.
TEST_F(motion_loading, consecutive_rotations_are_kept_in_one_hemisphere) {
  std::unique_ptr<motion_t> motion = load(velm_test::document_path("walk.qia"), {});
  ASSERT_TRUE(motion);
  const bone_channel_t& arm = motion->channels[1];
  const float cosines[] = {-0.93969262f, -0.17364818f, 0.17364818f}, sines[] = {-0.34202014f, -0.98480775f, -0.98480775f};
  bone_t raw[3];
  for (std::uint32_t k = 0; k < 3; ++k) {
    mat4_t m(1.0f);
    m.at(0, 0) = m.at(1, 1) = cosines[k];
    m.at(0, 1) = -sines[k];
    m.at(1, 0) = sines[k];
    raw[k] = bone_t(m);
  }
  ASSERT_LT(dot(raw[0].rotation, raw[1].rotation), 0.0f) << "the document no longer tests the alignment";
  for (unsigned i = 0; i < 4; ++i) {
    EXPECT_EQ(arm[0].rotation[i], raw[0].rotation[i]);
    EXPECT_EQ(arm[1].rotation[i], -raw[1].rotation[i]);
    EXPECT_EQ(arm[2].rotation[i], -raw[2].rotation[i]);
  }
  for (std::uint32_t k = 1; k < 3; ++k) EXPECT_GT(dot(arm[k - 1].rotation, arm[k].rotation), 0.8f) << k;
  motion->time = 0.125f;
  EXPECT_GT(dot(motion->transform(1)->rotation, motion->transform(1)->rotation), 0.9f);
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
  std::unique_ptr<motion_t> motion = load(velm_test::write_variant("walk.qia", row.name, row.replacements), row.problems);
  ASSERT_TRUE(motion);
  ASSERT_EQ(motion->channels.size(), 3u);
  EXPECT_EQ(motion->channels[0].duration, row.root_duration);
  EXPECT_EQ(motion->channels[0].size(), row.root_keys);
  EXPECT_EQ(motion->channels[1].duration, 0.5f);  // the later channels load fully
  EXPECT_EQ(motion->channels[1].size(), 3u);
  motion->time = 0.7f;  // whatever failed, playing gives numbers
  for (unsigned i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(motion->transform(0)->position[i]));
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
  motion->time = 0.7f;
  EXPECT_TRUE(velm_test::same_bone(*motion->transform(1), motion->channels[1][0]));
}

TEST_F(motion_loading, a_document_that_is_missing_or_does_not_parse_gives_null) {
  const std::string missing = ::testing::TempDir() + "no_such_walk.qia";
  const std::string broken = velm_test::write_document("broken.qia", "Header {");
  message_log_t log;
  EXPECT_EQ(instance.load_motion(missing.c_str()), nullptr);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"E: cannot stat file " + missing, "E: error parsing " + missing}));
  log.lines.clear();
  EXPECT_EQ(instance.load_motion(broken.c_str()), nullptr);
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back(), "E: error parsing " + broken);
  for (const std::string& line : log.lines) EXPECT_EQ(line.substr(0, 3), "E: ") << line;
}

TEST(motion_loading_without_skeleton, every_channel_names_no_bone) {
  velm_test::message_log_t quiet;
  skeletal_instance_t instance((::testing::TempDir() + "no_such_skeleton.qis").c_str());
  std::unique_ptr<motion_t> motion(instance.load_motion(velm_test::document_path("walk.qia").c_str()));
  ASSERT_TRUE(motion);
  for (const bone_channel_t& channel : motion->channels) EXPECT_EQ(channel.bone, no_bone);
}

}  // namespace
}  // namespace keln::velm
