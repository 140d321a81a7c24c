#include "progress_line.h"

#include <cstdio>

namespace keln::velmfit {

namespace {

// Carriage return, then erase to the end of the line (ANSI "EL").
constexpr const char* erase_line = "\r\x1b[K";

}  // namespace

void progress_line_t::show(const std::string& text) {
  if (!m_enabled) return;
  std::fprintf(stderr, "%s%s", erase_line, text.c_str());
  std::fflush(stderr);
  m_shown = true;
}

void progress_line_t::hide() {
  if (!m_shown) return;
  std::fputs(erase_line, stderr);
  std::fflush(stderr);
  m_shown = false;
}

void progress_line_t::handle(const string&, message_level_t) { hide(); }

}  // namespace keln::velmfit
