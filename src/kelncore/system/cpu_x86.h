// Identification of the x86 processor that runs the program: the real probe
// behind cpu_identify and the x86 set of processor operations. Exists only in
// x86 builds.
#pragma once

#if defined(__x86_64__) || defined(__i386__)

#include <cstdint>

#include "kelncore/system/cpu.h"
#include "kelncore/system/cpu_clock.h"
#include "kelncore/system/cpu_identify.h"

namespace keln {

// detect runs cpu_identify with CPU_PROBE_X86 and keeps what it found; name
// and vendor return the texts found (empty before detection).
extern const cpu_ops_t CPU_OPS_X86;

// CPUID through the compiler's intrinsics, cpu_os_supports, MXCSR, and the
// clock measurement with the time-stamp counter against time_us.
extern const cpu_probe_t CPU_PROBE_X86;

// Runs fn and tells whether it completed: an illegal instruction, a
// floating-point, segmentation or bus fault inside it is caught (the
// program's own handlers for those signals are restored afterwards) and gives
// false. fn must leave nothing to clean up when it is cut short.
bool cpu_run_guarded(void (*fn)());

// Whether the operating system runs one instruction of the set:
// CPU_FEAT_MMX (pxor mm0, mm0 then emms), CPU_FEAT_SSE (xorps) or
// CPU_FEAT_SSE2 (xorpd). False for any other value.
bool cpu_os_supports(std::uint32_t feature);

// time_us and the time-stamp counter, read one after the other.
cpu_sample_t cpu_sample();

}  // namespace keln

#endif
