// The characters of the HUNTER of documents/, and those named on the command line.
#include "velmscope/velmscope_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "velmscope/given_characters.h"
#include "velmscope/velmscope_catalog.h"
#include "velmscope_fixture.h"

namespace keln::velmscope::testing {
namespace {

using floats_t = std::vector<float>;

// The weights of every binding, or their motions' times.
floats_t of_bindings(velm::skeletal_instance_t& instance, bool times = false) {
  floats_t result;
  for (std::uint32_t i = 0; i < instance.binding_count(); ++i)
    result.push_back(times ? instance.binding(i).pose->time : instance.binding(i).weight);
  return result;
}

class velmscope_model : public ::testing::Test {
 protected:
  velmscope_model_t& build() {
    message_log_t log;
    catalog.clear();
    catalog.build(&character.entry(), 1);
    messages = log.lines;
    return catalog.model(0);
  }

  // Each command ('1': next base, '2': next side, ' ': none), then the names
  // and the weights of every binding in both playbacks.
  void expect_steps(const std::vector<std::tuple<char, const char*, const char*, floats_t>>& steps) {
    for (const auto& [command, base, side, weights] : steps) {
      if (command == '1') catalog.next_base(0);
      if (command == '2') catalog.next_side(0);
      SCOPED_TRACE(::testing::Message() << "'" << command << "' to " << base << " and " << side);
      EXPECT_EQ(std::string(catalog.base_animation_name(0)) + " " + catalog.side_animation_name(0), std::string(base) + " " + side);
      for (auto* instance : {&catalog.model(0).bspline_instance(), &catalog.model(0).keyframe_instance()})
        EXPECT_EQ(of_bindings(*instance), weights);
    }
  }

  static std::vector<std::string> missing(const std::string& path) {
    return {"E: cannot stat file " + path, "E: error parsing " + path};
  }
  std::vector<std::string> messages_from(std::size_t first) const {
    return std::vector<std::string>(messages.begin() + first, messages.begin() + first + 2);
  }

