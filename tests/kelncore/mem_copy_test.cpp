#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "kelncore/system/mem_copy.h"

namespace keln {
namespace {

constexpr std::size_t GUARD = 64;

// Copies count bytes from a source at src_offset to a destination at
// dst_offset (offsets from 64-byte aligned blocks) and checks the copy, the
// result and that no byte around the destination changed.
void check_copy(mem_copy_fn copy, std::size_t count, std::size_t dst_offset, std::size_t src_offset) {
  std::vector<unsigned char> src_block(count + src_offset + GUARD + 64);
  std::vector<unsigned char> dst_block(count + dst_offset + 2 * GUARD + 64);
  for (std::size_t i = 0; i < src_block.size(); ++i) src_block[i] = static_cast<unsigned char>(i * 131 + 7);
  std::memset(dst_block.data(), 0xA5, dst_block.size());

  auto align64 = [](unsigned char* p) { return p + ((64 - reinterpret_cast<std::uintptr_t>(p) % 64) % 64); };
  const unsigned char* src = align64(src_block.data()) + src_offset;
  unsigned char* dst = align64(dst_block.data()) + GUARD + dst_offset;

  EXPECT_EQ(copy(dst, src, count), dst);
  EXPECT_EQ(std::memcmp(dst, src, count), 0) << count << " bytes, offsets " << dst_offset << ", " << src_offset;
  for (unsigned char* p = dst_block.data(); p < dst; ++p) ASSERT_EQ(*p, 0xA5) << "before, " << count;
  for (unsigned char* p = dst + count; p < dst_block.data() + dst_block.size(); ++p)
    ASSERT_EQ(*p, 0xA5) << "after, " << count;
}

const std::size_t SIZES[] = {0,   1,   3,   4,   5,   15,  16,   17,   31,   63,    64,    65,
                             100, 127, 128, 129, 319, 320, 1000, 4095, 4096, 65536, 100000};
const std::size_t OFFSETS[] = {0, 1, 3, 4, 8, 15, 16, 33};

TEST(mem_copy, both_routines_copy_every_size_and_alignment_like_memcpy) {
  for (mem_copy_fn copy : {&mem_copy_sse, &mem_copy_std})
    for (std::size_t count : SIZES)
      for (std::size_t dst_offset : OFFSETS)
        for (std::size_t src_offset : OFFSETS) check_copy(copy, count, dst_offset, src_offset);
}

}  // namespace
}  // namespace keln
