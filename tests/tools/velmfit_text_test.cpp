// The table, the JSON document and the total row where the golden runs of
// velmfit do not reach: summed fit times, rows without a skeleton or rest
// height, infinite errors and percentages past the column width.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "figures.h"
#include "json_text.h"
#include "table_text.h"

namespace {

using keln::velmfit::figures_t;

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

figures_t row(const char* name, double largest, double mean, double rest_height, const char* bone) {
  figures_t f;
  f.name = name;
  f.channels = 1;
  f.keys = 31;
  f.duration = 1.0;
  f.keyframe_bytes = 448;
  f.bspline_bytes = 352;
  f.fit_ms = 12.25;
  f.key_errors = {1e-5f, 2e-5f, 0.0f};
  f.largest = largest;
  f.mean = mean;
  f.rest_height = rest_height;
  f.largest_percent = rest_height > 0 ? 100.0 * largest / rest_height : nan_value;
  f.mean_percent = rest_height > 0 ? 100.0 * mean / rest_height : nan_value;
  f.worst_bone = bone;
  f.worst_animation = name;
  f.joint_samples = 10;
  return f;
}

TEST(velmfit_table, infinite_errors_missing_percentages_and_wide_percentages) {
  const figures_t a = row("A", 0.0286, 0.004, 2.0, "shin_L");
  const figures_t b = row("B", INFINITY, INFINITY, 0.0, "root");  // no rest height: no percentages
  const figures_t total = keln::velmfit::total_of({a, b});
  const std::string header =
      "animation  channels  keys  duration  keyframe B  B-spline B  cache B  ratio  fit ms  pos err2  rot err2  str err2  "
      " max dist  max %  mean dist  mean %  worst bone";
  const std::string expected =
      header + "\n" +
      "A                 1    31     1.000         448         352        0   1.27    12.2  1.00e-05  2.00e-05  0.00e+00  "
      "2.860e-02  1.430  4.000e-03   0.200  shin_L\n"
      "B                 1    31     1.000         448         352        0   1.27    12.2  1.00e-05  2.00e-05  0.00e+00  "
      "      inf      -        inf       -  root\n" +
      std::string(header.size(), '-') + "\n" +
      "total             2     -     2.000         896         704        0   1.27    24.5  1.00e-05  2.00e-05  0.00e+00  "
      "      inf  1.430        inf   0.200  root (B)\n";
  EXPECT_EQ(keln::velmfit::table_text({a, b}, total), expected);

  figures_t wild = row("Y", 3e24, 2e22, 2.0, "tip");  // 1.5e26 % and 1e24 %
  const std::string text = keln::velmfit::table_text({wild}, keln::velmfit::total_of({wild}));
  EXPECT_NE(text.find("  3.000e+24  1.500e+26  2.000e+22  1.000e+24  tip\n"), std::string::npos) << text;
  wild.largest_percent = 99999.0;
  EXPECT_NE(keln::velmfit::table_text({wild}, total).find("  99999.000  "), std::string::npos);
}

TEST(velmfit_json, figures_that_are_no_numbers_are_null_and_strings_are_escaped) {
  figures_t total = keln::velmfit::total_of({});  // no B-spline bytes, no rest height
  EXPECT_EQ(total.worst_bone, "-");
  total.largest = INFINITY;
  const std::string text = keln::velmfit::json_text({}, total);
  EXPECT_EQ(text.substr(0, 35), "{\n  \"animations\": [],\n  \"total\": {\n");
  for (const char* null_figure : {"\"ratio\": null,", "\"largest_distance\": null,", "\"largest_percent\": null,",
                                  "\"mean_percent\": null,"})
    EXPECT_NE(text.find(null_figure), std::string::npos) << null_figure;
  EXPECT_EQ(keln::velmfit::json_string("a\"b\\c\n\x01/é"), "\"a\\\"b\\\\c\\u000a\\u0001/é\"");
}

}  // namespace
