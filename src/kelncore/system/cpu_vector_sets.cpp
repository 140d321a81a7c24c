#include "kelncore/system/cpu_vector_sets.h"

#include "kelncore/system/cpu.h"
#include "kelncore/system/cpu_x86.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace keln {

namespace {

std::uint32_t sets_in_use = 0;

}  // namespace

std::uint32_t cpu_vector_sets() { return sets_in_use; }

void cpu_vector_sets_select(std::uint32_t features) {
  sets_in_use = 0;
#if defined(__x86_64__) || defined(__i386__)
  if ((features & CPU_FEAT_SSE) && cpu_ops.detect == CPU_OPS_X86.detect) sets_in_use = cpu_x86_vector_sets();
#else
  (void)features;
#endif
}

#if defined(__x86_64__) || defined(__i386__)

std::uint32_t cpu_x86_vector_sets() {
  constexpr std::uint32_t leaf1_fma = 1u << 12, leaf1_osxsave = 1u << 27, leaf1_avx = 1u << 28;
  constexpr std::uint32_t leaf7_avx2 = 1u << 5;
  constexpr std::uint32_t xcr0_sse_avx = 0x6u;
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid_max(0, nullptr) < 7) return 0;
  __cpuid_count(1, 0, eax, ebx, ecx, edx);
  if ((ecx & (leaf1_osxsave | leaf1_avx)) != (leaf1_osxsave | leaf1_avx)) return 0;
  std::uint32_t xcr0 = 0, xcr0_high = 0;
  __asm__ volatile("xgetbv" : "=a"(xcr0), "=d"(xcr0_high) : "c"(0));
  if ((xcr0 & xcr0_sse_avx) != xcr0_sse_avx) return 0;
  std::uint32_t sets = (ecx & leaf1_fma) ? std::uint32_t{CPU_VEC_FMA} : 0u;
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  if (ebx & leaf7_avx2) sets |= CPU_VEC_AVX2;
  return sets;
}

#endif

}  // namespace keln
