#include "kelncore/system/chunk_space.h"

#include <cmath>
#include <new>

#include "kelncore/system/mem_copy.h"
#include "kelncore/system/messages.h"

namespace keln {

namespace {

// Descriptors of every arena, 16 to a heap allocation, until program exit.
block_pool& descriptor_pool() {
  static block_pool pool(sizeof(chunk_desc), 16);
  return pool;
}

constexpr std::uint64_t k_largest_capacity = 0xFFFFFFFCu;

std::uint64_t round_to_4(std::uint64_t bytes) { return (bytes + 3) & ~std::uint64_t(3); }

// The free and the used list: doubly linked through list_previous/list_next,
// known by their head.
void list_push(chunk_desc*& head, chunk_desc* chunk) {
  chunk->list_previous = nullptr;
  chunk->list_next = head;
  if (head) head->list_previous = chunk;
  head = chunk;
}

void list_remove(chunk_desc*& head, chunk_desc* chunk) {
  if (chunk->list_previous)
    chunk->list_previous->list_next = chunk->list_next;
  else
    head = chunk->list_next;
  if (chunk->list_next) chunk->list_next->list_previous = chunk->list_previous;
}

chunk_desc* lower_neighbour(chunk_desc* chunk) { return static_cast<chunk_desc*>(chunk->next); }
chunk_desc* upper_neighbour(chunk_desc* chunk) { return static_cast<chunk_desc*>(chunk->previous); }

}  // namespace

chunk_space::chunk_space(std::uint32_t initial_capacity) : m_descriptors(descriptor_pool()) {
  if (initial_capacity) grow(initial_capacity);
}

chunk_space::~chunk_space() {
  while (m_descriptors.head()) m_descriptors.erase(m_descriptors.head());
  delete[] m_buffer;
  delete[] m_pending;
}

chunk_desc* chunk_space::new_descriptor() { return static_cast<chunk_desc*>(m_descriptors.take()); }

chunk_desc* chunk_space::alloc(std::uint32_t bytes) {
  const std::uint64_t n = bytes ? round_to_4(bytes) : 4;
  chunk_desc* chunk = nullptr;
  // First fit; the walk is pointless when all free bytes together are too few.
  if (m_free_bytes >= n) {
    for (chunk_desc* d = m_free; d; d = d->list_next) {
      if (d->bytes() >= n) {
        chunk = d;
        break;
      }
    }
  }
  if (!chunk) {
    // Growth by a quarter over the bytes then in use, computed in single
    // precision and rounded to the nearest integer. The new buffer holds the
    // compacted used chunks and one free chunk of at least n bytes.
    const float target = 1.25f * static_cast<float>(used_bytes() + n);
    if (!grow(static_cast<std::size_t>(std::nearbyint(target)))) return nullptr;
    chunk = m_free;
  }

  list_remove(m_free, chunk);
  m_free_bytes -= chunk->bytes();
  chunk->size = chunk->bytes();
  list_push(m_used, chunk);

  if (chunk->size > n) {
    chunk_desc* rest = new_descriptor();
    rest->size = chunk->size - static_cast<std::uint32_t>(n);
    rest->address = chunk->address + n;
    m_descriptors.insert_before(chunk, rest);
    chunk->size = static_cast<std::uint32_t>(n);
    make_free(rest);
  }
  return chunk;
}

void chunk_space::release(chunk_desc* chunk) {
  list_remove(m_used, chunk);
  make_free(chunk);
}

void chunk_space::make_free(chunk_desc* chunk) {
  m_free_bytes += chunk->bytes();
  chunk->size |= 1u;
  list_push(m_free, chunk);

  chunk_desc* lower = lower_neighbour(chunk);
  if (lower && lower->is_free()) {
    absorb(lower, chunk);
    chunk = lower;
  }
  chunk_desc* upper = upper_neighbour(chunk);
  if (upper && upper->is_free()) absorb(chunk, upper);
}

// Both chunks are free and adjacent; the lower one takes the upper one's bytes
// and the upper descriptor goes back to the pool. Free bytes are unchanged.
void chunk_space::absorb(chunk_desc* lower, chunk_desc* upper) {
  lower->size += upper->bytes();
  list_remove(m_free, upper);
  m_descriptors.erase(upper);
}

bool chunk_space::grow(std::size_t capacity) {
  const std::uint64_t rounded = round_to_4(capacity);
  if (rounded < used_bytes()) return false;
  std::uint8_t* block =
      rounded <= k_largest_capacity ? new (std::nothrow) std::uint8_t[rounded] : nullptr;
  if (!block) {
    msg_error("[chunk_space] cannot allocate enough memory (%zu)", static_cast<std::size_t>(rounded));
    return false;
  }

  // Free chunks vanish: the room left after compaction becomes one new chunk.
  while (m_free) {
    chunk_desc* next = m_free->list_next;
    m_descriptors.erase(m_free);
    m_free = next;
  }

  // Copy the used chunks to consecutive addresses and relink each descriptor
  // at the front of the descriptor list, so it ends highest address first.
  std::uint32_t offset = 0;
  for (chunk_desc* d = m_used; d; d = d->list_next) {
    mem_copy(block + offset, d->address, d->bytes());
    d->address = block + offset;
    offset += d->bytes();
    m_descriptors.unlink(d);
    m_descriptors.push_front(d);
  }

  const std::uint32_t room = static_cast<std::uint32_t>(rounded) - offset;
  if (room) {
    chunk_desc* rest = new_descriptor();
    rest->size = room | 1u;
    rest->address = block + offset;
    m_descriptors.push_front(rest);
    list_push(m_free, rest);
  }

  if (m_buffer) {
    release_pending();
    m_pending = m_buffer;
  }
  m_buffer = block;
  m_capacity = static_cast<std::uint32_t>(rounded);
  m_free_bytes = room;
  return true;
}

chunk_desc* chunk_space::store(const void* bytes, std::uint32_t length) {
  chunk_desc* chunk = alloc(length);
  if (chunk) mem_copy(chunk->address, bytes, length);
  release_pending();
  return chunk;
}

void chunk_space::release_pending() {
  delete[] m_pending;
  m_pending = nullptr;
}

}  // namespace keln
