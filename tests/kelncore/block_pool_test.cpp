#include <gtest/gtest.h>

#include <cstdint>

#include "kelncore/system/block_pool.h"

namespace keln {
namespace {

constexpr std::size_t k_word = sizeof(void*);

TEST(block_pool, blocks_are_whole_words_handed_out_a_chunk_at_a_time) {
  const std::pair<std::size_t, std::size_t> sizes[] = {{0, k_word}, {1, k_word}, {k_word + 1, 2 * k_word}};
  for (const auto& [asked, size] : sizes) EXPECT_EQ(block_pool(asked, 4).block_size(), size) << asked;
  block_pool pool(24, 4);
  char* blocks[5];
  for (char*& b : blocks) b = static_cast<char*>(pool.alloc());
  EXPECT_EQ(pool.chunk_count(), 2u);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(blocks[i] - blocks[i - 1], 24);
  for (char* b : blocks) {
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b) % alignof(void*), 0u);
    for (int i = 0; i < 24; ++i) b[i] = static_cast<char>(i);
  }
  pool.release(blocks[0]);
  pool.release(blocks[1]);
  EXPECT_EQ(pool.alloc(), blocks[1]);  // the last released comes back first
  EXPECT_EQ(pool.alloc(), blocks[0]);
  EXPECT_EQ(pool.chunk_count(), 2u);
  pool.release_all();
  EXPECT_EQ(pool.chunk_count(), 0u);
}

}  // namespace
}  // namespace keln
