#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kelncore/system/chunk_space.h"
#include "kelncore/system/messages.h"

namespace keln {
namespace {

std::string text_of(const chunk_desc* chunk, std::size_t length) {
  return std::string(reinterpret_cast<const char*>(chunk->address), length);
}

TEST(chunk_space, store_grows_by_a_quarter_and_keeps_every_key) {
  chunk_space arena;
  const chunk_desc* first = arena.store("alpha", 5);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->bytes(), 8u);
  EXPECT_EQ(arena.capacity(), 12u);
  const chunk_desc* second = arena.store("bravo", 5);
  EXPECT_EQ(arena.capacity(), 20u);
  EXPECT_EQ(arena.store("", 0)->bytes(), 4u);  // still a chunk of its own
  EXPECT_EQ(text_of(first, 5), "alpha");
  EXPECT_EQ(text_of(second, 5), "bravo");
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
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(arena.grow(0xFFFFFFFDu));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "*** ERROR *** : [chunk_space] cannot allocate enough memory (4294967296)\r\n");
  EXPECT_EQ(arena.capacity(), 0u);
}

// Three adjacent chunks at the bottom of a 40-byte arena, 16 free bytes above.
struct three_chunks : ::testing::Test {
  chunk_space arena{40};
  chunk_desc* first = arena.alloc(8);
  chunk_desc* second = arena.alloc(8);
  chunk_desc* third = arena.alloc(8);
};

TEST_F(three_chunks, released_chunks_merge_with_free_neighbours_only) {
  std::uint8_t* bottom = first->address;
  arena.release(first);
  arena.release(third);  // joins the free space above it
  EXPECT_EQ(arena.chunk_count(), 3u);
  arena.release(second);  // joins both neighbours
  EXPECT_EQ(arena.chunk_count(), 1u);
  ASSERT_NE(arena.free_chunks(), nullptr);
  EXPECT_EQ(arena.free_chunks()->bytes(), 40u);
  EXPECT_EQ(arena.free_chunks()->address, bottom);
}

TEST_F(three_chunks, growth_compacts_the_used_chunks_and_refuses_less_than_in_use) {
  std::memcpy(first->address, "AAAAAAAA", 8);
  std::memcpy(third->address, "CCCCCCCC", 8);
  arena.release(second);
  EXPECT_FALSE(arena.grow(12));
  ASSERT_TRUE(arena.grow(64));
  EXPECT_EQ(std::labs(third->address - first->address), 8);
  EXPECT_EQ(text_of(first, 8), "AAAAAAAA");
  EXPECT_EQ(text_of(third, 8), "CCCCCCCC");
  EXPECT_EQ(arena.free_chunks()->bytes(), 48u);
  EXPECT_TRUE(arena.grow(16));  // exactly the bytes in use: no free chunk
  EXPECT_EQ(arena.free_chunks(), nullptr);
}

}  // namespace
}  // namespace keln
