#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kelncore/system/chunk_space.h"
#include "kelncore/system/messages.h"

namespace keln {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

std::string text_of(const chunk_desc* chunk, std::size_t length) {
  return std::string(reinterpret_cast<const char*>(chunk->address), length);
}

TEST(chunk_space, first_five_byte_key_grows_an_empty_arena_to_12_bytes) {
  chunk_space arena;
  EXPECT_EQ(arena.capacity(), 0u);
  const chunk_desc* first = arena.store("alpha", 5);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->bytes(), 8u);
  EXPECT_EQ(arena.capacity(), 12u);
  EXPECT_EQ(arena.used_bytes(), 8u);
  EXPECT_EQ(arena.free_bytes(), 4u);
  EXPECT_EQ(text_of(first, 5), "alpha");
}

TEST(chunk_space, second_five_byte_key_grows_it_to_20_bytes_keeping_the_first) {
  chunk_space arena;
  const chunk_desc* first = arena.store("alpha", 5);
  const chunk_desc* second = arena.store("bravo", 5);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(arena.capacity(), 20u);
  EXPECT_EQ(arena.used_bytes(), 16u);
  EXPECT_EQ(arena.free_bytes(), 4u);
  EXPECT_EQ(arena.chunk_count(), 3u);
  EXPECT_EQ(text_of(first, 5), "alpha");
  EXPECT_EQ(text_of(second, 5), "bravo");
}

TEST(chunk_space, every_chunk_keeps_its_bytes_across_many_growths) {
  chunk_space arena;
  std::vector<std::pair<const chunk_desc*, std::string>> stored;
  for (int i = 0; i < 500; ++i) {
    const std::string key = "key_" + std::to_string(i * 7919);
    stored.emplace_back(arena.store(key.data(), static_cast<std::uint32_t>(key.size())), key);
  }
  for (const auto& [chunk, key] : stored) {
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(text_of(chunk, key.size()), key);
  }
  EXPECT_LE(arena.used_bytes(), arena.capacity());
}

TEST(chunk_space, zero_byte_request_still_gets_a_chunk_of_its_own) {
  chunk_space arena;
  const chunk_desc* empty = arena.store("", 0);
  const chunk_desc* other = arena.store("x", 1);
  ASSERT_NE(empty, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(empty->bytes(), 4u);
  EXPECT_NE(empty->address, other->address);
}

// Three adjacent chunks at the bottom of a 40-byte arena, 16 free bytes above.
struct three_chunks : ::testing::Test {
  chunk_space arena{40};
  chunk_desc* first = arena.alloc(8);
  chunk_desc* second = arena.alloc(8);
  chunk_desc* third = arena.alloc(8);
};

TEST_F(three_chunks, are_carved_upwards_from_the_bottom) {
  EXPECT_EQ(second->address, first->address + 8);
  EXPECT_EQ(third->address, first->address + 16);
  EXPECT_EQ(arena.free_bytes(), 16u);
  EXPECT_EQ(arena.chunk_count(), 4u);
}

TEST_F(three_chunks, released_first_third_second_merge_into_one_free_chunk) {
  std::uint8_t* bottom = first->address;
  arena.release(first);
  arena.release(third);  // joins the free space above it
  EXPECT_EQ(arena.chunk_count(), 3u);
  arena.release(second);  // joins both neighbours
  EXPECT_EQ(arena.chunk_count(), 1u);
  EXPECT_EQ(arena.free_bytes(), 40u);
  const chunk_desc* free_chunk = arena.free_chunks();
  ASSERT_NE(free_chunk, nullptr);
  EXPECT_EQ(free_chunk->list_next, nullptr);
  EXPECT_TRUE(free_chunk->is_free());
  EXPECT_EQ(free_chunk->bytes(), 40u);
  EXPECT_EQ(free_chunk->address, bottom);
}

TEST_F(three_chunks, merging_stops_at_a_used_neighbour) {
  chunk_desc* fourth = arena.alloc(16);  // fills the arena
  EXPECT_EQ(arena.free_bytes(), 0u);
  arena.release(first);
  arena.release(third);
  arena.release(second);
  EXPECT_EQ(arena.chunk_count(), 2u);
  EXPECT_EQ(arena.free_bytes(), 24u);
  EXPECT_EQ(arena.free_chunks()->bytes(), 24u);
  EXPECT_EQ(arena.free_chunks()->address + 24, fourth->address);
}

TEST_F(three_chunks, alloc_takes_the_first_free_chunk_that_fits_not_the_best) {
  arena.release(second);  // 8-byte hole in the middle
  chunk_desc* hole_user = arena.alloc(4);
  // The most recently freed chunk heads the free list and is large enough.
  EXPECT_EQ(hole_user->address, first->address + 8);
  EXPECT_EQ(arena.free_bytes(), 20u);
}

TEST_F(three_chunks, growth_compacts_the_used_chunks_and_keeps_one_free_chunk) {
  std::memcpy(first->address, "AAAAAAAA", 8);
  std::memcpy(third->address, "CCCCCCCC", 8);
  arena.release(second);
  ASSERT_TRUE(arena.grow(64));
  EXPECT_EQ(arena.capacity(), 64u);
  EXPECT_EQ(arena.used_bytes(), 16u);
  EXPECT_EQ(arena.chunk_count(), 3u);
  EXPECT_EQ(std::labs(third->address - first->address), 8);
  EXPECT_EQ(text_of(first, 8), "AAAAAAAA");
  EXPECT_EQ(text_of(third, 8), "CCCCCCCC");
  EXPECT_EQ(arena.free_chunks()->bytes(), 48u);
}

TEST_F(three_chunks, grow_refuses_a_capacity_below_the_bytes_in_use) {
  EXPECT_FALSE(arena.grow(20));
  EXPECT_EQ(arena.capacity(), 40u);
  EXPECT_TRUE(arena.grow(24));  // exactly the bytes in use: no free chunk
  EXPECT_EQ(arena.free_bytes(), 0u);
  EXPECT_EQ(arena.free_chunks(), nullptr);
}

TEST(chunk_space, store_may_copy_from_a_chunk_that_its_own_growth_moves) {
  chunk_space arena;
  const chunk_desc* source = arena.store("0123456789ab", 12);
  // 1.25 * 12 = 15 -> 16 bytes, 4 of them free: storing a copy of the first
  // key grows the arena, which moves the source before it is copied.
  EXPECT_EQ(arena.free_bytes(), 4u);
  const chunk_desc* copy = arena.store(source->address, 12);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(arena.capacity(), 32u);
  EXPECT_EQ(text_of(copy, 12), "0123456789ab");
  EXPECT_EQ(text_of(source, 12), "0123456789ab");
}

TEST(chunk_space, capacity_beyond_32_bits_is_reported_and_refused) {
  message_stdio_t handler;
  chunk_space arena;
  CaptureStderr();
  EXPECT_FALSE(arena.grow(0xFFFFFFFDu));
  EXPECT_EQ(GetCapturedStderr(),
            "*** ERROR *** : [chunk_space] cannot allocate enough memory (4294967296)\r\n");
  EXPECT_EQ(arena.capacity(), 0u);
}

}  // namespace
}  // namespace keln
