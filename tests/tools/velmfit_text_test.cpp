// The table, the JSON document and the total row, from figures set by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "figures.h"
#include "json_text.h"
#include "table_text.h"

namespace {

using keln::velmfit::figures_t;

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

figures_t row(const char* name, std::uint32_t channels, std::size_t keyframe, std::size_t bspline,
              double largest, double mean, std::uint64_t samples, const char* bone) {
  figures_t f;
  f.name = name;
  f.channels = channels;
  f.keys = 31;
  f.duration = 1.0;
  f.keyframe_bytes = keyframe;
  f.bspline_bytes = bspline;
  f.fit_ms = 12.25;
  f.key_errors = {1e-5f, 2e-5f, 0.0f};
  f.largest = largest;
  f.mean = mean;
  f.rest_height = 2.0;
  f.largest_percent = 50.0 * largest;
  f.mean_percent = 50.0 * mean;
  f.worst_bone = bone;
  f.worst_animation = name;
  f.worst_time = 0.5;
  f.joint_samples = samples;
  return f;
}

TEST(velmfit_total, sums_sizes_and_times_and_keeps_the_worst_figures) {
  const figures_t a = row("A", 3, 1000, 250, 0.5, 0.1, 10, "hand");
  figures_t b = row("B", 2, 600, 300, 0.25, 0.4, 30, "foot");
  b.key_errors = {3e-5f, 1e-5f, 1e-9f};
  const figures_t total = keln::velmfit::total_of({a, b});
  EXPECT_EQ(total.name, "total");
  EXPECT_EQ(total.channels, 5u);
  EXPECT_DOUBLE_EQ(total.duration, 2.0);
  EXPECT_EQ(total.keyframe_bytes, 1600u);
  EXPECT_EQ(total.bspline_bytes, 550u);
  EXPECT_DOUBLE_EQ(total.ratio(), 1600.0 / 550.0);
  EXPECT_DOUBLE_EQ(total.fit_ms, 24.5);
  EXPECT_EQ(total.key_errors.position, 3e-5f);
  EXPECT_EQ(total.key_errors.rotation, 2e-5f);
  EXPECT_EQ(total.key_errors.stretch, 1e-9f);
  EXPECT_DOUBLE_EQ(total.largest, 0.5);
  EXPECT_EQ(total.worst_bone, "hand");
  EXPECT_EQ(total.worst_animation, "A");
  EXPECT_DOUBLE_EQ(total.largest_percent, 25.0);
  // Means weighted by joint samples: (0.1 * 10 + 0.4 * 30) / 40.
  EXPECT_DOUBLE_EQ(total.mean, 0.325);
  EXPECT_DOUBLE_EQ(total.mean_percent, 16.25);
  EXPECT_EQ(total.joint_samples, 40u);
}

TEST(velmfit_total, of_nothing_is_zero_and_rows_without_rest_height_have_no_percentages) {
  const figures_t empty = keln::velmfit::total_of({});
  EXPECT_EQ(empty.keyframe_bytes, 0u);
  EXPECT_TRUE(std::isnan(empty.ratio()));
  EXPECT_EQ(empty.worst_bone, "-");
  EXPECT_TRUE(std::isnan(empty.largest_percent));
  EXPECT_TRUE(std::isnan(empty.mean_percent));

  figures_t flat = row("F", 1, 64, 32, 0.5, 0.5, 4, "root");
  flat.largest_percent = flat.mean_percent = nan_value;
  const figures_t total = keln::velmfit::total_of({flat, row("G", 1, 64, 32, 0.1, 0.1, 4, "tip")});
  EXPECT_DOUBLE_EQ(total.largest_percent, 5.0);
  EXPECT_DOUBLE_EQ(total.mean_percent, 5.0);  // only G has a rest height
  EXPECT_DOUBLE_EQ(total.mean, 0.3);
}

TEST(velmfit_table, lays_out_rows_a_rule_and_the_total) {
  const figures_t a = row("HUNTER/RUN", 23, 32384, 9608, 0.0286, 0.004, 10, "shin_L");
  figures_t b = row("X", 1, 448, 352, INFINITY, INFINITY, 10, "root");
  b.largest_percent = b.mean_percent = nan_value;
  // clang-format off
  const std::string header =
      "animation   channels  keys  duration  keyframe B  B-spline B  cache B  ratio  fit ms  pos err2  rot err2  "
      "str err2   max dist  max %  mean dist  mean %  worst bone";
  const std::string expected =
      header + "\n" +
      "HUNTER/RUN        23    31     1.000       32384        9608        0   3.37    12.2  1.00e-05  2.00e-05  "
      "0.00e+00  2.860e-02  1.430  4.000e-03   0.200  shin_L\n"
      "X                  1    31     1.000         448         352        0   1.27    12.2  1.00e-05  2.00e-05  "
      "0.00e+00        inf      -        inf       -  root\n" +
      std::string(header.size(), '-') + "\n" +
      "total             24     -     2.000       32832        9960        0   3.30    24.5  1.00e-05  2.00e-05  "
      "0.00e+00        inf  1.430        inf   0.200  root (X)\n";
  // clang-format on
  EXPECT_EQ(keln::velmfit::table_text({a, b}, keln::velmfit::total_of({a, b})), expected);
}

TEST(velmfit_table, percentages_of_a_playback_gone_wild_take_exponent_form) {
  const figures_t a = row("Y", 1, 448, 352, 3e24, 2e22, 10, "tip");  // 1.5e26 % and 1e24 %
  const std::string text = keln::velmfit::table_text({a}, keln::velmfit::total_of({a}));
  EXPECT_NE(text.find("  3.000e+24  1.500e+26  2.000e+22  1.000e+24  tip\n"), std::string::npos) << text;
  figures_t b = a;
  b.largest_percent = 99999.0;
  EXPECT_NE(keln::velmfit::table_text({b}, keln::velmfit::total_of({b})).find("  99999.000  "), std::string::npos);
}

TEST(velmfit_json, writes_every_figure_of_rows_and_total) {
  figures_t a = row("say \"hi\"", 2, 128, 64, 0.5, 0.25, 8, "hand");
  a.key_errors = {0.5f, 0.25f, 0.0f};
  const std::string expected = R"({
  "animations": [
    {
      "name": "say \"hi\"",
      "channels": 2,
      "keys": 31,
      "duration": 1,
      "keyframe_bytes": 128,
      "bspline_bytes": 64,
      "cache_bytes": 0,
      "ratio": 2,
      "fit_ms": 12.25,
      "position_error": 0.5,
      "rotation_error": 0.25,
      "stretch_error": 0,
      "largest_distance": 0.5,
      "largest_percent": 25,
      "mean_distance": 0.25,
      "mean_percent": 12.5,
      "worst_bone": "hand",
      "worst_time": 0.5,
      "rest_height": 2
    }
  ],
  "total": {
    "name": "total",
    "channels": 2,
    "duration": 1,
    "keyframe_bytes": 128,
    "bspline_bytes": 64,
    "cache_bytes": 0,
    "ratio": 2,
    "fit_ms": 12.25,
    "position_error": 0.5,
    "rotation_error": 0.25,
    "stretch_error": 0,
    "largest_distance": 0.5,
    "largest_percent": 25,
    "mean_distance": 0.25,
    "mean_percent": 12.5,
    "worst_bone": "hand",
    "worst_animation": "say \"hi\""
  }
}
)";
  EXPECT_EQ(keln::velmfit::json_text({a}, keln::velmfit::total_of({a})), expected);
}

TEST(velmfit_json, figures_that_are_no_numbers_are_null_and_strings_are_escaped) {
  figures_t total = keln::velmfit::total_of({});  // no B-spline bytes, no rest height
  total.largest = INFINITY;
  const std::string text = keln::velmfit::json_text({}, total);
  EXPECT_EQ(text.substr(0, 35), "{\n  \"animations\": [],\n  \"total\": {\n");
  for (const char* null_figure : {"\"ratio\": null,", "\"largest_distance\": null,", "\"largest_percent\": null,",
                                  "\"mean_percent\": null,"})
    EXPECT_NE(text.find(null_figure), std::string::npos) << null_figure;
  EXPECT_EQ(keln::velmfit::json_string("a\"b\\c\n\x01/é"), "\"a\\\"b\\\\c\\u000a\\u0001/é\"");
}

}  // namespace
