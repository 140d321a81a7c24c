// Bulk memory copy through a routine chosen for the processor at start-up.
#pragma once

#include <cstddef>
#include <cstdint>

namespace keln {

// Copies count bytes from src to dst and returns dst. The two ranges must not
// overlap; count 0 copies nothing.
using mem_copy_fn = void* (*)(void* dst, const void* src, std::size_t count);

// The routine in use: the standard copy until core_startup chooses another
// from the processor's feature word. Set only during start-up.
extern mem_copy_fn mem_copy_routine;

// Copies through the routine in use (see mem_copy_fn for the contract).
inline void* mem_copy(void* dst, const void* src, std::size_t count) { return mem_copy_routine(dst, src, count); }

// The standard library's copy.
void* mem_copy_std(void* dst, const void* src, std::size_t count);

#if defined(__SSE__)
// Copy for processors with SSE (built where the compiler generates SSE code,
// always on x86-64): 64-byte blocks go through 16-byte registers
// and non-temporal stores (they bypass the cache, which suits bulk copies that
// are not read again at once), prefetching the source 320 bytes ahead; the
// rest goes as 4-byte words and single bytes.
void* mem_copy_sse(void* dst, const void* src, std::size_t count);
#endif

// Makes the standard copy the routine in use.
void mem_copy_install_default();

// Makes the routine that suits the feature word (CPU_FEAT_* bits) the routine
// in use: the SSE copy when CPU_FEAT_SSE is set, else the standard copy.
void mem_copy_select(std::uint32_t features);

}  // namespace keln
