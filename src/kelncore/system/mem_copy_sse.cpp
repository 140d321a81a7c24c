#include "kelncore/system/mem_copy.h"

#if defined(__SSE__)

#include <xmmintrin.h>

#include <cstring>

namespace keln {

namespace {

// Distance in bytes that the source is prefetched ahead of the copy.
constexpr std::uintptr_t PREFETCH_AHEAD = 320;

// Prefetches with the non-temporal hint. The address may lie past the end of
// the source: a prefetch never faults, and the address is formed as an integer
// so that no out-of-range pointer is computed.
inline void prefetch_nta(const unsigned char* p, std::uintptr_t ahead) {
  _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(p) + ahead), _MM_HINT_NTA);
}

// Copies whole 64-byte blocks to a 16-byte aligned destination with
// non-temporal stores. Aligned selects aligned loads (source 16-byte aligned).
template <bool aligned>
void copy_blocks(unsigned char* d, const unsigned char* s, std::size_t blocks) {
  for (; blocks != 0; --blocks, d += 64, s += 64) {
    prefetch_nta(s, PREFETCH_AHEAD);
    const float* sf = reinterpret_cast<const float*>(s);
    float* df = reinterpret_cast<float*>(d);
    const __m128 r0 = aligned ? _mm_load_ps(sf) : _mm_loadu_ps(sf);
    const __m128 r1 = aligned ? _mm_load_ps(sf + 4) : _mm_loadu_ps(sf + 4);
    const __m128 r2 = aligned ? _mm_load_ps(sf + 8) : _mm_loadu_ps(sf + 8);
    const __m128 r3 = aligned ? _mm_load_ps(sf + 12) : _mm_loadu_ps(sf + 12);
    _mm_stream_ps(df, r0);
    _mm_stream_ps(df + 4, r1);
    _mm_stream_ps(df + 8, r2);
    _mm_stream_ps(df + 12, r3);
  }
}

}  // namespace

void* mem_copy_sse(void* dst, const void* src, std::size_t count) {
  unsigned char* d = static_cast<unsigned char*>(dst);
  const unsigned char* s = static_cast<const unsigned char*>(src);

  for (std::uintptr_t ahead = 0; ahead < PREFETCH_AHEAD; ahead += 64) prefetch_nta(s, ahead);

  if (count >= 64) {
    // Single bytes up to a 16-byte aligned destination (at most 15, so at
    // least 49 bytes stay).
    const std::size_t misalign = reinterpret_cast<std::uintptr_t>(d) & 15u;
    if (misalign != 0) {
      const std::size_t head = 16 - misalign;
      for (std::size_t i = 0; i < head; ++i) d[i] = s[i];
      d += head;
      s += head;
      count -= head;
    }
    const std::size_t blocks = count / 64;
    if ((reinterpret_cast<std::uintptr_t>(s) & 15u) == 0) {
      copy_blocks<true>(d, s, blocks);
    } else {
      copy_blocks<false>(d, s, blocks);
    }
    // The streamed stores are weakly ordered: make them visible before any
    // later store.
    _mm_sfence();
    d += blocks * 64;
    s += blocks * 64;
    count &= 63u;
  }

  // The rest: 4-byte words (count bits 2-5), then single bytes (bits 0-1).
  for (std::size_t words = count >> 2; words != 0; --words, d += 4, s += 4) std::memcpy(d, s, 4);
  for (std::size_t bytes = count & 3u; bytes != 0; --bytes) *d++ = *s++;
  return dst;
}

}  // namespace keln

#endif
