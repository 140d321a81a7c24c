#include "load_counters.h"

#include <dlfcn.h>
#include <sys/types.h>

namespace {

load_counters_t g_counters = {};

}  // namespace

load_counters_t load_counters() { return g_counters; }

#if !defined(__SANITIZE_ADDRESS__)

// glibc's own entry points, under the names it exports for interposers.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);

extern "C" void* malloc(std::size_t size) {
  ++g_counters.allocations;
  g_counters.allocated_bytes += size;
  return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) {
  ++g_counters.allocations;
  g_counters.allocated_bytes += count * size;
  return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size) {
  ++g_counters.allocations;
  g_counters.allocated_bytes += size;
  return __libc_realloc(block, size);
}

extern "C" ssize_t pread(int fd, void* buffer, std::size_t count, off_t offset) {
  using pread_t = ssize_t (*)(int, void*, std::size_t, off_t);
  static const auto next = reinterpret_cast<pread_t>(::dlsym(RTLD_NEXT, "pread"));
  ++g_counters.reads;
  const ssize_t n = next(fd, buffer, count, offset);
  if (n > 0) g_counters.read_bytes += static_cast<std::size_t>(n);
  return n;
}

#endif
