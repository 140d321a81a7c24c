// The real viewer on a virtual display: what only its window shows. Its
// start-up log, its exit on "q" and on closing the window, and the pixels
// of its overlay, skins, skeletons, render modes and drags. The logic behind
// them is unit-tested; here it is seen wired to the window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/tolerances.h"
#include "viewer_session.h"

namespace keln::velmscope::testing {
namespace {

using namespace std::chrono_literals;

const rgb_t dark = {colour_byte(0.1f), colour_byte(0.1f), colour_byte(0.1f)};
const rgb_t grey = {colour_byte(0.5f), colour_byte(0.5f), colour_byte(0.5f)};
const rgb_t label_white = {255, 255, 255};
const rgb_t value_green = {colour_byte(0.2f), 255, colour_byte(0.2f)};

// The part of the window only the 3D view draws into: below the overlay's
// lines and above its credit line.
constexpr int scene_top = 215;
constexpr int scene_bottom = 745;
constexpr int centre_x = viewer_session_t::window_width / 2;

// Loading the shipped characters takes a while in a sanitizer build.
constexpr auto first_frame_timeout = 120s;
constexpr auto change_timeout = 20s;

// Red above green that marks a bone (1, 0.1, 0.1) against the lit skin,
// whose red and green are equal.
constexpr int red_margin = 12;

// What the 3D view drew in columns [x0, x1) of the scene part.
struct scene_pixels_t {
  int count = 0;    // pixels that differ from the background
  int reddish = 0;  // of them, the bones' pixels
  int min_x = 1 << 20, max_x = -1, min_y = 1 << 20, max_y = -1;
  double mean_x = 0;
  int width() const { return max_x - min_x + 1; }
  int height() const { return max_y - min_y + 1; }
};

bool drawn(const rgb_t& pixel, const rgb_t& background) {
  return !near_colour(pixel, background, keln::test::tol_colour_byte + 1);
}

scene_pixels_t scene_pixels(const rgb_image_t& image, const rgb_t& background, int x0 = 0, int x1 = -1) {
  scene_pixels_t s;
  for (int y = scene_top; y < scene_bottom; ++y)
    for (int x = x0; x < (x1 < 0 ? image.width : x1); ++x) {
      const rgb_t& pixel = image.at(x, y);
      if (!drawn(pixel, background)) continue;
      ++s.count;
      s.mean_x += x;
      s.reddish += pixel.r > pixel.g + red_margin;
      s.min_x = std::min(s.min_x, x), s.max_x = std::max(s.max_x, x);
      s.min_y = std::min(s.min_y, y), s.max_y = std::max(s.max_y, y);
    }
  if (s.count > 0) s.mean_x /= s.count;
  return s;
}

// Pixels of colour in the box [x0, x1) x [y0, y1).
int count(const rgb_image_t& image, const rgb_t& colour, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += near_colour(image.at(x, y), colour, 1);
  return n;
}

std::function<bool(const rgb_image_t&)> background_is(const rgb_t& colour) {
  return [colour](const rgb_image_t& image) { return near_colour(image.at(1010, scene_bottom - 5), colour); };
}

class viewer_e2e : public ::testing::Test {
 protected:
  // Starts the viewer in folder and waits for a first frame over the dark
  // background, with a character drawn when one is expected.
  void start_in(const std::string& folder, bool with_character) {
    ASSERT_TRUE(session.start(folder)) << session.error();
    ASSERT_TRUE(session.wait_for(
        [with_character](const rgb_image_t& image) {
          return background_is(dark)(image) && (!with_character || scene_pixels(image, dark).count > 0);
        },
        first_frame_timeout, &frame))
        << "no first frame";
  }

  // The viewer from a folder with the small hunter of documents/ only,
  // "-" pressed until the time scale is at its least: it holds almost still.
  void start_hunter() {
    const std::string folder = session.empty_folder();
    std::filesystem::copy(source_root() + "/tests/velmscope/documents/hunter", folder + "/hunter");
    start_in(folder, true);
    apply(std::string(80, '-'));
  }

  void type_and_wait(const std::string& keys, const std::function<bool(const rgb_image_t&)>& shown) {
    ASSERT_TRUE(session.type(keys));
    ASSERT_TRUE(session.wait_for(shown, change_timeout, &frame)) << "after " << keys;
  }

