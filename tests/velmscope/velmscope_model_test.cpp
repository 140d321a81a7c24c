// The characters' selection rules, their clocks and what they do with
// documents that do not load, on the small HUNTER of documents/.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene_test_support.h"
#include "velmscope/velmscope_catalog.h"
#include "velmscope/velmscope_model.h"

namespace keln::velmscope::testing {
namespace {

using weights_t = std::vector<float>;

weights_t weights(velm::skeletal_instance_t& instance) {
  weights_t result;
  for (std::uint32_t i = 0; i < instance.binding_count(); ++i) result.push_back(instance.binding(i).weight);
  return result;
}

std::vector<float> times(velm::skeletal_instance_t& instance) {
  std::vector<float> result;
  for (std::uint32_t i = 0; i < instance.binding_count(); ++i) result.push_back(instance.binding(i).pose->time);
  return result;
}

// The names of the selected base and side animations and the weights of every
// binding, in binding order.
struct selection_t {
  const char* base;
  const char* side;
  weights_t weights;
};

// The catalog holding one test character, built quietly.
class ModelTest : public ::testing::Test {
 protected:
  velmscope_model_t& build() {
    message_log_t log;
    catalog.build(&character.entry(), 1);
    messages = log.lines;
    return catalog.model(0);
  }

  // Expects the same binding weights in both playbacks.
  void expect_weights(velmscope_model_t& model, const weights_t& expected) {
    EXPECT_EQ(weights(model.bspline_instance()), expected);
    EXPECT_EQ(weights(model.keyframe_instance()), expected);
  }

  // Expects the first character's selection and weights.
  void expect_selection(const selection_t& expected) {
    SCOPED_TRACE(std::string("expecting ") + expected.base + " and " + expected.side);
    EXPECT_STREQ(catalog.base_animation_name(0), expected.base);
    EXPECT_STREQ(catalog.side_animation_name(0), expected.side);
    expect_weights(catalog.model(0), expected.weights);
  }

