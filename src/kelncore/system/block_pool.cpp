#include "kelncore/system/block_pool.h"

#include <new>

namespace keln {

namespace {

constexpr std::size_t k_word = sizeof(void*);

std::size_t round_to_words(std::size_t bytes) {
  if (bytes < k_word) return k_word;
  return (bytes + k_word - 1) / k_word * k_word;
}

}  // namespace

block_pool::block_pool(std::size_t block_size, std::uint32_t blocks_per_chunk)
    : m_block_size(round_to_words(block_size)),
      m_blocks_per_chunk(blocks_per_chunk ? blocks_per_chunk : 1) {}

block_pool::~block_pool() { release_all(); }

void* block_pool::alloc() {
  if (!m_free) {
    // A chunk is one link word followed by the blocks.
    auto* chunk = static_cast<link_t*>(::operator new(k_word + m_block_size * m_blocks_per_chunk));
    chunk->next = m_chunks;
    m_chunks = chunk;
    char* blocks = reinterpret_cast<char*>(chunk) + k_word;
    // Link the blocks into the free list in address order.
    for (std::uint32_t i = m_blocks_per_chunk; i-- > 0;) {
      auto* block = reinterpret_cast<link_t*>(blocks + i * m_block_size);
      block->next = m_free;
      m_free = block;
    }
  }
  link_t* block = m_free;
  m_free = block->next;
  return block;
}

void block_pool::release(void* block) {
  auto* link = static_cast<link_t*>(block);
  link->next = m_free;
  m_free = link;
}

void block_pool::release_all() {
  while (m_chunks) {
    link_t* next = m_chunks->next;
    ::operator delete(m_chunks);
    m_chunks = next;
  }
  m_free = nullptr;
}

std::uint32_t block_pool::chunk_count() const {
  std::uint32_t count = 0;
  for (const link_t* chunk = m_chunks; chunk; chunk = chunk->next) ++count;
  return count;
}

}  // namespace keln
