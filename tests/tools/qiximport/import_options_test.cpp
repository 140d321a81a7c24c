// The command line: where options may stand, and every usage error's text.
#include "import_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keln::qiximport {
namespace {

// The values of --fps, --frames, --scale and --name are checked by their
// effect in the real-data import.
TEST(import_options, options_in_any_place_between_input_and_folder) {
  import_options_t options;
  std::string problem;
  ASSERT_TRUE(parse_import_options({"in.gltf", "out", "--animation", "all"}, options, problem));
  EXPECT_EQ(options.animation, all_animations);
  ASSERT_TRUE(parse_import_options({"--fps", "24", "in.bvh", "--name", "Walker", "out", "--animation", "2"}, options,
                                   problem));
  EXPECT_EQ(options.input, "in.bvh");
  EXPECT_EQ(options.outdir, "out");
  EXPECT_EQ(options.animation, 2);
}

struct usage_case_t {
  std::vector<std::string> args;
  const char* problem;
};

TEST(import_options, usage_errors) {
  const usage_case_t cases[] = {
      {{"in.bvh"}, ""},
      {{"in.bvh", "out", "more"}, "unexpected argument more"},
      {{"in.bvh", "out", "--fast"}, "unknown option --fast"},
      {{"in.bvh", "out", "--fps"}, "--fps needs a value"},
      {{"in.bvh", "out", "--fps", "0"}, "--fps needs a number above 0"},
      {{"in.bvh", "out", "--fps", "nan"}, "--fps needs a number above 0"},
      {{"in.bvh", "out", "--fps", "30x"}, "--fps needs a number above 0"},
      {{"in.bvh", "out", "--frames", "5:4"}, "--frames needs A:B with whole numbers A <= B"},
      {{"in.bvh", "out", "--frames", "5"}, "--frames needs A:B with whole numbers A <= B"},
      {{"in.bvh", "out", "--frames", "-1:4"}, "--frames needs A:B with whole numbers A <= B"},
      {{"in.bvh", "out", "--frames", "0:99999999999"}, "--frames needs A:B with whole numbers A <= B"},
      {{"in.bvh", "out", "--name", ""}, "--name needs a name"},
      {{"in.bvh", "out", "--animation", "first"}, "--animation needs a number or all"},
  };
  for (const usage_case_t& c : cases) {
    import_options_t options;
    std::string problem = "unset";
    EXPECT_FALSE(parse_import_options(c.args, options, problem)) << c.problem;
    EXPECT_EQ(problem, c.problem);
  }
}

}  // namespace
}  // namespace keln::qiximport
