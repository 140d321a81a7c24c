// The real viewer, driven through its window on a virtual display.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "rgb_image.h"
#include "viewer_session.h"

namespace keln::velmscope::testing {
namespace {

using namespace std::chrono_literals;

const rgb_t dark_background = {colour_byte(0.1f), colour_byte(0.1f), colour_byte(0.1f)};
const rgb_t grey_background = {colour_byte(0.5f), colour_byte(0.5f), colour_byte(0.5f)};
const rgb_t label_white = {255, 255, 255};
const rgb_t value_green = {colour_byte(0.2f), 255, colour_byte(0.2f)};

// Baselines of the overlay's twelve lines, in window pixels (the window is
// the overlay's 1024 x 768).
constexpr int first_line = 35;
constexpr int line_spacing = 15;
constexpr int line_count = 12;
constexpr int value_lines = 8;  // the first eight lines have a value

// A point of the view that no text covers.
constexpr int clear_x = 600;
constexpr int clear_y = 400;

// Number of pixels of colour in the box [x0, x1) x [y0, y1).
int count(const rgb_image_t& image, const rgb_t& colour, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) n += near_colour(image.at(x, y), colour, 1);
  }
  return n;
}

// The text box of the overlay line whose baseline is y: letters rise up to
// 10 pixels above it and descend 3 below.
int text_top(int baseline) { return baseline - 10; }
int text_bottom(int baseline) { return baseline + 3; }

// Rightmost column holding colour in the text box of baseline y, or -1.
int rightmost(const rgb_image_t& image, const rgb_t& colour, int baseline) {
  for (int x = image.width - 1; x >= 0; --x) {
    if (count(image, colour, x, text_top(baseline), x + 1, text_bottom(baseline)) > 0) return x;
  }
  return -1;
}

bool background_is(const rgb_image_t& image, const rgb_t& colour) {
  return near_colour(image.at(clear_x, clear_y), colour) && near_colour(image.at(0, image.height - 1), colour);
}

class ViewerEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session.start(session.empty_folder())) << session.error();
    ASSERT_TRUE(session.wait_for([](const rgb_image_t& image) { return background_is(image, dark_background); }, 20s,
                                 &frame))
        << "the first frame never showed the dark background";
  }

  // Waits for the viewer to end and expects a clean exit. From an empty
  // folder no character document loads: nothing goes to the standard output
  // and the standard error holds exactly the lines of the missing documents.
  void expect_clean_exit() {
    exit_status_t status;
    ASSERT_TRUE(session.wait_exit(10s, status)) << "the viewer did not end";
    EXPECT_TRUE(status.exited) << "ended by signal " << status.signal;
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(session.standard_output(), "");
    EXPECT_EQ(session.standard_error(), read_file(source_root() + "/tests/velmscope/expected/empty_folder.stderr"));
  }

  viewer_session_t session;
  rgb_image_t frame;
};

TEST_F(ViewerEndToEnd, OpensTheWindowAtTheOverlaySize) {
  EXPECT_EQ(frame.width, viewer_session_t::window_width);
  EXPECT_EQ(frame.height, viewer_session_t::window_height);
}

TEST_F(ViewerEndToEnd, DrawsWhiteLabelsAtTenAndGreenValuesAtOneThirty) {
  for (int line = 0; line < line_count; ++line) {
    const int y = first_line + line * line_spacing;
    SCOPED_TRACE("line at y " + std::to_string(y));
    // Labels start at x 10 (a glyph may begin a pixel or two into its cell).
    EXPECT_EQ(count(frame, label_white, 0, text_top(y), 10, text_bottom(y)), 0);
    EXPECT_GT(count(frame, label_white, 10, text_top(y), 16, text_bottom(y)), 0);
    EXPECT_EQ(count(frame, value_green, 0, text_top(y), 130, text_bottom(y)), 0);
    const bool has_value = line < value_lines;
    const int green = count(frame, value_green, 130, text_top(y), 136, text_bottom(y));
    if (has_value) {
      EXPECT_GT(green, 0);
    } else {
      EXPECT_EQ(count(frame, value_green, 130, text_top(y), frame.width, text_bottom(y)), 0);
    }
  }
  // Nothing between the last line and the credit.
  EXPECT_EQ(count(frame, label_white, 0, text_bottom(200) + 1, frame.width, 750), 0);
}

TEST_F(ViewerEndToEnd, DrawsTheCreditAtTheBottomRight) {
  EXPECT_EQ(count(frame, label_white, 0, 750, 800, frame.height), 0);
  EXPECT_GT(count(frame, label_white, 800, 756, 1024, frame.height), 0);
}

TEST_F(ViewerEndToEnd, CTogglesTheBackgroundBetweenDarkAndMidGrey) {
  ASSERT_TRUE(session.type("c"));
  EXPECT_TRUE(session.wait_for([](const rgb_image_t& image) { return background_is(image, grey_background); }, 10s));
  ASSERT_TRUE(session.type("C"));
  EXPECT_TRUE(session.wait_for([](const rgb_image_t& image) { return background_is(image, dark_background); }, 10s));
}

TEST_F(ViewerEndToEnd, RCyclesTheRenderModeNameInTheOverlay) {
  const int render_line = first_line + 4 * line_spacing;
  const int short_name_end = rightmost(frame, value_green, render_line);
  ASSERT_GT(short_name_end, 130);
  // "B-spline (left) & Keyframe (right)" is more than twice as long as
  // "B-spline only".
  ASSERT_TRUE(session.type("rr"));
  EXPECT_TRUE(session.wait_for(
      [&](const rgb_image_t& image) { return rightmost(image, value_green, render_line) > 2 * short_name_end - 130; },
      10s));
  ASSERT_TRUE(session.type("R"));
  EXPECT_TRUE(session.wait_for(
      [&](const rgb_image_t& image) { return rightmost(image, value_green, render_line) == short_name_end; }, 10s));
}

TEST_F(ViewerEndToEnd, KeysOutsideTheCommandsAndMouseDragsChangeNothingShown) {
  ASSERT_TRUE(session.type("axz09!/"));
  session.display().drag(session.window(), 500, 400, 540, 460);
  // Proof that the keys above were handled: a later command shows.
  ASSERT_TRUE(session.type("c"));
  rgb_image_t after;
  ASSERT_TRUE(
      session.wait_for([](const rgb_image_t& image) { return background_is(image, grey_background); }, 10s, &after));
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const rgb_t expected = frame.at(x, y) == dark_background ? grey_background : frame.at(x, y);
      ASSERT_EQ(after.at(x, y), expected) << "at " << x << ", " << y;
    }
  }
}

TEST_F(ViewerEndToEnd, FGoesFullScreen) {
  ASSERT_TRUE(session.type("f"));
  EXPECT_TRUE(session.wait_for(
      [](const rgb_image_t& image) {
        return image.width == virtual_display_t::screen_width && image.height == virtual_display_t::screen_height &&
               near_colour(image.at(image.width - 1, image.height - 1), dark_background);
      },
      10s));
}

TEST_F(ViewerEndToEnd, LowerCaseQEndsWithExitCodeZero) {
  ASSERT_TRUE(session.type("q"));
  expect_clean_exit();
}

TEST_F(ViewerEndToEnd, UpperCaseQEndsWithExitCodeZero) {
  ASSERT_TRUE(session.type("Q"));
  expect_clean_exit();
}

TEST_F(ViewerEndToEnd, ClosingTheWindowEndsWithExitCodeZero) {
  session.display().request_close(session.window());
  expect_clean_exit();
}

}  // namespace
}  // namespace keln::velmscope::testing
