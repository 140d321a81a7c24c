#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelncore/system/clock.h"
#include "kelncore/system/messages.h"
#include "kelncore/system/startup.h"

namespace keln {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

struct recording_handler_t : message_handler_t {
  explicit recording_handler_t(std::vector<std::string>* log, const char* tag) : log(log), tag(tag) {}
  void handle(const string& text, message_level_t level) override {
    log->push_back(std::string(tag) + std::to_string(level) + ":" + text.c_str());
  }
  std::vector<std::string>* log;
  const char* tag;
};

TEST(message_stdio, levels_go_to_their_streams_with_prefix_and_crlf) {
  message_stdio_t handler;
  CaptureStdout();
  CaptureStderr();
  msg_info("geometry file: %s - parsed OK", "hunter/hunter.qim");
  msg_warning("cpu features not detected");
  msg_error("error parsing %s", "horse/walk.qia");
  const std::string out = GetCapturedStdout();
  const std::string err = GetCapturedStderr();
  EXPECT_EQ(out, "geometry file: hunter/hunter.qim - parsed OK\r\n");
  EXPECT_EQ(err,
            "*** WARNING *** : cpu features not detected\r\n"
            "*** ERROR *** : error parsing horse/walk.qia\r\n");
}

TEST(message_stdio, unknown_levels_are_written_as_information) {
  message_stdio_t handler;
  CaptureStdout();
  handler.handle(string_dyn("level two"), 2);
  EXPECT_EQ(GetCapturedStdout(), "level two\r\n");
}

TEST(messages, long_messages_reach_handlers_whole) {
  std::vector<std::string> log;
  recording_handler_t handler(&log, "");
  const std::string big(8000, 'm');
  msg_info("%s!", big.c_str());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "0:" + big + "!");
}

TEST(messages, handlers_receive_in_registration_order_and_unregister) {
  std::vector<std::string> log;
  {
    recording_handler_t a(&log, "A");
    recording_handler_t b(&log, "B");
    msg_error("x");
  }
  msg_error("nobody listens");
  EXPECT_EQ(log, (std::vector<std::string>{"A3:x", "B3:x"}));
}

TEST(messages, a_ninth_handler_is_never_called_and_leaves_quietly) {
  std::vector<std::string> log;
  std::vector<std::unique_ptr<recording_handler_t>> handlers;
  for (int i = 0; i < 9; ++i) handlers.emplace_back(new recording_handler_t(&log, i == 8 ? "ninth" : "h"));
  msg_info("m");
  EXPECT_EQ(log.size(), 8u);
  for (const std::string& line : log) EXPECT_EQ(line, "h0:m");
  handlers.clear();  // destroying the unregistered ninth must not end the process
  log.clear();
  msg_info("after");
  EXPECT_TRUE(log.empty());
}

TEST(core_startup, installs_and_removes_the_standard_handler) {
  core_startup(0);
  CaptureStdout();
  msg_info("started");
  EXPECT_EQ(GetCapturedStdout(), "started\r\n");
  core_shutdown();
  CaptureStdout();
  msg_info("stopped");
  EXPECT_EQ(GetCapturedStdout(), "");
}

TEST(stopwatch, ticks_into_delta_and_total) {
  stopwatch_t clock;
  clock.start(5000000);
  clock.tick(5000000);
  EXPECT_EQ(clock.delta, 0.0);
  clock.tick(6000000);
  EXPECT_EQ(clock.delta, 1.0);
  EXPECT_EQ(clock.total, 1.0);
  clock.tick(6500000);
  EXPECT_EQ(clock.delta, 0.5);
  EXPECT_EQ(clock.total, 1.5);
}

TEST(time_us, advances_in_whole_milliseconds) {
  const std::uint64_t a = time_us();
  EXPECT_EQ(a % 1000u, 0u);
  std::uint64_t b = a;
  while (b == a) b = time_us();
  EXPECT_GE(b - a, 1000u);
  EXPECT_EQ(b % 1000u, 0u);
}

}  // namespace
}  // namespace keln
