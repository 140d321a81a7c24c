// block_pool_list_t: a doubly linked list of records that come from one
// block_pool. Every record starts with its next and previous links
// (block_pool_link_t as the first base); the list takes records from the pool
// and gives them back when they are erased. It neither constructs nor destroys
// the records' other fields, so records are plain data.
#pragma once

#include <cstdint>

#include "kelncore/system/block_pool.h"

namespace keln {

struct block_pool_link_t {
  block_pool_link_t* next;
  block_pool_link_t* previous;
};

class block_pool_list_t {
 public:
  // pool: the records' source, not owned; its blocks must hold a record.
  explicit block_pool_list_t(block_pool& pool) : m_pool(&pool) {}
  block_pool_list_t(const block_pool_list_t&) = delete;
  block_pool_list_t& operator=(const block_pool_list_t&) = delete;

  block_pool_link_t* head() const { return m_head; }
  block_pool_link_t* tail() const { return m_tail; }
  std::uint32_t size() const { return m_count; }

  // A record from the pool, not yet linked; its links are null.
  block_pool_link_t* take();
  // Links an unlinked record at the front.
  void push_front(block_pool_link_t* record);
  // Links an unlinked record right after position, a record of this list.
  void insert_after(block_pool_link_t* position, block_pool_link_t* record);
  // Links an unlinked record right before position, a record of this list.
  void insert_before(block_pool_link_t* position, block_pool_link_t* record);
  // Unlinks a record of this list; it stays valid and may be linked again.
  void unlink(block_pool_link_t* record);
  // Unlinks a record of this list and gives it back to the pool.
  void erase(block_pool_link_t* record);

 private:
  block_pool_link_t* m_head = nullptr;
  block_pool_link_t* m_tail = nullptr;
  block_pool* m_pool;
  std::uint32_t m_count = 0;
};

}  // namespace keln