  // Types keys, then "c" twice: the background turning grey and dark again
  // shows that the keys were handled; frame is then drawn after them.
  void apply(const std::string& keys) {
    type_and_wait(keys + "c", background_is(grey));
    type_and_wait("c", background_is(dark));
  }

  // Quits with "q" or by closing the window; expects exit code 0 and the
  // exact output streams.
  void expect_clean_exit(bool close, const std::string& standard_output, const std::string& standard_error) {
    ASSERT_TRUE(close ? session.request_close() : session.type("q"));
    exit_status_t status;
    ASSERT_TRUE(session.wait_exit(60s, status)) << "the viewer did not end";
    EXPECT_TRUE(status.exited) << "ended by signal " << status.signal;
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(session.standard_output(), standard_output);
    EXPECT_EQ(session.standard_error(), standard_error);
  }

  viewer_session_t session;
  rgb_image_t frame;
};

std::string expected(const char* name) { return read_file(source_root() + "/tests/velmscope/expected/" + name); }

// The mean change of green between a screenshot over the dark background
// and one over the grey, where both show something: 0 where opaque surfaces
// cover the background, more where it shows through.
double green_change(const rgb_image_t& over_dark, const rgb_image_t& over_grey) {
  long sum = 0, pixels = 0;
  for (int y = scene_top; y < scene_bottom; ++y)
    for (int x = 0; x < over_dark.width; ++x)
      if (drawn(over_dark.at(x, y), dark) && drawn(over_grey.at(x, y), grey)) {
        ++pixels;
        sum += std::abs(over_dark.at(x, y).g - over_grey.at(x, y).g);
      }
  EXPECT_GT(pixels, 2000);
  return pixels > 0 ? static_cast<double>(sum) / pixels : 0.0;
}

// Without documents: the exact lines of every missing one, nothing else.
TEST_F(viewer_e2e, without_documents_q_ends_with_code_zero) {
  start_in(session.empty_folder(), false);
  expect_clean_exit(false, "", expected("empty_folder.stderr"));
}

TEST_F(viewer_e2e, closing_the_window_ends_with_code_zero) {
  start_in(session.empty_folder(), false);
  expect_clean_exit(true, "", expected("empty_folder.stderr"));
}

// The overlay's twelve lines have baselines 15 apart from 35, letters 10
// above and 3 below: white labels from x 10, green values from 130 on the
// first eight; the credit at the bottom right.
TEST_F(viewer_e2e, draws_the_overlay_and_c_and_f_change_the_background_and_the_size) {
  start_in(session.empty_folder(), false);
  EXPECT_EQ(frame.width, viewer_session_t::window_width);
  EXPECT_EQ(frame.height, viewer_session_t::window_height);
  for (int line = 0; line < 12; ++line) {
    const int top = 25 + 15 * line, bottom = top + 13;
    EXPECT_EQ(count(frame, label_white, 0, top, 10, bottom), 0) << line;
    EXPECT_GT(count(frame, label_white, 10, top, 16, bottom), 0) << line;
    EXPECT_EQ(count(frame, value_green, 0, top, 130, bottom), 0) << line;
    EXPECT_EQ(count(frame, value_green, 130, top, 136, bottom) > 0, line < 8) << line;
  }
  EXPECT_EQ(count(frame, label_white, 0, 204, frame.width, 750), 0);
  EXPECT_EQ(count(frame, label_white, 0, 750, 800, frame.height), 0);
  EXPECT_GT(count(frame, label_white, 800, 756, frame.width, frame.height), 0);
  type_and_wait("c", background_is(grey));
  type_and_wait("f", [](const rgb_image_t& image) {
    return image.width == viewer_session_t::screen_width && image.height == viewer_session_t::screen_height &&
           near_colour(image.at(image.width - 1, image.height - 1), grey);
  });
}

TEST_F(viewer_e2e, from_data_every_character_animates_in_both_playbacks_and_the_log_is_exact) {
  start_in(source_root() + "/data", true);
  apply("rr");
  for (int character = 0; character < 3; ++character) {
    SCOPED_TRACE("character " + std::to_string(character));
    EXPECT_GT(scene_pixels(frame, dark, 0, centre_x - 100).count, 1000);
    EXPECT_GT(scene_pixels(frame, dark, centre_x + 100, frame.width).count, 1000);
    const rgb_image_t first = frame;
    EXPECT_TRUE(session.wait_for(
        [&first](const rgb_image_t& image) {
          int changed = 0;
          for (int y = scene_top; y < scene_bottom; ++y)
            for (int x = 0; x < image.width; ++x) changed += !(image.at(x, y) == first.at(x, y));
          return changed > 500;
        },
        change_timeout))
        << "the character does not move";
    apply("m");
  }
  expect_clean_exit(false, expected("data_folder.stdout"), "");
}

// The skeleton shows red through the skin, which is translucent (alpha 0.6:
// 0.4 of the background's change shows) while the skeleton shows and opaque
// when "k" hides it; "p" draws the skin as lines, "s" hides it.
TEST_F(viewer_e2e, skin_and_skeleton_show_as_their_settings_say) {
  start_hunter();
  EXPECT_GT(scene_pixels(frame, dark).reddish, 50);
  rgb_image_t over_dark = frame;
  type_and_wait("c", background_is(grey));
  EXPECT_NEAR(green_change(over_dark, frame), 0.4 * (colour_byte(0.5f) - colour_byte(0.1f)), keln::test::tol_translucency);
  type_and_wait("kc", background_is(dark));
  const scene_pixels_t skin = scene_pixels(frame, dark);
  EXPECT_GT(skin.count, 2000);
  EXPECT_EQ(skin.reddish, 0);
  over_dark = frame;
  type_and_wait("c", background_is(grey));
  EXPECT_LT(green_change(over_dark, frame), keln::test::tol_colour_byte);
  type_and_wait("c", background_is(dark));
  apply("p");
  const scene_pixels_t lines = scene_pixels(frame, dark);
  EXPECT_LT(lines.count, skin.count / 3);
  EXPECT_NEAR(lines.width(), skin.width(), keln::test::tol_bounding_box);
  EXPECT_NEAR(lines.height(), skin.height(), keln::test::tol_bounding_box);
  apply("s");
  EXPECT_EQ(scene_pixels(frame, dark).count, 0) << "neither skin nor skeleton: nothing to draw";
  apply("k");
  const scene_pixels_t bones = scene_pixels(frame, dark);
  EXPECT_GT(bones.count, 50);
  EXPECT_EQ(bones.reddish, bones.count);
}

// One playback stands in the middle, both side by side; a drag to the right
// turns the characters (180 pixels: a quarter turn, the narrow side), a drag
// down moves the camera back.
TEST_F(viewer_e2e, render_modes_and_drags_place_turn_and_zoom_the_characters) {
  start_hunter();
  apply("k");
  const scene_pixels_t front = scene_pixels(frame, dark);
  EXPECT_NEAR(front.mean_x, centre_x, keln::test::tol_centring);
  apply("r");
  EXPECT_NEAR(scene_pixels(frame, dark).mean_x, centre_x, keln::test::tol_centring);
  apply("r");
  EXPECT_EQ(scene_pixels(frame, dark, centre_x - 40, centre_x + 40).count, 0);
  EXPECT_NEAR(scene_pixels(frame, dark, 0, centre_x).mean_x, centre_x - 190, keln::test::tol_side_by_side);
  EXPECT_NEAR(scene_pixels(frame, dark, centre_x, frame.width).mean_x, centre_x + 190, keln::test::tol_side_by_side);
  ASSERT_TRUE(session.drag(300, 400, 480, 400));
  apply("r");
  const scene_pixels_t side = scene_pixels(frame, dark);
  EXPECT_LT(side.width(), front.width() * 3 / 4);
  EXPECT_NEAR(side.height(), front.height(), front.height() / 10);
  ASSERT_TRUE(session.drag(480, 400, 300, 400));
  apply("");
  EXPECT_NEAR(scene_pixels(frame, dark).width(), front.width(), keln::test::tol_bounding_box);
  ASSERT_TRUE(session.drag(300, 300, 300, 400));
  apply("");
  const scene_pixels_t far = scene_pixels(frame, dark);
  EXPECT_LT(far.height(), front.height() * 2 / 3);
  EXPECT_LT(far.width(), front.width() * 2 / 3);
}

}  // namespace
}  // namespace keln::velmscope::testing
