#include "viewer_session.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

extern char** environ;

namespace keln::velmscope::testing {

namespace {

using namespace std::chrono_literals;
using clock_type = std::chrono::steady_clock;

// Mesa's software driver is unloaded before a sanitizer build's leak check
// runs at exit, so its own allocations show up as leaks that cannot be
// suppressed by name; the sanitizer test turns the check back on and sorts
// them out.
const char* const sanitizer_options = "ASAN_OPTIONS=detect_leaks=0";

std::string quoted(const std::string& word) {
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Starts argv in dir with the variables of extra ("NAME=value", the first of
// a name winning) and the rest of this process's environment, standard input
// from /dev/null and standard output and error to the files out and err; the
// child's id, or -1.
pid_t spawn(std::vector<std::string> argv, const std::string& dir, const std::vector<std::string>& extra,
            const std::string& out, const std::string& err) {
  std::vector<std::string> env;
  auto add = [&env](const std::string& variable) {
    const std::size_t name = variable.find('=') + 1;
    for (const std::string& e : env)
      if (e.compare(0, name, variable, 0, name) == 0) return;
    env.push_back(variable);
  };
  for (const std::string& e : extra) add(e);
  for (char** e = environ; *e; ++e) add(*e);
  std::vector<char*> args, vars;
  for (std::string& a : argv) args.push_back(a.data());
  for (std::string& v : env) vars.push_back(v.data());
  args.push_back(nullptr);
  vars.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // Only async-signal-safe calls from here on.
  const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
  const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (chdir(dir.c_str()) == 0 && in >= 0 && o >= 0 && e >= 0 && dup2(in, 0) == 0 && dup2(o, 1) == 1 &&
      dup2(e, 2) == 2)
    execvpe(args[0], args.data(), vars.data());
  _exit(127);
}

// The wait status of pid once it ends within timeout.
std::optional<int> ended_within(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = clock_type::now() + timeout;
  for (int status = 0;; std::this_thread::sleep_for(10ms)) {
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    if (clock_type::now() >= deadline) return std::nullopt;
  }
}

// SIGTERM, and SIGKILL when the process has not ended a second later.
void stop(pid_t pid) {
  if (pid <= 0 || kill(pid, SIGTERM) != 0 || ended_within(pid, 1s)) return;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// One line read from fd within timeout, without its line end; "" on failure.
std::string read_line(int fd, std::chrono::milliseconds timeout) {
  const auto deadline = clock_type::now() + timeout;
  std::string line;
  for (char c = 0; c != '\n';) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock_type::now());
    pollfd p = {fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0 || read(fd, &c, 1) != 1) return "";
    if (c != '\n') line += c;
  }
  return line;
}

}  // namespace

std::string viewer_program() { return VELMSCOPE_PROGRAM; }

std::string source_root() { return VELMSCOPE_SOURCE_ROOT; }

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

viewer_session_t::viewer_session_t() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velmscope-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data())) m_scratch = pattern;
}

viewer_session_t::~viewer_session_t() {
  if (!m_reaped) stop(m_viewer);
  stop(m_server);
  std::error_code ignored;
  if (!m_scratch.empty()) std::filesystem::remove_all(m_scratch, ignored);
}

std::string viewer_session_t::empty_folder() const {
  const std::string folder = m_scratch + "/work";
  std::filesystem::create_directories(folder);
  return folder;
}

bool viewer_session_t::start_display() {
  int number[2];
  if (!m_display.empty()) return true;
  if (m_scratch.empty() || pipe2(number, O_CLOEXEC) != 0) return m_error = "no scratch folder or pipe", false;
  fcntl(number[1], F_SETFD, 0);  // Xvfb writes its display number there
  const std::string log = m_scratch + "/xvfb.log";
  m_server = spawn({"Xvfb", "-displayfd", std::to_string(number[1]), "-screen", "0", "1280x1024x24", "-nolisten",
                    "tcp", "-noreset"},
                   "/", {}, log, log);
  close(number[1]);
  const std::string display = read_line(number[0], 20s);
  close(number[0]);
  if (display.empty()) return m_error = "Xvfb did not report its display number: " + read_file(log), false;
  m_display = ":" + display;
  return true;
}

