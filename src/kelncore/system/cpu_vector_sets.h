// The wide vector instruction sets beside the feature word: AVX2 and fused
// multiply-add, which only processor-specific routines use. They are kept
// apart from the feature word so that its bits stay those of the older sets.
#pragma once

#include <cstdint>

namespace keln {

enum : std::uint32_t {
  CPU_VEC_AVX2 = 0x1,  // AVX2, and the operating system saves the 256-bit registers
  CPU_VEC_FMA = 0x2,   // FMA3, and the operating system saves the 256-bit registers
};

// The sets chosen at start-up: those the processor reports where the start-up
// identified the real processor and found SSE; 0 otherwise (core_startup(0),
// a replaced set of processor operations, no SSE) and before start-up.
std::uint32_t cpu_vector_sets();

// Called by cpu_setup_features with the feature word it keeps.
void cpu_vector_sets_select(std::uint32_t features);

#if defined(__x86_64__) || defined(__i386__)
// What the processor and the operating system run: CPUID leaf 1 ECX (FMA bit
// 12, OSXSAVE bit 27, AVX bit 28), leaf 7 EBX (AVX2 bit 5) and XCR0 (SSE and
// AVX register state, bits 1 and 2).
std::uint32_t cpu_x86_vector_sets();
#endif

}  // namespace keln
