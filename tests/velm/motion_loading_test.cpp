// Building keyframe motions from animation documents.
#include <cmath>
#include <memory>

#include "velm/document_report.h"
#include "velm/skeletal_instance.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::lines_t;

float dot(const quat_t& a, const quat_t& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3]; }

struct motion_loading : ::testing::Test {
  std::unique_ptr<motion_t> load(const std::string& path, const lines_t& problems = {}) {
    return velm_test::load_expecting<motion_t>([this](const char* p) { return instance.load_motion(p); },
                                               banner_skeleton_animation, "animation", path, problems);
  }
  skeletal_instance_t instance{velm_test::document_path("chain.qis").c_str()};
};

// walk.qia: root along x over 3 keys, arm turning to 200, 260 and 280
// degrees about z (decomposed across hemispheres: loading aligns them), a
// channel of an unknown bone; durations sum every time item but the last.
TEST_F(motion_loading, channels_take_their_bones_keys_and_durations_in_one_hemisphere) {
  std::unique_ptr<motion_t> motion = load(velm_test::document_path("walk.qia"));
  ASSERT_TRUE(motion && motion->channels.size() == 3u);
  const struct {
    std::uint32_t bone, keys;
    float duration;
  } rows[] = {{0, 3, 1.0f}, {1, 3, 0.5f}, {no_bone, 2, 1.0f}};
  for (std::uint32_t c = 0; c < 3; ++c) {
    EXPECT_EQ(motion->channels[c].bone, rows[c].bone) << c;
    EXPECT_EQ(motion->channels[c].size(), rows[c].keys) << c;
    EXPECT_EQ(motion->channels[c].duration, rows[c].duration) << c;
    EXPECT_FLOAT_EQ(motion->channels[0][c].position[0], static_cast<float>(c));
  }
  for (std::uint32_t k = 1; k < 3; ++k)  // raw, 60 and 20 degrees apart across hemispheres
    EXPECT_GT(dot(motion->channels[1][k - 1].rotation, motion->channels[1][k].rotation), 0.0f) << k;
}

TEST_F(motion_loading, a_failed_channel_is_reported_and_loading_goes_on) {
  const char *time = "Tag : \"_TIME\"   # root times", *matrix = "Tag : \"_MATRIX\"   # root keys";
  const lines_t no_time = {"E: unable to get time stream", "E: error processing the time channel: 0"};
  const lines_t no_matrix = {"E: unable to get matrix stream", "E: error processing the matrix channel: 0"};
  const struct {
    const char* name;
    velm_test::replacements_t replacements;
    lines_t problems;
    float root_duration;
    std::uint32_t root_keys;
  } rows[] = {
      {"no_time.qia", {{time, "Tag : \"_TIMES\""}}, no_time, 0.0f, 3},
      {"int_time.qia", {{std::string("Format : Float ") + time, "Format : Int Tag : \"_TIME\""}},
       {"E: incompatible time format", no_time[1]}, 0.0f, 3},
      {"no_matrix.qia", {{matrix, "Tag : \"_MATRICES\""}}, no_matrix, 1.0f, 0},
      {"string_matrix.qia", {{std::string("Format : Float4x4 ") + matrix, "Format : String Tag : \"_MATRIX\""}},
       {"E: incompatible matrix format", no_matrix[1]}, 1.0f, 0},
      {"both_failed.qia", {{time, "Tag : \"_TIMES\""}, {matrix, "Tag : \"_MATRICES\""}},
       {no_time[0], no_time[1], no_matrix[0], no_matrix[1]}, 0.0f, 0},
      {"arm_no_time.qia", {{"Tag : \"_TIME\"   # arm times", "Tag : \"_TIMES\""}},
       {no_time[0], "E: error processing the time channel: 1"}, 1.0f, 3}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<motion_t> motion = load(velm_test::write_variant("walk.qia", row.name, row.replacements), row.problems);
    ASSERT_TRUE(motion && motion->channels.size() == 3u);
    EXPECT_EQ(motion->channels[0].duration, row.root_duration);
    EXPECT_EQ(motion->channels[0].size(), row.root_keys);
    EXPECT_EQ(motion->channels[2].size(), 2u);  // the channels after the failed one load
    motion->time = 0.7f;  // playing gives numbers; without duration, the first key
    for (unsigned i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(motion->transform(0)->position[i]));
    EXPECT_TRUE(motion->channels[1].duration > 0 || velm_test::same_bone(*motion->transform(1), motion->channels[1][0]));
  }
  velm_test::message_log_t quiet;
  EXPECT_EQ(instance.load_motion((::testing::TempDir() + "no_such_walk.qia").c_str()), nullptr);
}

}  // namespace
}  // namespace keln::velm
