// End-to-end sessions of the real viewer: a virtual X display of its own
// (Xvfb, on a display number it picks itself so that tests may run side by
// side), the viewer started on it, keys and drags sent to its window
// (xdotool), its content read back (xwd), and its exit status and output.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "rgb_image.h"

namespace keln::velmscope::testing {

// The viewer program of this build.
std::string viewer_program();

// The source tree's root (for its data/ folder).
std::string source_root();

// The whole content of a file ("" when it cannot be read).
std::string read_file(const std::string& path);

// How the viewer ended.
struct exit_status_t {
  bool exited = false;  // ended by itself (exit or return from main)
  int code = -1;        // exit code when exited
  int signal = 0;       // the terminating signal when it did not exit
};

class viewer_session_t {
 public:
  // The window the viewer opens, and the screen, in pixels.
  static constexpr int window_width = 1024;
  static constexpr int window_height = 768;
  static constexpr int screen_width = 1280;
  static constexpr int screen_height = 1024;

  // Creates the session's scratch folder; nothing runs yet.
  viewer_session_t();
  viewer_session_t(const viewer_session_t&) = delete;
  viewer_session_t& operator=(const viewer_session_t&) = delete;
  // Ends the viewer if it still runs, stops the display and removes the
  // scratch folder.
  ~viewer_session_t();

  // An empty folder inside the scratch folder, for use as a working
  // directory.
  std::string empty_folder() const;

  // Starts the session's display, once; false with the reason in error()
  // when it does not start. display_name() is then its DISPLAY value.
  bool start_display();
  const std::string& display_name() const { return m_display; }

  // Starts the display, then the viewer in working_dir with the command-line
  // arguments and the extra environment ("NAME=value" each), waits until its
  // window shows and places it at the screen's top-left corner, where all of
  // it can be read. Returns false with the reason in error() when a step
  // fails.
  bool start(const std::string& working_dir, const std::vector<std::string>& arguments = {},
             const std::vector<std::string>& environment = {});
  const std::string& error() const { return m_error; }

  // Types printable ASCII into the window, with Shift where a character
  // needs it; false when the keys could not be sent.
  bool type(const std::string& keys);

  // Presses mouse button 1 at (from_x, from_y) of the window, moves the
  // pointer to (to_x, to_y) with the button held and releases it there.
  bool drag(int from_x, int from_y, int to_x, int to_y);

  // Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
  bool request_close();

  // The window's content now; empty when it cannot be read.
  rgb_image_t screenshot();

  // Takes screenshots until one satisfies shown (the viewer redraws
  // continuously) or timeout passes; returns whether one did. The last
  // screenshot taken is left in last when given.
  bool wait_for(const std::function<bool(const rgb_image_t&)>& shown, std::chrono::milliseconds timeout,
                rgb_image_t* last = nullptr);

  // Waits up to timeout for the viewer to end; false when it still runs then.
  bool wait_exit(std::chrono::milliseconds timeout, exit_status_t& status);

  // What the viewer wrote to its standard output and standard error so far.
  std::string standard_output() const;
  std::string standard_error() const;

 private:
  // Runs a shell command on the session's display; whether it succeeded,
  // with its standard output in output when given.
  bool shell(const std::string& command, std::string* output = nullptr) const;

  std::string m_scratch;
  std::string m_display;  // the DISPLAY value, such as ":93"
  std::string m_window;   // the window id, in decimal
  std::string m_error;
  pid_t m_server = -1;
  pid_t m_viewer = -1;
  bool m_reaped = false;
  exit_status_t m_status;
};

}  // namespace keln::velmscope::testing
