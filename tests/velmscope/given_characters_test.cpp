// Characters named on the command line: which documents a folder or a
// skeleton path gives, the name shown, and the folders refused.
#include "velmscope/given_characters.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace keln::velmscope {
namespace {

class given_characters : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/given_characters_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
    for (const char* file : {"walker/walker.qis", "walker/walker.qim", "walker/run.qia", "walker/idle.qia",
                             "two/a.qis", "two/b.qis", "meshes/a.qis", "meshes/a.qim", "meshes/b.qim"}) {
      std::filesystem::create_directories(std::filesystem::path(root + "/" + file).parent_path());
      std::ofstream(root + "/" + file).flush();
    }
  }
  void TearDown() override { std::filesystem::remove_all(root); }

  std::string root;
};

TEST_F(given_characters, a_folder_and_its_skeleton_path_give_the_same_character) {
  for (const std::string& path : {root + "/walker/", root + "/walker/walker.qis"}) {
    given_character_t c;
    std::string problem;
    ASSERT_TRUE(find_given_character(path, c, problem)) << problem;
    EXPECT_EQ(c.name, "WALKER");
    EXPECT_EQ(c.skeleton, root + "/walker/walker.qis");
    EXPECT_EQ(c.geometry, root + "/walker/walker.qim");
    EXPECT_EQ(c.animations, (std::vector<std::string>{root + "/walker/idle.qia", root + "/walker/run.qia"}));
    EXPECT_EQ(c.animation_names, (std::vector<std::string>{"IDLE", "RUN"}));
  }
}

TEST_F(given_characters, folders_that_are_no_one_character_are_refused) {
  const std::pair<std::string, const char*> cases[] = {
      {root + "/two", "more than one skeleton document (.qis) in the folder"},
      {root + "/meshes", "more than one geometry document (.qim) in the folder"},
      {root + "/walker/run.qia", "not a character folder or skeleton document (.qis)"},
  };
  for (const auto& [path, expected] : cases) {
    given_character_t c;
    std::string problem;
    EXPECT_FALSE(find_given_character(path, c, problem));
    EXPECT_EQ(problem, expected);
  }
}

}  // namespace
}  // namespace keln::velmscope
