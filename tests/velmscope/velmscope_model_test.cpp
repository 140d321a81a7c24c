// The characters' selection rules, their clocks and what they do with
// documents that do not load, on the small HUNTER of documents/: animations
// RUN, WALK, BACKWALK (base) and WAVE, GREET (side), bound in that order.
#include "velmscope/velmscope_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velmscope/velmscope_catalog.h"
#include "velmscope_fixture.h"

namespace keln::velmscope::testing {
namespace {

using floats_t = std::vector<float>;

floats_t weights(velm::skeletal_instance_t& instance) {
  floats_t result;
  for (std::uint32_t i = 0; i < instance.binding_count(); ++i) result.push_back(instance.binding(i).weight);
  return result;
}

floats_t times(velm::skeletal_instance_t& instance) {
  floats_t result;
  for (std::uint32_t i = 0; i < instance.binding_count(); ++i) result.push_back(instance.binding(i).pose->time);
  return result;
}

// A command ('1': next base, '2': next side, ' ': none) and the selection
// after it: names, and the weights of every binding in both playbacks.
struct step_t {
  char command;
  const char* base;
  const char* side;
  floats_t weights;
};

class velmscope_model : public ::testing::Test {
 protected:
  // Builds the catalog of the test character, recording its messages.
  velmscope_model_t& build() {
    message_log_t log;
    catalog.build(&character.entry(), 1);
    messages = log.lines;
    return catalog.model(0);
  }

  void expect_steps(const std::vector<step_t>& steps) {
    for (const step_t& step : steps) {
      if (step.command == '1') catalog.next_base(0);
      if (step.command == '2') catalog.next_side(0);
      SCOPED_TRACE(::testing::Message() << "'" << step.command << "' to " << step.base << " and " << step.side);
      EXPECT_STREQ(catalog.base_animation_name(0), step.base);
      EXPECT_STREQ(catalog.side_animation_name(0), step.side);
      EXPECT_EQ(weights(catalog.model(0).bspline_instance()), step.weights);
      EXPECT_EQ(weights(catalog.model(0).keyframe_instance()), step.weights);
    }
  }

  // The two lines of a document that does not exist.
  static std::vector<std::string> missing_lines(const std::string& path) {
    return {"E: cannot stat file " + path, "E: error parsing " + path};
  }

