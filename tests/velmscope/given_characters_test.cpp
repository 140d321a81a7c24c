// Characters named on the command line: which documents a folder or a
// skeleton path gives, the name shown, and the folders refused.
#include "velmscope/given_characters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace keln::velmscope {
namespace {

TEST(given_characters, a_folder_and_its_skeleton_give_the_character_and_other_paths_are_refused) {
  const std::string root = ::testing::TempDir() + "given_characters";
  for (const char* file : {"walker/walker.qis", "walker/walker.qim", "walker/run.qia", "walker/idle.qia", "two/a.qis",
                           "two/b.qis", "meshes/a.qis", "meshes/a.qim", "meshes/b.qim"}) {
    std::filesystem::create_directories(std::filesystem::path(root + "/" + file).parent_path());
    std::ofstream(root + "/" + file).flush();
  }
  const std::string walker = root + "/walker/";
  const struct {
    std::string path;
    const char* problem;
  } cases[] = {{walker, ""}, {walker + "walker.qis", ""},
               {root + "/two", "more than one skeleton document (.qis) in the folder"},
               {root + "/meshes", "more than one geometry document (.qim) in the folder"},
               {walker + "run.qia", "not a character folder or skeleton document (.qis)"}};
  for (const auto& c : cases) {
    given_character_t found;
    std::string problem;
    EXPECT_EQ(find_given_character(c.path, found, problem), !*c.problem) << c.path;
    EXPECT_EQ(problem, c.problem);
    if (*c.problem) continue;
    EXPECT_EQ(found.name, "WALKER");
    EXPECT_EQ(found.skeleton, walker + "walker.qis");
    EXPECT_EQ(found.geometry, walker + "walker.qim");
    EXPECT_EQ(found.animations, (std::vector<std::string>{walker + "idle.qia", walker + "run.qia"}));
    EXPECT_EQ(found.animation_names, (std::vector<std::string>{"IDLE", "RUN"}));
  }
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace keln::velmscope
