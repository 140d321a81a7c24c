// block_pool: a fixed-size block allocator. Blocks are carved from chunks of
// blocks-per-chunk blocks taken from the general heap; released blocks go back
// to the pool's free list, and the chunks return to the system only when the
// pool is destroyed (or release_all is called).
#pragma once

#include <cstddef>
#include <cstdint>

namespace keln {

class block_pool {
 public:
  // block_size: bytes a caller needs per block. The pool rounds it up to a
  // whole number of machine words (at least one word, so a free block can hold
  // the free-list link and every block is aligned for pointers).
  // blocks_per_chunk: blocks taken from the heap at a time; 0 is treated as 1.
  block_pool(std::size_t block_size, std::uint32_t blocks_per_chunk);
  ~block_pool();
  block_pool(const block_pool&) = delete;
  block_pool& operator=(const block_pool&) = delete;

  // A block of block_size() bytes, uninitialised. Never null: heap exhaustion
  // throws std::bad_alloc.
  void* alloc();
  // Gives a block of this pool back; it is handed out again by the next alloc.
  void release(void* block);
  // Returns every chunk to the system. Every block handed out becomes invalid.
  void release_all();

  std::size_t block_size() const { return m_block_size; }
  std::uint32_t blocks_per_chunk() const { return m_blocks_per_chunk; }
  // Number of chunks taken from the heap so far.
  std::uint32_t chunk_count() const;

 private:
  struct link_t {
    link_t* next;
  };

  link_t* m_chunks = nullptr;  // most recently allocated chunk first
  link_t* m_free = nullptr;    // free blocks, next to hand out first
  std::size_t m_block_size;
  std::uint32_t m_blocks_per_chunk;
};

}  // namespace keln
