#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace keln::velmscope::testing {

namespace {

// Opens path (or /dev/null when empty) onto the descriptor target.
bool redirect(const std::string& path, int flags, int target) {
  const int fd = open(path.empty() ? "/dev/null" : path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  if (dup2(fd, target) < 0) return false;
  close(fd);
  return true;
}

// Sets or replaces the variables "NAME=value" of assignments in env.
std::vector<std::string> merged_environment(const std::vector<std::string>& assignments) {
  std::vector<std::string> env;
  for (char** p = environ; *p; ++p) env.emplace_back(*p);
  for (const std::string& assignment : assignments) {
    const std::string name = assignment.substr(0, assignment.find('=') + 1);
    bool replaced = false;
    for (std::string& existing : env) {
      if (existing.compare(0, name.size(), name) == 0) {
        existing = assignment;
        replaced = true;
      }
    }
    if (!replaced) env.push_back(assignment);
  }
  return env;
}

exit_status_t decode(int wait_status) {
  exit_status_t status;
  if (WIFEXITED(wait_status)) {
    status.exited = true;
    status.code = WEXITSTATUS(wait_status);
  } else if (WIFSIGNALED(wait_status)) {
    status.signal = WTERMSIG(wait_status);
  }
  return status;
}

}  // namespace

child_process_t::~child_process_t() { stop(); }

bool child_process_t::start(const std::vector<std::string>& argv, const std::string& working_dir,
                            const std::vector<std::string>& environment, const std::string& stdout_path,
                            const std::string& stderr_path) {
  m_error.clear();
  if (argv.empty()) {
    m_error = "no program";
    return false;
  }
  // Everything the child needs is prepared before fork: after it, only
  // async-signal-safe calls.
  std::vector<std::string> env = merged_environment(environment);
  std::vector<char*> env_pointers;
  for (std::string& e : env) env_pointers.push_back(e.data());
  env_pointers.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> arg_pointers;
  for (std::string& a : args) arg_pointers.push_back(a.data());
  arg_pointers.push_back(nullptr);

  // The child reports a failed set-up or exec through this pipe (closed on a
  // successful exec).
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    m_error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    m_error = std::string("fork: ") + std::strerror(errno);
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (pid == 0) {
    close(report[0]);
    const char* step = "working directory";
    bool ok = chdir(working_dir.c_str()) == 0;
    if (ok) {
      step = "standard streams";
      ok = redirect("", O_RDONLY, 0) && redirect(stdout_path, O_WRONLY | O_CREAT | O_TRUNC, 1) &&
           redirect(stderr_path, O_WRONLY | O_CREAT | O_TRUNC, 2);
    }
    if (ok) {
      step = "exec";
      execvpe(arg_pointers[0], arg_pointers.data(), env_pointers.data());
    }
    const ssize_t ignored = write(report[1], step, std::strlen(step));
    (void)ignored;
    _exit(127);
  }
  close(report[1]);
  char buffer[64] = {};
  const ssize_t n = read(report[0], buffer, sizeof buffer - 1);
  close(report[0]);
  m_pid = pid;
  m_reaped = false;
  if (n > 0) {
    m_error = std::string("cannot start ") + argv[0] + ": " + buffer + " failed";
    exit_status_t ignored;
    wait(std::chrono::milliseconds(1000), ignored);
    return false;
  }
  return true;
}

bool child_process_t::running() {
  if (m_pid < 0 || m_reaped) return false;
  int wait_status = 0;
  const pid_t r = waitpid(m_pid, &wait_status, WNOHANG);
  if (r == m_pid) {
    m_reaped = true;
    m_status = decode(wait_status);
    return false;
  }
  return r == 0;
}

bool child_process_t::wait(std::chrono::milliseconds timeout, exit_status_t& status) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (running()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  status = m_status;
  return m_pid >= 0;
}

void child_process_t::stop() {
  if (!running()) return;
  kill(m_pid, SIGTERM);
  exit_status_t status;
  if (!wait(std::chrono::milliseconds(1000), status)) {
    kill(m_pid, SIGKILL);
    wait(std::chrono::milliseconds(5000), status);
  }
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace keln::velmscope::testing
