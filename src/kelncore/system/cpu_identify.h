// The identification algorithm, run against a probe of the processor so that
// it works the same on the real processor and on a described one.
#pragma once

#include <cstdint>

namespace keln {

// The four result registers of one CPUID leaf.
struct cpu_regs_t {
  std::uint32_t eax;
  std::uint32_t ebx;
  std::uint32_t ecx;
  std::uint32_t edx;
};

// What the identification asks of the processor.
struct cpu_probe_t {
  // Whether the CPUID instruction exists.
  bool (*has_cpuid)();
  // The registers of one CPUID leaf (sub-leaf 0).
  cpu_regs_t (*cpuid)(std::uint32_t leaf);
  // Whether the operating system runs one instruction of the set named by
  // CPU_FEAT_MMX, CPU_FEAT_SSE or CPU_FEAT_SSE2.
  bool (*os_supports)(std::uint32_t feature);
  // Switches SSE arithmetic to flush-to-zero (MXCSR bit 15).
  void (*set_flush_to_zero)();
  // Measures the processor clock with the time-stamp counter, in MHz.
  std::uint32_t (*measure_mhz)();
};

// What the identification found.
struct cpu_identity_t {
  std::uint32_t features = 0;  // CPU_FEAT_* bits
  char vendor[13] = {};        // leaf 0 EBX, EDX, ECX; empty without CPUID
  char name[49] = {};          // model name or brand string; empty without leaf 1
  bool has_tsc = false;        // leaf 1 EDX bit 4
  std::uint32_t mhz = 0;       // 1 without a time-stamp counter
};

// Identifies the processor through probe:
// - no CPUID: warning "unable to identify cpu", feature word 0;
// - highest basic leaf 0: warning "cpu features not detected", feature word
//   CPU_FEAT_CPUID;
// - otherwise the leaf 1 features (MMX, SSE and SSE2 only where the operating
//   system runs them; flush-to-zero switched on when SSE passes), the model
//   name, the extended features (only with MMX) and the brand string, which
//   replaces the model name when leaf 0x80000004 exists.
// Without a time-stamp counter it reports the error "[cpu] The CPU has no
// RDTSC support." and the clock is 1 MHz; otherwise the clock is measured.
cpu_identity_t cpu_identify(const cpu_probe_t& probe);

}  // namespace keln
