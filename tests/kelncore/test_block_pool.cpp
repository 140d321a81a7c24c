#include <gtest/gtest.h>

#include <cstdint>

#include "kelncore/system/block_pool.h"
#include "kelncore/system/block_pool_list.h"

namespace keln {
namespace {

constexpr std::size_t k_word = sizeof(void*);

TEST(block_pool, block_size_is_whole_words_and_at_least_one) {
  EXPECT_EQ(block_pool(0, 4).block_size(), k_word);
  EXPECT_EQ(block_pool(1, 4).block_size(), k_word);
  EXPECT_EQ(block_pool(k_word + 1, 4).block_size(), 2 * k_word);
  EXPECT_EQ(block_pool(3 * k_word, 4).block_size(), 3 * k_word);
}

TEST(block_pool, blocks_come_a_chunk_at_a_time_in_address_order) {
  block_pool pool(24, 4);
  EXPECT_EQ(pool.chunk_count(), 0u);
  char* blocks[5];
  for (char*& b : blocks) b = static_cast<char*>(pool.alloc());
  EXPECT_EQ(pool.chunk_count(), 2u);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(blocks[i] - blocks[i - 1], 24);
  // Every block is aligned for pointers and writable over its whole size.
  for (char* b : blocks) {
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b) % alignof(void*), 0u);
    for (int i = 0; i < 24; ++i) b[i] = static_cast<char>(i);
  }
}

TEST(block_pool, released_block_is_handed_out_next_without_a_new_chunk) {
  block_pool pool(12, 4);
  void* a = pool.alloc();
  void* b = pool.alloc();
  pool.release(a);
  pool.release(b);
  EXPECT_EQ(pool.alloc(), b);
  EXPECT_EQ(pool.alloc(), a);
  EXPECT_EQ(pool.chunk_count(), 1u);
}

TEST(block_pool, release_all_returns_every_chunk_and_starts_over) {
  block_pool pool(8, 2);
  for (int i = 0; i < 5; ++i) pool.alloc();
  EXPECT_EQ(pool.chunk_count(), 3u);
  pool.release_all();
  EXPECT_EQ(pool.chunk_count(), 0u);
  pool.alloc();
  EXPECT_EQ(pool.chunk_count(), 1u);
}

struct test_record : block_pool_link_t {
  int value;
};

TEST(block_pool_list, links_and_erases_records_of_its_pool) {
  block_pool pool(sizeof(test_record), 4);
  block_pool_list_t list(pool);
  auto* a = static_cast<test_record*>(list.take());
  auto* b = static_cast<test_record*>(list.take());
  auto* c = static_cast<test_record*>(list.take());
  list.push_front(b);
  list.insert_after(b, c);   // b c
  list.insert_before(b, a);  // a b c
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(list.head(), a);
  EXPECT_EQ(list.tail(), c);
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(c->previous, b);

  list.erase(b);  // a c; b goes back to the pool
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(a->next, c);
  EXPECT_EQ(c->previous, a);
  EXPECT_EQ(list.take(), b);

  list.unlink(c);
  list.unlink(a);
  EXPECT_EQ(list.head(), nullptr);
  EXPECT_EQ(list.tail(), nullptr);
  EXPECT_EQ(list.size(), 0u);
}

}  // namespace
}  // namespace keln
