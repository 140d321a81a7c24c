// Plot pieces the golden plots of velmfit do not reach: tick values, file
// names, the choice of channels, SVG escapes, a plot that cannot be written,
// and the progress line erased before messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "figures.h"
#include "fit_plots.h"
#include "progress_line.h"
#include "svg_chart.h"
#include "../support/tolerances.h"

namespace {

using keln::velmfit::nice_ticks;

TEST(velmfit_plots, ticks_are_round_steps_covering_the_range_and_names_keep_safe_characters) {
  const std::pair<std::pair<double, double>, std::vector<double>> cases[] = {
      {{0.0, 1.0}, {0.0, 0.2, 0.4, 0.6, 0.8, 1.0}},
      {{0.0, 0.7}, {0.0, 0.2, 0.4, 0.6, 0.8}},
      {{-0.22, 0.004}, {-0.25, -0.2, -0.15, -0.1, -0.05, 0.0, 0.05}},
      {{3.0, 47.0}, {0.0, 10.0, 20.0, 30.0, 40.0, 50.0}},
      {{0.999, 1.001}, {0.999, 0.9995, 1.0, 1.0005, 1.001}}};
  for (const auto& [range, expected] : cases) {
    const std::vector<double> ticks = nice_ticks(range.first, range.second);
    ASSERT_EQ(ticks.size(), expected.size()) << range.first << " to " << range.second;
    for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i], expected[i], keln::test::tol_double);
  }
  const std::pair<const char*, const char*> names[] = {{"HUNTER/RUN", "HUNTER_RUN"},
                                                       {"../data/hunter/run.qia", "___data_hunter_run"},
                                                       {"a b-c_d.txt", "a_b-c_d_txt"},
                                                       {".qia", "_qia"}};
  for (const auto& [name, stem] : names) EXPECT_EQ(keln::velmfit::plot_stem(name), stem);
}

TEST(velmfit_plot_channels, a_bone_answers_for_its_joint_and_its_childrens_worst_first) {
  // root -> a -> b, root -> c
  keln::array_dyn_t<keln::velm::bone_node_t> skeleton;
  skeleton.resize(4);
  skeleton[1].parent = 0;
  skeleton[2].parent = 1;
  skeleton[3].parent = 0;
  EXPECT_EQ(keln::velmfit::joint_reach_errors(skeleton, {0.0, 0.1, 5.0, 0.2}),
            (std::vector<double>{0.2, 5.0, 5.0, 0.2}));
  // Channels: worst first, and only those with a bone.
  keln::velm::motion_t motion;
  motion.channels.resize(5);
  const std::uint32_t bones[] = {0, keln::velm::no_bone, 2, 1, 3};
  for (std::uint32_t c = 0; c < 5; ++c) motion.channels[c].bone = bones[c];
  const std::vector<double> bone_largest = {0.1, 0.5, 0.3, 0.5};
  EXPECT_EQ(keln::velmfit::worst_channels(motion, bone_largest, 3), (std::vector<std::uint32_t>{3, 4, 2}));
  EXPECT_EQ(keln::velmfit::worst_channels(motion, bone_largest, 9), (std::vector<std::uint32_t>{3, 4, 2, 0}));
  EXPECT_EQ(keln::velmfit::worst_channels(motion, {0.1}, 3), (std::vector<std::uint32_t>{0}));
}

TEST(velmfit_svg, escapes_texts) {
  keln::velmfit::svg_panel_t panel{"a < b", "time (s)", "y & z", {}};
  const std::string svg = keln::velmfit::svg_figure("T \"q\"", "sub", {panel});
  for (const char* text : {">a &lt; b</text>", ">y &amp; z</text>", ">T &quot;q&quot;</text>"})
    EXPECT_NE(svg.find(text), std::string::npos) << text;
}

// Records the messages reported while it lives.
class message_log_t : public keln::message_handler_t {
 public:
  void handle(const keln::string& text, keln::message_level_t level) override {
    lines.push_back(std::to_string(level) + ": " + text.c_str());
  }
  std::vector<std::string> lines;
};

TEST(velmfit_plots, a_file_that_cannot_be_written_is_reported_and_stops_the_plots) {
  const std::string documents = VELMFIT_TEST_DOCUMENTS;
  const auto character = std::make_unique<keln::velmfit::fit_character_t>((documents + "line.qis").c_str());
  std::unique_ptr<keln::velm::motion_t> motion(
      character->keyframe_instance.load_motion((documents + "cubic.qia").c_str()));
  character->add_animation("cubic.qia", std::move(motion));
  keln::velmfit::playback_error_t error;
  const keln::velmfit::figures_t figures = keln::velmfit::measure_animation(*character, 0, error);
  const std::string dir = ::testing::TempDir() + "velmfit_plots_cannot_write";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir + "/cubic_playback.svg");  // a directory in the way
  message_log_t log;
  EXPECT_FALSE(keln::velmfit::write_plots(dir, *character, 0, figures, error));
  EXPECT_EQ(log.lines, (std::vector<std::string>{"3: cannot write " + dir + "/cubic_playback.svg"}));
  EXPECT_FALSE(std::filesystem::exists(dir + "/cubic_channel_0_root.svg"));
  std::filesystem::remove_all(dir);
}

TEST(velmfit_progress, draws_in_place_erases_before_any_message_and_disabled_writes_nothing) {
  keln::velmfit::progress_line_t line(true), disabled(false);
  const keln::string_local_t<8> message;
  ::testing::internal::CaptureStderr();
  line.show("fitting 1/2");
  line.show("fitting 2/2");
  line.handle(message, keln::ML_INFO);
  line.handle(message, keln::ML_INFO);  // already erased: nothing more
  disabled.show("fitting 1/2");
  disabled.hide();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "\r\x1b[Kfitting 1/2\r\x1b[Kfitting 2/2\r\x1b[K");
}

}  // namespace