  test_character_t character;
  velmscope_catalog_t catalog;
  std::vector<std::string> messages;
};

// Binding order is the catalog's: RUN, WALK, BACKWALK (base), WAVE, GREET
// (side).
TEST_F(ModelTest, StartsWithTheFirstBaseAnimationAtWeightOneAndNoSide) {
  velmscope_model_t& model = build();
  EXPECT_STREQ(catalog.name(0), "HUNTER");
  EXPECT_STREQ(catalog.base_animation_name(0), "RUN");
  EXPECT_STREQ(catalog.side_animation_name(0), "NONE");
  EXPECT_EQ(model.base_count(), 3u);
  EXPECT_EQ(model.side_count(), 2u);
  expect_weights(model, {1, 0, 0, 0, 0});
  EXPECT_EQ(times(model.keyframe_instance()), std::vector<float>(5, 0.0f));
  EXPECT_EQ(times(model.bspline_instance()), std::vector<float>(5, 0.0f));
  EXPECT_NE(model.mesh(), nullptr);
  EXPECT_EQ(model.bspline_instance().bone_count(), 4u);
  EXPECT_EQ(model.keyframe_instance().bone_count(), 4u);
}

TEST_F(ModelTest, OneCyclesTheBaseAnimationsWeighingOnlyTheSelectedPair) {
  build();
  const selection_t presses[] = {{"WALK", "NONE", {0, 1, 0, 0, 0}},
                                 {"BACKWALK", "NONE", {0, 0, 1, 0, 0}},
                                 {"RUN", "NONE", {1, 0, 0, 0, 0}},
                                 {"WALK", "NONE", {0, 1, 0, 0, 0}}};
  for (const selection_t& expected : presses) {
    catalog.next_base(0);
    expect_selection(expected);
  }
}

TEST_F(ModelTest, TwoCyclesTheSideAnimationsThroughNone) {
  build();
  const selection_t presses[] = {{"RUN", "WAVE", {1, 0, 0, 1000, 0}},
                                 {"RUN", "GREET", {1, 0, 0, 0, 1000}},
                                 {"RUN", "NONE", {1, 0, 0, 0, 0}},
                                 {"RUN", "WAVE", {1, 0, 0, 1000, 0}}};
  for (const selection_t& expected : presses) {
    catalog.next_side(0);
    expect_selection(expected);
  }
}

TEST_F(ModelTest, BaseAndSideSelectionsAreIndependent) {
  build();
  catalog.next_side(0);  // WAVE
  catalog.next_base(0);  // WALK
  catalog.next_base(0);  // BACKWALK
  expect_selection({"BACKWALK", "WAVE", {0, 0, 1, 1000, 0}});
  catalog.next_side(0);
  expect_selection({"BACKWALK", "GREET", {0, 0, 1, 0, 1000}});
}

TEST_F(ModelTest, AdvanceMovesEveryMotionWhateverItsWeightAndKeepsTheStep) {
  velmscope_model_t& model = build();
  catalog.advance(0, 0.25f);
  catalog.advance(0, 0.5f);
  EXPECT_EQ(model.frame_step(), 0.5f);
  EXPECT_EQ(times(model.keyframe_instance()), std::vector<float>(5, 0.75f));
  EXPECT_EQ(times(model.bspline_instance()), std::vector<float>(5, 0.75f));
}

TEST_F(ModelTest, SwitchingAnimationsKeepsTheirRunningTimes) {
  velmscope_model_t& model = build();
  catalog.advance(0, 0.375f);
  catalog.next_base(0);
  catalog.next_side(0);
  catalog.advance(0, 0.125f);
  EXPECT_EQ(times(model.keyframe_instance()), std::vector<float>(5, 0.5f));
  EXPECT_EQ(times(model.bspline_instance()), std::vector<float>(5, 0.5f));
}

TEST_F(ModelTest, OnlyTheAdvancedCharacterMoves) {
  catalog.build(&character.entry(), 1);
  build();
  catalog.advance(1, 0.25f);
  EXPECT_EQ(times(catalog.model(0).keyframe_instance()), std::vector<float>(5, 0.0f));
  EXPECT_EQ(times(catalog.model(1).keyframe_instance()), std::vector<float>(5, 0.25f));
  EXPECT_EQ(catalog.model(0).frame_step(), 0.0f);
}

TEST_F(ModelTest, ReportsEachDocumentAsItLoadsWithTheSizesOfBothForms) {
  build();
  ASSERT_EQ(messages.size(), 6u + 5u * 4u);
  const std::string skeleton = document_path("hunter/hunter.qis");
  EXPECT_EQ(messages[0], "I: # <<<<<<<<<<<<<");
  EXPECT_EQ(messages[1], "I: skeleton file: " + skeleton + " - parsed OK");
  EXPECT_EQ(messages[2], "I: # <<<<<<<<<<<<<");
  EXPECT_EQ(messages[3], "I: skeleton file: " + skeleton + " - parsed OK");
  EXPECT_EQ(messages[4], "I: # *************");
  EXPECT_EQ(messages[5], "I: geometry file: " + document_path("hunter/hunter.qim") + " - parsed OK");
  EXPECT_EQ(messages[6], "I: # <<<<<<<<<<<<<");
  EXPECT_EQ(messages[7], "I: animation file: " + document_path("hunter/run.qia") + " - parsed OK");
  // Four bone channels of five keys of 64 bytes each.
  EXPECT_EQ(messages[8], "I: ^ motion_t size in bytes         : 1280");
  EXPECT_EQ(messages[9].rfind("I: ^ bspline_motion_t size in bytes : ", 0), 0u) << messages[9];
  EXPECT_EQ(messages.back().rfind("I: ^ bspline_motion_t size in bytes : ", 0), 0u) << messages.back();
}

TEST_F(ModelTest, AnAnimationWhoseDocumentDoesNotLoadIsLeftOut) {
  const std::string missing = document_path("hunter/missing.qia");
  character.set_animation_document("WALK", missing);
  character.set_animation_document("GREET", missing);
  velmscope_model_t& model = build();
  const std::vector<std::string> failure = {"E: cannot stat file " + missing, "E: error parsing " + missing};
  EXPECT_EQ(std::vector<std::string>(messages.begin() + 10, messages.begin() + 12), failure);
  EXPECT_EQ(model.base_count(), 2u);
  EXPECT_EQ(model.side_count(), 1u);
  expect_weights(model, {1, 0, 0});
  catalog.next_base(0);
  EXPECT_STREQ(catalog.base_animation_name(0), "BACKWALK");
  catalog.next_base(0);
  EXPECT_STREQ(catalog.base_animation_name(0), "RUN");
  catalog.next_side(0);
  EXPECT_STREQ(catalog.side_animation_name(0), "WAVE");
  expect_weights(model, {1, 0, 1000});
  catalog.next_side(0);
  EXPECT_STREQ(catalog.side_animation_name(0), "NONE");
}

TEST_F(ModelTest, AnAnimationWhoseDocumentIsBrokenIsLeftOut) {
  const std::string broken = document_path("broken.qia");
  character.set_animation_document("RUN", broken);
  velmscope_model_t& model = build();
  const std::vector<std::string> failure = {"E: " + broken + ":4: syntax error [ token '' ]",
                                            "E: error parsing " + broken};
  EXPECT_EQ(std::vector<std::string>(messages.begin() + 6, messages.begin() + 8), failure);
  EXPECT_EQ(model.base_count(), 2u);
  expect_selection({"WALK", "NONE", {1, 0, 0, 0}});
}

TEST_F(ModelTest, WithoutBaseAnimationsNothingIsSelectedAndOneDoesNothing) {
  character.keep_only(false);
  velmscope_model_t& model = build();
  EXPECT_EQ(model.base_index(), velmscope_model_t::no_selection);
  EXPECT_STREQ(catalog.base_animation_name(0), "NONE");
  catalog.next_base(0);
  EXPECT_STREQ(catalog.base_animation_name(0), "NONE");
  expect_weights(model, {0, 0});
  catalog.next_side(0);
  EXPECT_STREQ(catalog.side_animation_name(0), "WAVE");
  expect_weights(model, {1000, 0});
}

TEST_F(ModelTest, WithoutSideAnimationsTwoStaysAtNone) {
  character.keep_only(true);
  velmscope_model_t& model = build();
  for (int press = 0; press < 3; ++press) {
    catalog.next_side(0);
    EXPECT_STREQ(catalog.side_animation_name(0), "NONE");
    EXPECT_EQ(model.side_index(), velmscope_model_t::no_selection);
    expect_weights(model, {1, 0, 0});
  }
}

TEST_F(ModelTest, WhenNoAnimationLoadsBothCommandsDoNothing) {
  const std::string missing = document_path("hunter/missing.qia");
  for (const char* name : {"RUN", "WALK", "BACKWALK", "WAVE", "GREET"}) character.set_animation_document(name, missing);
  velmscope_model_t& model = build();
  catalog.next_base(0);
  catalog.next_side(0);
  catalog.advance(0, 0.5f);
  EXPECT_STREQ(catalog.base_animation_name(0), "NONE");
  EXPECT_STREQ(catalog.side_animation_name(0), "NONE");
  EXPECT_EQ(model.bspline_instance().binding_count(), 0u);
  EXPECT_EQ(model.keyframe_instance().binding_count(), 0u);
  EXPECT_EQ(model.frame_step(), 0.5f);
}

TEST_F(ModelTest, AMissingSkeletonLeavesBonelessPlaybacksAndNoMesh) {
  const std::string missing = document_path("hunter/missing.qis");
  character.set_skeleton(missing);
  velmscope_model_t& model = build();
  EXPECT_EQ(messages[0], "E: cannot stat file " + missing);
  EXPECT_EQ(messages[1], "E: error parsing " + missing);
  EXPECT_EQ(model.bspline_instance().bone_count(), 0u);
  EXPECT_EQ(model.keyframe_instance().bone_count(), 0u);
  // The skin names bones that do not exist now: it is refused.
  EXPECT_EQ(model.mesh(), nullptr);
  // The animations still load and select; playing them changes nothing.
  EXPECT_STREQ(catalog.base_animation_name(0), "RUN");
  catalog.advance(0, 0.25f);
  model.bspline_instance().update();
  model.keyframe_instance().update();
}

TEST_F(ModelTest, AMissingGeometryLeavesNoMesh) {
  const std::string missing = document_path("hunter/missing.qim");
  character.set_geometry(missing);
  velmscope_model_t& model = build();
  EXPECT_EQ(messages[4], "E: cannot stat file " + missing);
  EXPECT_EQ(messages[5], "E: error parsing " + missing);
  EXPECT_EQ(model.mesh(), nullptr);
  EXPECT_EQ(model.base_count(), 3u);
}

TEST_F(ModelTest, SetMeshReplacesTheMesh) {
  velmscope_model_t& model = build();
  message_log_t quiet;
  model.set_mesh(document_path("hunter/hunter.qim").c_str());
  ASSERT_NE(model.mesh(), nullptr);
  EXPECT_EQ(model.mesh()->positions.size(), 8u);
  model.set_mesh(document_path("hunter/missing.qim").c_str());
  EXPECT_EQ(model.mesh(), nullptr);
}

TEST_F(ModelTest, ClearingTheCatalogDestroysEveryCharacter) {
  build();
  catalog.build(&character.entry(), 1);
  ASSERT_EQ(catalog.size(), 2u);
  catalog.clear();
  EXPECT_EQ(catalog.size(), 0u);
}

}  // namespace
}  // namespace keln::velmscope::testing