  test_character_t character;
  velmscope_catalog_t catalog;
  std::vector<std::string> messages;
};

// Each document is reported as it loads, with the sizes of both forms.
TEST_F(velmscope_model, one_and_two_cycle_the_base_and_side_animations_weighing_only_the_selected_pair) {
  EXPECT_EQ(build().bspline_instance().bone_count(), 4u);
  EXPECT_STREQ(catalog.name(0), "HUNTER");
  ASSERT_EQ(messages.size(), 6u + 5u * 4u);
  const std::string skeleton = "I: skeleton file: " + document_path("hunter/hunter.qis") + " - parsed OK";
  EXPECT_EQ(std::vector<std::string>(messages.begin(), messages.begin() + 9),
            (std::vector<std::string>{"I: # <<<<<<<<<<<<<", skeleton, "I: # <<<<<<<<<<<<<", skeleton,
                                      "I: # *************",
                                      "I: geometry file: " + document_path("hunter/hunter.qim") + " - parsed OK",
                                      "I: # <<<<<<<<<<<<<",
                                      "I: animation file: " + document_path("hunter/run.qia") + " - parsed OK",
                                      "I: ^ motion_t size in bytes         : 1280"}));  // 4 channels of 5 keys
  EXPECT_EQ(messages[9].rfind("I: ^ bspline_motion_t size in bytes : ", 0), 0u) << messages[9];
  expect_steps({{' ', "RUN", "NONE", {1, 0, 0, 0, 0}},        {'1', "WALK", "NONE", {0, 1, 0, 0, 0}},
                {'1', "BACKWALK", "NONE", {0, 0, 1, 0, 0}},   {'2', "BACKWALK", "WAVE", {0, 0, 1, 1000, 0}},
                {'1', "RUN", "WAVE", {1, 0, 0, 1000, 0}},     {'2', "RUN", "GREET", {1, 0, 0, 0, 1000}},
                {'2', "RUN", "NONE", {1, 0, 0, 0, 0}},        {'2', "RUN", "WAVE", {1, 0, 0, 1000, 0}}});
}

// Every motion moves, whatever its weight, through selection changes; only
// the advanced character moves, and it keeps its last step.
TEST_F(velmscope_model, advance_moves_every_motion_of_its_character) {
  for (int two = 0; two < 2; ++two) catalog.build(&character.entry(), 1);
  catalog.advance(1, 0.375f);
  catalog.next_base(1);
  catalog.next_side(1);
  catalog.advance(1, 0.125f);
  for (const float time : {0.0f, 0.5f}) {
    velmscope_model_t& model = catalog.model(time > 0);
    EXPECT_EQ(of_bindings(model.keyframe_instance(), true), floats_t(5, time));
    EXPECT_EQ(of_bindings(model.bspline_instance(), true), floats_t(5, time));
    EXPECT_EQ(model.frame_step(), time / 4);
  }
}

// Animations that do not load are left out; without base or side ones, or
// with none at all, their command does nothing.
TEST_F(velmscope_model, animations_whose_documents_do_not_load_are_left_out) {
  const std::string absent = document_path("hunter/missing.qia"), broken = document_path("broken.qia");
  character.animations[0].document = broken;
  character.animations[1].document = character.animations[4].document = absent;  // WALK, GREET
  build();
  EXPECT_EQ(messages_from(6), (std::vector<std::string>{"E: " + broken + ":4: syntax error [ token '' ]",
                                                        "E: error parsing " + broken}));
  EXPECT_EQ(messages_from(8), missing(absent));
  expect_steps({{' ', "BACKWALK", "NONE", {1, 0}}, {'1', "BACKWALK", "NONE", {1, 0}},
                {'2', "BACKWALK", "WAVE", {1, 1000}}, {'2', "BACKWALK", "NONE", {1, 0}}});
  character = test_character_t();
  character.animations.resize(3);  // the base ones
  build();
  for (int press = 0; press < 3; ++press) expect_steps({{'2', "RUN", "NONE", {1, 0, 0}}});
  EXPECT_EQ(catalog.model(0).side_index(), velmscope_model_t::no_selection);
  character = test_character_t();
  character.animations.erase(character.animations.begin(), character.animations.begin() + 3);
  EXPECT_EQ(build().base_index(), velmscope_model_t::no_selection);
  expect_steps({{'1', "NONE", "NONE", {0, 0}}, {'2', "NONE", "WAVE", {1000, 0}}});
  for (auto& animation : character.animations) animation.document = absent;
  velmscope_model_t& model = build();
  expect_steps({{'1', "NONE", "NONE", {}}, {'2', "NONE", "NONE", {}}});
  catalog.advance(0, 0.5f);
  EXPECT_EQ(model.frame_step(), 0.5f);
}

// Without skeleton the skin names bones that do not exist: it is refused;
// the animations still load and play, changing nothing.
TEST_F(velmscope_model, a_missing_skeleton_or_geometry_leaves_no_mesh) {
  const std::string geometry = character.geometry;
  character.skeleton = document_path("hunter/missing.qis");
  velmscope_model_t& boneless = build();
  EXPECT_EQ(messages_from(0), missing(character.skeleton));
  EXPECT_EQ(boneless.bspline_instance().bone_count() + (boneless.mesh() != nullptr), 0u);
  EXPECT_STREQ(catalog.base_animation_name(0), "RUN");
  catalog.advance(0, 0.25f);
  boneless.keyframe_instance().update();

  character = test_character_t();
  character.geometry = document_path("hunter/missing.qim");
  velmscope_model_t& model = build();
  EXPECT_EQ(messages_from(4), missing(character.geometry));
  EXPECT_EQ(model.mesh(), nullptr);
  message_log_t quiet;
  model.set_mesh(geometry.c_str());
  EXPECT_EQ(model.mesh() ? model.mesh()->positions.size() : 0u, 8u);
  model.set_mesh(character.geometry.c_str());
  EXPECT_EQ(model.mesh(), nullptr);
}

TEST(given_characters, a_folder_and_its_skeleton_give_the_character_and_other_paths_are_refused) {
  const std::string root = ::testing::TempDir() + "given_characters";
  for (const char* file : {"walker/walker.qis", "walker/walker.qim", "walker/run.qia", "walker/idle.qia", "two/a.qis",
                           "two/b.qis", "meshes/a.qis", "meshes/a.qim", "meshes/b.qim"}) {
    std::filesystem::create_directories(std::filesystem::path(root + "/" + file).parent_path());
    std::ofstream(root + "/" + file).flush();
  }
  const std::string walker = root + "/walker/";
  using strings_t = std::vector<std::string>;
  for (const auto& [path, expected] : std::vector<std::pair<std::string, std::string>>{
           {walker, ""}, {walker + "walker.qis", ""},
           {root + "/two", "more than one skeleton document (.qis) in the folder"},
           {root + "/meshes", "more than one geometry document (.qim) in the folder"},
           {walker + "run.qia", "not a character folder or skeleton document (.qis)"}}) {
    given_character_t found;
    std::string problem;
    EXPECT_EQ(find_given_character(path, found, problem), expected.empty()) << path;
    EXPECT_EQ(problem, expected);
    if (!expected.empty()) continue;
    EXPECT_EQ(std::tie(found.name, found.skeleton, found.geometry, found.animations, found.animation_names),
              std::make_tuple(std::string("WALKER"), walker + "walker.qis", walker + "walker.qim",
                              strings_t{walker + "idle.qia", walker + "run.qia"}, strings_t{"IDLE", "RUN"}));
  }
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace keln::velmscope::testing
