#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kelncore/system/clock.h"
#include "kelncore/system/messages.h"

namespace keln {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

struct recording_handler_t : message_handler_t {
  recording_handler_t(std::vector<std::string>* into, const char* name) : log(into), tag(name) {}
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
  handler.handle(string_dyn("level two"), 2);  // unknown levels are information
  EXPECT_EQ(GetCapturedStdout(), "geometry file: hunter/hunter.qim - parsed OK\r\nlevel two\r\n");
  EXPECT_EQ(GetCapturedStderr(),
            "*** WARNING *** : cpu features not detected\r\n"
            "*** ERROR *** : error parsing horse/walk.qia\r\n");
}

TEST(messages, handlers_get_whole_messages_in_registration_order_and_at_most_eight) {
  std::vector<std::string> log;
  {
    recording_handler_t a(&log, "A"), b(&log, "B");
    const std::string big(8000, 'm');
    msg_error("%s!", big.c_str());
    EXPECT_EQ(log, (std::vector<std::string>{"A3:" + big + "!", "B3:" + big + "!"}));
  }
  log.clear();

  std::vector<std::unique_ptr<recording_handler_t>> handlers;
  for (int i = 0; i < 9; ++i) handlers.emplace_back(new recording_handler_t(&log, i == 8 ? "ninth" : "h"));
  msg_info("m");
  EXPECT_EQ(log, std::vector<std::string>(8, "h0:m"));
  handlers.clear();  // destroying the unregistered ninth must not end the process
  log.clear();
  msg_info("after");
  EXPECT_TRUE(log.empty());
}

TEST(stopwatch, ticks_into_delta_and_total) {
  stopwatch_t clock;
  clock.start(5000000);
  const struct {
    std::uint64_t now_us;
    double delta, total;
  } ticks[] = {{5000000, 0.0, 0.0}, {6000000, 1.0, 1.0}, {6500000, 0.5, 1.5}};
  for (const auto& t : ticks) {
    clock.tick(t.now_us);
    EXPECT_EQ(clock.delta, t.delta);
    EXPECT_EQ(clock.total, t.total);
  }
}

}  // namespace
}  // namespace keln
