// The real viewer comparing the playbacks of ELEPHANT's gallop, both shown:
// the difference readout and colouring (D), pausing (Space) and stepping
// ("."), driven through its window on a virtual display.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "rgb_image.h"
#include "viewer_session.h"

namespace keln::velmscope::testing {
namespace {

using namespace std::chrono_literals;

const rgb_t dark_background = {colour_byte(0.1f), colour_byte(0.1f), colour_byte(0.1f)};
const rgb_t value_green = {colour_byte(0.2f), 255, colour_byte(0.2f)};

// Loading and fitting the shipped characters takes a while in a sanitizer build.
constexpr auto first_frame_timeout = 120s;
constexpr auto change_timeout = 20s;

// Columns of the left (B-spline) and right (keyframe) characters when both
// show, and the rows of the view below every overlay line.
constexpr int left_end = 330;
constexpr int right_start = 694;
constexpr int view_top = 260;
constexpr int view_bottom = 745;
// The readout's value: right of x = 130 on the line at y = 215.
constexpr int readout_top = 205;
constexpr int readout_bottom = 218;
constexpr int value_x = 130;
// A point of the colouring's legend.
constexpr int legend_x = 195;
constexpr int legend_y = 241;

// Pixels of [x0, x1) x [y0, y1) that satisfy test.
int count(const rgb_image_t& image, int x0, int y0, int x1, int y1, const std::function<bool(const rgb_t&)>& test) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += test(image.at(x, y));
  return n;
}

bool drawn(const rgb_t& p) { return !near_colour(p, dark_background); }
// Yellow to orange: red and green well above blue. The plain skin is blue,
// the bones red with as little green as blue.
bool warm(const rgb_t& p) { return p.r > p.b + 20 && p.g > p.b + 20; }
bool green(const rgb_t& p) { return near_colour(p, value_green, 1); }

int warm_left(const rgb_image_t& image) { return count(image, 0, view_top, left_end, view_bottom, warm); }
int warm_right(const rgb_image_t& image) {
  return count(image, right_start, view_top, image.width, view_bottom, warm);
}
int readout_pixels(const rgb_image_t& image) {
  return count(image, value_x, readout_top, image.width, readout_bottom, green);
}

// A whole frame: the window read back after the viewer drew into it (a
// screenshot taken at the wrong moment may come back black).
bool whole(const rgb_image_t& image) { return near_colour(image.at(1010, view_bottom - 5), dark_background); }

bool same_view(const rgb_image_t& a, const rgb_image_t& b) {
  for (int y = view_top; y < view_bottom; ++y)
    for (int x = 0; x < a.width; ++x)
      if (!(a.at(x, y) == b.at(x, y))) return false;
  return true;
}

class DifferenceEndToEnd : public ::testing::Test {
 protected:
  // ELEPHANT ("mm"), its gallop ("1"), both playbacks side by side ("rr").
  void SetUp() override {
    ASSERT_TRUE(session.start(source_root() + "/data")) << session.error();
    ASSERT_TRUE(session.wait_for(
        [](const rgb_image_t& image) { return count(image, 0, view_top, image.width, view_bottom, drawn) > 1000; },
        first_frame_timeout))
        << "no character was drawn";
    type_and_wait("mm1rr", [](const rgb_image_t& image) {
      return count(image, 0, view_top, left_end, view_bottom, drawn) > 1000 &&
             count(image, right_start, view_top, image.width, view_bottom, drawn) > 1000;
    });
  }

  void type_and_wait(const std::string& keys, const std::function<bool(const rgb_image_t&)>& shown) {
    ASSERT_TRUE(session.type(keys));
    ASSERT_TRUE(session.wait_for([&shown](const rgb_image_t& image) { return whole(image) && shown(image); },
                                 change_timeout, &frame))
        << "after \"" << keys << "\"";
  }

  // Pauses: frame is the first picture that stays the same for 0.3 s (the
  // gallop and the turn change every picture while playing).
  void pause() {
    ASSERT_TRUE(session.type(" "));
    for (int tries = 0; tries < 60; ++tries) {
      frame = picture();
      std::this_thread::sleep_for(300ms);
      if (picture().pixels == frame.pixels) return;
    }
    FAIL() << "the picture never stood still";
  }

  // A whole frame now.
  rgb_image_t picture() {
    rgb_image_t image;
    EXPECT_TRUE(session.wait_for(whole, change_timeout, &image)) << "no whole frame";
    return image;
  }

  viewer_session_t session;
  rgb_image_t frame;
};

TEST_F(DifferenceEndToEnd, DColoursTheLeftSkinAndDAgainRestoresThePicture) {
  pause();
  const rgb_image_t plain = frame;
  type_and_wait("d", [](const rgb_image_t& image) { return drawn(image.at(legend_x, legend_y)); });
  // Step through the gallop to a moment where the playbacks differ well.
  for (int steps = 0; steps < 40 && warm_left(frame) <= 1000; ++steps) {
    const rgb_image_t before = frame;
    type_and_wait(".", [&before](const rgb_image_t& image) { return !same_view(image, before); });
  }
  const rgb_image_t coloured = frame;
  EXPECT_GT(warm_left(coloured), 1000) << "the left skin never turned yellow or red";
  EXPECT_LT(warm_left(plain), 50);
  EXPECT_LT(warm_right(coloured), 50) << "the keyframe skin keeps its colour";

  type_and_wait("d", [](const rgb_image_t& image) { return !drawn(image.at(legend_x, legend_y)); });
  const rgb_image_t uncoloured = frame;
  EXPECT_LT(warm_left(uncoloured), 50);
  type_and_wait("d", [&coloured](const rgb_image_t& image) { return same_view(image, coloured); });
  type_and_wait("d", [&uncoloured](const rgb_image_t& image) { return same_view(image, uncoloured); });
}

TEST_F(DifferenceEndToEnd, DShowsALiveReadout) {
  EXPECT_EQ(readout_pixels(frame), 0);
  type_and_wait("d", [](const rgb_image_t& image) { return readout_pixels(image) > 0; });
  const int first = readout_pixels(frame);
  EXPECT_TRUE(session.wait_for([first](const rgb_image_t& image) { return readout_pixels(image) != first; },
                               change_timeout))
      << "the readout's number does not change while the characters move";
}

TEST_F(DifferenceEndToEnd, SpaceFreezesDotStepsOnceAndSpaceResumes) {
  pause();
  const rgb_image_t frozen = frame;
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(picture().pixels == frozen.pixels) << "the picture moved while paused";

  type_and_wait(".", [&frozen](const rgb_image_t& image) { return !same_view(image, frozen); });
  const rgb_image_t stepped = frame;
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(same_view(picture(), stepped)) << "one step moved the picture more than once";

  type_and_wait(" ", [&stepped](const rgb_image_t& image) { return !same_view(image, stepped); });
  const rgb_image_t resumed = frame;
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(same_view(picture(), resumed)) << "the picture stands still after resuming";
}

}  // namespace
}  // namespace keln::velmscope::testing
