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

TEST(velmfit_options, documents_and_options_in_any_order) {
  const parsed_t p = parse({"a.qis", "--json", "b.qia", "--plot", "out", "c.qia"});
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.options.json);
  EXPECT_FALSE(p.options.catalog);
  EXPECT_EQ(p.options.plot_dir, "out");
  EXPECT_EQ(p.options.documents, (std::vector<std::string>{"a.qis", "b.qia", "c.qia"}));
}

TEST(velmfit_options, everything_after_a_double_dash_is_a_document) {
  const parsed_t p = parse({"--", "--json.qis", "-"});
  ASSERT_TRUE(p.ok);
  EXPECT_FALSE(p.options.json);
  EXPECT_EQ(p.options.documents, (std::vector<std::string>{"--json.qis", "-"}));
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

TEST(velmfit_options, help_and_catalog_need_no_documents) {
  EXPECT_TRUE(parse({"--help"}).options.help);
  const parsed_t p = parse({"--catalog", "--json"});
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.options.catalog);
}

TEST(velmfit_options, named_documents_make_one_job_named_by_path) {
  options_t options;
  options.documents = {"s.qis", "dir/a.qia", "b.qia"};
  const auto jobs = keln::velmfit::jobs_of(options);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].skeleton, "s.qis");
  ASSERT_EQ(jobs[0].animations.size(), 2u);
  EXPECT_EQ(jobs[0].animations[0].name, "dir/a.qia");
  EXPECT_EQ(jobs[0].animations[0].document, "dir/a.qia");
  EXPECT_EQ(jobs[0].animations[1].document, "b.qia");
}

TEST(velmfit_options, the_catalog_makes_one_job_per_character_in_catalog_order) {
  options_t options;
  options.catalog = true;
  const auto jobs = keln::velmfit::jobs_of(options);
  const std::vector<std::string> skeletons = {"hunter/hunter.qis", "horse/vehicle.qis",
                                              "elephant/animal.qis"};
  const std::vector<std::vector<std::string>> names = {
      {"HUNTER/RUN", "HUNTER/WALK", "HUNTER/BACKWALK", "HUNTER/WAVE", "HUNTER/GREET"},
      {"HORSE/WALK", "HORSE/GALLOP", "HORSE/IDLE_SPECIAL", "HORSE/GRAZING", "HORSE/SHAKE"},
      {"ELEPHANT/WALK", "ELEPHANT/GALLOP", "ELEPHANT/GRAZING", "ELEPHANT/SHAKE"}};
  ASSERT_EQ(jobs.size(), 3u);
  for (std::size_t c = 0; c < 3; ++c) {
    EXPECT_EQ(jobs[c].skeleton, skeletons[c]);
    ASSERT_EQ(jobs[c].animations.size(), names[c].size());
    for (std::size_t a = 0; a < names[c].size(); ++a) EXPECT_EQ(jobs[c].animations[a].name, names[c][a]);
  }
  EXPECT_EQ(jobs[0].animations[3].document, "hunter/shake.qia");  // WAVE plays the shake document
  EXPECT_EQ(jobs[1].animations[2].document, "horse/stand_idle.qia");
}

TEST(velmfit_catalog, base_flags_and_geometry_documents) {
  using keln::velm::catalog_characters;
  ASSERT_EQ(keln::velm::catalog_character_count, 3u);
  EXPECT_STREQ(catalog_characters[0].geometry, "hunter/hunter.qim");
  EXPECT_STREQ(catalog_characters[1].geometry, "horse/vehicle.qim");
  EXPECT_STREQ(catalog_characters[2].geometry, "elephant/animal.qim");
  std::string flags;
  for (const auto& character : catalog_characters) {
    for (std::uint32_t a = 0; a < character.animation_count; ++a)
      flags += character.animations[a].base ? 'B' : 's';
    flags += '|';
  }
  EXPECT_EQ(flags, "BBBss|BBBss|BBss|");
}

}  // namespace
