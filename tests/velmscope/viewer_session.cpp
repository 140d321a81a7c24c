#include "viewer_session.h"

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace keln::velmscope::testing {

namespace {

const char* const window_title = "Velmscope";

// Mesa's software driver is unloaded before a sanitizer build's leak check
// runs at exit, so its own allocations show up as leaks that cannot be
// suppressed by name; leaks of the viewer's code are checked by the unit
// tests instead.
const char* const sanitizer_options = "ASAN_OPTIONS=detect_leaks=0";

}  // namespace

std::string viewer_program() { return VELMSCOPE_PROGRAM; }

std::string source_root() { return VELMSCOPE_SOURCE_ROOT; }

viewer_session_t::viewer_session_t() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velmscope-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data())) m_scratch = pattern;
}

viewer_session_t::~viewer_session_t() {
  m_viewer.stop();
  m_display.stop();
  if (!m_scratch.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_scratch, ignored);
  }
}

std::string viewer_session_t::empty_folder() const {
  const std::string folder = m_scratch + "/work";
  std::filesystem::create_directories(folder);
  return folder;
}

bool viewer_session_t::start(const std::string& working_dir, const std::vector<std::string>& arguments) {
  if (m_scratch.empty()) {
    m_error = "cannot create a scratch folder";
    return false;
  }
  if (!m_display.start(m_scratch + "/xvfb.log")) {
    m_error = m_display.error();
    return false;
  }
  std::vector<std::string> argv = {viewer_program()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  if (!m_viewer.start(argv, working_dir, {"DISPLAY=" + m_display.name(), sanitizer_options},
                      m_scratch + "/stdout.txt", m_scratch + "/stderr.txt")) {
    m_error = m_viewer.error();
    return false;
  }
  m_window = m_display.find_window(window_title, std::chrono::seconds(30));
  if (!m_window) {
    m_error = "no window titled \"Velmscope\" appeared; standard error: " + standard_error();
    return false;
  }
  // The toolkit's default position leaves the window a pixel off the screen's
  // top-left corner, where it could not be captured.
  if (!m_display.place(m_window, 0, 0, std::chrono::seconds(10))) {
    m_error = "the viewer's window could not be moved onto the screen";
    return false;
  }
  return true;
}

bool viewer_session_t::type(const std::string& keys) { return m_display.type(m_window, keys); }

rgb_image_t viewer_session_t::screenshot() { return m_display.capture(m_window); }

bool viewer_session_t::wait_for(const std::function<bool(const rgb_image_t&)>& shown,
                                std::chrono::milliseconds timeout, rgb_image_t* last) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    rgb_image_t image = screenshot();
    const bool ok = !image.empty() && shown(image);
    if (last) *last = std::move(image);
    if (ok) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool viewer_session_t::wait_exit(std::chrono::milliseconds timeout, exit_status_t& status) {
  return m_viewer.wait(timeout, status);
}

std::string viewer_session_t::standard_output() const { return read_file(m_scratch + "/stdout.txt"); }

std::string viewer_session_t::standard_error() const { return read_file(m_scratch + "/stderr.txt"); }

}  // namespace keln::velmscope::testing
