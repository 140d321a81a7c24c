// The real viewer on characters named on its command line: documents written
// by qiximport from real files, a folder of test documents, and paths that
// name nothing the viewer can show.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "viewer_session.h"

namespace keln::velmscope::testing {
namespace {

using namespace std::chrono_literals;

const rgb_t dark_background = {colour_byte(0.1f), colour_byte(0.1f), colour_byte(0.1f)};
// The 3D view's part of the window, and the overlay's value lines.
constexpr int scene_top = 215;
constexpr int scene_bottom = 745;
constexpr int model_line = 35;
constexpr int base_line = 125;
constexpr int centre_x = viewer_session_t::window_width / 2;
constexpr auto frame_timeout = 120s;

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs command in folder; its exit code.
int run_in(const std::string& folder, const std::string& command) {
  const int status = std::system(("cd '" + folder + "' && " + command).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Pixels of the 3D view in columns x0 .. x1 - 1 that are of a colour.
int pixels_of(const rgb_image_t& image, int x0, int x1, bool (*of_colour)(const rgb_t&)) {
  int count = 0;
  for (int y = scene_top; y < scene_bottom; ++y)
    for (int x = x0; x < x1; ++x) count += of_colour(image.at(x, y));
  return count;
}

// The skin's blue and the bones' red, lit or in shade.
bool skin_blue(const rgb_t& p) { return p.b > p.r + 30 && p.b > p.g + 30; }
bool bone_red(const rgb_t& p) { return p.r > p.g + 30 && p.r > p.b + 30; }

int skin_pixels(const rgb_image_t& image, int x0, int x1) { return pixels_of(image, x0, x1, skin_blue); }

bool both_skins(const rgb_image_t& image) {
  return skin_pixels(image, 0, centre_x) > 0 && skin_pixels(image, centre_x, image.width) > 0;
}

// The positions of the green value text's pixels on the overlay line whose
// baseline is y, comparable between screenshots.
std::vector<int> overlay_value(const rgb_image_t& image, int baseline) {
  const rgb_t green = {colour_byte(0.2f), 255, colour_byte(0.2f)};
  std::vector<int> positions;
  for (int y = baseline - 10; y < baseline + 4; ++y)
    for (int x = 130; x < image.width; ++x)
      if (near_colour(image.at(x, y), green, 1)) positions.push_back(y * image.width + x);
  return positions;
}

bool character_drawn(const rgb_image_t& image) {
  int drawn = 0;
  for (int y = scene_top; y < scene_bottom; ++y)
    for (int x = 0; x < image.width; ++x) drawn += !near_colour(image.at(x, y), dark_background, 3);
  return !overlay_value(image, model_line).empty() && drawn > 0;
}

class imported_character : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = session.empty_folder();
    const std::string import = std::string("'") + QIXIMPORT_PROGRAM + "' '" + QIXIMPORT_REAL_DATA;
    ASSERT_EQ(run_in(folder, import + "/simple_skin.gltf' skin >/dev/null 2>&1"), 0);
    // A second animation, so that "1" has one to go to.
    std::filesystem::copy_file(folder + "/skin/animation.qia", folder + "/skin/animation_2.qia");
  }

  viewer_session_t session;
  std::string folder;
  rgb_image_t frame;
};

TEST_F(imported_character, shows_both_playbacks_cycles_its_animations_and_quits_with_zero) {
  ASSERT_TRUE(session.start(folder, {"skin"})) << session.error();
  ASSERT_TRUE(session.wait_for(character_drawn, frame_timeout, &frame));
  const std::vector<int> first = overlay_value(frame, base_line);
  ASSERT_TRUE(session.type("1"));
  EXPECT_TRUE(session.wait_for([&](const rgb_image_t& i) { return overlay_value(i, base_line) != first; }, 20s));
  ASSERT_TRUE(session.type("1"));
  EXPECT_TRUE(session.wait_for([&](const rgb_image_t& i) { return overlay_value(i, base_line) == first; }, 20s));
  ASSERT_TRUE(session.type("rr"));
  EXPECT_TRUE(session.wait_for(both_skins, 20s)) << "no skin drawn on both sides";
  ASSERT_TRUE(session.type("q"));
  exit_status_t status;
  ASSERT_TRUE(session.wait_exit(60s, status));
  EXPECT_TRUE(status.exited);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(session.standard_output(), read_text(source_root() + "/tests/velmscope/expected/imported_skin.stdout"));
  EXPECT_EQ(session.standard_error(), "");
}

// Motion capture has no mesh: its skeleton is drawn, in both playbacks,
// even with the skeleton switched off.
TEST(given_character, without_a_mesh_is_drawn_as_its_skeleton) {
  viewer_session_t session;
  const std::string folder = session.empty_folder();
  ASSERT_EQ(run_in(folder, std::string("'") + QIXIMPORT_PROGRAM + "' '" + QIXIMPORT_REAL_DATA +
                               "/cmu_01_01.bvh' cmu --frames 0:29 --fps 30 >/dev/null 2>&1"),
            0);
  ASSERT_TRUE(session.start(folder, {"cmu"})) << session.error();
  ASSERT_TRUE(session.type("rrk"));
  EXPECT_TRUE(session.wait_for(
      [](const rgb_image_t& image) {
        return pixels_of(image, 0, centre_x, bone_red) > 0 && pixels_of(image, centre_x, image.width, bone_red) > 0;
      },
      frame_timeout));
}

// A given folder is named after itself in capitals: a copy of the hunter's
// test documents shows the same name as the built-in HUNTER.
TEST(given_character, is_named_after_its_folder_in_capitals) {
  std::vector<int> names[2];
  for (int given = 0; given < 2; ++given) {
    viewer_session_t session;
    const std::string folder = session.empty_folder();
    std::filesystem::copy(source_root() + "/tests/velmscope/documents/hunter", folder + "/hunter");
    ASSERT_TRUE(session.start(folder, given ? std::vector<std::string>{"hunter/"} : std::vector<std::string>{}))
        << session.error();
    rgb_image_t frame;
    ASSERT_TRUE(session.wait_for(character_drawn, frame_timeout, &frame));
    names[given] = overlay_value(frame, model_line);
  }
  EXPECT_FALSE(names[0].empty());
  EXPECT_EQ(names[1], names[0]);
}

struct refused_case_t {
  const char* argument;
  int code;
  const char* standard_error;
};

TEST(given_character, paths_that_show_nothing_are_refused_before_the_window_opens) {
  viewer_session_t session;
  const std::string folder = session.empty_folder();
  ASSERT_TRUE(session.start_display()) << session.error();
  std::filesystem::create_directories(folder + "/broken");
  std::ofstream(folder + "/broken/broken.qis").flush();
  std::filesystem::create_directories(folder + "/empty");
  const refused_case_t cases[] = {
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
  for (const refused_case_t& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(run_in(folder, "DISPLAY=" + session.display_name() + " '" + viewer_program() + "' " + c.argument +
                                 " >out.txt 2>err.txt"),
              c.code);
    EXPECT_EQ(read_text(folder + "/out.txt"), "");
    EXPECT_EQ(read_text(folder + "/err.txt"), c.standard_error);
  }
}

}  // namespace
}  // namespace keln::velmscope::testing
