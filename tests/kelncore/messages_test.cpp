#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kelncore/system/messages.h"

namespace keln {
namespace {

using namespace ::testing::internal;  // capturing the standard streams

struct recording_handler_t : message_handler_t {
  recording_handler_t(std::vector<std::string>* into, const char* name) : log(into), tag(name) {}
  void handle(const string& text, message_level_t level) override {
    log->push_back(tag + std::to_string(level) + ":" + text.c_str());
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

}  // namespace
}  // namespace keln
