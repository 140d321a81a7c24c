// The command line and the catalog it can name.
#include "velmfit_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velm/catalog.h"

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
  EXPECT_FALSE(p.options.catalog);
  EXPECT_EQ(p.options.plot_dir, "out");
  EXPECT_EQ(p.options.documents, (std::vector<std::string>{"a.qis", "b.qia", "c.qia"}));
  p = parse({"--", "--json.qis", "-"});
  ASSERT_TRUE(p.ok);
  EXPECT_FALSE(p.options.json);
  EXPECT_EQ(p.options.documents, (std::vector<std::string>{"--json.qis", "-"}));
  EXPECT_TRUE(parse({"--help"}).options.help);  // help and the catalog need no documents
  p = parse({"--catalog", "--json"});
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.options.catalog);
}

TEST(velmfit_options, usage_errors_name_their_reason) {
  const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
      {{}, "no documents"},
      {{"a.qis"}, "no animation document after the skeleton"},
      {{"--catalog", "a.qis"}, "--catalog takes no documents"},
      {{"--plot"}, "--plot needs a directory"},
      {{"--plot", ""}, "--plot needs a directory"},
      {{"--verbose", "a.qis", "b.qia"}, "unknown option: --verbose"},
      {{"-j", "a.qis", "b.qia"}, "unknown option: -j"},
  };
  for (const auto& [args, problem] : cases) {
    const parsed_t p = parse(args);
    EXPECT_FALSE(p.ok) << problem;
    EXPECT_EQ(p.problem, problem);
  }
}

TEST(velmfit_options, documents_make_one_job_named_by_path_the_catalog_one_per_character) {
  options_t options;
  options.documents = {"s.qis", "dir/a.qia", "b.qia"};
  auto jobs = keln::velmfit::jobs_of(options);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].skeleton, "s.qis");
  ASSERT_EQ(jobs[0].animations.size(), 2u);
  EXPECT_EQ(jobs[0].animations[0].name, "dir/a.qia");
  EXPECT_EQ(jobs[0].animations[0].document, "dir/a.qia");
  EXPECT_EQ(jobs[0].animations[1].document, "b.qia");

  // The catalog's names and order are checked end to end (velmfit.catalog).
  options.catalog = true;
  jobs = keln::velmfit::jobs_of(options);
  ASSERT_EQ(jobs.size(), keln::velm::catalog_character_count);
  for (std::size_t c = 0; c < jobs.size(); ++c) {
    EXPECT_EQ(jobs[c].animations.size(), keln::velm::catalog_characters[c].animation_count);
    EXPECT_EQ(jobs[c].skeleton, keln::velm::catalog_characters[c].skeleton);
  }
  EXPECT_EQ(jobs[0].animations[3].name, "HUNTER/WAVE");
  EXPECT_EQ(jobs[0].animations[3].document, "hunter/shake.qia");  // WAVE plays the shake document
  EXPECT_EQ(jobs[1].animations[2].document, "horse/stand_idle.qia");
}

}  // namespace
