// The real viewer with characters: what it logs while loading them, how it
// draws them and how its commands act on them, driven through its window on
// a virtual display.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "rgb_image.h"
#include "scene_image.h"
#include "viewer_session.h"

namespace keln::velmscope::testing {
namespace {

using namespace std::chrono_literals;

const rgb_t dark_background = {colour_byte(0.1f), colour_byte(0.1f), colour_byte(0.1f)};
const rgb_t grey_background = {colour_byte(0.5f), colour_byte(0.5f), colour_byte(0.5f)};

// Overlay baselines of the lines with the character's and the animations'
// names.
constexpr int model_line = 35;
constexpr int base_line = 125;
constexpr int side_line = 140;

constexpr int centre_x = viewer_session_t::window_width / 2;

// Loading the shipped characters takes a while in a sanitizer build.
constexpr auto first_frame_timeout = 120s;
constexpr auto change_timeout = 20s;

std::string expected_file(const std::string& name) {
  return read_file(source_root() + "/tests/velmscope/expected/" + name);
}

// Compares a stream's whole text with an expected file; on a difference the
// text is written next to the test program for inspection (and for taking
// over as the new expectation once reviewed).
void expect_output(const std::string& actual, const std::string& expected_name) {
  const std::string expected = expected_file(expected_name);
  if (actual == expected) return;
  const std::string path = (std::filesystem::current_path() / ("actual_" + expected_name)).string();
  std::ofstream(path, std::ios::binary) << actual;
  ADD_FAILURE() << "the output differs from tests/velmscope/expected/" << expected_name << "; it was written to "
                << path;
}

bool something_drawn(const rgb_image_t& image) { return scene_pixels(image, dark_background).count > 0; }

// A whole frame of the viewer with a character: the dark background, the
// character's name in the overlay and something drawn in the view (a window
// not yet drawn into is black).
bool character_frame(const rgb_image_t& image) {
  return near_colour(image.at(1010, scene_bottom - 5), dark_background) && !overlay_value(image, model_line).empty() &&
         something_drawn(image);
}

class CharactersEndToEnd : public ::testing::Test {
 protected:
  // Starts the viewer in folder and waits for a first frame that shows a
  // character.
  void start_in(const std::string& folder) {
    ASSERT_TRUE(session.start(folder)) << session.error();
    ASSERT_TRUE(session.wait_for(character_frame, first_frame_timeout, &frame)) << "no character was drawn";
  }

  // Types keys and waits for a frame that satisfies shown.
  void type_and_wait(const std::string& keys, const std::function<bool(const rgb_image_t&)>& shown,
                     const char* what) {
    ASSERT_TRUE(session.type(keys));
    ASSERT_TRUE(session.wait_for(shown, change_timeout, &frame)) << what;
  }

  // Types keys, then "c" twice: the background turning grey and dark again
  // shows that the keys before were handled; frame is then a frame drawn
  // after them.
  void apply(const std::string& keys) {
    type_and_wait(keys + "c", background_is(grey_background), "the background did not turn grey");
    type_and_wait("c", background_is(dark_background), "the background did not turn dark again");
  }

  // Holds the animations and the automatic turn almost still: "-" until the
  // time scale is at its least, 0.001.
  void slow_down() { apply(std::string(80, '-')); }

  static std::function<bool(const rgb_image_t&)> background_is(const rgb_t& colour) {
    return [colour](const rgb_image_t& image) { return near_colour(image.at(1010, scene_bottom - 5), colour); };
  }

  void quit_expecting_code_zero() {
    ASSERT_TRUE(session.type("q"));
    exit_status_t status;
    ASSERT_TRUE(session.wait_exit(60s, status)) << "the viewer did not end";
    EXPECT_TRUE(status.exited) << "ended by signal " << status.signal;
    EXPECT_EQ(status.code, 0);
  }