  test_character_t character;
  velmscope_catalog_t catalog;
  std::vector<std::string> messages;
};

TEST_F(velmscope_model, one_and_two_cycle_the_base_and_side_animations_weighing_only_the_selected_pair) {
  velmscope_model_t& model = build();
  EXPECT_STREQ(catalog.name(0), "HUNTER");
  EXPECT_EQ(model.base_count(), 3u);
  EXPECT_EQ(model.side_count(), 2u);
  EXPECT_NE(model.mesh(), nullptr);
  EXPECT_EQ(model.bspline_instance().bone_count(), 4u);
  EXPECT_EQ(model.keyframe_instance().bone_count(), 4u);
  expect_steps({{' ', "RUN", "NONE", {1, 0, 0, 0, 0}},
                {'1', "WALK", "NONE", {0, 1, 0, 0, 0}},
                {'1', "BACKWALK", "NONE", {0, 0, 1, 0, 0}},
                {'2', "BACKWALK", "WAVE", {0, 0, 1, 1000, 0}},
                {'1', "RUN", "WAVE", {1, 0, 0, 1000, 0}},
                {'2', "RUN", "GREET", {1, 0, 0, 0, 1000}},
                {'2', "RUN", "NONE", {1, 0, 0, 0, 0}},
                {'2', "RUN", "WAVE", {1, 0, 0, 1000, 0}}});
}

// Every motion moves, whatever its weight, through selection changes; only
// the advanced character moves, and it keeps its last step.
TEST_F(velmscope_model, advance_moves_every_motion_of_its_character) {
  catalog.build(&character.entry(), 1);
  velmscope_model_t& model = build();
  catalog.advance(1, 0.375f);
  catalog.next_base(1);
  catalog.next_side(1);
  catalog.advance(1, 0.125f);
  EXPECT_EQ(times(model.keyframe_instance()), floats_t(5, 0.0f));
  EXPECT_EQ(model.frame_step(), 0.0f);
  EXPECT_EQ(times(catalog.model(1).keyframe_instance()), floats_t(5, 0.5f));
  EXPECT_EQ(times(catalog.model(1).bspline_instance()), floats_t(5, 0.5f));
  EXPECT_EQ(catalog.model(1).frame_step(), 0.125f);
  catalog.clear();
  EXPECT_EQ(catalog.size(), 0u);
}

TEST_F(velmscope_model, reports_each_document_as_it_loads_with_the_sizes_of_both_forms) {
  build();
  ASSERT_EQ(messages.size(), 6u + 5u * 4u);
  const std::string skeleton = "I: skeleton file: " + document_path("hunter/hunter.qis") + " - parsed OK";
  const std::vector<std::string> first = {"I: # <<<<<<<<<<<<<",
                                          skeleton,
                                          "I: # <<<<<<<<<<<<<",
                                          skeleton,
                                          "I: # *************",
                                          "I: geometry file: " + document_path("hunter/hunter.qim") + " - parsed OK",
                                          "I: # <<<<<<<<<<<<<",
                                          "I: animation file: " + document_path("hunter/run.qia") + " - parsed OK",
                                          "I: ^ motion_t size in bytes         : 1280"};  // 4 channels of 5 keys
  EXPECT_EQ(std::vector<std::string>(messages.begin(), messages.begin() + 9), first);
  EXPECT_EQ(messages[9].rfind("I: ^ bspline_motion_t size in bytes : ", 0), 0u) << messages[9];
}

TEST_F(velmscope_model, animations_whose_documents_are_missing_or_broken_are_left_out) {
  const std::string missing = document_path("hunter/missing.qia"), broken = document_path("broken.qia");
  character.set_animation_document("RUN", broken);
  character.set_animation_document("WALK", missing);
  character.set_animation_document("GREET", missing);
  build();
  EXPECT_EQ(std::vector<std::string>(messages.begin() + 6, messages.begin() + 8),
            (std::vector<std::string>{"E: " + broken + ":4: syntax error [ token '' ]", "E: error parsing " + broken}));
  EXPECT_EQ(std::vector<std::string>(messages.begin() + 8, messages.begin() + 10), missing_lines(missing));
  expect_steps({{' ', "BACKWALK", "NONE", {1, 0}},
                {'1', "BACKWALK", "NONE", {1, 0}},
                {'2', "BACKWALK", "WAVE", {1, 1000}},
                {'2', "BACKWALK", "NONE", {1, 0}}});
}

TEST_F(velmscope_model, without_base_or_side_animations_their_command_does_nothing) {
  character.keep_only(false);
  EXPECT_EQ(build().base_index(), velmscope_model_t::no_selection);
  expect_steps({{'1', "NONE", "NONE", {0, 0}}, {'2', "NONE", "WAVE", {1000, 0}}});
  test_character_t bases;
  bases.keep_only(true);
  catalog.clear();
  catalog.build(&bases.entry(), 1);
  for (int press = 0; press < 3; ++press) expect_steps({{'2', "RUN", "NONE", {1, 0, 0}}});
  EXPECT_EQ(catalog.model(0).side_index(), velmscope_model_t::no_selection);
}

TEST_F(velmscope_model, when_no_animation_loads_both_commands_do_nothing) {
  for (const char* name : {"RUN", "WALK", "BACKWALK", "WAVE", "GREET"})
    character.set_animation_document(name, document_path("hunter/missing.qia"));
  velmscope_model_t& model = build();
  expect_steps({{'1', "NONE", "NONE", {}}, {'2', "NONE", "NONE", {}}});
  catalog.advance(0, 0.5f);
  EXPECT_EQ(model.frame_step(), 0.5f);
}

// Without skeleton the skin names bones that do not exist: it is refused;
// the animations still load and play, changing nothing.
TEST_F(velmscope_model, a_missing_skeleton_or_geometry_leaves_no_mesh) {
  const std::string skeleton = document_path("hunter/missing.qis"), geometry = document_path("hunter/missing.qim");
  character.set_skeleton(skeleton);
  velmscope_model_t& boneless = build();
  EXPECT_EQ(std::vector<std::string>(messages.begin(), messages.begin() + 2), missing_lines(skeleton));
  EXPECT_EQ(boneless.bspline_instance().bone_count(), 0u);
  EXPECT_EQ(boneless.mesh(), nullptr);
  EXPECT_STREQ(catalog.base_animation_name(0), "RUN");
  catalog.advance(0, 0.25f);
  boneless.keyframe_instance().update();

  catalog.clear();
  character = test_character_t();
  character.set_geometry(geometry);
  velmscope_model_t& model = build();
  EXPECT_EQ(std::vector<std::string>(messages.begin() + 4, messages.begin() + 6), missing_lines(geometry));
  EXPECT_EQ(model.mesh(), nullptr);
  message_log_t quiet;
  model.set_mesh(document_path("hunter/hunter.qim").c_str());
  ASSERT_NE(model.mesh(), nullptr);
  EXPECT_EQ(model.mesh()->positions.size(), 8u);
  model.set_mesh(geometry.c_str());
  EXPECT_EQ(model.mesh(), nullptr);
}

}  // namespace
}  // namespace keln::velmscope::testing
