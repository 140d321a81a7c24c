// The real viewer on a virtual display: only what its window shows (the logic
// behind it is unit-tested), its exact output, and a sanitizer build's run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/tolerances.h"
#include "viewer_session.h"

namespace keln::velmscope::testing {
namespace {

using namespace std::chrono_literals;
using image_test_t = std::function<bool(const rgb_image_t&)>;

const rgb_t dark = grey_of(0.1f), grey = grey_of(0.5f), white = {255, 255, 255}, value_green = {51, 255, 51};
// The 3D view below every overlay line and the colouring's legend, above the
// credit line; the columns of the left (B-spline) and right (keyframe)
// playback when both show.
constexpr int scene_top = 260, scene_bottom = 745, left_end = 330, right_start = 694;
constexpr int centre_x = viewer_session_t::window_width / 2;
// Generous: a sanitizer build, or a heavily loaded machine, is slow to load
// and draw; the harness polls, so a quick viewer does not wait for them.
constexpr auto first_frame_timeout = 240s, change_timeout = 60s, exit_timeout = 120s;

// Pixels of the box [x0, x1) x [y0, y1) that pass test.
int count(const rgb_image_t& image, int x0, int y0, int x1, int y1, const std::function<bool(const rgb_t&)>& test) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += test(image.at(x, y));
  return n;
}
int in_view(const rgb_image_t& image, int x0, int x1, const std::function<bool(const rgb_t&)>& test) {
  return count(image, x0, scene_top, x1, scene_bottom, test);
}
int in_view(const rgb_image_t& image, const std::function<bool(const rgb_t&)>& test) {
  return in_view(image, 0, image.width, test);
}

bool drawn(const rgb_t& p) { return !near_colour(p, dark, keln::test::tol_colour_byte + 1); }
// The bones are red (1, 0.1, 0.1); the plain skin is lit blue, the coloured
// one turns yellow to red where the playbacks differ.
bool bone(const rgb_t& p) { return drawn(p) && p.r > p.g + 12; }
bool skin_blue(const rgb_t& p) { return p.b > p.r + 30 && p.b > p.g + 30; }
bool warm(const rgb_t& p) { return p.r > p.b + 20 && p.g > p.b + 20; }

// Drawn pixels of the view next to the background on their left: few on a
// filled skin, many on one drawn as lines.
int edges(const rgb_image_t& image) {
  int n = 0;
  for (int y = scene_top; y < scene_bottom; ++y)
    for (int x = 1; x < image.width; ++x) n += drawn(image.at(x, y)) && !drawn(image.at(x - 1, y));
  return n;
}

// The text of an expected output file in tests/velmscope/expected.
std::string expected(const char* name) { return read_file(source_root() + "/tests/velmscope/expected/" + name); }

// The viewer ends with status 0, having written exactly out and err.
void expect_exit(viewer_session_t& session, const std::string& out, const std::string& err) {
  EXPECT_EQ(session.wait_exit(exit_timeout), 0);
  EXPECT_EQ(session.standard_output(), out);
  EXPECT_EQ(session.standard_error(), err);
}

image_test_t background_is(const rgb_t& colour) {
  return [colour](const rgb_image_t& image) { return near_colour(image.at(1010, scene_bottom - 5), colour, 2); };
}

// The columns [x0, x1) of the view differ in more than a few pixels.
image_test_t differs_from(const rgb_image_t& before, int x0 = 0, int x1 = viewer_session_t::window_width) {
  return [&before, x0, x1](const rgb_image_t& image) {
    int changed = 0;
    for (int y = scene_top; y < scene_bottom; ++y)
      for (int x = x0; x < x1; ++x) changed += !near_colour(image.at(x, y), before.at(x, y), 0);
    return changed > 500;
  };
}

// The overlay: white labels from x 10 and green values from x 130 on
// its lines (baselines from 35 to 200, letters 10 above), the credit at the
// bottom right. "c" turns the background grey, "f" the window full screen.
TEST(viewer_e2e, without_documents_draws_the_overlay_and_ends_with_zero_when_the_window_closes) {
  viewer_session_t session;
  ASSERT_TRUE(session.start(session.folder()));
  rgb_image_t frame;
  ASSERT_TRUE(session.wait_for(background_is(dark), first_frame_timeout, &frame));
  ASSERT_EQ(frame.width, viewer_session_t::window_width);
  ASSERT_EQ(frame.height, viewer_session_t::window_height);
  auto is = [](const rgb_t& colour) { return [colour](const rgb_t& p) { return near_colour(p, colour, 1); }; };
  EXPECT_EQ(count(frame, 0, 25, 10, 750, is(white)) + count(frame, 0, 25, 130, 750, is(value_green)), 0);
  EXPECT_GT(count(frame, 10, 25, 16, 38, is(white)) * count(frame, 10, 190, 16, 203, is(white)), 0);
  EXPECT_GT(count(frame, 130, 25, 136, 38, is(value_green)) * count(frame, 130, 130, 136, 143, is(value_green)), 0);
  EXPECT_EQ(count(frame, 0, 204, frame.width, 750, is(white)), 0);
  EXPECT_GT(count(frame, 800, 756, frame.width, frame.height, is(white)), 0);
  ASSERT_TRUE(session.type("c"));
  EXPECT_TRUE(session.wait_for(background_is(grey), change_timeout));
  ASSERT_TRUE(session.type("f"));
  EXPECT_TRUE(session.wait_for(
      [](const rgb_image_t& image) { return image.width == 1280 && near_colour(image.at(1279, 1023), grey, 2); },
      change_timeout));
  ASSERT_TRUE(session.request_close());
  expect_exit(session, "", expected("empty_folder.stderr"));
}

// On the shipped characters, in one session: the skeleton and skin
// switches (drawn from the settings only here), ELEPHANT's gallop ("mm1") in
// each render mode, pausing, stepping and the difference colouring, a drag,
// and "q" with the exact start-up log.
TEST(viewer_e2e, from_data_every_key_changes_the_picture_as_it_says_and_the_log_is_exact) {
  viewer_session_t session;
  ASSERT_TRUE(session.start(source_root() + "/data"));
  rgb_image_t frame, before;
  ASSERT_TRUE(session.wait_for([](const rgb_image_t& i) { return background_is(dark)(i) && in_view(i, drawn) > 1000; },
                               first_frame_timeout, &frame));
  auto shows = [&](const std::string& keys, const image_test_t& shown) {
    before = frame;
    EXPECT_TRUE(session.type(keys));
    EXPECT_TRUE(session.wait_for([&shown](const rgb_image_t& i) { return background_is(dark)(i) && shown(i); },
                                 change_timeout, &frame))
        << "after \"" << keys << "\"";
  };
  // HUNTER: skeleton and skin switched off and on, the skin drawn as lines.
  EXPECT_GT(in_view(frame, bone), 50);
  shows("k", [](const rgb_image_t& i) { return in_view(i, bone) == 0 && in_view(i, drawn) > 2000; });
  const int filled = edges(frame);
  shows("p", [filled](const rgb_image_t& i) { return edges(i) > 2 * filled; });
  shows("s", [](const rgb_image_t& i) { return in_view(i, drawn) == 0; });
  shows("k", [](const rgb_image_t& i) { return in_view(i, bone) > 50 && in_view(i, bone) == in_view(i, drawn); });
  shows("ps", [](const rgb_image_t& i) { return in_view(i, drawn) - in_view(i, bone) > 2000; });
  // The keyframe playback alone: the render mode's name on the overlay
  // changes, the character stays in the middle.
  auto render_mode_line = [](const rgb_image_t& i) { return i.bytes.substr(3 * 85 * i.width, 3 * 13 * i.width); };
  const std::string bspline_only = render_mode_line(frame);
  shows("mm1r", [&](const rgb_image_t& i) {
    return render_mode_line(i) != bspline_only && in_view(i, centre_x - 100, centre_x + 100, drawn) > 1000;
  });
  // Both: side by side, each moving.
  const std::string keyframe_only = render_mode_line(frame);
  shows("r", [&](const rgb_image_t& i) {
    return render_mode_line(i) != keyframe_only && in_view(i, 0, left_end, drawn) > 1000 &&
           in_view(i, right_start, i.width, drawn) > 1000;
  });
  shows("", [&](const rgb_image_t& i) {
    return differs_from(before, 0, left_end)(i) && differs_from(before, right_start, i.width)(i);
  });

  // Space pauses: the picture stands still after the steps below (the gallop
  // and the turn change every picture while playing).
  ASSERT_TRUE(session.type(" "));
  EXPECT_LT(in_view(frame, 0, left_end, warm), 50);
  shows("d", [](const rgb_image_t& i) { return drawn(i.at(195, 241)); });  // the legend
  // "." steps, once each, to where the playbacks differ well: only the
  // B-spline skin is coloured.
  for (int steps = 0; steps < 40 && in_view(frame, 0, left_end, warm) <= 1000; ++steps) shows(".", differs_from(frame));
  EXPECT_GT(in_view(frame, 0, left_end, warm), 1000) << "the left skin never turned yellow or red";
  EXPECT_LT(in_view(frame, right_start, frame.width, warm), 50) << "the keyframe skin keeps its colour";
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(session.wait_for([&](const rgb_image_t& i) { return !differs_from(frame)(i); }, 0s));
  shows("d", [](const rgb_image_t& i) { return !drawn(i.at(195, 241)) && in_view(i, 0, left_end, warm) < 50; });
  // A drag turns the characters while paused; Space resumes.
  EXPECT_EQ(session.run("xdotool mousemove --sync 300 400 mousedown 1 mousemove --sync 480 400 mouseup 1"), 0);
  shows("", differs_from(frame));
  shows(" ", differs_from(frame));

  ASSERT_TRUE(session.type("q"));
  expect_exit(session, expected("data_folder.stdout"), "");
}


TEST(viewer_import_e2e, an_imported_character_is_drawn_and_its_loading_logged_exactly) {
  viewer_session_t session;
  ASSERT_EQ(session.run(std::string("'") + QIXIMPORT_PROGRAM + "' '" + QIXIMPORT_REAL_DATA +
                        "/simple_skin.gltf' skin >/dev/null 2>&1 && cp skin/animation.qia skin/animation_2.qia"),
            0);
  ASSERT_TRUE(session.start(session.folder(), "skin"));
  EXPECT_TRUE(session.wait_for([](const rgb_image_t& i) { return in_view(i, skin_blue) > 100; }, first_frame_timeout));
  ASSERT_TRUE(session.type("q"));
  expect_exit(session, expected("imported_skin.stdout"), "");
}

TEST(viewer_import_e2e, paths_that_show_nothing_are_refused_before_the_window_opens) {
  viewer_session_t session;
  std::filesystem::create_directories(session.folder() + "/broken");
  std::ofstream(session.folder() + "/broken/broken.qis").flush();
  std::filesystem::create_directories(session.folder() + "/empty");
  const struct {
    const char* argument;
    int code;
    const char* standard_error;
  } cases[] = {
      {"nowhere", 1, "*** ERROR *** : nowhere: not a character folder or skeleton document (.qis)\r\n"},
      {"empty", 1, "*** ERROR *** : empty: no skeleton document (.qis) in the folder\r\n"},
      {"broken", 1,
       "*** ERROR *** : broken/broken.qis:1: syntax error [ token '' ]\r\n"
       "*** ERROR *** : error parsing broken/broken.qis\r\n"
       "*** ERROR *** : broken/broken.qis:1: syntax error [ token '' ]\r\n"
       "*** ERROR *** : error parsing broken/broken.qis\r\n"
       "*** ERROR *** : broken: nothing could be loaded\r\n"},
      {"-fast", 2,
       "*** ERROR *** : unknown option -fast; usage: velmscope [window-system options] [CHARACTER...]\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(session.run(std::string("'") + VELMSCOPE_PROGRAM + "' " + c.argument + " >out.txt 2>err.txt"), c.code);
    EXPECT_EQ(read_file(session.folder() + "/out.txt"), "");
    EXPECT_EQ(read_file(session.folder() + "/err.txt"), c.standard_error);
  }
}

TEST(viewer_sanitizer_e2e, runs_frames_with_commands_and_quits_without_errors_or_leaks_of_its_own) {
#ifndef VELMSCOPE_SANITIZED
  GTEST_SKIP() << "only a sanitizer build checks for errors and leaks";
#endif
  viewer_session_t session;
  // The software renderer's own threads keep the leak checker from stopping
  // the process; without them it runs and reports.
  ASSERT_TRUE(session.start(source_root() + "/data", "", "ASAN_OPTIONS=detect_leaks=1 LP_NUM_THREADS=0"));
  for (const char* keys : {"rr", "1122", "m12", "kps", "+-=_", "d d.,", "m2", "rkps", "c", "m"}) {
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(session.type(keys));
  }
  ASSERT_EQ(session.run("xdotool mousemove --sync 300 300 mousedown 1 mousemove --sync 400 350 mouseup 1"), 0);
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(session.type("q"));
  const int status = session.wait_exit(2 * exit_timeout);
  const std::string report = session.standard_error();
  EXPECT_EQ(report.find("ERROR: AddressSanitizer"), std::string::npos) << report;
  EXPECT_EQ(report.find("runtime error"), std::string::npos) << report;
  // The software renderer is unloaded before the leak check: what it keeps
  // until the end shows as leaks of an unknown module. A leak of the
  // viewer's own code names a source file of the tree; a report block runs
  // from its "leak of" line to the next blank line.
  std::istringstream lines(report);
  std::string line, block;
  int leaks = 0;
  while (std::getline(lines, line)) {
    leaks += line.find("leak of ") != std::string::npos;
    block = line.empty() ? "" : block + line + "\n";
    EXPECT_TRUE(line.find(source_root()) == std::string::npos || block.find("leak of ") == std::string::npos)
        << block;
  }
  EXPECT_EQ(status, leaks == 0 ? 0 : 1) << report;  // leaks make the exit code 1
}

}  // namespace
}  // namespace keln::velmscope::testing
