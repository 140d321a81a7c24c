// Processor identification: the feature word that selects processor-specific
// routines, the processor's vendor, name and clock, and the replaceable set of
// processor operations that provides them.
#pragma once

#include <cstdint>

namespace keln {

// Bits of the feature word. Bit 0x100 is never set.
enum : std::uint32_t {
  CPU_FEAT_CPUID = 0x1,       // the CPUID instruction exists
  CPU_FEAT_FPU = 0x2,         // floating-point unit
  CPU_FEAT_MMX = 0x4,         // MMX, and the operating system runs it
  CPU_FEAT_CMOV = 0x8,        // conditional moves
  CPU_FEAT_3DNOW = 0x10,      // 3DNow! (only with MMX)
  CPU_FEAT_3DNOW_EXT = 0x20,  // extended 3DNow! (only with MMX)
  CPU_FEAT_SSE = 0x40,        // SSE, and the operating system runs it
  CPU_FEAT_SSE2 = 0x80,       // SSE2, and the operating system runs it
  CPU_FEAT_MMX_EXT = 0x200,   // MMX extensions (only with MMX)
};

// The feature word used when the start-up does not identify the processor.
constexpr std::uint32_t CPU_FEATURES_UNDETECTED = CPU_FEAT_FPU;

// The processor operations, replaced as a whole set.
struct cpu_ops_t {
  // Identifies the processor and measures its clock; returns the feature word.
  std::uint32_t (*detect)();
  // The model name (at most 48 characters) and the vendor text (at most 12).
  const char* (*name)();
  const char* (*vendor)();
};

// The set in use.
extern cpu_ops_t cpu_ops;

// The portable set: detect measures the clock and returns CPU_FEAT_FPU; the
// texts are "generic CPU" and "generic vendor".
extern const cpu_ops_t CPU_OPS_GENERIC;

inline std::uint32_t cpu_detect() { return cpu_ops.detect(); }
inline const char* cpu_name() { return cpu_ops.name(); }
inline const char* cpu_vendor() { return cpu_ops.vendor(); }

// The processor clock in MHz measured by the last cpu_detect: 0 before any
// detection, 1 when the processor has no time-stamp counter (or the build
// targets a processor without one) or the measurement found no rate.
std::uint32_t cpu_mhz();
// Kept by the detect operations of the sets.
void cpu_set_mhz(std::uint32_t mhz);

// The feature word chosen at start-up (0 before it).
std::uint32_t cpu_features();

void cpu_ops_install_generic();
// The x86 set where the build targets x86; elsewhere the generic set stays.
void cpu_ops_install_x86();

// The last part of the processor set-up of core_startup: with a non-zero low
// byte of flags runs cpu_detect and keeps its feature word, else keeps
// CPU_FEATURES_UNDETECTED; then selects the wide vector sets
// (cpu_vector_sets.h) and installs the matrix routines and the copy routine
// that the word selects.
void cpu_setup_features(unsigned flags);

}  // namespace keln
