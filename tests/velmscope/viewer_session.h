// End-to-end test sessions of the real viewer: a virtual display of its own,
// the viewer program started on it, and the means to type into its window,
// drag the mouse, read back what it draws, close it and collect its output
// and exit status.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "child_process.h"
#include "rgb_image.h"
#include "virtual_display.h"

namespace keln::velmscope::testing {

// The viewer program of this build.
std::string viewer_program();

// The source tree's root (for its data/ folder).
std::string source_root();

class viewer_session_t {
 public:
  // Window size the viewer opens with.
  static constexpr int window_width = 1024;
  static constexpr int window_height = 768;

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

  // Starts the display, then the viewer in working_dir with the given
  // command-line arguments, waits until its window shows and places it at
  // the screen's top-left corner. Returns false with the reason in error()
  // when any step fails.
  bool start(const std::string& working_dir, const std::vector<std::string>& arguments = {});

  const std::string& error() const { return m_error; }
  x_window_t window() const { return m_window; }
  virtual_display_t& display() { return m_display; }

  // Types keys into the viewer's window (see virtual_display_t::type).
  bool type(const std::string& keys);

  // The window's content now.
  rgb_image_t screenshot();

  // Takes screenshots until one satisfies shown (the viewer redraws
  // continuously) or timeout passes; returns whether one did. The last
  // screenshot taken is left in last when given.
  bool wait_for(const std::function<bool(const rgb_image_t&)>& shown, std::chrono::milliseconds timeout,
                rgb_image_t* last = nullptr);

  // Waits up to timeout for the viewer to end; false when it is still
  // running then.
  bool wait_exit(std::chrono::milliseconds timeout, exit_status_t& status);

  // What the viewer wrote to its standard output and standard error so far.
  std::string standard_output() const;
  std::string standard_error() const;

 private:
  std::string m_scratch;
  virtual_display_t m_display;
  child_process_t m_viewer;
  x_window_t m_window = 0;
  std::string m_error;
};

}  // namespace keln::velmscope::testing
