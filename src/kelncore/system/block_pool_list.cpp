#include "kelncore/system/block_pool_list.h"

namespace keln {

block_pool_link_t* block_pool_list_t::take() {
  auto* record = static_cast<block_pool_link_t*>(m_pool->alloc());
  record->next = record->previous = nullptr;
  return record;
}

void block_pool_list_t::push_front(block_pool_link_t* record) {
  record->previous = nullptr;
  record->next = m_head;
  if (m_head)
    m_head->previous = record;
  else
    m_tail = record;
  m_head = record;
  ++m_count;
}

void block_pool_list_t::insert_after(block_pool_link_t* position, block_pool_link_t* record) {
  record->previous = position;
  record->next = position->next;
  if (position->next)
    position->next->previous = record;
  else
    m_tail = record;
  position->next = record;
  ++m_count;
}

void block_pool_list_t::insert_before(block_pool_link_t* position, block_pool_link_t* record) {
  if (position->previous)
    insert_after(position->previous, record);
  else
    push_front(record);
}

void block_pool_list_t::unlink(block_pool_link_t* record) {
  if (record->previous)
    record->previous->next = record->next;
  else
    m_head = record->next;
  if (record->next)
    record->next->previous = record->previous;
  else
    m_tail = record->previous;
  record->next = record->previous = nullptr;
  --m_count;
}

void block_pool_list_t::erase(block_pool_link_t* record) {
  unlink(record);
  m_pool->release(record);
}

}  // namespace keln