  viewer_session_t session;
  rgb_image_t frame;
};

// Rightmost column of an overlay value text (overlay_value).
int right_end(const std::vector<int>& value) {
  int end = -1;
  for (int position : value) end = std::max(end, position % viewer_session_t::window_width);
  return end;
}

// Whether an overlay line's value text differs from / equals a value read
// before.
std::function<bool(const rgb_image_t&)> value_differs(int baseline, const std::vector<int>& old_value) {
  return [baseline, old_value](const rgb_image_t& image) { return overlay_value(image, baseline) != old_value; };
}

std::function<bool(const rgb_image_t&)> value_is(int baseline, const std::vector<int>& value) {
  return [baseline, value](const rgb_image_t& image) { return overlay_value(image, baseline) == value; };
}

// The viewer run from a folder that holds the small test documents of the
// hunter only.
class HunterOnlyFolder : public CharactersEndToEnd {
 protected:
  void SetUp() override {
    const std::string folder = session.empty_folder();
    std::filesystem::copy(source_root() + "/tests/velmscope/documents/hunter", folder + "/hunter");
    start_in(folder);
  }
};

TEST_F(HunterOnlyFolder, ReportsTheMissingDocumentsOfTheOtherCharactersAndStillRuns) {
  quit_expecting_code_zero();
  expect_output(session.standard_output(), "hunter_only.stdout");
  expect_output(session.standard_error(), "hunter_only.stderr");
}

TEST_F(HunterOnlyFolder, MCyclesThroughTheThreeCharacters) {
  const std::vector<int> hunter = overlay_value(frame, model_line);
  const std::vector<int> none = overlay_value(frame, side_line);
  ASSERT_FALSE(hunter.empty());
  ASSERT_FALSE(none.empty());

  type_and_wait("m", value_differs(model_line, hunter), "the name did not change");
  const std::vector<int> horse = overlay_value(frame, model_line);
  // Without documents the horse has neither animations nor anything to draw,
  // and "1" and "2" find nothing to select.
  EXPECT_EQ(overlay_value(frame, base_line), none);
  EXPECT_FALSE(something_drawn(frame));
  apply("12");
  EXPECT_EQ(overlay_value(frame, model_line), horse);
  EXPECT_EQ(overlay_value(frame, base_line), none);
  EXPECT_EQ(overlay_value(frame, side_line), none);

  type_and_wait("M", value_differs(model_line, horse), "the name did not change");
  const std::vector<int> elephant = overlay_value(frame, model_line);
  EXPECT_NE(elephant, hunter);
  EXPECT_EQ(overlay_value(frame, base_line), none);
  EXPECT_FALSE(something_drawn(frame));

  type_and_wait("m", value_is(model_line, hunter), "the hunter did not come back");
  EXPECT_TRUE(something_drawn(frame));
  // "HORSE" is the shortest name, "ELEPHANT" the longest.
  EXPECT_LT(right_end(horse), right_end(hunter));
  EXPECT_LT(right_end(hunter), right_end(elephant));
}

TEST_F(HunterOnlyFolder, OneCyclesTheBaseAnimationsAndTwoTheSideAnimationsThroughNone) {
  const std::vector<int> run = overlay_value(frame, base_line);
  const std::vector<int> none = overlay_value(frame, side_line);

  type_and_wait("1", value_differs(base_line, run), "\"1\" did not change the base animation");
  const std::vector<int> walk = overlay_value(frame, base_line);
  type_and_wait("1", value_differs(base_line, walk), "\"1\" did not change the base animation");
  const std::vector<int> backwalk = overlay_value(frame, base_line);
  EXPECT_NE(backwalk, run);
  // "BACKWALK" is longer than "WALK".
  EXPECT_GT(right_end(backwalk), right_end(walk));
  type_and_wait("1", value_is(base_line, run), "the third \"1\" did not return to the first base animation");
  EXPECT_EQ(overlay_value(frame, side_line), none);

  type_and_wait("2", value_differs(side_line, none), "\"2\" did not select a side animation");
  const std::vector<int> wave = overlay_value(frame, side_line);
  type_and_wait("2", value_differs(side_line, wave), "\"2\" did not change the side animation");
  EXPECT_NE(overlay_value(frame, side_line), none);
  type_and_wait("2", value_is(side_line, none), "the third \"2\" did not turn the side animation off");
  EXPECT_EQ(overlay_value(frame, base_line), run);
}

TEST_F(HunterOnlyFolder, RenderModesDrawOneCharacterInTheMiddleOrTwoSideBySide) {
  constexpr int render_line = 95;
  for (int mode = 1; mode <= 2; ++mode) {
    SCOPED_TRACE("render mode " + std::to_string(mode));
    const scene_pixels_t one = scene_pixels(frame, dark_background);
    EXPECT_NEAR(one.mean_x, centre_x, 40);
    EXPECT_GT(one.min_x, centre_x - 150);
    EXPECT_LT(one.max_x, centre_x + 150);
    type_and_wait("r", value_differs(render_line, overlay_value(frame, render_line)), "the render mode stayed");
  }
  const scene_pixels_t left = scene_pixels(frame, dark_background, 0, centre_x);
  const scene_pixels_t right = scene_pixels(frame, dark_background, centre_x, frame.width);
  EXPECT_EQ(scene_pixels(frame, dark_background, centre_x - 40, centre_x + 40).count, 0);
  EXPECT_GT(left.count, 0);
  EXPECT_GT(right.count, 0);
  EXPECT_NEAR(left.mean_x, centre_x - 190, 60);
  EXPECT_NEAR(right.mean_x, centre_x + 190, 60);
}

TEST_F(HunterOnlyFolder, TheSkeletonShowsInRedThroughATranslucentSkinAndHiddenLeavesItOpaque) {
  slow_down();
  rgb_image_t over_dark = frame;
  EXPECT_GT(scene_pixels(over_dark, dark_background).reddish, 50);
  type_and_wait("c", background_is(grey_background), "the background did not turn grey");
  const background_change_t translucent = background_change(over_dark, dark_background, frame, grey_background);
  EXPECT_GT(translucent.pixels, 2000);
  // Alpha 0.6: 0.4 of the background's change (0.1 to 0.5) shows through.
  EXPECT_NEAR(translucent.mean_green_change, 0.4 * (colour_byte(0.5f) - colour_byte(0.1f)), 8);

  type_and_wait("kc", background_is(dark_background), "the background did not turn dark again");
  over_dark = frame;
  const scene_pixels_t hidden = scene_pixels(over_dark, dark_background);
  EXPECT_GT(hidden.count, 2000);
  EXPECT_EQ(hidden.reddish, 0);
  type_and_wait("c", background_is(grey_background), "the background did not turn grey");
  const background_change_t opaque = background_change(over_dark, dark_background, frame, grey_background);
  EXPECT_GT(opaque.pixels, 2000);
  EXPECT_LT(opaque.mean_green_change, 2);
}

TEST_F(HunterOnlyFolder, SkinAloneIsBlueAndBonesAloneAreRed) {
  slow_down();
  apply("s");
  const scene_pixels_t bones = scene_pixels(frame, dark_background);
  EXPECT_GT(bones.count, 50);
  EXPECT_EQ(bones.reddish, bones.count);
  apply("k");
  EXPECT_EQ(scene_pixels(frame, dark_background).count, 0) << "neither skin nor skeleton: nothing to draw";
  apply("s");
  const scene_pixels_t skin = scene_pixels(frame, dark_background);
  EXPECT_GT(skin.count, 2000);
  EXPECT_EQ(skin.reddish, 0);
}

TEST_F(HunterOnlyFolder, PDrawsTheSkinAsLines) {
  slow_down();
  apply("k");
  const scene_pixels_t filled = scene_pixels(frame, dark_background);
  apply("p");
  const scene_pixels_t lines = scene_pixels(frame, dark_background);
  EXPECT_LT(lines.count, filled.count / 3);
  EXPECT_NEAR(lines.width(), filled.width(), 4);
  EXPECT_NEAR(lines.height(), filled.height(), 4);
  apply("P");
  EXPECT_NEAR(scene_pixels(frame, dark_background).count, filled.count, filled.count / 50);
}

TEST_F(HunterOnlyFolder, AMouseDragTurnsTheCharactersAndMovesTheCamera) {
  slow_down();
  apply("k");
  const scene_pixels_t front = scene_pixels(frame, dark_background);
  // 180 pixels to the right: a quarter turn, showing the narrow side.
  session.display().drag(session.window(), 300, 400, 480, 400);
  apply("");
  const scene_pixels_t side = scene_pixels(frame, dark_background);
  EXPECT_LT(side.width(), front.width() * 3 / 4);
  EXPECT_NEAR(side.height(), front.height(), front.height() / 10);
  // Back again.
  session.display().drag(session.window(), 480, 400, 300, 400);
  apply("");
  EXPECT_NEAR(scene_pixels(frame, dark_background).width(), front.width(), 4);
  // 100 pixels down: the camera moves 10 back, the character looks smaller.
  session.display().drag(session.window(), 300, 300, 300, 400);
  apply("");
  const scene_pixels_t far = scene_pixels(frame, dark_background);
  EXPECT_LT(far.height(), front.height() * 2 / 3);
  EXPECT_LT(far.width(), front.width() * 2 / 3);
}

// The viewer run from data/, with the three shipped characters.
class ShippedCharacters : public CharactersEndToEnd {
 protected:
  void SetUp() override { start_in(source_root() + "/data"); }
};

TEST_F(ShippedCharacters, LogsEveryDocumentOfTheThreeCharactersAndQEndsWithCodeZero) {
  quit_expecting_code_zero();
  expect_output(session.standard_output(), "data_folder.stdout");
  EXPECT_EQ(session.standard_error(), "");
}

TEST_F(ShippedCharacters, EveryCharacterAnimatesInBothPlaybacks) {
  apply("rr");
  for (int character = 0; character < 3; ++character) {
    SCOPED_TRACE("character " + std::to_string(character));
    EXPECT_GT(scene_pixels(frame, dark_background, 0, centre_x - 100).count, 1000);
    EXPECT_GT(scene_pixels(frame, dark_background, centre_x + 100, frame.width).count, 1000);
    const rgb_image_t first = frame;
    ASSERT_TRUE(session.wait_for(
        [&first](const rgb_image_t& image) {
          int changed = 0;
          for (int y = scene_top; y < scene_bottom; ++y) {
            for (int x = 0; x < image.width; ++x) changed += !(image.at(x, y) == first.at(x, y));
          }
          return changed > 500;
        },
        change_timeout))
        << "the character does not move";
    type_and_wait("m", value_differs(model_line, overlay_value(frame, model_line)), "the name did not change");
  }
}

}  // namespace
}  // namespace keln::velmscope::testing
