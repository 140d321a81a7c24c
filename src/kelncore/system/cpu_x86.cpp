#include "kelncore/system/cpu_x86.h"

#if defined(__x86_64__) || defined(__i386__)

#include <cpuid.h>
#include <setjmp.h>
#include <signal.h>
#include <x86intrin.h>

#include <iterator>

#include "kelncore/system/clock.h"

namespace keln {

namespace {

// The last identification of the x86 set.
cpu_identity_t x86_identity;

std::uint32_t x86_detect() {
  x86_identity = cpu_identify(CPU_PROBE_X86);
  cpu_set_mhz(x86_identity.mhz);
  return x86_identity.features;
}

const char* x86_name() { return x86_identity.name; }
const char* x86_vendor() { return x86_identity.vendor; }

// CPUID exists when bit 21 of the flags register can be toggled; on x86-64 it
// always exists.
bool x86_has_cpuid() {
#if defined(__x86_64__)
  return true;
#else
  std::uint32_t before = 0;
  std::uint32_t after = 0;
  __asm__ volatile(
      "pushfl\n\t"
      "popl %0\n\t"
      "movl %0, %1\n\t"
      "xorl $0x200000, %1\n\t"
      "pushl %1\n\t"
      "popfl\n\t"
      "pushfl\n\t"
      "popl %1\n\t"
      "pushl %0\n\t"
      "popfl"
      : "=&r"(before), "=&r"(after));
  return ((before ^ after) & 0x200000u) != 0;
#endif
}

cpu_regs_t x86_cpuid(std::uint32_t leaf) {
  cpu_regs_t r;
  __cpuid_count(leaf, 0, r.eax, r.ebx, r.ecx, r.edx);
  return r;
}

// Through the instructions themselves, so that builds without SSE code
// generation can set it too.
void x86_set_flush_to_zero() {
  std::uint32_t csr = 0;
  __asm__ volatile("stmxcsr %0" : "=m"(csr));
  csr |= 0x8000u;
  __asm__ volatile("ldmxcsr %0" : : "m"(csr));
}

std::uint32_t x86_measure_mhz() { return cpu_measure_mhz(&cpu_sample); }

// The jump target of the running guarded call.
sigjmp_buf guarded_jump;

void on_guarded_fault(int) { siglongjmp(guarded_jump, 1); }

constexpr int GUARDED_SIGNALS[] = {SIGILL, SIGFPE, SIGSEGV, SIGBUS};
constexpr std::size_t GUARDED_COUNT = std::size(GUARDED_SIGNALS);

void probe_mmx() { __asm__ volatile("pxor %%mm0, %%mm0\n\temms" ::: "mm0"); }
void probe_sse() { __asm__ volatile("xorps %%xmm0, %%xmm0" ::: "xmm0"); }
void probe_sse2() { __asm__ volatile("xorpd %%xmm0, %%xmm0" ::: "xmm0"); }

}  // namespace

const cpu_ops_t CPU_OPS_X86 = {&x86_detect, &x86_name, &x86_vendor};

const cpu_probe_t CPU_PROBE_X86 = {&x86_has_cpuid, &x86_cpuid, &cpu_os_supports, &x86_set_flush_to_zero,
                                   &x86_measure_mhz};

bool cpu_run_guarded(void (*fn)()) {
  struct sigaction guard = {};
  guard.sa_handler = &on_guarded_fault;
  sigemptyset(&guard.sa_mask);
  struct sigaction previous[GUARDED_COUNT];
  for (std::size_t i = 0; i < GUARDED_COUNT; ++i) {
    sigaction(GUARDED_SIGNALS[i], &guard, &previous[i]);
  }
  // The signal mask is saved so that the jump out of the handler unblocks the
  // signal again.
  volatile bool completed = false;
  if (sigsetjmp(guarded_jump, 1) == 0) {
    fn();
    completed = true;
  }
  for (std::size_t i = 0; i < GUARDED_COUNT; ++i) {
    sigaction(GUARDED_SIGNALS[i], &previous[i], nullptr);
  }
  return completed;
}

bool cpu_os_supports(std::uint32_t feature) {
  switch (feature) {
    case CPU_FEAT_MMX:
      return cpu_run_guarded(&probe_mmx);
    case CPU_FEAT_SSE:
      return cpu_run_guarded(&probe_sse);
    case CPU_FEAT_SSE2:
      return cpu_run_guarded(&probe_sse2);
    default:
      return false;
  }
}

cpu_sample_t cpu_sample() {
  cpu_sample_t s;
  s.us = time_us();
  s.ticks = __rdtsc();
  return s;
}

}  // namespace keln

#endif
