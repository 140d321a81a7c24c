// The real viewer of a sanitizer build, leak checking on: it loads the
// shipped characters, draws frames while commands switch everything the
// overlay offers, and quits without any error report and without a leak of
// its own memory.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>

#include "viewer_session.h"

namespace keln::velmscope::testing {
namespace {

using namespace std::chrono_literals;

TEST(viewer_sanitizer_e2e, runs_frames_with_commands_and_quits_without_errors_or_leaks_of_its_own) {
#ifndef VELMSCOPE_SANITIZED
  GTEST_SKIP() << "only a sanitizer build checks for errors and leaks";
#endif
  viewer_session_t session;
  // The software renderer's own threads keep the leak checker from stopping
  // the process; without them it runs and reports.
  ASSERT_TRUE(session.start(source_root() + "/data", {}, {"ASAN_OPTIONS=detect_leaks=1", "LP_NUM_THREADS=0"}))
      << session.error();
  for (const char* keys : {"rr", "1122", "m12", "kps", "+-=_", "m2", "rkps", "c", "m"}) {
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(session.type(keys));
  }
  ASSERT_TRUE(session.drag(300, 300, 400, 350));
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(session.type("q"));
  exit_status_t status;
  ASSERT_TRUE(session.wait_exit(120s, status)) << "the viewer did not end";
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
  ASSERT_TRUE(status.exited) << "ended by signal " << status.signal;
  EXPECT_EQ(status.code, leaks == 0 ? 0 : 1) << report;  // leaks make the exit code 1
}

}  // namespace
}  // namespace keln::velmscope::testing
