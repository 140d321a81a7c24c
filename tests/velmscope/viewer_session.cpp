#include "viewer_session.h"

#include <X11/Xlib.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace keln::velmscope::testing {

using namespace std::chrono_literals;

namespace {

// Calls done() every 50 ms until it holds or timeout passes; whether it held.
bool poll(const std::function<bool()>& done, std::chrono::seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;; std::this_thread::sleep_for(50ms)) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
}

}  // namespace

bool near_colour(const rgb_t& a, const rgb_t& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string source_root() { return VELMSCOPE_SOURCE_ROOT; }

std::string read_file(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

viewer_session_t::viewer_session_t() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velmscope-e2e-XXXXXX").string();
  m_scratch = mkdtemp(pattern.data()) ? pattern : "/nonexistent";
  m_folder = m_scratch + "/work";
  std::filesystem::create_directories(m_folder);
  // Xvfb writes the number of the display it found free to descriptor 3.
  run("Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>../display.txt >/dev/null 2>&1 & echo $! >../xvfb.pid");
  poll([this] { return read_file(m_scratch + "/display.txt").find('\n') != std::string::npos; }, 120s);
  const std::string number = read_file(m_scratch + "/display.txt");
  m_display = ":" + number.substr(0, number.find('\n'));
}

viewer_session_t::~viewer_session_t() {
  run("kill $(cat ../viewer.pid ../xvfb.pid 2>/dev/null) 2>/dev/null; sleep 0.2");
  std::error_code ignored;
  std::filesystem::remove_all(m_scratch, ignored);
}

int viewer_session_t::run(const std::string& command, std::string* output) const {
  FILE* pipe = popen(("cd '" + m_folder + "' || exit 1; export DISPLAY=" + m_display + "; " + command).c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[1 << 16];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  if (output) *output = text;
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool viewer_session_t::start(const std::string& dir, const std::string& arguments, const std::string& environment) {
  // Mesa's software driver is unloaded before a sanitizer build's leak check
  // runs at exit, so its allocations would show up as leaks: the check is
  // off unless environment turns it back on.
  const std::string scratch = "'" + m_scratch + "'/";
  run("(cd '" + dir + "' && env ASAN_OPTIONS=detect_leaks=0 " + environment + " '" + VELMSCOPE_PROGRAM + "' " +
      arguments + " >" + scratch + "out.txt 2>" + scratch + "err.txt </dev/null & echo $! >" + scratch + "viewer.pid; wait $!;" +
      " echo $? >" + scratch + "status.txt) >/dev/null 2>&1 &");
  if (run("timeout 240 xdotool search --sync --onlyvisible --name '^Velmscope$'", &m_window) != 0) return false;
  m_window.resize(m_window.find('\n'));
  // The toolkit's default position leaves the window a pixel off the
  // screen's corner, where it could not be read.
  return run("xdotool windowmove --sync " + m_window + " 0 0") == 0;
}

bool viewer_session_t::type(const std::string& keys) const {
  return run("xdotool type --window " + m_window + " --delay 1 -- '" + keys + "' 2>/dev/null") == 0;
}

bool viewer_session_t::request_close() const {
  Display* display = XOpenDisplay(m_display.c_str());
  if (!display) return false;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(m_window);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  // With an empty event mask the message goes to the window's own client.
  const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);  // sends it
  return sent != 0;
}

bool viewer_session_t::wait_for(const std::function<bool(const rgb_image_t&)>& shown, std::chrono::seconds timeout,
                                rgb_image_t* last) const {
  rgb_image_t image;
  const bool ok = poll(
      [&] {
        std::string ppm;
        int header = 0;
        run("xwd -silent -id " + m_window + " | convert xwd:- -strip -depth 8 ppm:-", &ppm);
        if (std::sscanf(ppm.c_str(), "P6 %d %d 255%n", &image.width, &image.height, &header) != 2) return false;
        image.bytes = ppm.substr(header + 1);
        return image.bytes.size() == 3u * image.width * image.height && shown(image);
      },
      timeout);
  if (last) *last = image;
  return ok;
}

int viewer_session_t::wait_exit(std::chrono::seconds timeout) const {
  const std::string status = m_scratch + "/status.txt";
  if (!poll([&] { return read_file(status).find('\n') != std::string::npos; }, timeout)) return -1;
  return std::atoi(read_file(status).c_str());
}

}  // namespace keln::velmscope::testing
