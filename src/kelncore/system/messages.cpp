#include "kelncore/system/messages.h"

#include <cstdio>

#include "kelncore/collections/arrays/arrays_local.h"
#include "kelncore/system/message_registry.h"

namespace keln {

array_local_t<message_handler_t*, 8>& msg_handler_list() {
  static array_local_t<message_handler_t*, 8> handlers;
  return handlers;
}

message_handler_t::message_handler_t() { msg_handler_list().push_back(this); }

message_handler_t::~message_handler_t() { msg_handler_list().remove(this); }

void message_stdio_t::handle(const string& text, message_level_t level) {
  const char* prefix = "";
  FILE* stream = stdout;
  if (level == ML_WARNING) {
    prefix = "*** WARNING *** : ";
    stream = stderr;
  } else if (level == ML_ERROR) {
    prefix = "*** ERROR *** : ";
    stream = stderr;
  }
  std::fprintf(stream, "%s%s\r\n", prefix, text.c_str());
  // Flushed per line so that both streams keep their order relative to each
  // other and nothing is lost when a failed check ends the process.
  std::fflush(stream);
}

void msg_dispatch(va_list arguments, const char* format, message_level_t level) {
  string_dyn_t<default_mstring_allocator_t> text;
  text.vformat(format, arguments);
  array_local_t<message_handler_t*, 8>& handlers = msg_handler_list();
  for (unsigned i = 0; i < handlers.size(); ++i) handlers[i]->handle(text, level);
}

void msg_info(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  msg_dispatch(arguments, format, ML_INFO);
  va_end(arguments);
}

void msg_warning(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  msg_dispatch(arguments, format, ML_WARNING);
  va_end(arguments);
}

void msg_error(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  msg_dispatch(arguments, format, ML_ERROR);
  va_end(arguments);
}

}  // namespace keln
