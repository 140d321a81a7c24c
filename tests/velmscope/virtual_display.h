// A virtual X server for end-to-end tests, with a client connection that
// finds, drives and reads back other programs' windows.
#pragma once

#include <chrono>
#include <string>

#include "child_process.h"
#include "rgb_image.h"

struct _XDisplay;  // Xlib's Display

namespace keln::velmscope::testing {

// An X window id.
using x_window_t = unsigned long;

// Xvfb with one 1280 x 1024 screen of 24-bit colour, on a display number
// that the server picks itself (so that tests may run side by side), and no
// window manager. Stopped when the object is destroyed.
class virtual_display_t {
 public:
  static constexpr int screen_width = 1280;
  static constexpr int screen_height = 1024;

  virtual_display_t() = default;
  virtual_display_t(const virtual_display_t&) = delete;
  virtual_display_t& operator=(const virtual_display_t&) = delete;
  ~virtual_display_t();

  // Starts the server (its messages go to log_path) and connects to it.
  // Returns false with the reason in error() when either fails.
  bool start(const std::string& log_path);

  // The DISPLAY value for clients, such as ":93".
  const std::string& name() const { return m_name; }
  const std::string& error() const { return m_error; }

  // The first viewable window whose title is exactly title, waiting up to
  // timeout for one to appear; 0 when none does.
  x_window_t find_window(const std::string& title, std::chrono::milliseconds timeout);

  // Whether the window still exists.
  bool window_exists(x_window_t window);

  // Moves a top-level window so that its top-left corner is at (x, y) of the
  // screen, as a window manager would place it, and waits up to timeout for
  // the move to show. Only a window that lies wholly on the screen can be
  // captured. Returns whether the window got there.
  bool place(x_window_t window, int x, int y, std::chrono::milliseconds timeout);

  // Sends the key presses and releases that type text into window, with
  // Shift where a character needs it. Printable ASCII only; returns false
  // (sending nothing more) at a character the keyboard map cannot type.
  bool type(x_window_t window, const std::string& text);

  // Presses mouse button 1 at from, moves the pointer with the button held
  // to `to` in steps of at most 10 pixels, and releases it there. Positions
  // are in window pixels.
  void drag(x_window_t window, int from_x, int from_y, int to_x, int to_y);

  // Asks the window to close the way a window manager does: a
  // WM_DELETE_WINDOW message of the WM_PROTOCOLS client message.
  void request_close(x_window_t window);

  // The window's current content; empty when it cannot be read (it no
  // longer exists, or part of it lies outside the screen).
  rgb_image_t capture(x_window_t window);

  // Closes the connection and stops the server.
  void stop();

 private:

  child_process_t m_server;
  _XDisplay* m_display = nullptr;
  std::string m_name;
  std::string m_error;
};

}  // namespace keln::velmscope::testing
