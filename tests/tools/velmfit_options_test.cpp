// The command line where the golden runs of velmfit do not reach: options
// between documents, a double dash, an empty plot directory, and the one job
// that documents make.
#include "velmfit_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using keln::velmfit::options_t;

struct parsed_t {
  bool ok;
  options_t options;
  std::string problem;
};

parsed_t parse(std::vector<const char*> args) {
  args.insert(args.begin(), "velmfit");
  parsed_t p;
  p.ok = keln::velmfit::parse_options(static_cast<int>(args.size()), args.data(), p.options, p.problem);
  return p;
}

TEST(velmfit_options, documents_and_options_in_any_order_and_after_a_double_dash) {
  parsed_t p = parse({"a.qis", "--json", "b.qia", "--plot", "out", "c.qia"});
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.options.json);
  EXPECT_EQ(p.options.plot_dir, "out");
  EXPECT_EQ(p.options.documents, (std::vector<std::string>{"a.qis", "b.qia", "c.qia"}));
  p = parse({"--", "--json.qis", "-"});
  ASSERT_TRUE(p.ok);
  EXPECT_FALSE(p.options.json);
  EXPECT_EQ(p.options.documents, (std::vector<std::string>{"--json.qis", "-"}));
  p = parse({"--plot", "", "a.qis", "b.qia"});
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.problem, "--plot needs a directory");

  const auto jobs = keln::velmfit::jobs_of(parse({"s.qis", "dir/a.qia", "b.qia"}).options);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].skeleton, "s.qis");
  ASSERT_EQ(jobs[0].animations.size(), 2u);
  EXPECT_EQ(jobs[0].animations[0].name, "dir/a.qia");
  EXPECT_EQ(jobs[0].animations[1].document, "b.qia");
}

}  // namespace
