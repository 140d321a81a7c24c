// A child process started for a test: its own working directory, extra
// environment variables and standard output and error captured to files.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace keln::velmscope::testing {

// How a child process ended.
struct exit_status_t {
  bool exited = false;  // ended by itself (exit or return from main)
  int code = -1;        // exit code when exited
  int signal = 0;       // the terminating signal when it did not exit
};

class child_process_t {
 public:
  child_process_t() = default;
  child_process_t(const child_process_t&) = delete;
  child_process_t& operator=(const child_process_t&) = delete;
  // Kills a child that is still running.
  ~child_process_t();

  // Starts argv[0] (a path, or a name looked up in PATH) with the arguments
  // argv[1..] in working_dir, with the test's environment plus environment
  // (each "NAME=value" replaces a variable of the same name). Descriptors
  // not marked close-on-exec are inherited. Standard input is /dev/null; standard output
  // and standard error go to stdout_path and stderr_path (created or
  // truncated); an empty path means /dev/null. Returns false (with the reason
  // in error()) when the program could not be started.
  bool start(const std::vector<std::string>& argv, const std::string& working_dir,
             const std::vector<std::string>& environment, const std::string& stdout_path,
             const std::string& stderr_path);

  bool running();
  pid_t pid() const { return m_pid; }
  const std::string& error() const { return m_error; }

  // Waits up to timeout for the child to end. Returns false when it is
  // still running then.
  bool wait(std::chrono::milliseconds timeout, exit_status_t& status);

  // Sends SIGTERM, and SIGKILL if it has not ended a second later; reaps it.
  void stop();

 private:
  pid_t m_pid = -1;
  bool m_reaped = false;
  exit_status_t m_status;
  std::string m_error;
};

// The whole content of a file ("" when it cannot be read).
std::string read_file(const std::string& path);

}  // namespace keln::velmscope::testing
