// chunk_space: an arena that keeps variable-sized byte chunks in one
// contiguous buffer. Chunks are found first-fit in the free list and split;
// released chunks merge with free neighbours. When no free chunk is large
// enough the arena moves to a buffer 1.25 times the bytes then in use,
// compacting the used chunks to its start. A chunk is known by its descriptor,
// which stays valid across growth; its address does not.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kelncore/system/block_pool_list.h"

namespace keln {

// The descriptor of one chunk. Descriptors come from a process-wide pool
// (16 per heap allocation) and are linked, as block_pool_link_t, into the
// arena's descriptor list from the highest address to the lowest (next = the
// chunk below, previous = the chunk above); the chunks cover the buffer
// without gaps.
struct chunk_desc : block_pool_link_t {
  std::uint32_t size;            // bytes, a multiple of 4; bit 0 set while free
  std::uint8_t* address;         // first byte; changes when the arena grows
  chunk_desc* list_previous;     // neighbours in the free or the used list
  chunk_desc* list_next;

  std::uint32_t bytes() const { return size & ~1u; }
  bool is_free() const { return (size & 1u) != 0; }
};

class chunk_space {
 public:
  // initial_capacity: bytes of the first buffer (rounded up to a multiple of
  // 4); 0 starts without a buffer.
  explicit chunk_space(std::uint32_t initial_capacity = 0);
  ~chunk_space();
  chunk_space(const chunk_space&) = delete;
  chunk_space& operator=(const chunk_space&) = delete;

  // A used chunk of at least `bytes` bytes (rounded up to a multiple of 4; a
  // request of 0 gets 4 so that every chunk has an address of its own), taken
  // first-fit from the free list and split when larger. Grows the arena when
  // no free chunk fits. Null when growing fails (the message is reported).
  chunk_desc* alloc(std::uint32_t bytes);
  // Gives a used chunk of this arena back and merges it with free chunks
  // directly below and above it. The descriptor must not be used afterwards.
  void release(chunk_desc* chunk);
  // A chunk holding a copy of length bytes, or null (see alloc). The source
  // may lie in this arena, even in a chunk that growth is about to move.
  chunk_desc* store(const void* bytes, std::uint32_t length);
  // Moves to a buffer of `capacity` bytes rounded up to a multiple of 4,
  // compacting the used chunks (in used-list order) to its start; the rest
  // becomes one free chunk. Refuses (false) a capacity below the bytes in use.
  // Reports "[chunk_space] cannot allocate enough memory (<bytes>)" and
  // returns false when the buffer cannot be had (or exceeds 32 bits).
  // The previous buffer is kept until the next store, growth or destruction.
  bool grow(std::size_t capacity);

  std::uint32_t capacity() const { return m_capacity; }
  // Sum of the free chunks' sizes.
  std::uint32_t free_bytes() const { return m_free_bytes; }
  std::uint32_t used_bytes() const { return m_capacity - m_free_bytes; }
  // The free chunks, most recently freed first (walk list_next).
  const chunk_desc* free_chunks() const { return m_free; }
  // Number of chunks, free and used.
  std::uint32_t chunk_count() const { return m_descriptors.size(); }

 private:
  chunk_desc* new_descriptor();
  void make_free(chunk_desc* chunk);
  void absorb(chunk_desc* lower, chunk_desc* upper);
  void release_pending();

  std::uint8_t* m_buffer = nullptr;
  std::uint8_t* m_pending = nullptr;  // previous buffer, kept until the current store ends
  std::uint32_t m_capacity = 0;
  std::uint32_t m_free_bytes = 0;
  chunk_desc* m_free = nullptr;       // free-list head
  chunk_desc* m_used = nullptr;       // used-list head
  block_pool_list_t m_descriptors;    // every descriptor, highest address first
};

}  // namespace keln
