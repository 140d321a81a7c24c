// The real viewer of a sanitizer build, leak checking on: it loads the
// shipped characters, draws frames while commands switch everything the
// overlay offers, and quits without any error report and without a leak of
// its own memory.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "viewer_session.h"
#include "virtual_display.h"

namespace keln::velmscope::testing {
namespace {

using namespace std::chrono_literals;

// The leak report's blocks ("Direct leak of ..." or "Indirect leak of ..."
// with their allocation stacks), each as one text.
std::vector<std::string> leak_blocks(const std::string& report) {
  std::vector<std::string> blocks;
  std::istringstream lines(report);
  std::string line;
  bool in_block = false;
  while (std::getline(lines, line)) {
    if (line.find("leak of ") != std::string::npos) {
      blocks.emplace_back();
      in_block = true;
    } else if (line.empty() || line.rfind("SUMMARY", 0) == 0) {
      in_block = false;
    }
    if (in_block) blocks.back() += line + "\n";
  }
  return blocks;
}

// A scratch folder removed at the end of the test.
struct scratch_folder_t {
  scratch_folder_t() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmscope-asan-XXXXXX").string();
    if (mkdtemp(pattern.data())) path = pattern;
  }
  ~scratch_folder_t() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

TEST(ViewerUnderSanitizer, RunsFramesWithCommandsAndQuitsWithoutErrorsOrLeaksOfItsOwn) {
#ifndef VELMSCOPE_SANITIZED
  GTEST_SKIP() << "only a sanitizer build checks for errors and leaks";
#endif
  scratch_folder_t scratch;
  ASSERT_FALSE(scratch.path.empty());
  virtual_display_t display;
  ASSERT_TRUE(display.start(scratch.path + "/xvfb.log")) << display.error();

  // The software renderer's own threads keep the leak checker from
  // stopping the process; without them it runs and reports.
  child_process_t viewer;
  const std::string errors = scratch.path + "/stderr.txt";
  ASSERT_TRUE(viewer.start({viewer_program()}, source_root() + "/data",
                           {"DISPLAY=" + display.name(), "ASAN_OPTIONS=detect_leaks=1", "LP_NUM_THREADS=0"},
                           scratch.path + "/stdout.txt", errors))
      << viewer.error();
  const x_window_t window = display.find_window("Velmscope", 60s);
  ASSERT_NE(window, 0u) << read_file(errors);
  ASSERT_TRUE(display.place(window, 0, 0, 10s));

  // Every command once or more, with frames drawn between them.
  for (const char* keys : {"rr", "1122", "m12", "kps", "+-=_", "m2", "rkps", "c", "m"}) {
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(display.type(window, keys));
  }
  display.drag(window, 300, 300, 400, 350);
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(display.type(window, "q"));

  exit_status_t status;
  ASSERT_TRUE(viewer.wait(120s, status)) << "the viewer did not end";
  const std::string report = read_file(errors);
  EXPECT_EQ(report.find("ERROR: AddressSanitizer"), std::string::npos) << report;
  EXPECT_EQ(report.find("runtime error"), std::string::npos) << report;
  // The software renderer is unloaded before the leak check: what it keeps
  // until the end shows as leaks of an unknown module. A leak of the
  // viewer's own code names a source file of the tree.
  const std::vector<std::string> leaks = leak_blocks(report);
  for (const std::string& leak : leaks) EXPECT_EQ(leak.find(source_root()), std::string::npos) << leak;
  ASSERT_TRUE(status.exited) << "ended by signal " << status.signal;
  // Leaks make the exit code 1.
  EXPECT_EQ(status.code, leaks.empty() ? 0 : 1) << report;
}

}  // namespace
}  // namespace keln::velmscope::testing
