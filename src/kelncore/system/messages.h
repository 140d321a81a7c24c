// Diagnostic messages: printf-style reports at three levels, formatted once and
// handed to every registered handler in registration order.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "kelncore/collections/strings.h"

namespace keln {

using message_level_t = std::uint32_t;
constexpr message_level_t ML_INFO = 0;
constexpr message_level_t ML_WARNING = 1;
constexpr message_level_t ML_ERROR = 3;

// A message sink. Constructing a handler registers it (at most 8 handlers are
// registered at once; a ninth is silently never called); destroying it
// unregisters it.
class message_handler_t {
 public:
  message_handler_t();
  virtual ~message_handler_t();
  message_handler_t(const message_handler_t&) = delete;
  message_handler_t& operator=(const message_handler_t&) = delete;

  // text: the whole formatted message, without a line end.
  virtual void handle(const string& text, message_level_t level) = 0;
};

// The standard sink: information lines to standard output without prefix,
// warnings to standard error after "*** WARNING *** : ", errors to standard
// error after "*** ERROR *** : "; every line ends with CR LF. Levels other than
// 1 and 3 are written like information.
class message_stdio_t : public message_handler_t {
 public:
  void handle(const string& text, message_level_t level) override;
};

void msg_info(const char* format, ...) __attribute__((format(printf, 1, 2)));
void msg_warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void msg_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Common body of the three: formats the whole message (never cut) and
// dispatches it. With no handler registered nothing happens.
void msg_dispatch(va_list arguments, const char* format, message_level_t level);

}  // namespace keln
