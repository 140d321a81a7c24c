// End-to-end sessions of the real viewer: an X display of its own (Xvfb picks
// a free number, so that tests may run side by side), the viewer started on
// it, keys sent to its window (xdotool), its pixels read back (xwd and
// ImageMagick's convert), and how it ended with what it printed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace keln::velmscope::testing {

struct rgb_t {
  std::uint8_t r, g, b;
};

// Pixels row by row from the top-left corner, 3 bytes each.
struct rgb_image_t {
  int width = 0, height = 0;
  std::string bytes;
  rgb_t at(int x, int y) const {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&bytes[3 * (static_cast<std::size_t>(y) * width + x)]);
    return {p[0], p[1], p[2]};
  }
};

// The 8-bit value OpenGL writes for a grey level c in [0, 1].
inline rgb_t grey_of(float c) {
  const auto byte = static_cast<std::uint8_t>(c * 255.0f + 0.5f);
  return {byte, byte, byte};
}
bool near_colour(const rgb_t& a, const rgb_t& b, int tolerance);

std::string source_root();
std::string read_file(const std::string& path);  // "" when unreadable

class viewer_session_t {
 public:
  static constexpr int window_width = 1024, window_height = 768;

  // Starts the display and makes an empty scratch folder, folder(); the
  // destructor stops the viewer and the display and removes the folder.
  viewer_session_t();
  ~viewer_session_t();
  viewer_session_t(const viewer_session_t&) = delete;
  viewer_session_t& operator=(const viewer_session_t&) = delete;

  const std::string& folder() const { return m_folder; }
  // Runs a shell command in folder() on the display; its exit status.
  int run(const std::string& command, std::string* output = nullptr) const;
  // Starts the viewer in dir with the arguments and the environment
  // assignments (shell words), waits for its window and moves it to the
  // screen's top-left corner; false when no window appeared.
  bool start(const std::string& dir, const std::string& arguments = "", const std::string& environment = "");
  bool type(const std::string& keys) const;
  // Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
  bool request_close() const;
  // Takes screenshots until shown holds for one or timeout passes; the last
  // one is left in last when given.
  bool wait_for(const std::function<bool(const rgb_image_t&)>& shown, std::chrono::seconds timeout,
                rgb_image_t* last = nullptr) const;
  // The viewer's exit status once it ends within timeout (128 + the signal
  // that ended it), -1 while it runs.
  int wait_exit(std::chrono::seconds timeout) const;
  std::string standard_output() const { return read_file(m_scratch + "/out.txt"); }
  std::string standard_error() const { return read_file(m_scratch + "/err.txt"); }

 private:
  std::string m_scratch, m_folder, m_display, m_window;
};

}  // namespace keln::velmscope::testing
