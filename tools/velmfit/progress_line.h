#pragma once
// A progress line on standard error, redrawn in place while the fitting
// runs. It is a message handler: registered before the standard handler
// (constructed before core_startup), it erases itself before any message
// line is written, so that message lines never run into it; the next show
// draws it again.

#include <string>

#include "kelncore/system/messages.h"

namespace keln::velmfit {

class progress_line_t : public message_handler_t {
 public:
  // A disabled line writes nothing at all.
  explicit progress_line_t(bool enabled) : m_enabled(enabled) {}
  ~progress_line_t() override { hide(); }

  // Replaces the line's text (one line, no line end).
  void show(const std::string& text);
  // Erases the line if it is shown.
  void hide();

  void handle(const string& text, message_level_t level) override;

 private:
  bool m_enabled;
  bool m_shown = false;
};

}  // namespace keln::velmfit
