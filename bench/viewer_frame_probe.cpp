// A frame probe for the running viewer, loaded with LD_PRELOAD by
// viewer_frames.sh: it wraps glutSwapBuffers, which the viewer calls once at
// the end of every frame, and records for each call the wall-clock time, the
// CPU time of the calling (main) thread and the CPU time of the whole process
// (the software renderer draws on threads of its own). At exit the records
// go to the file named by VELMSCOPE_FRAME_LOG, one line per frame:
//   <wall seconds since the epoch> <main-thread CPU seconds> <process CPU seconds>
// after a first line "start <wall seconds>" taken when the probe was loaded.
#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct frame_t {
  double wall;
  double thread_cpu;
  double process_cpu;
};

double seconds(clockid_t clock) {
  timespec now;
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

struct probe_t {
  probe_t() : start(seconds(CLOCK_REALTIME)) { frames.reserve(1 << 16); }
  ~probe_t() {
    const char* path = std::getenv("VELMSCOPE_FRAME_LOG");
    if (!path) return;
    FILE* log = std::fopen(path, "w");
    if (!log) return;
    std::fprintf(log, "start %.6f\n", start);
    for (const frame_t& frame : frames)
      std::fprintf(log, "%.6f %.6f %.6f\n", frame.wall, frame.thread_cpu, frame.process_cpu);
    std::fclose(log);
  }

  double start;
  std::vector<frame_t> frames;
};

probe_t probe;

}  // namespace

extern "C" void glutSwapBuffers() {
  using swap_fn = void (*)();
  static const swap_fn real_swap = reinterpret_cast<swap_fn>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
  probe.frames.push_back({seconds(CLOCK_REALTIME), seconds(CLOCK_THREAD_CPUTIME_ID), seconds(CLOCK_PROCESS_CPUTIME_ID)});
  real_swap();
}
