#include "kelncore/system/mem_copy.h"

#include <cstring>

#include "kelncore/system/cpu.h"

namespace keln {

mem_copy_fn mem_copy_routine = &mem_copy_std;

void* mem_copy_std(void* dst, const void* src, std::size_t count) { return std::memcpy(dst, src, count); }

void mem_copy_install_default() { mem_copy_routine = &mem_copy_std; }

void mem_copy_select(std::uint32_t features) {
  mem_copy_routine = &mem_copy_std;
#if defined(__SSE__)
  // The MMX-based copies of older processors lose to this one wherever SSE
  // exists, and every x86-64 processor has SSE; builds without SSE code keep
  // the standard copy.
  if (features & CPU_FEAT_SSE) mem_copy_routine = &mem_copy_sse;
#else
  (void)features;
#endif
}

}  // namespace keln