bool viewer_session_t::start(const std::string& working_dir, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& environment) {
  auto fail = [this](const std::string& reason) {
    m_error = reason;
    return false;
  };
  if (!start_display()) return false;
  std::vector<std::string> argv = {viewer_program()}, env = environment;
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  env.insert(env.end(), {"DISPLAY=" + m_display, sanitizer_options});
  m_viewer = spawn(argv, working_dir, env, m_scratch + "/stdout.txt", m_scratch + "/stderr.txt");
  if (!shell("timeout 60 xdotool search --sync --onlyvisible --name '^Velmscope$'", &m_window) || m_window.empty())
    return fail("no window titled \"Velmscope\" appeared; standard error: " + standard_error());
  m_window = m_window.substr(0, m_window.find('\n'));
  // The toolkit's default position leaves the window a pixel off the screen's
  // top-left corner, where it could not be read.
  if (!shell("timeout 10 xdotool windowmove --sync " + m_window + " 0 0"))
    return fail("the viewer's window could not be moved onto the screen");
  return true;
}

bool viewer_session_t::shell(const std::string& command, std::string* output) const {
  FILE* pipe = popen(("DISPLAY=" + m_display + " " + command).c_str(), "r");
  if (!pipe) return false;
  std::string text;
  char buffer[1 << 16];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  if (output) *output = std::move(text);
  return pclose(pipe) == 0;
}

bool viewer_session_t::type(const std::string& keys) {
  return shell("xdotool type --window " + m_window + " --delay 1 -- " + quoted(keys));
}

bool viewer_session_t::drag(int from_x, int from_y, int to_x, int to_y) {
  // The window lies at the screen's origin: its pixels are the screen's.
  return shell("xdotool mousemove --sync " + std::to_string(from_x) + " " + std::to_string(from_y) +
               " mousedown 1 mousemove --sync " + std::to_string(to_x) + " " + std::to_string(to_y) + " mouseup 1");
}

bool viewer_session_t::request_close() {
  Display* display = XOpenDisplay(m_display.c_str());
  if (!display) return false;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(m_window);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  // With an empty event mask the message goes to the window's own client.
  const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);  // sends it
  return sent != 0;
}

rgb_image_t viewer_session_t::screenshot() {
  std::string ppm;
  rgb_image_t image;
  if (!shell("xwd -silent -id " + m_window + " | convert xwd:- -depth 8 ppm:-", &ppm)) return image;
  std::istringstream in(ppm);
  // "P6", width, height and 255, each after blanks and comment lines.
  auto header_field = [&in] {
    std::string field;
    while (in >> field && field[0] == '#') std::getline(in, field);
    return field;
  };
  const std::string magic = header_field();
  image.width = std::atoi(header_field().c_str());
  image.height = std::atoi(header_field().c_str());
  const std::string max = header_field();
  in.get();  // the one blank before the pixels
  const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
  if (magic != "P6" || max != "255" || !in || ppm.size() - static_cast<std::size_t>(in.tellg()) != 3 * count)
    return rgb_image_t{};
  image.pixels.resize(count);
  in.read(reinterpret_cast<char*>(image.pixels.data()), static_cast<std::streamsize>(3 * count));
  return image;
}

bool viewer_session_t::wait_for(const std::function<bool(const rgb_image_t&)>& shown,
                                std::chrono::milliseconds timeout, rgb_image_t* last) {
  const auto deadline = clock_type::now() + timeout;
  for (;; std::this_thread::sleep_for(50ms)) {
    rgb_image_t image = screenshot();
    const bool ok = !image.empty() && shown(image);
    if (last) *last = std::move(image);
    if (ok) return true;
    if (clock_type::now() >= deadline) return false;
  }
}

bool viewer_session_t::wait_exit(std::chrono::milliseconds timeout, exit_status_t& status) {
  if (!m_reaped && m_viewer > 0) {
    const std::optional<int> ended = ended_within(m_viewer, timeout);
    if (!ended) return false;
    m_reaped = true;
    m_status.exited = WIFEXITED(*ended);
    m_status.code = m_status.exited ? WEXITSTATUS(*ended) : -1;
    m_status.signal = WIFSIGNALED(*ended) ? WTERMSIG(*ended) : 0;
  }
  status = m_status;
  return m_reaped;
}

std::string viewer_session_t::standard_output() const { return read_file(m_scratch + "/stdout.txt"); }

std::string viewer_session_t::standard_error() const { return read_file(m_scratch + "/stderr.txt"); }

}  // namespace keln::velmscope::testing
